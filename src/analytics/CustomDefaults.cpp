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

namespace {

// The suite lives in a folder of its own, so that making its folder private leaves the user's
// configuration folder as it is. Earlier versions kept it directly in that folder: moved once.
QString suitePath(const QString& suiteName) {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString path = config + u"/tallyfin/"_s + suiteName + u".conf";
    makePrivateFolder(QFileInfo(path).path());
    const QString earlier = config + u'/' + suiteName + u".conf";
    if (!QFileInfo::exists(path) && QFileInfo::exists(earlier)) {
        QFile::rename(earlier, path);
    }
    return path;
}

} // namespace

CustomDefaults::CustomDefaults(const QString& suiteName)
    : m_settings(std::make_unique<QSettings>(suitePath(suiteName), QSettings::IniFormat)) {
    // It holds the user's own identifier. Created private before the first write, since every
    // later write keeps the permissions of the file it replaces.
    const QString path = m_settings->fileName();
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
