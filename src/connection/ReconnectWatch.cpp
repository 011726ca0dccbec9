// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#include "ReconnectWatch.h"

#include <QSettings>

namespace tallyfin {

ReconnectWatch::ReconnectWatch(QObject* parent)
    : QObject(parent) {
    m_giveUp.setSingleShot(true);
    m_giveUp.setInterval(defaultWindow);
    QObject::connect(&m_giveUp, &QTimer::timeout, this, [this] {
        const QString name = m_name;
        clear();
        Q_EMIT gaveUp(name);
    });
}

void ReconnectWatch::setSettings(QSettings* settings) {
    m_settings = settings;
    if (m_settings) {
        // Anything but a stored "false" keeps the default.
        const QVariant stored = m_settings->value(QLatin1String(settingsKey), true);
        const bool enabled = stored.toString().compare(u"false", Qt::CaseInsensitive) != 0;
        if (enabled != m_enabled) {
            m_enabled = enabled;
            Q_EMIT enabledChanged();
        }
    }
}

void ReconnectWatch::setEnabled(bool enabled) {
    if (m_settings) {
        m_settings->setValue(QLatin1String(settingsKey), enabled);
    }
    if (enabled == m_enabled) {
        return;
    }
    m_enabled = enabled;
    if (!enabled) {
        clear();
    }
    Q_EMIT enabledChanged();
}

bool ReconnectWatch::await(const QUuid& id, const QString& name) {
    if (!m_enabled) {
        return false;
    }
    m_id = id;
    m_name = name;
    m_giveUp.start();
    Q_EMIT awaitingChanged();
    return true;
}

void ReconnectWatch::clear() {
    m_giveUp.stop();
    if (!m_id) {
        return;
    }
    m_id.reset();
    m_name.clear();
    Q_EMIT awaitingChanged();
}

} // namespace tallyfin
