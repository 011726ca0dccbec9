// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// Session identifier rule, session statistics, retention figures and duration signals.

#include "AnalyticsTestSupport.h"
#include "analytics/AppActivity.h"
#include "analytics/CustomDefaults.h"
#include "analytics/DurationSignalTracker.h"
#include "analytics/SessionManager.h"
#include "analytics/SignalManager.h"
#include "analytics/TelemetryDeck.h"
#include "analytics/TelemetryManager.h"

#include <QTest>

using namespace tallyfin::analytics;
using namespace Qt::StringLiterals;

namespace {
const QString durationKey = u"TelemetryDeck.Signal.durationInSeconds"_s;
}

class TestSessions : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AnalyticsTestEnvironment> env;
    std::shared_ptr<TelemetryManagerConfiguration> config;

    std::shared_ptr<CustomDefaults> defaults() { return CustomDefaults::ofInstalledManager(); }

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
        DurationSignalTracker::shared().reset();
    }
    void cleanup() {
        AppActivity::instance()->setSessionLocked(false);
        SessionManager::resetShared();
        config.reset();
        env.reset();
    }

    // A session started on an empty history is a new installation, dated by the local day
    // (14:07 UTC is 19:37 in Kolkata, still 5 March); until it lasts a second no figures count it.
    void firstSessionIsANewInstallation() {
        SessionManager::shared().startNewSession();
        QVERIFY(SessionManager::shared().isTimerRunning());
        const SignalPostBody installed = env->take().value(0);
        QCOMPARE(installed.type, u"TelemetryDeck.Acquisition.newInstallDetected"_s);
        QCOMPARE(installed.payload.value(u"TelemetryDeck.Acquisition.firstSessionDate"_s),
                 u"2024-03-05"_s);
        QCOMPARE(defaults()->value(u"firstSessionDate"_s).toString(), u"2024-03-05"_s);
        const Parameters figures = SessionManager::shared().retentionParameters();
        QCOMPARE(figures.value(u"TelemetryDeck.Retention.averageSessionSeconds"_s), u"-1"_s);
        QCOMPARE(figures.value(u"TelemetryDeck.Retention.totalSessionsCount"_s), u"0"_s);
        QVERIFY(!figures.contains(u"TelemetryDeck.Retention.previousSessionSeconds"_s));
    }

    // The foreground rule, called by hand (nothing calls it otherwise): back after more than
    // 300 s starts a new session with its signal. A session begun while the desktop is locked is
    // timed from the unlock.
    void foregroundRuleAndALockedStart() {
        TelemetryManager& manager = *TelemetryManager::installed();
        for (const int seconds : {299, 301}) {
            const QUuid before = config->sessionID();
            manager.didEnterBackground();
            env->advance(seconds * 1000);
            manager.willEnterForeground();
            QCOMPARE(config->sessionID() != before, seconds > 300);
        }
        QCOMPARE(typesOf(env->take()),
                 (QStringList{u"TelemetryDeck.Acquisition.newInstallDetected"_s,
                              u"TelemetryDeck.Session.started"_s}));
        AppActivity::instance()->setSessionLocked(true);
        SessionManager& sessions = SessionManager::shared();
        sessions.startNewSession();
        QVERIFY(!sessions.isTimerRunning());
        env->advance(60'000);
        AppActivity::instance()->setSessionLocked(false);
        QVERIFY(sessions.isTimerRunning());
        env->advance(2'000);
        sessions.updateSessionDuration();
        QCOMPARE(sessions.currentSessionDuration(), 2.0);
    }

    void sessionSwitchesCanBeTurnedOff() {
        config->setSendNewSessionBeganSignal(false);
        config->setSessionStatsEnabled(false);
        const QUuid before = config->sessionID();
        TelemetryDeck::generateNewSession();
        QVERIFY(config->sessionID() != before);
        QCOMPARE(TelemetryManager::installed()->signalManager().buildingCount(), 0);
        QVERIFY(!SessionManager::shared().isTimerRunning());
    }

    // Sessions older than 90 days are dropped and counted; one shorter than a second is never
    // stored, a longer one in whole seconds; the average leaves out the current session.
    void historyAndFigures() {
        storeSessions({daysAgo(91, 30), daysAgo(89, 10), daysAgo(2, 20)}, 4);
        SessionManager& sessions = SessionManager::shared();
        QCOMPARE(defaults()->value(u"deletedSessionsCount"_s).toLongLong(), 5);
        sessions.startNewSession();
        env->advance(900);
        sessions.updateSessionDuration();
        QCOMPARE(sessions.recentSessions().size(), 2);
        env->advance(4150);
        sessions.updateSessionDuration();
        const Parameters figures = sessions.retentionParameters();
        QCOMPARE(figures.value(u"TelemetryDeck.Retention.averageSessionSeconds"_s), u"15"_s);
        QCOMPARE(figures.value(u"TelemetryDeck.Retention.previousSessionSeconds"_s), u"20"_s);
        QCOMPARE(figures.value(u"TelemetryDeck.Retention.totalSessionsCount"_s), u"8"_s);
        const auto stored =
            StoredSession::decodeList(defaults()->value(u"recentSessions"_s).toByteArray());
        QVERIFY(stored && stored->size() == 3);
        QCOMPARE(stored->constLast().durationInSeconds, 5);
        QCOMPARE(stored->constLast().startedAt.toSecsSinceEpoch(),
                 env->now().addMSecs(-5050).toSecsSinceEpoch());

        // An undecodable history reads as empty and leaves the count alone.
        defaults()->setValue(u"recentSessions"_s, QByteArray("[{\"startedAt\":\"x\"}]"));
        SessionManager::resetShared();
        QCOMPARE(SessionManager::shared().recentSessions().size(), 0);
        QCOMPARE(defaults()->value(u"deletedSessionsCount"_s).toLongLong(), 5);
    }

    // Each local day of use once (19:07 UTC is the next day in Kolkata); the last month counts
    // from 30 days back (31 and 29 days here).
    void distinctDays() {
        defaults()->setValue(u"distinctDaysUsed"_s, QStringList{u"2024-02-03"_s, u"2024-02-05"_s});
        SessionManager::resetShared();
        SessionManager::shared();
        SessionManager::resetShared();
        const Parameters figures = SessionManager::shared().retentionParameters();
        QCOMPARE(figures.value(u"TelemetryDeck.Retention.distinctDaysUsed"_s), u"3"_s);
        QCOMPARE(figures.value(u"TelemetryDeck.Retention.distinctDaysUsedLastMonth"_s), u"2"_s);
        env->advance(5 * 3'600'000);
        SessionManager::resetShared();
        SessionManager::shared();
        QCOMPARE(defaults()->value(u"distinctDaysUsed"_s).toStringList(),
                 (QStringList{u"2024-02-03"_s, u"2024-02-05"_s, u"2024-03-05"_s, u"2024-03-06"_s}));
    }

    // Initializing again replaces the manager; without one each use gets a fresh throwaway
    // manager with an empty app id.
    void installedManager() {
        auto second = env->configuration(closedPortUrl(), u"SECOND"_s);
        TelemetryDeck::initialize(second);
        QCOMPARE(TelemetryManager::shared()->configuration(), second);
        TelemetryDeck::terminate();
        QVERIFY(!CustomDefaults::ofInstalledManager());
        const auto throwaway = TelemetryManager::shared();
        QCOMPARE(throwaway->configuration()->telemetryAppID, QString());
        QVERIFY(TelemetryManager::shared() != throwaway);
        QVERIFY(!TelemetryManager::isInitialized());
    }

    void inactiveTime_data() {
        QTest::addColumn<bool>("includeBackgroundTime");
        QTest::addColumn<bool>("becomesActive");
        QTest::addColumn<QString>("duration");
        QTest::newRow("inactive time left out") << false << true << u"15.0"_s;
        QTest::newRow("inactive time counted") << true << true << u"75.0"_s;
        QTest::newRow("never active again") << false << false << u"75.0"_s;
    }
    void inactiveTime() {
        QFETCH(bool, includeBackgroundTime);
        QFETCH(bool, becomesActive);
        TelemetryDeck::startDurationSignal(u"workout"_s, {}, includeBackgroundTime);
        env->advance(10'000);
        AppActivity::instance()->setSessionLocked(true);
        env->advance(60'000);
        AppActivity::instance()->setSessionLocked(!becomesActive);
        env->advance(5'000);
        TelemetryDeck::stopAndSendDurationSignal(u"workout"_s);
        QTEST(env->take().value(0).payload.value(durationKey), "duration");
        AppActivity::instance()->setSessionLocked(false);
    }

    // A restart drops the first start; the stop's parameters win over the start's, which win
    // over the measured value (cut to milliseconds, never in exponent form); no prefixes apply.
    // Only a running signal is sent: not twice, not after a cancel.
    void durationParametersAndRestarts() {
        config->setDefaultSignalPrefix(u"App."_s);
        config->setDefaultParameterPrefix(u"My."_s);
        TelemetryDeck::startDurationSignal(u"a"_s, {{u"first"_s, u"x"_s}});
        env->advance(4000);
        TelemetryDeck::startDurationSignal(u"a"_s, {{u"a"_s, u"1"_s}, {u"b"_s, u"start"_s}});
        TelemetryDeck::startDurationSignal(u"other"_s, {{durationKey, u"99"_s}});
        TelemetryDeck::startDurationSignal(u"long"_s);
        TelemetryDeck::startDurationSignal(u"cancelled"_s);
        TelemetryDeck::cancelDurationSignal(u"cancelled"_s);
        env->advance(12'345);
        TelemetryDeck::stopAndSendDurationSignal(u"a"_s, {{u"a"_s, u"2"_s}}, 7.0, u"user"_s);
        TelemetryDeck::stopAndSendDurationSignal(u"a"_s);
        TelemetryDeck::stopAndSendDurationSignal(u"cancelled"_s);
        const QList<SignalPostBody> sent = env->take();
        QCOMPARE(typesOf(sent), QStringList{u"a"_s});
        QCOMPARE(sent.constFirst().floatValue, 7.0);
        const Parameters expected{
            {durationKey, u"12.345"_s}, {u"a"_s, u"2"_s}, {u"b"_s, u"start"_s}};
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            QCOMPARE(sent.constFirst().payload.value(it.key()), it.value());
        }
        QVERIFY(!sent.constFirst().payload.contains(u"first"_s));
        QVERIFY(!sent.constFirst().payload.contains(u"My.a"_s));
        TelemetryDeck::stopAndSendDurationSignal(u"other"_s);
        QCOMPARE(env->take().value(0).payload.value(durationKey), u"99"_s);
        env->advance(100'000'000 - 12'345);
        TelemetryDeck::stopAndSendDurationSignal(u"long"_s);
        QCOMPARE(env->take().value(0).payload.value(durationKey), u"100000.0"_s);
    }
};

QTEST_GUILESS_MAIN(TestSessions)
#include "tst_sessions.moc"
