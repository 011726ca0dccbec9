#include "analytics/SignalCache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

namespace tallyfin::analytics {

using namespace Qt::StringLiterals;

QString SignalCache::defaultFilePath() {
    QString directory = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (directory.isEmpty()) {
        directory = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    }
    if (directory.isEmpty()) {
        directory = QDir::tempPath();
    }
    return directory + u"/telemetrysignalcache"_s;
}

SignalCache::SignalCache(std::optional<LogHandler> logHandler, const QString& filePath)
    : m_logHandler(std::move(logHandler))
    , m_filePath(filePath) {
    loadCache();
}

void SignalCache::log(LogLevel level, const QString& message) const {
    if (m_logHandler) {
        m_logHandler->log(level, message);
    }
}

void SignalCache::push(const SignalPostBody& record) {
    QWriteLocker locker(&m_lock);
    m_cachedSignals.append(record);
}

void SignalCache::push(const QList<SignalPostBody>& records) {
    QWriteLocker locker(&m_lock);
    m_cachedSignals.append(records);
}

QList<SignalPostBody> SignalCache::pop() {
    QWriteLocker locker(&m_lock);
    const qsizetype n =
        std::min<qsizetype>(m_cachedSignals.size(), maximumNumberOfSignalsToPopAtOnce);
    QList<SignalPostBody> batch = m_cachedSignals.first(n);
    m_cachedSignals.remove(0, n);
    return batch;
}

int SignalCache::count() const {
    QReadLocker locker(&m_lock);
    return static_cast<int>(m_cachedSignals.size());
}

void SignalCache::backupCache() {
    QWriteLocker locker(&m_lock);
    const QByteArray data = encodeCacheFile(m_cachedSignals);
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        log(LogLevel::Error, u"Error saving Telemetry cache"_s);
        return;
    }
    log(LogLevel::Info, u"Saved Telemetry cache "_s % QString::number(data.size()) % u" bytes of " %
                            QString::number(m_cachedSignals.size()) % u" signals");
    m_cachedSignals.clear();
}

void SignalCache::loadCache() {
    QWriteLocker locker(&m_lock);
    log(LogLevel::Info,
        u"Loading Telemetry cache from: "_s + QUrl::fromLocalFile(m_filePath).toString());
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    const QByteArray data = file.readAll();
    file.close();
    file.remove();
    auto records = decodeCacheFile(data);
    if (!records) {
        return;
    }
    log(LogLevel::Info, u"Loaded "_s % QString::number(records->size()) % u" signals");
    m_cachedSignals = std::move(*records);
}

} // namespace tallyfin::analytics
