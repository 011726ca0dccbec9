// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/SignalCache.h"

#include "analytics/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>
#include <QUuid>

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

namespace {

// A lock beside `path` that only a process that has ended gives up: never stale by age alone,
// since an overlay runs for days.
std::unique_ptr<QLockFile> lockBeside(const QString& path) {
    auto lock = std::make_unique<QLockFile>(path + u".lock"_s);
    lock->setStaleLockTime(0);
    return lock;
}

// The files of other processes beside `path`, whichever process they belong to.
QStringList ownFilesBeside(const QString& path) {
    const QFileInfo info(path);
    const QRegularExpression own(u"^"_s + QRegularExpression::escape(info.fileName()) +
                                 u"-[0-9a-f]{32}$"_s);
    QStringList files;
    const QStringList names =
        QDir(info.path()).entryList({info.fileName() + u"-*"_s}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        if (own.match(name).hasMatch()) {
            files.append(info.path() + u'/' + name);
        }
    }
    return files;
}

} // namespace

SignalCache::SignalCache(std::optional<LogHandler> logHandler, const QString& filePath)
    : m_logHandler(std::move(logHandler))
    , m_filePath(filePath) {
    if (!m_filePath.isEmpty()) {
        makePrivateFolder(QFileInfo(m_filePath).path());
        m_fileOwnership = lockBeside(m_filePath);
        m_ownFilePath = m_filePath;
        if (!m_fileOwnership->tryLock(0)) {
            // Another process sends what the file holds; ours go to a file of our own.
            m_ownFilePath = m_filePath + u'-' + QUuid::createUuid().toString(QUuid::Id128);
            m_fileOwnership = lockBeside(m_ownFilePath);
            if (!m_fileOwnership->tryLock(0)) {
                log(LogLevel::Error, u"Cannot lock a Telemetry cache of its own: "_s +
                                         QUrl::fromLocalFile(m_ownFilePath).toString());
                m_ownFilePath.clear();
            }
        }
    }
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
    // Written for the last time: the next owner may take it over.
    m_fileOwnership.reset();
}

bool SignalCache::write(LogLevel successLevel, bool always) {
    QMutexLocker fileLocker(&m_fileMutex);
    QList<SignalPostBody> records;
    quint64 generation = 0;
    {
        QWriteLocker locker(&m_lock);
        m_changeReported = false;
        if (m_ownFilePath.isEmpty() || m_closed ||
            (!always && m_generation == m_writtenGeneration)) {
            return true;
        }
        records = m_cachedSignals;
        generation = m_generation;
    }
    if (records.isEmpty() && !always) {
        // Nothing waits: no file, so that nothing is sent again after a restart.
        if (QFile::exists(m_ownFilePath) && !QFile::remove(m_ownFilePath)) {
            log(LogLevel::Error, u"Error saving Telemetry cache"_s);
            return false;
        }
    } else {
        // At termination an empty cache is written too: "[]", which the next start reads and
        // deletes.
        const QByteArray data = encodeCacheFile(records);
        makePrivateFolder(QFileInfo(m_ownFilePath).path());
        // A crash, a second signal or a full disk leaves the old file or the new one, never a
        // part of one. A replaced file keeps its permissions; a new one gets them after.
        QSaveFile file(m_ownFilePath);
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit() ||
            !makePrivateFile(m_ownFilePath)) {
            log(LogLevel::Error, u"Error saving Telemetry cache"_s);
            return false;
        }
        log(successLevel, u"Saved Telemetry cache "_s % QString::number(data.size()) %
                              u" bytes of " % QString::number(records.size()) % u" signals");
    }
    QWriteLocker locker(&m_lock);
    m_writtenGeneration = generation;
    if (always && m_generation == generation) {
        // In the file now, and only there.
        m_cachedSignals.clear();
    }
    return true;
}

void SignalCache::loadCache() {
    QWriteLocker locker(&m_lock);
    if (m_filePath.isEmpty()) {
        return;
    }
    log(LogLevel::Info,
        u"Loading Telemetry cache from: "_s + QUrl::fromLocalFile(m_filePath).toString());
    QList<SignalPostBody> records;
    bool loaded = m_ownFilePath == m_filePath && adopt(m_filePath, records);
    for (const QString& path : ownFilesBeside(m_filePath)) {
        const auto lock = lockBeside(path);
        // Locked: its process still runs and sends them.
        if (path != m_ownFilePath && lock->tryLock(0)) {
            loaded = adopt(path, records) || loaded;
        }
    }
    if (!loaded) {
        return;
    }
    if (records.size() > maximumNumberOfSignalsLoaded) {
        log(LogLevel::Error, u"Telemetry caches hold "_s % QString::number(records.size()) %
                                 u" signals: keeping the newest " %
                                 QString::number(maximumNumberOfSignalsLoaded));
        records.remove(0, records.size() - maximumNumberOfSignalsLoaded);
    }
    log(LogLevel::Info, u"Loaded "_s % QString::number(records.size()) % u" signals");
    m_cachedSignals = std::move(records);
    ++m_generation;
}

bool SignalCache::adopt(const QString& path, QList<SignalPostBody>& records) const {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    // Read once: what it held now lives in the cache, which writes it back within the write
    // delay once a change handler is set (and at termination in any case).
    QByteArray data;
    const qint64 size = file.size();
    if (size > maximumFileSize) {
        // Far more than the client writes: only the newest records, from the file's end. Each
        // record is written on a line of its own, so a line that starts an object starts one.
        log(LogLevel::Error, u"Telemetry cache "_s % QUrl::fromLocalFile(path).toString() %
                                 u" holds " % QString::number(size) % u" bytes, over " %
                                 QString::number(maximumFileSize) %
                                 u": keeping the newest signals of its last " %
                                 QString::number(maximumFileSize) % u" bytes");
        if (file.seek(size - maximumFileSize)) {
            data = file.read(maximumFileSize);
            const qsizetype start = data.indexOf("\n{");
            data = start < 0 ? QByteArray() : '[' + data.mid(start + 1);
        }
    } else {
        data = file.readAll();
    }
    file.close();
    file.remove();
    auto loaded = decodeCacheFile(data);
    if (!loaded) {
        return false;
    }
    records.append(std::move(*loaded));
    return true;
}

} // namespace tallyfin::analytics
