// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "PanelPreferences.h"

#include "PanelLogging.h"

#include <QSettings>

#include <algorithm>

namespace tallyfin::ui {

using namespace Qt::StringLiterals;

namespace {

QString hiddenKey(EquipmentType kind) {
    return u"hiddenTiles/"_s + caseName(kind);
}

} // namespace

PanelPreferences::PanelPreferences(QSettings* settings, QObject* parent)
    : QObject(parent)
    , m_settings(settings) {
    bool isNumber = false;
    const double opacity = m_settings->value(u"panelOpacity"_s, 1.0).toDouble(&isNumber);
    m_opacity = isNumber ? std::clamp(opacity, minimumOpacity, 1.0) : 1.0;
    m_locked = m_settings->value(u"panelLocked"_s, false).toBool();
    m_ftp = storedNumber("ftp", maximumFtp);
    m_maxHeartRate = storedNumber("maxHeartRate", maximumHeartRate);
    if (m_locked) {
        qCInfo(lcPanel) << "the panel starts locked: hold Ctrl over it, or run tallyfin --unlock";
    }
}

int PanelPreferences::storedNumber(const char* key, int maximum) const {
    const QVariant stored = m_settings->value(QLatin1String(key));
    bool isNumber = false;
    const int value = stored.toInt(&isNumber);
    if (stored.isValid() && (!isNumber || value < 0 || value > maximum)) {
        qCWarning(lcPanel).noquote() << "stored" << key << stored.toString()
                                     << "is not a number from 0 to" << maximum << "; zones off";
        return 0;
    }
    return value;
}

QStringList PanelPreferences::hiddenTiles(EquipmentType kind) const {
    return m_settings->value(hiddenKey(kind)).toStringList();
}

void PanelPreferences::setTileHidden(EquipmentType kind, const QString& key, bool hidden) {
    QStringList keys = hiddenTiles(kind);
    if (keys.contains(key) == hidden) {
        return;
    }
    if (hidden) {
        keys.append(key);
    } else {
        keys.removeAll(key);
    }
    if (keys.isEmpty()) {
        m_settings->remove(hiddenKey(kind));
    } else {
        m_settings->setValue(hiddenKey(kind), keys);
    }
    Q_EMIT hiddenTilesChanged();
}

void PanelPreferences::chooseOpacity(double opacity) {
    opacity = std::clamp(opacity, minimumOpacity, 1.0);
    if (qFuzzyCompare(opacity, m_opacity)) {
        return;
    }
    m_opacity = opacity;
    m_settings->setValue(u"panelOpacity"_s, opacity);
    Q_EMIT opacityChanged();
}

void PanelPreferences::setLocked(bool locked) {
    if (locked == m_locked) {
        return;
    }
    m_locked = locked;
    m_settings->setValue(u"panelLocked"_s, locked);
    qCInfo(lcPanel) << (locked ? "panel locked" : "panel unlocked");
    Q_EMIT lockedChanged(locked);
}

bool PanelPreferences::chooseFtp(int watts) {
    if (watts < 0 || watts > maximumFtp) {
        return false;
    }
    if (watts != m_ftp) {
        m_ftp = watts;
        m_settings->setValue(u"ftp"_s, watts);
        Q_EMIT zonesChanged();
    }
    return true;
}

bool PanelPreferences::chooseMaxHeartRate(int bpm) {
    if (bpm < 0 || bpm > maximumHeartRate) {
        return false;
    }
    if (bpm != m_maxHeartRate) {
        m_maxHeartRate = bpm;
        m_settings->setValue(u"maxHeartRate"_s, bpm);
        Q_EMIT zonesChanged();
    }
    return true;
}

} // namespace tallyfin::ui
