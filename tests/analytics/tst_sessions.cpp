// Session identifier rule, session statistics and retention figures.

#include "AnalyticsTestSupport.h"
#include "analytics/CustomDefaults.h"
#include "analytics/SessionManager.h"
#include "analytics/SignalCache.h"
#include "analytics/TelemetryDeck.h"
#include "analytics/TelemetryManager.h"

#include <QTest>
#include <QTimeZone>

using namespace tallyfin::analytics;
using namespace Qt::StringLiterals;

class TestSessions : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AnalyticsTestEnvironment> env;
    std::shared_ptr<TelemetryManagerConfiguration> config;

    std::shared_ptr<CustomDefaults> defaults() { return CustomDefaults::ofInstalledManager(); }

    QStringList cachedTypes() {
        QStringList types;
        const auto records = TelemetryManager::installed()->signalManager().signalCache().pop();
        for (const auto& record : records) {
            types.append(record.type);
        }
        return types;
    }

    StoredSession daysAgo(double days, qint64 duration) {
        return StoredSession{env->now().addSecs(static_cast<qint64>(-days * 86400)), duration};
    }

    void storeSessions(const QList<StoredSession>& sessions, qint64 deleted = 0) {
        defaults()->setValue(u"recentSessions"_s, StoredSession::encodeList(sessions));
        defaults()->setValue(u"deletedSessionsCount"_s, deleted);
        SessionManager::resetShared();
    }

private Q_SLOTS:
    void init() {
        env = std::make_unique<AnalyticsTestEnvironment>();
        config = env->configuration(closedPortUrl());
        QVERIFY(env->install(config));
        SessionManager::resetShared();
    }
    void cleanup() {
        SessionManager::resetShared();
        config.reset();
        env.reset();
    }

    void firstLaunchReportsNewInstallThenSessionStart() {
        auto first = env->configuration(closedPortUrl());
        Timing timing = first->timing();
        timing.sessionStartDelay = std::chrono::milliseconds(20);
        first->setTiming(timing);
        QVERIFY(env->install(first));
        const Parameters before = SessionManager::shared().retentionParameters();
        QCOMPARE(before.value(u"TelemetryDeck.Retention.averageSessionSeconds"_s), u"-1"_s);
        QCOMPARE(before.value(u"TelemetryDeck.Retention.totalSessionsCount"_s), u"0"_s);
        QVERIFY(!before.contains(u"TelemetryDeck.Retention.previousSessionSeconds"_s));

        QTRY_COMPARE(env->cachedCount(), 2);
        QStringList types = cachedTypes();
        types.sort();
        QCOMPARE(types, (QStringList{u"TelemetryDeck.Acquisition.newInstallDetected"_s,
                                     u"TelemetryDeck.Session.started"_s}));
        // 14:07 UTC is 19:37 in Kolkata, still 5 March.
        QCOMPARE(defaults()->value(u"firstSessionDate"_s).toString(), u"2024-03-05"_s);
        QVERIFY(SessionManager::shared().isTimerRunning());
    }

    void sessionSwitchesCanBeTurnedOff() {
        config->setSendNewSessionBeganSignal(false);
        config->setSessionStatsEnabled(false);
        const QUuid before = config->sessionID();
        TelemetryDeck::generateNewSession();
        QVERIFY(config->sessionID() != before);
        QTest::qWait(50);
        QCOMPARE(env->cachedCount(), 0);
        QVERIFY(!SessionManager::shared().isTimerRunning());
    }

    void averageAndPreviousSession() {
        storeSessions({daysAgo(3, 10), daysAgo(2, 20)}, 4);
        SessionManager& sessions = SessionManager::shared();
        sessions.startNewSession();
        env->advance(5000);
        sessions.updateSessionDuration();
        QCOMPARE(sessions.recentSessions().size(), 3);
        const Parameters figures = sessions.retentionParameters();
        QCOMPARE(figures.value(u"TelemetryDeck.Retention.averageSessionSeconds"_s), u"15"_s);
        QCOMPARE(figures.value(u"TelemetryDeck.Retention.previousSessionSeconds"_s), u"20"_s);
        QCOMPARE(figures.value(u"TelemetryDeck.Retention.totalSessionsCount"_s), u"7"_s);
        const auto stored =
            StoredSession::decodeList(defaults()->value(u"recentSessions"_s).toByteArray());
        QVERIFY(stored);
        QCOMPARE(stored->constLast().durationInSeconds, 5);
        QCOMPARE(stored->constLast().startedAt.toSecsSinceEpoch(),
                 env->now().addSecs(-5).toSecsSinceEpoch());
    }

    void shortSessionIsNeverStored() {
        storeSessions({daysAgo(1, 42)});
        SessionManager& sessions = SessionManager::shared();
        sessions.startNewSession();
        env->advance(900);
        sessions.updateSessionDuration();
        QCOMPARE(sessions.recentSessions().size(), 1);
        env->advance(200);
        sessions.updateSessionDuration();
        QCOMPARE(sessions.recentSessions().size(), 2);
        QCOMPARE(sessions.recentSessions().constLast().durationInSeconds, 1);
    }

    void oldSessionsArePrunedAndCounted() {
        storeSessions({daysAgo(91, 30), daysAgo(89, 40)}, 4);
        SessionManager& sessions = SessionManager::shared();
        QCOMPARE(sessions.recentSessions().size(), 1);
        QCOMPARE(sessions.recentSessions().constFirst().durationInSeconds, 40);
        QCOMPARE(defaults()->value(u"deletedSessionsCount"_s).toLongLong(), 5);
        QCOMPARE(
            sessions.retentionParameters().value(u"TelemetryDeck.Retention.totalSessionsCount"_s),
            u"6"_s);
    }

    void prunedHistoryCountsAsNewInstall() {
        storeSessions({daysAgo(100, 30)});
        SessionManager::shared().startNewSession();
        QTRY_COMPARE(env->cachedCount(), 1);
        QCOMPARE(cachedTypes(), QStringList{u"TelemetryDeck.Acquisition.newInstallDetected"_s});
    }

    void undecodableHistoryIsEmpty() {
        defaults()->setValue(u"recentSessions"_s, QByteArray("[{\"startedAt\":\"x\"}]"));
        defaults()->setValue(u"deletedSessionsCount"_s, 3);
        SessionManager::resetShared();
        QCOMPARE(SessionManager::shared().recentSessions().size(), 0);
        QCOMPARE(defaults()->value(u"deletedSessionsCount"_s).toLongLong(), 3);
    }

    void distinctDays() {
        SessionManager::shared();
        SessionManager::resetShared();
        SessionManager::shared();
        QCOMPARE(defaults()->value(u"distinctDaysUsed"_s).toStringList(),
                 QStringList{u"2024-03-05"_s});
        env->advance(86'400'000);
        SessionManager::resetShared();
        const Parameters figures = SessionManager::shared().retentionParameters();
        QCOMPARE(defaults()->value(u"distinctDaysUsed"_s).toStringList(),
                 (QStringList{u"2024-03-05"_s, u"2024-03-06"_s}));
        QCOMPARE(figures.value(u"TelemetryDeck.Retention.distinctDaysUsed"_s), u"2"_s);
    }

    void lastMonthWindow() {
        // 31 and 29 days before 5 March 2024.
        defaults()->setValue(u"distinctDaysUsed"_s,
                             QStringList{u"2024-02-03"_s, u"2024-02-05"_s, u"2024-03-05"_s});
        SessionManager::resetShared();
        const Parameters figures = SessionManager::shared().retentionParameters();
        QCOMPARE(figures.value(u"TelemetryDeck.Retention.distinctDaysUsed"_s), u"3"_s);
        QCOMPARE(figures.value(u"TelemetryDeck.Retention.distinctDaysUsedLastMonth"_s), u"2"_s);
    }

    void installationLifecycle() {
        auto second = env->configuration(closedPortUrl(), u"SECOND"_s);
        TelemetryDeck::initialize(second);
        QVERIFY(TelemetryManager::isInitialized());
        QCOMPARE(TelemetryManager::installed()->configuration(), second);
        QCOMPARE(TelemetryManager::shared()->configuration()->telemetryAppID, u"SECOND"_s);
        TelemetryDeck::terminate();
        QVERIFY(!TelemetryManager::isInitialized());
        QVERIFY(!CustomDefaults::ofInstalledManager());
        // Without a manager each use gets a fresh throwaway one with an empty app id.
        const auto throwaway = TelemetryManager::shared();
        QCOMPARE(throwaway->configuration()->telemetryAppID, QString());
        QVERIFY(TelemetryManager::shared() != throwaway);
        QVERIFY(!TelemetryManager::isInitialized());
    }

    void previewInstallsOnDemand() {
        TelemetryDeck::terminate();
        qputenv("XCODE_RUNNING_FOR_PREVIEWS", "1");
        const auto manager = TelemetryManager::shared();
        QVERIFY(TelemetryManager::isInitialized());
        QCOMPARE(TelemetryManager::shared(), manager);
        TelemetryDeck::signal(u"hidden"_s);
        QTest::qWait(50);
        QCOMPARE(env->cachedCount(), 0);
        qunsetenv("XCODE_RUNNING_FOR_PREVIEWS");
    }
};

QTEST_GUILESS_MAIN(TestSessions)
#include "tst_sessions.moc"
