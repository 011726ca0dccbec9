// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "analytics/LogHandler.h"
#include "analytics/Timing.h"

#include <QMap>
#include <QMutex>
#include <QString>
#include <QUrl>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QNetworkAccessManager;
class QObject;

namespace tallyfin::analytics {

using Parameters = QMap<QString, QString>;

// Adds extra payload entries to every signal. Called off the main thread.
class SignalEnricher {
public:
    virtual ~SignalEnricher() = default;
    virtual Parameters enrich(const QString& signalType, const std::optional<QString>& customUserID,
                              std::optional<double> floatValue) = 0;
};

// Settings of the analytics client. One instance is shared by the manager, the signal manager and
// every signal in flight, so a change is seen by all of them. Fixed fields never change after
// construction; every other field can be read and written from any thread.
class TelemetryManagerConfiguration
    : public std::enable_shared_from_this<TelemetryManagerConfiguration> {
public:
    using DefaultParametersFunction = std::function<Parameters()>;
    // Creates the HTTP client of the sending thread, owned by the given parent.
    using UrlSessionFactory = std::function<QNetworkAccessManager*(QObject* parent)>;
    using AppearanceFunction = std::function<bool()>;

    static QUrl defaultApiBaseURL();

    explicit TelemetryManagerConfiguration(const QString& appID,
                                           const std::optional<QString>& salt = {},
                                           const std::optional<QUrl>& baseURL = {},
                                           const std::optional<QString>& nameSpace = {});

    // Fixed fields.
    const QString telemetryAppID;
    const QUrl apiBaseURL;
    const std::optional<QString> nameSpace;
    const QString salt;

    std::optional<QString> defaultUser() const;
    void setDefaultUser(const std::optional<QString>& user);
    std::optional<QString> defaultSignalPrefix() const;
    void setDefaultSignalPrefix(const std::optional<QString>& prefix);
    std::optional<QString> defaultParameterPrefix() const;
    void setDefaultParameterPrefix(const std::optional<QString>& prefix);
    // Called once for every signal.
    DefaultParametersFunction defaultParameters() const;
    void setDefaultParameters(DefaultParametersFunction function);
    bool sendNewSessionBeganSignal() const;
    void setSendNewSessionBeganSignal(bool send);

    QUuid sessionID() const;
    // Stores the identifier, then starts a new session in the session manager (when session
    // statistics are on) and sends "TelemetryDeck.Session.started" (when enabled). The side
    // effects run on the main thread.
    void setSessionID(const QUuid& sessionID);

    UrlSessionFactory urlSession() const;
    void setUrlSession(UrlSessionFactory factory);

    // Stored only; nothing reads it.
    bool sendSignalsInDebugConfiguration() const;
    void setSendSignalsInDebugConfiguration(bool send);
    bool telemetryAllowDebugBuilds() const { return sendSignalsInDebugConfiguration(); }
    void setTelemetryAllowDebugBuilds(bool allow) { setSendSignalsInDebugConfiguration(allow); }

    bool testMode() const;
    void setTestMode(bool testMode);
    // Explicit value when set; otherwise true exactly when XCODE_RUNNING_FOR_PREVIEWS is "1".
    bool previewMode() const;
    void setPreviewMode(bool previewMode);
    static bool previewModeFromEnvironment();

    bool analyticsDisabled() const;
    void setAnalyticsDisabled(bool disabled);
    bool reservedParameterWarningsEnabled() const;
    void setReservedParameterWarningsEnabled(bool enabled);
    bool sessionStatsEnabled() const;
    void setSessionStatsEnabled(bool enabled);
    // Stored only; nothing reads it.
    bool showDebugLogs() const;
    void setShowDebugLogs(bool show);

    std::optional<LogHandler> logHandler() const;
    void setLogHandler(const std::optional<LogHandler>& handler);
    // Logs through the handler when there is one.
    void log(LogLevel level, const QString& message) const;

    std::vector<std::shared_ptr<SignalEnricher>> metadataEnrichers() const;
    void setMetadataEnrichers(std::vector<std::shared_ptr<SignalEnricher>> enrichers);

    // Whether the application shows a dark appearance; without one the colour scheme is "Light".
    AppearanceFunction darkAppearance() const;
    void setDarkAppearance(AppearanceFunction function);

    // Clock periods; read when the manager is built.
    Timing timing() const;
    void setTiming(const Timing& timing);

private:
    mutable QMutex m_mutex;
    std::optional<QString> m_defaultUser;
    std::optional<QString> m_defaultSignalPrefix;
    std::optional<QString> m_defaultParameterPrefix;
    DefaultParametersFunction m_defaultParameters;
    bool m_sendNewSessionBeganSignal = true;
    QUuid m_sessionID;
    UrlSessionFactory m_urlSession;
    bool m_sendSignalsInDebugConfiguration = false;
    std::optional<bool> m_testMode;
    std::optional<bool> m_previewMode;
    bool m_analyticsDisabled = false;
    bool m_reservedParameterWarningsEnabled = true;
    bool m_sessionStatsEnabled = true;
    bool m_showDebugLogs = false;
    std::optional<LogHandler> m_logHandler;
    std::vector<std::shared_ptr<SignalEnricher>> m_metadataEnrichers;
    AppearanceFunction m_darkAppearance;
    Timing m_timing;
};

} // namespace tallyfin::analytics
