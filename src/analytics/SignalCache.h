// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "analytics/LogHandler.h"
#include "analytics/SignalPostBody.h"

#include <QList>
#include <QLockFile>
#include <QMutex>
#include <QReadWriteLock>

#include <functional>
#include <memory>
#include <optional>

namespace tallyfin::analytics {

// Records waiting for upload, in arrival order, with the file that carries them across a
// restart. The file holds the records of the cache (never those of a batch on its way), so it is
// written before a batch leaves and whenever records come in or come back. Safe to use from any
// thread: pushes and pops are exclusive, and so are the writes of the file.
//
// One process owns the file at a time (a lock file beside it, held from construction to
// backupCache()), so that no two processes ever send the same record. A cache that finds the file
// owned by another running process leaves it alone and keeps its own records in a file of its own
// beside it ("telemetrysignalcache-<32 hex digits>", locked the same way). At construction a cache
// takes over every such file whose process is gone, and the file itself when it owns it. The
// files are readable by this user only, in a folder only this user can enter.
class SignalCache {
public:
    static constexpr int maximumNumberOfSignalsToPopAtOnce = 100;
    // What a start takes over at most: a larger file, or more records, than the client ever writes
    // in normal use is cut down to its newest records, with a log line.
    static constexpr qint64 maximumFileSize = 10 * 1024 * 1024;
    static constexpr int maximumNumberOfSignalsLoaded = 10'000;

    // "telemetrysignalcache" in the application's cache directory.
    static QString defaultFilePath();

    // Loads the file before returning; an empty path keeps the records in memory only.
    explicit SignalCache(std::optional<LogHandler> logHandler,
                         const QString& filePath = defaultFilePath());

    void push(const SignalPostBody& record);
    void push(const QList<SignalPostBody>& records);
    // Removes and returns up to 100 records from the front.
    QList<SignalPostBody> pop();
    int count() const;

    // Called on the pushing thread after records arrive while the file lags behind, once until
    // the next write; the owner arranges a write soon after.
    void setChangeHandler(std::function<void()> handler);
    // Brings the file up to date when the records changed since the last write (a cache without
    // records removes it). False when the write failed.
    bool persist();
    // At termination: writes every record to the file whatever was written before ("[]" when
    // there is none), empties the cache once they are written, and writes nothing after it.
    void backupCache();
    // Replaces the records with those of the files this cache takes over and deletes them (they
    // are written back within the write delay); a file that cannot be decoded is deleted and
    // ignored.
    void loadCache();

    QString filePath() const { return m_filePath; }
    // The file this cache writes: filePath() when it owns it, else its own file beside it.
    QString ownFilePath() const { return m_ownFilePath; }

private:
    void log(LogLevel level, const QString& message) const;
    void changed();
    // Asks the change handler, once until the next write, to bring the file up to date.
    void reportChange();
    bool write(LogLevel successLevel, bool always);
    // Takes the file at `path` over: appends its newest records to `records` and deletes it.
    // False when there was no file or it could not be decoded.
    bool adopt(const QString& path, QList<SignalPostBody>& records) const;

    std::optional<LogHandler> m_logHandler;
    QString m_filePath;
    QString m_ownFilePath;
    // Held on m_ownFilePath from construction to backupCache().
    std::unique_ptr<QLockFile> m_fileOwnership;
    mutable QReadWriteLock m_lock;
    QList<SignalPostBody> m_cachedSignals;
    // Counts changes of the records; the file holds those of m_writtenGeneration.
    quint64 m_generation = 0;
    quint64 m_writtenGeneration = 0;
    bool m_changeReported = false;
    bool m_closed = false;
    std::function<void()> m_changeHandler;
    // Held across one whole write, so that an older list never replaces a newer one.
    QMutex m_fileMutex;
};

} // namespace tallyfin::analytics
