// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "analytics/SignalCache.h"
#include "analytics/TelemetryManagerConfiguration.h"

#include <QObject>

#include <atomic>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace tallyfin::analytics {

// What happened to the records of one signal manager so far.
struct DeliveryCounters {
    // Signals handed to the manager that are not in the cache yet.
    std::atomic<qint64> building{0};
    std::atomic<qint64> processed{0};
    std::atomic<qint64> delivered{0};
    std::atomic<int> batchesInFlight{0};
};

// Lives on the signal manager's timer thread: pops batches on each tick and posts them, and keeps
// the cache file up to date.
class SignalSender : public QObject {
    Q_OBJECT

public:
    SignalSender(std::shared_ptr<SignalCache> cache,
                 std::shared_ptr<TelemetryManagerConfiguration> configuration,
                 std::shared_ptr<DeliveryCounters> counters);

    // Sends once, then every send interval.
    void start();
    void sendNextBatch();
    // Writes the cache file within the cache write delay (once for any number of calls).
    void schedulePersist();

private:
    void upload(const QList<SignalPostBody>& batch);
    void complete(QNetworkReply* reply, const QList<SignalPostBody>& batch);
    bool logsDebug() const;

    std::shared_ptr<SignalCache> m_cache;
    std::shared_ptr<TelemetryManagerConfiguration> m_configuration;
    std::shared_ptr<DeliveryCounters> m_counters;
    QTimer* m_timer = nullptr;
    QTimer* m_persistTimer = nullptr;
    QNetworkAccessManager* m_network = nullptr;
};

} // namespace tallyfin::analytics
