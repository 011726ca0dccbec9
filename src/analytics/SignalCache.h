#pragma once

#include "analytics/LogHandler.h"
#include "analytics/SignalPostBody.h"

#include <QList>
#include <QReadWriteLock>

#include <optional>

namespace tallyfin::analytics {

// Records waiting for upload, in arrival order, with the file that carries them across a
// restart. Safe to use from any thread: pushes and pops are exclusive.
class SignalCache {
public:
    static constexpr int maximumNumberOfSignalsToPopAtOnce = 100;

    // "telemetrysignalcache" in the application's cache directory.
    static QString defaultFilePath();

    // Loads (and deletes) the file before returning.
    explicit SignalCache(std::optional<LogHandler> logHandler,
                         const QString& filePath = defaultFilePath());

    void push(const SignalPostBody& record);
    void push(const QList<SignalPostBody>& records);
    // Removes and returns up to 100 records from the front.
    QList<SignalPostBody> pop();
    int count() const;

    // Writes every record to the file and empties the cache; on a write failure keeps them.
    void backupCache();
    // Replaces the records with those of the file, deleting the file.
    void loadCache();

    QString filePath() const { return m_filePath; }

private:
    void log(LogLevel level, const QString& message) const;

    std::optional<LogHandler> m_logHandler;
    QString m_filePath;
    mutable QReadWriteLock m_lock;
    QList<SignalPostBody> m_cachedSignals;
};

} // namespace tallyfin::analytics
