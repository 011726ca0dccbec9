// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "model/EquipmentType.h"

#include <QObject>
#include <QStringList>

class QSettings;

namespace tallyfin::ui {

// The user's own panel: which tiles each kind of machine hides, how see-through the panel is,
// whether it is locked (every click goes to the window below) and the training-zone references.
// Read from the settings at construction and written back on every change.
class PanelPreferences : public QObject {
    Q_OBJECT
    Q_PROPERTY(double opacity READ opacity NOTIFY opacityChanged)
    Q_PROPERTY(bool locked READ locked WRITE setLocked NOTIFY lockedChanged)
    // Functional threshold power in watts and maximum heart rate; 0 while not set.
    Q_PROPERTY(int ftp READ ftp NOTIFY zonesChanged)
    Q_PROPERTY(int maxHeartRate READ maxHeartRate NOTIFY zonesChanged)

public:
    static constexpr double minimumOpacity = 0.3;
    static constexpr int maximumFtp = 2000;
    static constexpr int maximumHeartRate = 250;

    // Reads and later writes `settings` (not owned; it must outlive this object).
    explicit PanelPreferences(QSettings* settings, QObject* parent = nullptr);

    // Tile keys (MetricTile::key) hidden on machines of `kind`.
    QStringList hiddenTiles(EquipmentType kind) const;
    void setTileHidden(EquipmentType kind, const QString& key, bool hidden);

    double opacity() const { return m_opacity; }
    // Kept within 30 % and 100 %.
    Q_INVOKABLE void chooseOpacity(double opacity);
    bool locked() const { return m_locked; }
    void setLocked(bool locked);
    int ftp() const { return m_ftp; }
    int maxHeartRate() const { return m_maxHeartRate; }
    // 0 turns the zones off; false (and nothing changes) outside 0 and the maximum.
    Q_INVOKABLE bool chooseFtp(int watts);
    Q_INVOKABLE bool chooseMaxHeartRate(int bpm);

Q_SIGNALS:
    void hiddenTilesChanged();
    void opacityChanged();
    void lockedChanged(bool locked);
    void zonesChanged();

private:
    int storedNumber(const char* key, int maximum) const;

    QSettings* m_settings;
    double m_opacity = 1.0;
    bool m_locked = false;
    int m_ftp = 0;
    int m_maxHeartRate = 0;
};

} // namespace tallyfin::ui
