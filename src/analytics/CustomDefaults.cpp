// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/CustomDefaults.h"

#include "analytics/Hashing.h"
#include "analytics/PrivateFiles.h"
#include "analytics/TelemetryManager.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace tallyfin::analytics {

using namespace Qt::StringLiterals;

QString CustomDefaults::suiteName(const QString& appID) {
    return u"com.telemetrydeck."_s + sha256Hex(appID, QString()).right(12);
}

std::shared_ptr<CustomDefaults> CustomDefaults::ofInstalledManager() {
    const auto manager = TelemetryManager::installed();
    return manager ? manager->customDefaults() : nullptr;
}

CustomDefaults::CustomDefaults(const QString& suiteName)
    : m_settings(std::make_unique<QSettings>(
          QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
              suiteName + u".conf",
          QSettings::IniFormat)) {
    // It holds the user's own identifier. Created private before the first write, since every
    // later write keeps the permissions of the file it replaces.
    const QString path = m_settings->fileName();
    makePrivateFolder(QFileInfo(path).path());
    QFile file(path);
    if (!file.exists() && file.open(QIODevice::WriteOnly)) {
        file.close();
    }
    makePrivateFile(path);
}

CustomDefaults::~CustomDefaults() {
    sync();
}

QString CustomDefaults::fileName() const {
    QMutexLocker locker(&m_mutex);
    return m_settings->fileName();
}

QVariant CustomDefaults::value(const QString& key) const {
    QMutexLocker locker(&m_mutex);
    return m_settings->value(key);
}

void CustomDefaults::setValue(const QString& key, const QVariant& value) {
    QMutexLocker locker(&m_mutex);
    m_settings->setValue(key, value);
}

void CustomDefaults::remove(const QString& key) {
    QMutexLocker locker(&m_mutex);
    m_settings->remove(key);
}

void CustomDefaults::sync() {
    QMutexLocker locker(&m_mutex);
    m_settings->sync();
    makePrivateFile(m_settings->fileName());
}

} // namespace tallyfin::analytics
