// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "analytics/SignalManager.h"
#include "analytics/TelemetryManagerConfiguration.h"

#include <QDateTime>
#include <QReadWriteLock>

#include <memory>

namespace tallyfin::analytics {

class CustomDefaults;

// Owns one configuration and its signal manager. One manager is installed per process; the
// class operations reach it.
class TelemetryManager : public std::enable_shared_from_this<TelemetryManager> {
public:
    // Builds the signal manager (which loads the cache file and starts sending) and schedules
    // the first session after the configured delay.
    static std::shared_ptr<TelemetryManager>
    create(std::shared_ptr<TelemetryManagerConfiguration> configuration,
           const QString& cacheFilePath = SignalCache::defaultFilePath());
    ~TelemetryManager();

    // Installs a new manager. The one it replaces first stops sending and writes what it keeps to
    // the cache file, which the new one then loads.
    static void initialize(std::shared_ptr<TelemetryManagerConfiguration> configuration,
                           const QString& cacheFilePath = SignalCache::defaultFilePath());
    static bool isInitialized();
    // The installed manager; in preview mode one is installed on demand, otherwise a throwaway
    // manager with an empty application identifier is returned, whose records stay in memory.
    static std::shared_ptr<TelemetryManager> shared();
    // The installed manager, or none.
    static std::shared_ptr<TelemetryManager> installed();
    static void terminate();

    static void generateNewSession();
    static void updateDefaultUser(const std::optional<QString>& user);
    static void requestImmediateSync();
    // sha256Hex of the default user identifier with the configured salt.
    static QString hashedDefaultUser();
    static void send(const QString& name);
    static void send(const QString& name, const Parameters& parameters);
    static void send(const QString& name, const std::optional<QString>& customUserID,
                     std::optional<double> floatValue, const Parameters& parameters);

    std::shared_ptr<TelemetryManagerConfiguration> configuration() const;
    SignalManager& signalManager() { return *m_signalManager; }
    // This manager's preferences suite, created on first use.
    std::shared_ptr<CustomDefaults> customDefaults();

    // The foreground rule: back after more than the foreground timeout starts a new session.
    // Nothing calls them on their own: neither the desktop's sleep nor its lock starts a session
    // (the session manager and the duration tracker follow activity themselves).
    void willEnterForeground();
    void didEnterBackground();
    // At most one early send per minimum gap.
    void requestImmediateSyncOnThis();

private:
    TelemetryManager(std::shared_ptr<TelemetryManagerConfiguration> configuration,
                     const QString& cacheFilePath);

    mutable QReadWriteLock m_lock;
    QDateTime m_lastTimeImmediateSyncRequested;
    QDateTime m_lastDateAppEnteredBackground;
    std::shared_ptr<TelemetryManagerConfiguration> m_configuration;
    std::unique_ptr<SignalManager> m_signalManager;
    std::shared_ptr<CustomDefaults> m_customDefaults;
};

} // namespace tallyfin::analytics
