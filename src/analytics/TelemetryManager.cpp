// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/TelemetryManager.h"

#include "analytics/CustomDefaults.h"
#include "analytics/Hashing.h"
#include "analytics/MainThread.h"
#include "analytics/TelemetryDeck.h"

#include <QCoreApplication>
#include <QTimeZone>
#include <QTimer>

namespace tallyfin::analytics {

namespace {

// The process-wide slot of the installed manager.
struct TelemetryManagerStorage {
    QReadWriteLock lock;
    std::shared_ptr<TelemetryManager> manager;
};

TelemetryManagerStorage& storage() {
    static TelemetryManagerStorage instance;
    return instance;
}

QDateTime distantPast() {
    return QDateTime(QDate(1, 1, 1), QTime(0, 0), QTimeZone::utc());
}

} // namespace

TelemetryManager::TelemetryManager(std::shared_ptr<TelemetryManagerConfiguration> configuration,
                                   const QString& cacheFilePath)
    : m_lastTimeImmediateSyncRequested(distantPast())
    , m_lastDateAppEnteredBackground(distantPast())
    , m_configuration(std::move(configuration))
    , m_signalManager(std::make_unique<SignalManager>(m_configuration, cacheFilePath)) {}

TelemetryManager::~TelemetryManager() = default;

std::shared_ptr<TelemetryManager>
TelemetryManager::create(std::shared_ptr<TelemetryManagerConfiguration> configuration,
                         const QString& cacheFilePath) {
    std::shared_ptr<TelemetryManager> manager(
        new TelemetryManager(std::move(configuration), cacheFilePath));
    const auto delay = manager->m_configuration->timing().sessionStartDelay;
    if (QCoreApplication::instance() != nullptr) {
        // The first session belongs to whichever manager is installed by then; without one there
        // is no session to start (and no throwaway manager is built for it). The timer is started
        // on the main thread, since the caller's thread may have no event loop.
        postToMainThread([delay] {
            QTimer::singleShot(delay, QCoreApplication::instance(), [] {
                if (const auto current = installed()) {
                    current->configuration()->setSessionID(QUuid::createUuid());
                }
            });
        });
    }
    return manager;
}

void TelemetryManager::initialize(std::shared_ptr<TelemetryManagerConfiguration> configuration,
                                  const QString& cacheFilePath) {
    // The previous manager hands its records over through the cache file; it (and its timer
    // thread) goes away outside the lock.
    terminate();
    auto manager = create(std::move(configuration), cacheFilePath);
    QWriteLocker locker(&storage().lock);
    storage().manager = std::move(manager);
}

bool TelemetryManager::isInitialized() {
    QReadLocker locker(&storage().lock);
    return storage().manager != nullptr;
}

std::shared_ptr<TelemetryManager> TelemetryManager::installed() {
    QReadLocker locker(&storage().lock);
    return storage().manager;
}

std::shared_ptr<TelemetryManager> TelemetryManager::shared() {
    if (auto manager = installed()) {
        return manager;
    }
    const bool preview = TelemetryManagerConfiguration::previewModeFromEnvironment();
    // A manager that is not installed never touches the file the installed ones keep.
    auto manager = create(std::make_shared<TelemetryManagerConfiguration>(QString()),
                          preview ? SignalCache::defaultFilePath() : QString());
    if (preview) {
        QWriteLocker locker(&storage().lock);
        if (storage().manager) {
            return storage().manager;
        }
        storage().manager = manager;
    }
    return manager;
}

void TelemetryManager::terminate() {
    std::shared_ptr<TelemetryManager> previous;
    {
        QWriteLocker locker(&storage().lock);
        previous = std::exchange(storage().manager, nullptr);
    }
    if (previous) {
        previous->signalManager().retire();
    }
}

void TelemetryManager::generateNewSession() {
    shared()->configuration()->setSessionID(QUuid::createUuid());
}

void TelemetryManager::updateDefaultUser(const std::optional<QString>& user) {
    shared()->configuration()->setDefaultUser(user);
}

void TelemetryManager::requestImmediateSync() {
    shared()->requestImmediateSyncOnThis();
}

QString TelemetryManager::hashedDefaultUser() {
    const auto configuration = shared()->configuration();
    return sha256Hex(SignalManager::defaultUserIdentifier(*configuration), configuration->salt);
}

void TelemetryManager::send(const QString& name) {
    TelemetryDeck::signal(name);
}

void TelemetryManager::send(const QString& name, const Parameters& parameters) {
    TelemetryDeck::signal(name, parameters);
}

void TelemetryManager::send(const QString& name, const std::optional<QString>& customUserID,
                            std::optional<double> floatValue, const Parameters& parameters) {
    TelemetryDeck::signal(name, parameters, floatValue, customUserID);
}

std::shared_ptr<TelemetryManagerConfiguration> TelemetryManager::configuration() const {
    QWriteLocker locker(&m_lock);
    return m_configuration;
}

std::shared_ptr<CustomDefaults> TelemetryManager::customDefaults() {
    QWriteLocker locker(&m_lock);
    if (!m_customDefaults) {
        m_customDefaults = std::make_shared<CustomDefaults>(
            CustomDefaults::suiteName(m_configuration->telemetryAppID));
    }
    return m_customDefaults;
}

void TelemetryManager::didEnterBackground() {
    QWriteLocker locker(&m_lock);
    m_lastDateAppEnteredBackground = Clock::now();
}

void TelemetryManager::willEnterForeground() {
    QDateTime enteredBackground;
    {
        QReadLocker locker(&m_lock);
        enteredBackground = m_lastDateAppEnteredBackground;
    }
    const auto timeout = m_configuration->timing().foregroundSessionTimeout;
    if (enteredBackground.addMSecs(timeout.count()) < Clock::now()) {
        m_configuration->setSessionID(QUuid::createUuid());
    }
}

void TelemetryManager::requestImmediateSyncOnThis() {
    const Timing timing = m_configuration->timing();
    {
        QWriteLocker locker(&m_lock);
        const QDateTime now = Clock::now();
        if (m_lastTimeImmediateSyncRequested.msecsTo(now) <=
            timing.immediateSyncMinimumGap.count()) {
            return;
        }
        m_lastTimeImmediateSyncRequested = now;
    }
    m_signalManager->sendNextBatch(timing.immediateSyncDelay);
}

} // namespace tallyfin::analytics
