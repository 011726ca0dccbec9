#include "AnalyticsTestSupport.h"

#include "analytics/SignalCache.h"
#include "analytics/TelemetryManager.h"
#include "analytics/Timing.h"

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

QString AnalyticsTestEnvironment::cacheFilePath() const {
    return SignalCache::defaultFilePath();
}

QDateTime AnalyticsTestEnvironment::now() const {
    QMutexLocker locker(&m_mutex);
    return m_now;
}

void AnalyticsTestEnvironment::setNow(const QDateTime& now) {
    QMutexLocker locker(&m_mutex);
    m_now = now;
}

void AnalyticsTestEnvironment::advance(qint64 msecs) {
    QMutexLocker locker(&m_mutex);
    m_now = m_now.addMSecs(msecs);
}

QStringList AnalyticsTestEnvironment::logLines() const {
    QMutexLocker locker(&m_mutex);
    return m_log;
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
AnalyticsTestEnvironment::configuration(const QUrl& baseUrl, const QString& appID) {
    auto configuration =
        std::make_shared<TelemetryManagerConfiguration>(appID, std::nullopt, baseUrl, std::nullopt);
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
