// Duration signals and the preset signal families.

#include "AnalyticsTestSupport.h"
#include "analytics/AppActivity.h"
#include "analytics/DurationSignalTracker.h"
#include "analytics/SignalCache.h"
#include "analytics/TelemetryDeck.h"
#include "analytics/TelemetryManager.h"

#include <QTest>

using namespace tallyfin::analytics;
using namespace Qt::StringLiterals;

namespace {
const QString durationKey = u"TelemetryDeck.Signal.durationInSeconds"_s;
}

class TestDurationsAndPresets : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AnalyticsTestEnvironment> env;
    std::shared_ptr<TelemetryManagerConfiguration> config;

    // The records that reach the cache within a short wait, in arrival order.
    QList<SignalPostBody> sent(int expected) {
        if (expected > 0 && !QTest::qWaitFor([&] { return env->cachedCount() >= expected; })) {
            return {};
        }
        QTest::qWait(expected == 0 ? 50 : 0);
        return TelemetryManager::installed()->signalManager().signalCache().pop();
    }

    Parameters onlySent() {
        const auto records = sent(1);
        return records.size() == 1 ? records.constFirst().payload : Parameters{};
    }

private Q_SLOTS:
    void init() {
        env = std::make_unique<AnalyticsTestEnvironment>();
        config = env->configuration(closedPortUrl());
        // Prefixes must not touch duration or preset signals.
        config->setDefaultSignalPrefix(u"App."_s);
        config->setDefaultParameterPrefix(u"My."_s);
        QVERIFY(env->install(config));
        DurationSignalTracker::shared().reset();
        NavigationStatus::setPreviousNavigationPath(std::nullopt);
        env->clearLog();
    }
    void cleanup() {
        config.reset();
        env.reset();
    }

    void durationText_data() {
        QTest::addColumn<qint64>("milliseconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole seconds") << qint64(5000) << u"5.0"_s;
        QTest::newRow("cut to milliseconds") << qint64(12345) << u"12.345"_s;
        QTest::newRow("zero") << qint64(0) << u"0.0"_s;
        QTest::newRow("one millisecond") << qint64(1) << u"0.001"_s;
        QTest::newRow("100000 seconds") << qint64(100'000'000) << u"100000.0"_s;
        QTest::newRow("four years") << qint64(123'456'789'012) << u"123456789.012"_s;
    }
    void durationText() {
        QFETCH(qint64, milliseconds);
        QFETCH(QString, text);
        TelemetryDeck::startDurationSignal(u"timed"_s);
        env->advance(milliseconds);
        TelemetryDeck::stopAndSendDurationSignal(u"timed"_s);
        const auto records = sent(1);
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.constFirst().type, u"timed"_s);
        QCOMPARE(records.constFirst().payload.value(durationKey), text);
        QCOMPARE(env->logLines().filter(u"ERROR"_s), QStringList{});
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
        QFETCH(QString, duration);
        TelemetryDeck::startDurationSignal(u"workout"_s, {}, includeBackgroundTime);
        env->advance(10'000);
        AppActivity::instance()->setSessionLocked(true);
        env->advance(60'000);
        if (becomesActive) {
            AppActivity::instance()->setSessionLocked(false);
        }
        env->advance(5'000);
        TelemetryDeck::stopAndSendDurationSignal(u"workout"_s);
        QCOMPARE(onlySent().value(durationKey), duration);
        AppActivity::instance()->setSessionLocked(false);
    }

    void parametersAndRestarts() {
        TelemetryDeck::startDurationSignal(u"a"_s, {{u"first"_s, u"x"_s}});
        env->advance(4000);
        TelemetryDeck::startDurationSignal(u"a"_s, {{u"a"_s, u"1"_s}, {u"b"_s, u"start"_s}});
        TelemetryDeck::startDurationSignal(u"other"_s);
        env->advance(1000);
        TelemetryDeck::stopAndSendDurationSignal(u"a"_s, {{u"a"_s, u"2"_s}}, 7.0, u"user"_s);
        const auto records = sent(1);
        QCOMPARE(records.size(), 1);
        const Parameters payload = records.constFirst().payload;
        QCOMPARE(payload.value(durationKey), u"1.0"_s);
        QCOMPARE(payload.value(u"a"_s), u"2"_s);
        QCOMPARE(payload.value(u"b"_s), u"start"_s);
        QVERIFY(!payload.contains(u"first"_s));
        QVERIFY(!payload.contains(u"My.a"_s));
        QCOMPARE(records.constFirst().floatValue, 7.0);

        env->advance(1000);
        TelemetryDeck::stopAndSendDurationSignal(u"other"_s);
        QCOMPARE(onlySent().value(durationKey), u"2.0"_s);
    }

    void startParameterReplacesMeasuredValue() {
        TelemetryDeck::startDurationSignal(u"a"_s, {{durationKey, u"99"_s}});
        env->advance(1000);
        TelemetryDeck::stopAndSendDurationSignal(u"a"_s);
        QCOMPARE(onlySent().value(durationKey), u"99"_s);
    }

    void stopWithoutRunningSignalSendsNothing() {
        TelemetryDeck::stopAndSendDurationSignal(u"never"_s);
        TelemetryDeck::startDurationSignal(u"cancelled"_s);
        TelemetryDeck::cancelDurationSignal(u"cancelled"_s);
        TelemetryDeck::stopAndSendDurationSignal(u"cancelled"_s);
        TelemetryDeck::startDurationSignal(u"twice"_s);
        TelemetryDeck::stopAndSendDurationSignal(u"twice"_s);
        TelemetryDeck::stopAndSendDurationSignal(u"twice"_s);
        QCOMPARE(sent(1).size(), 1);
        QCOMPARE(sent(0).size(), 0);
        QCOMPARE(env->logLines().filter(u"ERROR"_s), QStringList{});
    }

    void rating_data() {
        QTest::addColumn<int>("rating");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("-1") << -1 << false;
        QTest::newRow("0") << 0 << true;
        QTest::newRow("10") << 10 << true;
        QTest::newRow("11") << 11 << false;
    }
    void rating() {
        QFETCH(int, rating);
        QFETCH(bool, accepted);
        TelemetryDeck::userRatingSubmitted(rating, u"fine"_s);
        const auto records = sent(accepted ? 1 : 0);
        QCOMPARE(records.size(), accepted ? 1 : 0);
        QCOMPARE(env->logLines().filter(u"ERROR"_s),
                 accepted ? QStringList{}
                          : QStringList{u"ERROR Rating must be between 0 and 10"_s});
        if (accepted) {
            QCOMPARE(records.constFirst().type, u"TelemetryDeck.Referral.userRatingSubmitted"_s);
            QCOMPARE(records.constFirst().payload.value(u"TelemetryDeck.Referral.ratingValue"_s),
                     QString::number(rating));
            QCOMPARE(records.constFirst().payload.value(u"TelemetryDeck.Referral.ratingComment"_s),
                     u"fine"_s);
        }
    }

    void presets_data() {
        QTest::addColumn<std::function<void()>>("send");
        QTest::addColumn<QString>("type");
        QTest::addColumn<Parameters>("expected");
        QTest::addColumn<QStringList>("absent");

        QTest::newRow("referral without kind")
            << std::function<void()>([] { TelemetryDeck::referralSent(3); })
            << u"TelemetryDeck.Referral.sent"_s
            << Parameters{{u"TelemetryDeck.Referral.receiversCount"_s, u"3"_s}}
            << QStringList{u"TelemetryDeck.Referral.kind"_s};
        QTest::newRow("caller parameter wins")
            << std::function<void()>([] {
                   TelemetryDeck::acquiredUser(
                       u"ads"_s,
                       {{u"TelemetryDeck.Acquisition.channel"_s, u"mine"_s}, {u"extra"_s, u"1"_s}});
               })
            << u"TelemetryDeck.Acquisition.userAcquired"_s
            << Parameters{{u"TelemetryDeck.Acquisition.channel"_s, u"mine"_s}, {u"extra"_s, u"1"_s}}
            << QStringList{u"My.extra"_s};
        QTest::newRow("error by id only")
            << std::function<void()>([] { TelemetryDeck::errorOccurred(u"E1"_s); })
            << u"TelemetryDeck.Error.occurred"_s
            << Parameters{{u"TelemetryDeck.Error.id"_s, u"E1"_s}}
            << QStringList{u"TelemetryDeck.Error.category"_s, u"TelemetryDeck.Error.message"_s};
        QTest::newRow("identifiable error")
            << std::function<void()>([] {
                   TelemetryDeck::errorOccurred(
                       AnyIdentifiableError::with(std::runtime_error("disk full"), u"E2"_s),
                       ErrorCategory::ThrownException);
               })
            << u"TelemetryDeck.Error.occurred"_s
            << Parameters{{u"TelemetryDeck.Error.id"_s, u"E2"_s},
                          {u"TelemetryDeck.Error.category"_s, u"thrown-exception"_s},
                          {u"TelemetryDeck.Error.message"_s, u"disk full"_s}}
            << QStringList{};
        QTest::newRow("identifiable error without message")
            << std::function<void()>([] {
                   TelemetryDeck::errorOccurred(AnyIdentifiableError(u"E3"_s, u"text"_s),
                                                ErrorCategory::UserInput, std::optional<QString>());
               })
            << u"TelemetryDeck.Error.occurred"_s
            << Parameters{{u"TelemetryDeck.Error.category"_s, u"user-input"_s}}
            << QStringList{u"TelemetryDeck.Error.message"_s};
    }
    void presets() {
        QFETCH(std::function<void()>, send);
        QFETCH(QString, type);
        QFETCH(Parameters, expected);
        QFETCH(QStringList, absent);
        send();
        const auto records = sent(1);
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.constFirst().type, type);
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            QCOMPARE(records.constFirst().payload.value(it.key()), it.value());
        }
        for (const QString& key : absent) {
            QVERIFY2(!records.constFirst().payload.contains(key), qPrintable(key));
        }
        QCOMPARE(env->logLines().filter(u"ERROR"_s), QStringList{});
    }

    void navigation() {
        TelemetryDeck::navigationPathChanged(u"/home"_s);
        Parameters first = onlySent();
        QCOMPARE(first.value(u"TelemetryDeck.Navigation.identifier"_s), u" -> /home"_s);
        QCOMPARE(first.value(u"TelemetryDeck.Navigation.sourcePath"_s), QString());
        QCOMPARE(first.value(u"TelemetryDeck.Navigation.destinationPath"_s), u"/home"_s);
        QCOMPARE(first.value(u"TelemetryDeck.Navigation.schemaVersion"_s), u"1"_s);
        TelemetryDeck::navigationPathChanged(u"/settings"_s);
        QCOMPARE(onlySent().value(u"TelemetryDeck.Navigation.identifier"_s),
                 u"/home -> /settings"_s);
        TelemetryDeck::navigationPathChanged(u"/a"_s, u"/b"_s);
        QCOMPARE(onlySent().value(u"TelemetryDeck.Navigation.identifier"_s), u"/a -> /b"_s);
        QCOMPARE(NavigationStatus::previousNavigationPath(), u"/b"_s);
    }
};

Q_DECLARE_METATYPE(std::function<void()>)

QTEST_GUILESS_MAIN(TestDurationsAndPresets)
#include "tst_durationsandpresets.moc"
