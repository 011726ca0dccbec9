// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/TelemetryManagerConfiguration.h"

#include "analytics/MainThread.h"
#include "analytics/SessionManager.h"
#include "analytics/TelemetryDeck.h"

#include <QNetworkAccessManager>

namespace tallyfin::analytics {

using namespace Qt::StringLiterals;

QUrl TelemetryManagerConfiguration::defaultApiBaseURL() {
    return QUrl(u"https://nom.telemetrydeck.com"_s);
}

TelemetryManagerConfiguration::TelemetryManagerConfiguration(
    const QString& appID, const std::optional<QString>& salt, const std::optional<QUrl>& baseURL,
    const std::optional<QString>& nameSpace)
    : telemetryAppID(appID)
    , apiBaseURL(baseURL.value_or(defaultApiBaseURL()))
    , nameSpace(nameSpace)
    , salt(salt.value_or(QString()))
    , m_defaultParameters([] { return Parameters(); })
    , m_sessionID(QUuid::createUuid())
    , m_urlSession([](QObject* parent) { return new QNetworkAccessManager(parent); })
    , m_logHandler(LogHandler::standard(LogLevel::Info))
    , m_darkAppearance([] { return false; }) {}

#define TALLYFIN_CONFIG_ACCESSORS(Type, getter, setter, member)                                    \
    Type TelemetryManagerConfiguration::getter() const {                                           \
        QMutexLocker locker(&m_mutex);                                                             \
        return member;                                                                             \
    }                                                                                              \
    void TelemetryManagerConfiguration::setter(Type value) {                                       \
        QMutexLocker locker(&m_mutex);                                                             \
        member = std::move(value);                                                                 \
    }

#define TALLYFIN_CONFIG_REF_ACCESSORS(Type, getter, setter, member)                                \
    Type TelemetryManagerConfiguration::getter() const {                                           \
        QMutexLocker locker(&m_mutex);                                                             \
        return member;                                                                             \
    }                                                                                              \
    void TelemetryManagerConfiguration::setter(const Type& value) {                                \
        QMutexLocker locker(&m_mutex);                                                             \
        member = value;                                                                            \
    }

TALLYFIN_CONFIG_REF_ACCESSORS(std::optional<QString>, defaultUser, setDefaultUser, m_defaultUser)
TALLYFIN_CONFIG_REF_ACCESSORS(std::optional<QString>, defaultSignalPrefix, setDefaultSignalPrefix,
                              m_defaultSignalPrefix)
TALLYFIN_CONFIG_REF_ACCESSORS(std::optional<QString>, defaultParameterPrefix,
                              setDefaultParameterPrefix, m_defaultParameterPrefix)
TALLYFIN_CONFIG_ACCESSORS(TelemetryManagerConfiguration::DefaultParametersFunction,
                          defaultParameters, setDefaultParameters, m_defaultParameters)
TALLYFIN_CONFIG_ACCESSORS(bool, sendNewSessionBeganSignal, setSendNewSessionBeganSignal,
                          m_sendNewSessionBeganSignal)
TALLYFIN_CONFIG_ACCESSORS(TelemetryManagerConfiguration::UrlSessionFactory, urlSession,
                          setUrlSession, m_urlSession)
TALLYFIN_CONFIG_ACCESSORS(bool, sendSignalsInDebugConfiguration, setSendSignalsInDebugConfiguration,
                          m_sendSignalsInDebugConfiguration)
TALLYFIN_CONFIG_ACCESSORS(bool, analyticsDisabled, setAnalyticsDisabled, m_analyticsDisabled)
TALLYFIN_CONFIG_ACCESSORS(bool, reservedParameterWarningsEnabled,
                          setReservedParameterWarningsEnabled, m_reservedParameterWarningsEnabled)
TALLYFIN_CONFIG_ACCESSORS(bool, sessionStatsEnabled, setSessionStatsEnabled, m_sessionStatsEnabled)
TALLYFIN_CONFIG_ACCESSORS(bool, showDebugLogs, setShowDebugLogs, m_showDebugLogs)
TALLYFIN_CONFIG_REF_ACCESSORS(std::optional<LogHandler>, logHandler, setLogHandler, m_logHandler)
TALLYFIN_CONFIG_ACCESSORS(std::vector<std::shared_ptr<SignalEnricher>>, metadataEnrichers,
                          setMetadataEnrichers, m_metadataEnrichers)
TALLYFIN_CONFIG_ACCESSORS(TelemetryManagerConfiguration::AppearanceFunction, darkAppearance,
                          setDarkAppearance, m_darkAppearance)
TALLYFIN_CONFIG_REF_ACCESSORS(Timing, timing, setTiming, m_timing)

#undef TALLYFIN_CONFIG_ACCESSORS
#undef TALLYFIN_CONFIG_REF_ACCESSORS

QUuid TelemetryManagerConfiguration::sessionID() const {
    QMutexLocker locker(&m_mutex);
    return m_sessionID;
}

void TelemetryManagerConfiguration::setSessionID(const QUuid& sessionID) {
    {
        QMutexLocker locker(&m_mutex);
        m_sessionID = sessionID;
    }
    // The session manager and its timer live on the main thread; running both steps there also
    // keeps the new-install signal queued ahead of the session-started signal.
    auto sessionBegan = [](const TelemetryManagerConfiguration& configuration) {
        if (configuration.sessionStatsEnabled()) {
            SessionManager::shared().startNewSession();
        }
        if (configuration.sendNewSessionBeganSignal()) {
            TelemetryDeck::internalSignal(QStringLiteral("TelemetryDeck.Session.started"));
        }
    };
    if (isMainThread()) {
        sessionBegan(*this);
        return;
    }
    postToMainThread([self = weak_from_this(), sessionBegan] {
        if (auto configuration = self.lock()) {
            sessionBegan(*configuration);
        }
    });
}

bool TelemetryManagerConfiguration::testMode() const {
    QMutexLocker locker(&m_mutex);
    return m_testMode.value_or(false);
}

void TelemetryManagerConfiguration::setTestMode(bool testMode) {
    QMutexLocker locker(&m_mutex);
    m_testMode = testMode;
}

bool TelemetryManagerConfiguration::previewModeFromEnvironment() {
    return qEnvironmentVariable("XCODE_RUNNING_FOR_PREVIEWS") == u"1";
}

bool TelemetryManagerConfiguration::previewMode() const {
    {
        QMutexLocker locker(&m_mutex);
        if (m_previewMode) {
            return *m_previewMode;
        }
    }
    return previewModeFromEnvironment();
}

void TelemetryManagerConfiguration::setPreviewMode(bool previewMode) {
    QMutexLocker locker(&m_mutex);
    m_previewMode = previewMode;
}

void TelemetryManagerConfiguration::log(LogLevel level, const QString& message) const {
    if (const auto handler = logHandler()) {
        handler->log(level, message);
    }
}

} // namespace tallyfin::analytics
