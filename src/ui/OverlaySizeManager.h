#pragma once

#include "OverlaySize.h"

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <memory>

class QSettings;

namespace tallyfin::ui {

// The two overlay preferences: the panel size while connected and whether metric values animate.
// Both are read from the settings once, at construction; only the two controls of the machine
// information popover write them back (chooseSize, chooseAnimateMetrics).
class OverlaySizeManager : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The size preferences are built by the application")
    // 0 small, 1 medium, 2 large (QML cannot reach lower-case enum keys).
    Q_PROPERTY(int currentSize READ currentSizeIndex NOTIFY currentSizeChanged)
    Q_PROPERTY(QString currentSizeName READ currentSizeName NOTIFY currentSizeChanged)
    Q_PROPERTY(bool animateMetrics READ animateMetrics NOTIFY animateMetricsChanged)

public:
    static constexpr char sizeKey[] = "overlaySize";
    static constexpr char animateKey[] = "animateMetrics";

    // Reads and later writes `settings` (not owned; it must outlive this object).
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

    // Size in force for this run only (the command line's --size): nothing is written.
    void setCurrentSize(OverlaySize size);
    void setAnimateMetrics(bool animate);

    QString storedSize() const;
    bool storedAnimateMetrics() const;

    // The user's choices: publish first, then persist.
    void chooseSize(OverlaySize size);
    Q_INVOKABLE bool chooseSizeIndex(int index);
    Q_INVOKABLE void chooseAnimateMetrics(bool animate);

Q_SIGNALS:
    void currentSizeChanged(tallyfin::ui::OverlaySize size);
    void animateMetricsChanged(bool animate);

private:
    QSettings* m_settings;
    OverlaySize m_currentSize = OverlaySize::medium;
    bool m_animateMetrics = true;
};

} // namespace tallyfin::ui
