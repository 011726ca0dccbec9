// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/SignalManager.h"

#include "analytics/AppActivity.h"
#include "analytics/CustomDefaults.h"
#include "analytics/DefaultSignalPayload.h"
#include "analytics/Hashing.h"
#include "analytics/MainThread.h"
#include "analytics/SignalComposition.h"
#include "analytics/SignalSender.h"

#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <QUuid>

namespace tallyfin::analytics {

using namespace Qt::StringLiterals;

namespace {
// How long termination waits for records still being built.
constexpr int buildWaitMSecs = 500;
} // namespace

SignalManager::SignalManager(std::shared_ptr<TelemetryManagerConfiguration> configuration,
                             const QString& cacheFilePath)
    : m_configuration(std::move(configuration))
    , m_counters(std::make_shared<DeliveryCounters>()) {
    m_signalCache = std::make_shared<SignalCache>(
        m_configuration->previewMode() ? std::nullopt : m_configuration->logHandler(),
        cacheFilePath);

    auto* activity = AppActivity::instance();
    m_terminateConnection = QObject::connect(activity, &AppActivity::willTerminate, activity,
                                             [this] { appWillTerminate(); });
    m_sessionEndConnection = QObject::connect(activity, &AppActivity::sessionWillEnd, activity,
                                              [this] { m_signalCache->persist(); });

    m_timerThread = new QThread;
    m_timerThread->setObjectName(u"com.telemetrydeck.SignalTimer"_s);
    auto* sender = new SignalSender(m_signalCache, m_configuration, m_counters);
    m_sender = sender;
    sender->moveToThread(m_timerThread);
    QObject::connect(m_timerThread, &QThread::finished, sender, &QObject::deleteLater);
    m_timerThread->start();
    // The handler is removed before the timer thread ends, so the sender outlives every call.
    m_signalCache->setChangeHandler([sender] {
        QMetaObject::invokeMethod(sender, &SignalSender::schedulePersist, Qt::QueuedConnection);
    });
    QMetaObject::invokeMethod(sender, &SignalSender::start, Qt::QueuedConnection);
}

SignalManager::~SignalManager() {
    retire();
    delete m_timerThread;
}

void SignalManager::stopSending() {
    QObject::disconnect(m_terminateConnection);
    QObject::disconnect(m_sessionEndConnection);
    m_signalCache->setChangeHandler({});
    m_timerThread->quit();
    m_timerThread->wait();
}

void SignalManager::retire() {
    stopSending();
    // Records that arrive later are not written: the file may belong to another manager by then.
    m_signalCache->backupCache();
}

void SignalManager::sendNextBatch(std::chrono::milliseconds delay) {
    if (!m_sender) {
        return;
    }
    QPointer<SignalSender> sender = m_sender;
    QMetaObject::invokeMethod(
        sender,
        [sender, delay] {
            if (delay.count() <= 0) {
                sender->sendNextBatch();
            } else {
                QTimer::singleShot(delay, sender, &SignalSender::sendNextBatch);
            }
        },
        Qt::QueuedConnection);
}

void SignalManager::noteBuilding() {
    ++m_counters->building;
}

qint64 SignalManager::buildingCount() const {
    return m_counters->building;
}

qint64 SignalManager::processedCount() const {
    return m_counters->processed;
}

qint64 SignalManager::deliveredCount() const {
    return m_counters->delivered;
}

int SignalManager::batchesInFlight() const {
    return m_counters->batchesInFlight;
}

void SignalManager::appWillTerminate() {
    const auto handler = m_configuration->logHandler();
    if (handler && handler->logLevel == LogLevel::Debug) {
        handler->log(LogLevel::Debug, u"appWillTerminate()"_s);
    }
    // A batch on its way is neither in the cache nor in the file; nothing more leaves. Records
    // still being built on the background pool get a moment to arrive.
    stopSending();
    QThreadPool::globalInstance()->waitForDone(buildWaitMSecs);
    m_signalCache->backupCache();
    if (const auto defaults = CustomDefaults::ofInstalledManager()) {
        defaults->sync();
    }
}

QString SignalManager::defaultUserIdentifier(const TelemetryManagerConfiguration& configuration) {
    if (const auto user = configuration.defaultUser()) {
        return *user;
    }
    const auto defaults = CustomDefaults::ofInstalledManager();
    const QString key = u"defaultUserIdentifier"_s;
    if (defaults) {
        const QVariant stored = defaults->value(key);
        if (stored.typeId() == QMetaType::QString) {
            return stored.toString();
        }
    }
    const QString identifier = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    if (defaults) {
        defaults->setValue(key, identifier);
    }
    return identifier;
}

std::optional<QUrl> SignalManager::batchURL(const QUrl& baseURL,
                                            const std::optional<QString>& nameSpace) {
    const QString path = nameSpace.value_or(QString()).isEmpty()
                             ? u"/v2/"_s
                             : u"/v2/namespace/"_s + *nameSpace + u'/';
    const QUrl relative(path, QUrl::StrictMode);
    if (!relative.isValid() || !baseURL.isValid()) {
        return std::nullopt;
    }
    const QUrl url = baseURL.resolved(relative).adjusted(QUrl::NormalizePathSegments);
    if (!url.isValid() || url.isEmpty()) {
        return std::nullopt;
    }
    return url;
}

void SignalManager::processSignal(const QString& name, const Parameters& parameters,
                                  std::optional<double> floatValue,
                                  const std::optional<QString>& customUserID,
                                  std::shared_ptr<TelemetryManagerConfiguration> configuration) {
    const QString userIdentifier = defaultUserIdentifier(*configuration);
    const Parameters defaults = DefaultSignalPayload::parameters(*configuration);
    postToBackground([cache = m_signalCache, counters = m_counters,
                      configuration = std::move(configuration), name, parameters, floatValue,
                      customUserID, userIdentifier, defaults] {
        const SignalPostBody record = buildRecord(name, parameters, floatValue, customUserID,
                                                  userIdentifier, defaults, *configuration);
        configuration->log(LogLevel::Debug, u"Process signal: "_s + record.description());
        cache->push(record);
        ++counters->processed;
        --counters->building;
    });
}

SignalPostBody SignalManager::buildRecord(const QString& name, const Parameters& parameters,
                                          std::optional<double> floatValue,
                                          const std::optional<QString>& customUserID,
                                          const QString& defaultUserIdentifier,
                                          const Parameters& defaultPayload,
                                          const TelemetryManagerConfiguration& configuration) {
    Parameters enrichment;
    for (const auto& enricher : configuration.metadataEnrichers()) {
        enrichment.insert(enricher->enrich(name, customUserID, floatValue));
    }
    SignalPostBody record;
    record.receivedAt = Clock::now();
    record.appID = configuration.telemetryAppID;
    record.clientUser = sha256Hex(customUserID.value_or(defaultUserIdentifier), configuration.salt);
    record.sessionID = configuration.sessionID().toString(QUuid::WithoutBraces).toUpper();
    record.type = name;
    record.floatValue = floatValue;
    record.payload =
        composition::merged(composition::merged(defaultPayload, enrichment), parameters);
    record.isTestMode = configuration.testMode() ? u"true"_s : u"false"_s;
    return record;
}

} // namespace tallyfin::analytics
