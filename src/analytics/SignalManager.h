// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "analytics/SignalCache.h"
#include "analytics/TelemetryManagerConfiguration.h"

#include <QMetaObject>
#include <QPointer>
#include <QUrl>

#include <chrono>
#include <memory>
#include <optional>

class QThread;

namespace tallyfin::analytics {

class SignalSender;
struct DeliveryCounters;

// Turns signals into records, keeps them in the cache and sends them in batches on a timer
// thread of its own. Keeps the cache file up to date, so that waiting records survive the end of
// the program, whichever way it ends.
class SignalManager {
public:
    // Loads the cache file, sends the first batch at once and starts the send timer. With an empty
    // path the records stay in memory.
    explicit SignalManager(std::shared_ptr<TelemetryManagerConfiguration> configuration,
                           const QString& cacheFilePath = SignalCache::defaultFilePath());
    // Stops sending and writes what is left to the cache file.
    ~SignalManager();
    SignalManager(const SignalManager&) = delete;
    SignalManager& operator=(const SignalManager&) = delete;

    // Builds one record and appends it to the cache. Starts on the main thread (user identifier,
    // default payload) and finishes on a background thread (enrichers, hashing).
    void processSignal(const QString& name, const Parameters& parameters,
                       std::optional<double> floatValue, const std::optional<QString>& customUserID,
                       std::shared_ptr<TelemetryManagerConfiguration> configuration);

    // Sends the next batch on the timer thread after the delay.
    void sendNextBatch(std::chrono::milliseconds delay = std::chrono::milliseconds(0));
    // Writes the unsent records to the cache file and sends nothing more.
    void appWillTerminate();
    // Stops sending and writes the cache file one last time, for a manager that gives way to
    // another.
    void retire();
    // A signal is on its way to processSignal.
    void noteBuilding();

    SignalCache& signalCache() { return *m_signalCache; }

    // Signals not built yet, records built so far, records the service accepted, and batches
    // waiting for an answer.
    qint64 buildingCount() const;
    qint64 processedCount() const;
    qint64 deliveredCount() const;
    int batchesInFlight() const;

    // The background half of processSignal: enrichers, merge order, hashing, the record.
    static SignalPostBody buildRecord(const QString& name, const Parameters& parameters,
                                      std::optional<double> floatValue,
                                      const std::optional<QString>& customUserID,
                                      const QString& defaultUserIdentifier,
                                      const Parameters& defaultPayload,
                                      const TelemetryManagerConfiguration& configuration);

    // The configured user, else the stored anonymous identifier, else a new one that is stored.
    static QString defaultUserIdentifier(const TelemetryManagerConfiguration& configuration);
    // "/v2/" or "/v2/namespace/<namespace>/" resolved against the base; none when invalid.
    static std::optional<QUrl> batchURL(const QUrl& baseURL,
                                        const std::optional<QString>& nameSpace);

private:
    void stopSending();

    std::shared_ptr<SignalCache> m_signalCache;
    std::shared_ptr<TelemetryManagerConfiguration> m_configuration;
    std::shared_ptr<DeliveryCounters> m_counters;
    QThread* m_timerThread = nullptr;
    QPointer<SignalSender> m_sender;
    QMetaObject::Connection m_terminateConnection;
    QMetaObject::Connection m_sessionEndConnection;
};

} // namespace tallyfin::analytics
