// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// Activity on a Linux desktop, against fake_logind.py on a private system bus: a locked desktop,
// another session in front or sleep pause the session timer (the session goes on, however long
// the sleep), and shutdown waits for the cache file.

#include "AnalyticsTestSupport.h"
#include "analytics/AppActivity.h"
#include "analytics/SessionManager.h"
#include "analytics/SignalCache.h"
#include "analytics/SignalPostBody.h"
#include "analytics/TelemetryDeck.h"
#include "analytics/TelemetryManager.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QFile>
#include <QTest>

using namespace tallyfin::analytics;
using namespace Qt::StringLiterals;

class TestDesktopSession : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AnalyticsTestEnvironment> env;
    AppActivity* activity = AppActivity::instance();

    // "Lock:1": what the fake sends (a signal, or a changed session property) and its value.
    static QDBusMessage fake(const QString& call, const QString& method = u"Send"_s) {
        QDBusInterface control(u"org.freedesktop.login1"_s, u"/org/freedesktop/login1"_s,
                               u"org.tallyfin.FakeLogind1"_s, QDBusConnection::systemBus());
        return call.isEmpty()
                   ? control.call(method)
                   : control.call(method, call.section(u':', 0, 0), call.section(u':', 1) == u"1");
    }
    static QStringList inhibitors() {
        return QDBusReply<QStringList>(fake({}, u"Inhibitors"_s)).value();
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(QDBusConnection::systemBus().isConnected(), "run under with_fake_bluez.py");
        QTRY_VERIFY(activity->followsDesktopSession());
        QVERIFY(activity->isActive());
    }
    void init() {
        env = std::make_unique<AnalyticsTestEnvironment>();
        QVERIFY(env->install(env->configuration(closedPortUrl())));
        SessionManager::resetShared();
    }
    void cleanup() {
        SessionManager::resetShared();
        env.reset();
    }

    void awayTimeIsNotCounted_data() {
        QTest::addColumn<QString>("away");
        QTest::addColumn<QString>("back");
        QTest::addColumn<int>("seconds");
        QTest::newRow("lock") << u"Lock:1"_s << u"Unlock:0"_s << 3600;
        QTest::newRow("locked hint") << u"LockedHint:1"_s << u"LockedHint:0"_s << 3600;
        QTest::newRow("other session in front") << u"Active:0"_s << u"Active:1"_s << 3600;
        QTest::newRow("sleep for 299 s") << u"PrepareForSleep:1"_s << u"PrepareForSleep:0"_s << 299;
        QTest::newRow("sleep for 301 s") << u"PrepareForSleep:1"_s << u"PrepareForSleep:0"_s << 301;
    }
    void awayTimeIsNotCounted() {
        QFETCH(QString, away);
        QFETCH(QString, back);
        QFETCH(int, seconds);
        const bool asleep = away.contains(u"Sleep");
        const auto configuration = TelemetryManager::installed()->configuration();
        // A stored session, its signals out of the way.
        SessionManager& sessions = SessionManager::shared();
        sessions.startNewSession();
        env->advance(2000);
        sessions.updateSessionDuration();
        env->take();
        const QUuid before = configuration->sessionID();
        QCOMPARE(fake(away).type(), QDBusMessage::ReplyMessage);
        QTRY_COMPARE(activity->state(),
                     asleep ? AppActivity::State::background : AppActivity::State::inactive);
        QVERIFY(!sessions.isTimerRunning());
        env->advance(seconds * 1000);
        QCOMPARE(fake(back).type(), QDBusMessage::ReplyMessage);
        QTRY_VERIFY(activity->isActive());
        QVERIFY(sessions.isTimerRunning());
        env->advance(3000);
        sessions.updateSessionDuration();
        // The foreground rule follows no desktop event: the same session, no signal.
        QCOMPARE(configuration->sessionID(), before);
        QCOMPARE(sessions.currentSessionDuration(), 5.0);
        QCOMPARE(typesOf(env->take()), QStringList{});
    }

    void shutdownWaitsForTheCacheFile() {
        // Only the shutdown writes the file here.
        auto configuration = env->configuration(closedPortUrl());
        Timing timing = configuration->timing();
        timing.cacheWriteDelay = std::chrono::hours(1);
        configuration->setTiming(timing);
        QVERIFY(env->install(configuration));
        QTRY_COMPARE(inhibitors().size(), 1);
        QVERIFY2(inhibitors().at(0).startsWith(u"shutdown tst_desktopsession ") &&
                     inhibitors().at(0).endsWith(u" delay"),
                 qPrintable(inhibitors().at(0)));
        TelemetryDeck::signal(u"kept"_s);
        QTRY_COMPARE(env->cachedCount(), 1);
        QVERIFY(!QFile::exists(SignalCache::defaultFilePath()));

        fake(u"PrepareForShutdown:1"_s);
        QTRY_VERIFY(inhibitors().isEmpty());
        QFile file(SignalCache::defaultFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const auto kept = decodeCacheFile(file.readAll());
        QVERIFY(kept && kept->size() == 1 && kept->at(0).type == u"kept"_s);
        // Called off: the delay is taken again.
        fake(u"PrepareForShutdown:0"_s);
        QTRY_COMPARE(inhibitors().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDesktopSession)
#include "tst_desktopsession.moc"
