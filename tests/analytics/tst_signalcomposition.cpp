// From a signal call to the finished record: prefixes, warnings, gates, merge order, hashing,
// the anonymous user and the default payload.

#include "AnalyticsTestSupport.h"
#include "analytics/CustomDefaults.h"
#include "analytics/DefaultSignalPayload.h"
#include "analytics/Hashing.h"
#include "analytics/SessionManager.h"
#include "analytics/SignalManager.h"
#include "analytics/SignalPostBody.h"
#include "analytics/SystemFacts.h"
#include "analytics/TelemetryDeck.h"
#include "analytics/TelemetryManager.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QThread>
#include <QTimeZone>

using namespace tallyfin::analytics;
using namespace Qt::StringLiterals;

namespace {

class FixedEnricher : public SignalEnricher {
public:
    explicit FixedEnricher(Parameters entries)
        : m_entries(std::move(entries)) {}
    Parameters enrich(const QString&, const std::optional<QString>&,
                      std::optional<double>) override {
        return m_entries;
    }

private:
    Parameters m_entries;
};

QStringList errorLines(const QStringList& lines) {
    return lines.filter(QRegularExpression(u"^ERROR "_s));
}

} // namespace

class TestSignalComposition : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AnalyticsTestEnvironment> env;
    std::shared_ptr<TelemetryManagerConfiguration> config;

    // Sends through the facade and returns the one record that reaches the cache.
    SignalPostBody sendAndTake(const QString& name, const Parameters& parameters = {},
                               std::optional<double> floatValue = {},
                               const std::optional<QString>& customUser = {}) {
        TelemetryDeck::signal(name, parameters, floatValue, customUser);
        if (!QTest::qWaitFor([this] { return env->cachedCount() == 1; })) {
            return {};
        }
        return TelemetryManager::installed()->signalManager().signalCache().pop().value(0);
    }

private Q_SLOTS:
    void init() {
        env = std::make_unique<AnalyticsTestEnvironment>();
        config = env->configuration(closedPortUrl());
        QVERIFY(env->install(config));
        SessionManager::resetShared();
        env->clearLog();
    }
    void cleanup() {
        config.reset();
        env.reset();
    }

    void configurationDefaults() {
        TelemetryManagerConfiguration plain(u"APP"_s);
        QCOMPARE(plain.telemetryAppID, u"APP"_s);
        QCOMPARE(plain.salt, QString());
        QCOMPARE(plain.apiBaseURL, QUrl(u"https://nom.telemetrydeck.com"_s));
        QCOMPARE(plain.nameSpace, std::nullopt);
        QVERIFY(!plain.sessionID().isNull());
        QVERIFY(plain.sessionStatsEnabled());
        QVERIFY(plain.sendNewSessionBeganSignal());
        QVERIFY(plain.reservedParameterWarningsEnabled());
        QVERIFY(!plain.testMode());
        QVERIFY(!plain.analyticsDisabled());
        QCOMPARE(plain.logHandler()->logLevel, LogLevel::Info);
        QVERIFY(TelemetryManagerConfiguration(u"APP"_s).sessionID() != plain.sessionID());
    }

    void previewModeFromEnvironment_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("preview");
        QTest::newRow("one") << QByteArray("1") << true;
        QTest::newRow("true") << QByteArray("true") << false;
        QTest::newRow("zero-one") << QByteArray("01") << false;
        QTest::newRow("unset") << QByteArray() << false;
    }
    void previewModeFromEnvironment() {
        QFETCH(QByteArray, value);
        QFETCH(bool, preview);
        if (value.isNull()) {
            qunsetenv("XCODE_RUNNING_FOR_PREVIEWS");
        } else {
            qputenv("XCODE_RUNNING_FOR_PREVIEWS", value);
        }
        TelemetryManagerConfiguration configuration(u"APP"_s);
        QCOMPARE(configuration.previewMode(), preview);
        configuration.setPreviewMode(false);
        QVERIFY(!configuration.previewMode());
        qunsetenv("XCODE_RUNNING_FOR_PREVIEWS");
    }

    void logLevels() {
        QCOMPARE(logLevelFromRawValue(0), LogLevel::Debug);
        QCOMPARE(logLevelFromRawValue(2), LogLevel::Error);
        QCOMPARE(logLevelFromRawValue(3), std::nullopt);
        QCOMPARE(logLevelFromRawValue(-1), std::nullopt);
        QStringList seen;
        LogHandler handler{LogLevel::Info,
                           [&seen](LogLevel, const QString& message) { seen.append(message); }};
        handler.log(LogLevel::Debug, u"quiet"_s);
        handler.log(LogLevel::Info, u"info"_s);
        handler.log(LogLevel::Error, u"error"_s);
        QCOMPARE(seen, (QStringList{u"info"_s, u"error"_s}));
    }

    void prefixesAndWarnings_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Parameters>("parameters");
        QTest::addColumn<QString>("signalPrefix");
        QTest::addColumn<QString>("parameterPrefix");
        QTest::addColumn<QString>("expectedType");
        QTest::addColumn<QStringList>("expectedKeys");
        QTest::addColumn<QStringList>("expectedErrors");

        const QString reservedName =
            u"ERROR Sending signal with reserved name 'Type' will cause unexpected behavior. "
            u"Please use another name instead."_s;
        const QString reservedPrefix =
            u"ERROR Sending signal with reserved prefix 'TelemetryDeck.' will cause unexpected "
            u"behavior. Please use another prefix instead."_s;
        const QString reservedKeyPrefix =
            u"ERROR Sending parameter with reserved key prefix 'TelemetryDeck.' will cause "
            u"unexpected behavior. Please use another prefix instead."_s;
        const QString reservedKey =
            u"ERROR Sending parameter with reserved key 'Platform' will cause unexpected "
            u"behavior. Please use another key instead."_s;

        QTest::newRow("reserved name is still sent")
            << u"Type"_s << Parameters{} << QString() << QString() << u"Type"_s << QStringList{}
            << QStringList{reservedName};
        QTest::newRow("reserved signal prefix, any case")
            << u"telemetryDECK.x"_s << Parameters{} << QString() << QString()
            << u"telemetryDECK.x"_s << QStringList{} << QStringList{reservedPrefix};
        QTest::newRow("lower-case key prefix warns without a prefix")
            << u"Go"_s << Parameters{{u"telemetryDeck.foo"_s, u"1"_s}} << QString() << QString()
            << u"Go"_s << QStringList{u"telemetryDeck.foo"_s} << QStringList{reservedKeyPrefix};
        QTest::newRow("prefixed lower-case key does not warn")
            << u"Go"_s << Parameters{{u"telemetryDeck.foo"_s, u"1"_s}} << QString() << u"My."_s
            << u"Go"_s << QStringList{u"My.telemetryDeck.foo"_s} << QStringList{};
        QTest::newRow("exact TelemetryDeck. keys escape the prefix")
            << u"Go"_s
            << Parameters{{u"color"_s, u"red"_s},
                          {u"TelemetryDeck.Signal.durationInSeconds"_s, u"3.0"_s}}
            << QString() << u"My."_s << u"Go"_s
            << QStringList{u"My.color"_s, u"TelemetryDeck.Signal.durationInSeconds"_s}
            << QStringList{reservedKeyPrefix};
        QTest::newRow("reserved key keeps its spelling in the warning")
            << u"Go"_s << Parameters{{u"Platform"_s, u"x"_s}} << QString() << QString() << u"Go"_s
            << QStringList{u"Platform"_s} << QStringList{reservedKey};
        QTest::newRow("signal prefix") << u"Opened"_s << Parameters{} << u"App."_s << QString()
                                       << u"App.Opened"_s << QStringList{} << QStringList{};
    }
    void prefixesAndWarnings() {
        QFETCH(QString, name);
        QFETCH(Parameters, parameters);
        QFETCH(QString, signalPrefix);
        QFETCH(QString, parameterPrefix);
        QFETCH(QString, expectedType);
        QFETCH(QStringList, expectedKeys);
        QFETCH(QStringList, expectedErrors);
        if (!signalPrefix.isEmpty()) {
            config->setDefaultSignalPrefix(signalPrefix);
        }
        if (!parameterPrefix.isEmpty()) {
            config->setDefaultParameterPrefix(parameterPrefix);
        }
        const SignalPostBody record = sendAndTake(name, parameters);
        QCOMPARE(record.type, expectedType);
        for (const QString& key : expectedKeys) {
            QVERIFY2(record.payload.contains(key), qPrintable(key));
        }
        QCOMPARE(errorLines(env->logLines()), expectedErrors);
    }

    void warningsCanBeSwitchedOffButNotForDefaultParameters() {
        config->setReservedParameterWarningsEnabled(false);
        config->setDefaultParameters([] { return Parameters{{u"locale"_s, u"x"_s}}; });
        const SignalPostBody record = sendAndTake(u"Type"_s, {{u"Platform"_s, u"x"_s}});
        QCOMPARE(record.type, u"Type"_s);
        QCOMPARE(errorLines(env->logLines()),
                 QStringList{u"ERROR Sending parameter with reserved key 'locale' will cause "
                             u"unexpected behavior. Please use another key instead."_s});
    }

    void mergeOrder() {
        config->setDefaultParameterPrefix(u"My."_s);
        config->setDefaultParameters([] {
            return Parameters{{u"shared"_s, u"configured"_s}, {u"onlyDefault"_s, u"d"_s}};
        });
        config->setMetadataEnrichers(
            {std::make_shared<FixedEnricher>(Parameters{{u"My.shared"_s, u"first enricher"_s},
                                                        {u"locale"_s, u"enriched"_s},
                                                        {u"fromEnricher"_s, u"1"_s}}),
             std::make_shared<FixedEnricher>(Parameters{{u"fromEnricher"_s, u"2"_s}})});
        const SignalPostBody record = sendAndTake(
            u"Go"_s, {{u"shared"_s, u"signal"_s}, {u"TelemetryDeck.Device.platform"_s, u"x"_s}});
        QCOMPARE(record.payload.value(u"My.shared"_s), u"signal"_s);
        QCOMPARE(record.payload.value(u"My.onlyDefault"_s), u"d"_s);
        QCOMPARE(record.payload.value(u"locale"_s), u"enriched"_s);
        QCOMPARE(record.payload.value(u"fromEnricher"_s), u"2"_s);
        QCOMPARE(record.payload.value(u"TelemetryDeck.Device.platform"_s), u"x"_s);
    }

    void gatesDropSilently_data() {
        QTest::addColumn<bool>("disabled");
        QTest::addColumn<bool>("preview");
        QTest::newRow("analytics disabled") << true << false;
        QTest::newRow("preview") << false << true;
    }
    void gatesDropSilently() {
        QFETCH(bool, disabled);
        QFETCH(bool, preview);
        config->setAnalyticsDisabled(disabled);
        config->setPreviewMode(preview);
        TelemetryDeck::signal(u"Type"_s, {{u"TelemetryDeck.x"_s, u"1"_s}});
        TelemetryDeck::startDurationSignal(u"d"_s);
        TelemetryDeck::stopAndSendDurationSignal(u"d"_s);
        QTest::qWait(50);
        QCOMPARE(env->cachedCount(), 0);
        QCOMPARE(errorLines(env->logLines()), QStringList{});

        config->setAnalyticsDisabled(false);
        config->setPreviewMode(false);
        QCOMPARE(sendAndTake(u"Later"_s).type, u"Later"_s);
    }

    void recordFields() {
        config->setTestMode(true);
        const SignalPostBody record = sendAndTake(u"Go"_s, {}, 2.5);
        QCOMPARE(record.appID, u"TEST-APP"_s);
        QCOMPARE(record.sessionID, config->sessionID().toString(QUuid::WithoutBraces).toUpper());
        QCOMPARE(record.floatValue, 2.5);
        QCOMPARE(record.isTestMode, u"true"_s);
        QCOMPARE(record.receivedAt, env->now());
        QVERIFY(
            env->logLines().filter(u"DEBUG Process signal: SignalPostBody(receivedAt: "_s).size() ==
            1);
    }

    void signalFromAnotherThread() {
        std::unique_ptr<QThread> worker(QThread::create([] {
            TelemetryDeck::signal(u"fromWorker"_s, {{u"k"_s, u"v"_s}});
            TelemetryDeck::generateNewSession();
        }));
        worker->start();
        QVERIFY(worker->wait(5000));
        QTRY_COMPARE(env->cachedCount(), 3);
        QStringList types;
        for (const auto& record :
             TelemetryManager::installed()->signalManager().signalCache().pop()) {
            types.append(record.type);
        }
        types.sort();
        QCOMPARE(types, (QStringList{u"TelemetryDeck.Acquisition.newInstallDetected"_s,
                                     u"TelemetryDeck.Session.started"_s, u"fromWorker"_s}));
    }

    void recordWithoutNumberHasNoFloatValueKey() {
        const SignalPostBody record = sendAndTake(u"Go"_s);
        const QJsonArray array = QJsonDocument::fromJson(encodeUploadBody({record})).array();
        QVERIFY(!array.at(0).toObject().contains(u"floatValue"_s));
        QCOMPARE(array.at(0).toObject().value(u"receivedAt"_s).toString(),
                 u"2024-03-05T14:07:09+0000"_s);
    }

    void hashing_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("salt");
        QTest::addColumn<QString>("hex");
        QTest::newRow("abc")
            << u"abc"_s << QString()
            << u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"_s;
        QTest::newRow("salt is appended")
            << u"ab"_s << u"c"_s
            << u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"_s;
        QTest::newRow("empty")
            << QString() << QString()
            << u"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"_s;
    }
    void hashing() {
        QFETCH(QString, text);
        QFETCH(QString, salt);
        QFETCH(QString, hex);
        QCOMPARE(sha256Hex(text, salt), hex);
    }

    void clientUserHashing() {
        const SignalPostBody custom = sendAndTake(u"Go"_s, {}, {}, u"alice"_s);
        QCOMPARE(custom.clientUser, sha256Hex(u"alice"_s, QString()));

        auto salted = env->configuration(closedPortUrl());
        auto saltedConfig = std::make_shared<TelemetryManagerConfiguration>(
            u"TEST-APP"_s, u"pepper"_s, closedPortUrl(), std::nullopt);
        saltedConfig->setTiming(salted->timing());
        saltedConfig->setLogHandler(env->logHandler());
        QVERIFY(env->install(saltedConfig));
        const SignalPostBody withSalt = sendAndTake(u"Go"_s, {}, {}, u"alice"_s);
        QCOMPARE(withSalt.clientUser, sha256Hex(u"alice"_s, u"pepper"_s));
        QVERIFY(withSalt.clientUser != custom.clientUser);
    }

    void defaultUserIdentifierIsStoredAndReused() {
        const auto defaults = CustomDefaults::ofInstalledManager();
        QVERIFY(defaults);
        QVERIFY(!defaults->value(u"defaultUserIdentifier"_s).isValid());
        const SignalPostBody first = sendAndTake(u"Go"_s);
        const QString stored = defaults->value(u"defaultUserIdentifier"_s).toString();
        QVERIFY(!QUuid::fromString(stored).isNull());
        QCOMPARE(stored, stored.toUpper());
        QCOMPARE(first.clientUser, sha256Hex(stored, QString()));
        QCOMPARE(sendAndTake(u"Again"_s).clientUser, first.clientUser);
        QCOMPARE(TelemetryManager::hashedDefaultUser(), first.clientUser);

        TelemetryDeck::updateDefaultUser(u"bob"_s);
        QCOMPARE(sendAndTake(u"Bob"_s).clientUser, sha256Hex(u"bob"_s, QString()));
        QVERIFY(defaults->fileName().contains(CustomDefaults::suiteName(u"TEST-APP"_s)));
        QCOMPARE(CustomDefaults::suiteName(u"TEST-APP"_s).size(),
                 QStringLiteral("com.telemetrydeck.").size() + 12);
    }

    void defaultPayloadKeys() {
        const Parameters base = DefaultSignalPayload::baseParameters(*config, env->now());
        QCOMPARE(base.size(), 48);
        const SignalPostBody record = sendAndTake(u"Go"_s);
        for (auto it = base.cbegin(); it != base.cend(); ++it) {
            QVERIFY2(record.payload.contains(it.key()), qPrintable(it.key()));
        }
        const QStringList extra{
            u"TelemetryDeck.Calendar.dayOfMonth"_s,
            u"TelemetryDeck.Calendar.dayOfWeek"_s,
            u"TelemetryDeck.Calendar.dayOfYear"_s,
            u"TelemetryDeck.Calendar.weekOfYear"_s,
            u"TelemetryDeck.Calendar.isWeekend"_s,
            u"TelemetryDeck.Calendar.monthOfYear"_s,
            u"TelemetryDeck.Calendar.quarterOfYear"_s,
            u"TelemetryDeck.Calendar.hourOfDay"_s,
            u"TelemetryDeck.Acquisition.firstSessionDate"_s,
            u"TelemetryDeck.Retention.averageSessionSeconds"_s,
            u"TelemetryDeck.Retention.distinctDaysUsed"_s,
            u"TelemetryDeck.Retention.distinctDaysUsedLastMonth"_s,
            u"TelemetryDeck.Retention.totalSessionsCount"_s,
        };
        for (const QString& key : extra) {
            QVERIFY2(record.payload.contains(key), qPrintable(key));
        }
        QCOMPARE(record.payload.size(), 48 + extra.size());
        // The tests run in Asia/Kolkata under a German locale without a GUI.
        QCOMPARE(record.payload.value(u"TelemetryDeck.Device.timeZone"_s), u"UTC+5:30"_s);
        QCOMPARE(record.payload.value(u"locale"_s), u"de_DE"_s);
        QCOMPARE(record.payload.value(u"region"_s), u"DE"_s);
        QCOMPARE(record.payload.value(u"appLanguage"_s), u"de"_s);
        QCOMPARE(record.payload.value(u"TelemetryDeck.Device.screenScaleFactor"_s), u"N/A"_s);
        QCOMPARE(record.payload.value(u"TelemetryDeck.UserPreference.layoutDirection"_s), u"N/A"_s);
        QCOMPARE(record.payload.value(u"TelemetryDeck.UserPreference.colorScheme"_s), u"Light"_s);
        QCOMPARE(record.payload.value(u"TelemetryDeck.SDK.nameAndVersion"_s), u"SwiftSDK 2.11.0"_s);
        QVERIFY(QRegularExpression(u"^Linux \\d+\\.\\d+\\.\\d+$"_s)
                    .match(record.payload.value(u"systemVersion"_s))
                    .hasMatch());
        QCOMPARE(record.payload.value(u"TelemetryDeck.AppInfo.versionAndBuildNumber"_s),
                 u"0 (build 0)"_s);
    }

    void calendar_data() {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<Parameters>("expected");
        // 2024-03-05 14:07 UTC is 19:37 on a Tuesday in Kolkata.
        QTest::newRow("tuesday evening")
            << QDateTime(QDate(2024, 3, 5), QTime(14, 7), QTimeZone::utc())
            << Parameters{{u"TelemetryDeck.Calendar.dayOfWeek"_s, u"2"_s},
                          {u"TelemetryDeck.Calendar.hourOfDay"_s, u"20"_s},
                          {u"TelemetryDeck.Calendar.dayOfYear"_s, u"65"_s},
                          {u"TelemetryDeck.Calendar.quarterOfYear"_s, u"1"_s},
                          {u"TelemetryDeck.Calendar.isWeekend"_s, u"false"_s}};
        // 2024-12-31 20:00 UTC is already Wednesday 1 January 2025, 01:30, in Kolkata.
        QTest::newRow("new year in local time")
            << QDateTime(QDate(2024, 12, 31), QTime(20, 0), QTimeZone::utc())
            << Parameters{{u"TelemetryDeck.Calendar.dayOfMonth"_s, u"1"_s},
                          {u"TelemetryDeck.Calendar.monthOfYear"_s, u"1"_s},
                          {u"TelemetryDeck.Calendar.hourOfDay"_s, u"2"_s},
                          {u"TelemetryDeck.Calendar.dayOfWeek"_s, u"3"_s}};
        QTest::newRow("sunday is seven and weekend")
            << QDateTime(QDate(2024, 3, 10), QTime(12, 0), QTimeZone::utc())
            << Parameters{{u"TelemetryDeck.Calendar.dayOfWeek"_s, u"7"_s},
                          {u"TelemetryDeck.Calendar.isWeekend"_s, u"true"_s},
                          {u"TelemetryDeck.Calendar.quarterOfYear"_s, u"1"_s}};
        QTest::newRow("late evening hour is 24")
            << QDateTime(QDate(2024, 9, 7), QTime(18, 0), QTimeZone::utc())
            << Parameters{{u"TelemetryDeck.Calendar.hourOfDay"_s, u"24"_s},
                          {u"TelemetryDeck.Calendar.dayOfWeek"_s, u"6"_s},
                          {u"TelemetryDeck.Calendar.quarterOfYear"_s, u"3"_s}};
    }
    void calendar() {
        QFETCH(QDateTime, when);
        QFETCH(Parameters, expected);
        const Parameters calendar = DefaultSignalPayload::calendarParameters(when);
        QCOMPARE(calendar.size(), 8);
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            QCOMPARE(calendar.value(it.key()), it.value());
        }
    }

    void timeZoneOffset_data() {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0 << u"UTC+0"_s;
        QTest::newRow("plus two") << 7200 << u"UTC+2"_s;
        QTest::newRow("minus five") << -18000 << u"UTC-5"_s;
        QTest::newRow("India") << 19800 << u"UTC+5:30"_s;
        QTest::newRow("minus three and a half") << -12600 << u"UTC-3:30"_s;
        QTest::newRow("Nepal") << 20700 << u"UTC+5:45"_s;
        QTest::newRow("minus half an hour") << -1800 << u"UTC-0:30"_s;
    }
    void timeZoneOffset() {
        QFETCH(int, seconds);
        QFETCH(QString, text);
        QCOMPARE(DefaultSignalPayload::timeZoneOffsetText(seconds), text);
    }

    void systemFacts_data() {
        QTest::addColumn<QString>("release");
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("patch");
        QTest::newRow("Debian") << u"6.1.0-13-amd64"_s << 6 << 1 << 0;
        QTest::newRow("two parts") << u"5.15-arch1"_s << 5 << 15 << 0;
        QTest::newRow("four parts") << u"4.19.112.7"_s << 4 << 19 << 112;
        QTest::newRow("garbage") << u"unknown"_s << 0 << 0 << 0;
    }
    void systemFacts() {
        QFETCH(QString, release);
        const SystemFacts::Version version = SystemFacts::parseVersion(release);
        QTEST(version.major, "major");
        QTEST(version.minor, "minor");
        QTEST(version.patch, "patch");
    }

    void preferredLanguage() {
        QCOMPARE(SystemFacts::preferredLanguageFrom({u"de-CH"_s, u"en"_s}), u"de"_s);
        QCOMPARE(SystemFacts::preferredLanguageFrom({u"pt_BR"_s}), u"pt"_s);
        QCOMPARE(SystemFacts::preferredLanguageFrom({}), u"zz"_s);
    }
};

QTEST_GUILESS_MAIN(TestSignalComposition)
#include "tst_signalcomposition.moc"
