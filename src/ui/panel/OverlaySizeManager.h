// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "OverlaySize.h"
#include "PanelPreferences.h"
#include "model/UnitSystem.h"

#include <QObject>
#include <QString>

#include <memory>

class QSettings;

namespace tallyfin::ui {

// The overlay preferences: the panel size while connected, whether metric values animate, and the
// units distances and speeds are shown in. They are read from the settings once, at construction;
// only the controls of the machine information popover write them back (chooseSize,
// chooseAnimateMetrics, chooseUnitSystem). Units never chosen follow the locale's measurement
// system.
class OverlaySizeManager : public QObject {
    Q_OBJECT
    // 0 small, 1 medium, 2 large (QML cannot reach lower-case enum keys).
    Q_PROPERTY(int currentSize READ currentSizeIndex NOTIFY currentSizeChanged)
    Q_PROPERTY(QString currentSizeName READ currentSizeName NOTIFY currentSizeChanged)
    Q_PROPERTY(bool animateMetrics READ animateMetrics NOTIFY animateMetricsChanged)
    // 0 metric, 1 imperial.
    Q_PROPERTY(int unitSystem READ unitSystemIndex NOTIFY unitSystemChanged)
    // Tiles, see-through, lock and zones, over the same settings.
    Q_PROPERTY(tallyfin::ui::PanelPreferences* panel READ panel CONSTANT)

public:
    static constexpr char sizeKey[] = "overlaySize";
    static constexpr char animateKey[] = "animateMetrics";
    static constexpr char unitsKey[] = "units";

    // Reads and later writes `settings` (not owned; it must outlive this object). The default
    // locale's measurement system stands in for units never chosen.
    explicit OverlaySizeManager(QSettings* settings, QObject* parent = nullptr);
    ~OverlaySizeManager() override;

    // The process-wide instance, built on first use over the application's QSettings.
    static OverlaySizeManager& shared();
    // Replaces the process-wide instance (tests); returns the previous one.
    static std::unique_ptr<OverlaySizeManager> replaceShared(std::unique_ptr<OverlaySizeManager>);

    OverlaySize currentSize() const { return m_currentSize; }
    int currentSizeIndex() const { return static_cast<int>(m_currentSize); }
    QString currentSizeName() const { return overlaySizeName(m_currentSize); }
    bool animateMetrics() const { return m_animateMetrics; }
    UnitSystem unitSystem() const { return m_unitSystem; }
    int unitSystemIndex() const { return static_cast<int>(m_unitSystem); }

    // Values in force for this run only (the command line's --size, --units): nothing is written.
    void setCurrentSize(OverlaySize size);
    void setAnimateMetrics(bool animate);
    void setUnitSystem(UnitSystem units);

    PanelPreferences* panel() const { return m_panel; }

    QString storedSize() const;
    bool storedAnimateMetrics() const;

    // The user's choices: publish first, then persist.
    void chooseSize(OverlaySize size);
    Q_INVOKABLE bool chooseSizeIndex(int index);
    Q_INVOKABLE void chooseAnimateMetrics(bool animate);
    void chooseUnitSystem(UnitSystem units);
    Q_INVOKABLE bool chooseUnitSystemIndex(int index);

Q_SIGNALS:
    void currentSizeChanged(tallyfin::ui::OverlaySize size);
    void animateMetricsChanged(bool animate);
    void unitSystemChanged(tallyfin::UnitSystem units);

private:
    QSettings* m_settings;
    OverlaySize m_currentSize = OverlaySize::medium;
    bool m_animateMetrics = true;
    UnitSystem m_unitSystem = UnitSystem::metric;
    PanelPreferences* m_panel;
};

} // namespace tallyfin::ui
