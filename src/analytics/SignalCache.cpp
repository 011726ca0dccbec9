// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

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

void SignalCache::changed() {
    ++m_generation;
    reportChange();
}

void SignalCache::reportChange() {
    if (!m_changeReported && m_changeHandler && !m_closed && !m_filePath.isEmpty()) {
        m_changeReported = true;
        m_changeHandler();
    }
}

void SignalCache::push(const SignalPostBody& record) {
    QWriteLocker locker(&m_lock);
    m_cachedSignals.append(record);
    changed();
}

void SignalCache::push(const QList<SignalPostBody>& records) {
    QWriteLocker locker(&m_lock);
    m_cachedSignals.append(records);
    changed();
}

QList<SignalPostBody> SignalCache::pop() {
    QWriteLocker locker(&m_lock);
    const qsizetype n =
        std::min<qsizetype>(m_cachedSignals.size(), maximumNumberOfSignalsToPopAtOnce);
    QList<SignalPostBody> batch = m_cachedSignals.first(n);
    m_cachedSignals.remove(0, n);
    if (n > 0) {
        changed();
    }
    return batch;
}

int SignalCache::count() const {
    QReadLocker locker(&m_lock);
    return static_cast<int>(m_cachedSignals.size());
}

void SignalCache::setChangeHandler(std::function<void()> handler) {
    QWriteLocker locker(&m_lock);
    m_changeHandler = std::move(handler);
    // A loaded backlog is not on disk any more: the new handler writes it back.
    m_changeReported = false;
    if (m_generation != m_writtenGeneration) {
        reportChange();
    }
}

bool SignalCache::persist() {
    return write(LogLevel::Debug, false);
}

void SignalCache::backupCache() {
    write(LogLevel::Info, true);
    QWriteLocker locker(&m_lock);
    m_closed = true;
}

bool SignalCache::write(LogLevel successLevel, bool always) {
    QMutexLocker fileLocker(&m_fileMutex);
    QList<SignalPostBody> records;
    quint64 generation = 0;
    {
        QWriteLocker locker(&m_lock);
        m_changeReported = false;
        if (m_filePath.isEmpty() || m_closed || (!always && m_generation == m_writtenGeneration)) {
            return true;
        }
        records = m_cachedSignals;
        generation = m_generation;
    }
    if (records.isEmpty()) {
        // Nothing waits: no file, so that nothing is sent again after a restart.
        if (QFile::exists(m_filePath) && !QFile::remove(m_filePath)) {
            log(LogLevel::Error, u"Error saving Telemetry cache"_s);
            return false;
        }
    } else {
        const QByteArray data = encodeCacheFile(records);
        QDir().mkpath(QFileInfo(m_filePath).absolutePath());
        // A crash, a second signal or a full disk leaves the old file or the new one, never a
        // part of one.
        QSaveFile file(m_filePath);
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
            log(LogLevel::Error, u"Error saving Telemetry cache"_s);
            return false;
        }
        log(successLevel, u"Saved Telemetry cache "_s % QString::number(data.size()) %
                              u" bytes of " % QString::number(records.size()) % u" signals");
    }
    QWriteLocker locker(&m_lock);
    m_writtenGeneration = generation;
    return true;
}

void SignalCache::loadCache() {
    QWriteLocker locker(&m_lock);
    if (m_filePath.isEmpty()) {
        return;
    }
    log(LogLevel::Info,
        u"Loading Telemetry cache from: "_s + QUrl::fromLocalFile(m_filePath).toString());
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    const QByteArray data = file.readAll();
    file.close();
    // Read once: what it held now lives in the cache, which writes it back within the write
    // delay once a change handler is set (and at termination in any case).
    file.remove();
    auto records = decodeCacheFile(data);
    if (!records) {
        return;
    }
    log(LogLevel::Info, u"Loaded "_s % QString::number(records->size()) % u" signals");
    m_cachedSignals = std::move(*records);
    ++m_generation;
}

} // namespace tallyfin::analytics
