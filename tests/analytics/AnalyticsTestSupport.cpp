// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "AnalyticsTestSupport.h"

#include "analytics/SignalCache.h"
#include "analytics/SignalManager.h"
#include "analytics/TelemetryManager.h"
#include "analytics/Timing.h"

#include <QRegularExpression>
#include <QTest>
#include <QTimeZone>

using namespace tallyfin::analytics;
using namespace Qt::StringLiterals;

AnalyticsTestEnvironment::AnalyticsTestEnvironment()
    : m_now(QDate(2024, 3, 5), QTime(14, 7, 9, 250), QTimeZone::utc()) {
    qputenv("XDG_CACHE_HOME", (m_root.path() + u"/cache"_s).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (m_root.path() + u"/config"_s).toLocal8Bit());
    Clock::setFunction([this] { return now(); });
}

AnalyticsTestEnvironment::~AnalyticsTestEnvironment() {
    TelemetryManager::terminate();
    Clock::setFunction({});
}

QDateTime AnalyticsTestEnvironment::now() const {
    QMutexLocker locker(&m_mutex);
    return m_now;
}

void AnalyticsTestEnvironment::advance(qint64 msecs) {
    QMutexLocker locker(&m_mutex);
    m_now = m_now.addMSecs(msecs);
}

QStringList AnalyticsTestEnvironment::logLines() const {
    QMutexLocker locker(&m_mutex);
    return m_log;
}

QStringList AnalyticsTestEnvironment::errorLines() const {
    return logLines().filter(QRegularExpression(u"^ERROR "_s));
}

void AnalyticsTestEnvironment::clearLog() {
    QMutexLocker locker(&m_mutex);
    m_log.clear();
}

LogHandler AnalyticsTestEnvironment::logHandler(LogLevel level) {
    return LogHandler{level, [this](LogLevel messageLevel, const QString& message) {
                          QMutexLocker locker(&m_mutex);
                          m_log.append(logLevelDescription(messageLevel) + u' ' + message);
                      }};
}

std::shared_ptr<TelemetryManagerConfiguration>
AnalyticsTestEnvironment::configuration(const QUrl& baseUrl, const QString& appID,
                                        const std::optional<QString>& salt,
                                        const std::optional<QString>& nameSpace) {
    auto configuration =
        std::make_shared<TelemetryManagerConfiguration>(appID, salt, baseUrl, nameSpace);
    Timing timing;
    timing.sendInterval = std::chrono::hours(1);
    timing.sessionStartDelay = std::chrono::hours(1);
    timing.immediateSyncDelay = std::chrono::milliseconds(0);
    timing.cacheWriteDelay = std::chrono::milliseconds(20);
    configuration->setTiming(timing);
    configuration->setLogHandler(logHandler());
    return configuration;
}

bool AnalyticsTestEnvironment::install(
    std::shared_ptr<TelemetryManagerConfiguration> configuration) {
    clearLog();
    TelemetryManager::initialize(std::move(configuration));
    return QTest::qWaitFor(
        [this] { return logLines().filter(u"DEBUG Current signal cache count: "_s).size() > 0; });
}

int AnalyticsTestEnvironment::cachedCount() const {
    const auto manager = TelemetryManager::installed();
    return manager ? manager->signalManager().signalCache().count() : 0;
}

QList<SignalPostBody> AnalyticsTestEnvironment::take() const {
    SignalManager& signalManager = TelemetryManager::installed()->signalManager();
    if (!QTest::qWaitFor([&] { return signalManager.buildingCount() == 0; })) {
        return {};
    }
    return signalManager.signalCache().pop();
}

QStringList typesOf(const QList<SignalPostBody>& records) {
    QStringList types;
    for (const SignalPostBody& record : records) {
        types.append(record.type);
    }
    types.sort();
    return types;
}

SignalPostBody testRecord(const QString& type, std::optional<double> floatValue) {
    return SignalPostBody{.receivedAt =
                              QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9, 640), QTimeZone::utc()),
                          .appID = u"TEST-APP"_s,
                          .clientUser = u"c0ffee"_s,
                          .sessionID = u"6F1E1B4C-3A0B-4D4B-9C1A-7D2E8F9A0B1C"_s,
                          .type = type,
                          .floatValue = floatValue,
                          .payload = {{u"key"_s, u"value \"quoted\" ✓"_s}},
                          .isTestMode = u"false"_s};
}
