// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// From a signal call to the finished record: prefixes, warnings, gates, merge order, hashing,
// the anonymous user, the default payload and the preset signals.

#include "AnalyticsTestSupport.h"
#include "analytics/CustomDefaults.h"
#include "analytics/DefaultSignalPayload.h"
#include "analytics/Hashing.h"
#include "analytics/SessionManager.h"
#include "analytics/SignalManager.h"
#include "analytics/SystemFacts.h"
#include "analytics/TelemetryDeck.h"
#include "analytics/TelemetryManager.h"

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
        const auto records = env->take();
        return records.size() == 1 ? records.constFirst() : SignalPostBody{};
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

    void logHandlerPassesItsLevelAndAbove() {
        QStringList seen;
        LogHandler handler{LogLevel::Info,
                           [&seen](LogLevel, const QString& message) { seen.append(message); }};
        handler.log(LogLevel::Debug, u"quiet"_s);
        handler.log(LogLevel::Info, u"info"_s);
        handler.log(LogLevel::Error, u"error"_s);
        QCOMPARE(seen, (QStringList{u"info"_s, u"error"_s}));
    }

    // The name or one parameter key as sent and the one warning it draws (none when empty);
    // the checks look at the keys after the key prefix, which "TelemetryDeck." keys escape.
    void prefixesAndWarnings_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("keyPrefix");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("warning");
        const QString tail = u" will cause unexpected behavior. Please use another "_s;
        const QString keyPrefix = u"Sending parameter with reserved key prefix 'TelemetryDeck.'"_s +
                                  tail + u"prefix instead."_s;
        QTest::newRow("reserved name is still sent")
            << u"Type"_s << QString() << QString() << u"Type"_s
            << u"Sending signal with reserved name 'Type'"_s + tail + u"name instead."_s;
        QTest::newRow("reserved signal prefix, any case")
            << u"telemetryDECK.x"_s << QString() << QString() << u"telemetryDECK.x"_s
            << u"Sending signal with reserved prefix 'TelemetryDeck.'"_s + tail +
                   u"prefix instead."_s;
        QTest::newRow("reserved key keeps its spelling")
            << u"Go"_s << u"Platform"_s << QString() << u"Platform"_s
            << u"Sending parameter with reserved key 'Platform'"_s + tail + u"key instead."_s;
        QTest::newRow("lower-case key prefix") << u"Go"_s << u"telemetryDeck.foo"_s << QString()
                                               << u"telemetryDeck.foo"_s << keyPrefix;
        QTest::newRow("prefixed lower-case key") << u"Go"_s << u"telemetryDeck.foo"_s << u"My."_s
                                                 << u"My.telemetryDeck.foo"_s << QString();
        QTest::newRow("TelemetryDeck. key is not prefixed")
            << u"Go"_s << u"TelemetryDeck.x"_s << u"My."_s << u"TelemetryDeck.x"_s << keyPrefix;
    }
    void prefixesAndWarnings() {
        QFETCH(QString, name);
        QFETCH(QString, key);
        QFETCH(QString, keyPrefix);
        QFETCH(QString, sent);
        QFETCH(QString, warning);
        if (!keyPrefix.isEmpty()) {
            config->setDefaultParameterPrefix(keyPrefix);
        }
        const SignalPostBody record =
            sendAndTake(name, key.isEmpty() ? Parameters{} : Parameters{{key, u"1"_s}});
        QVERIFY(key.isEmpty() ? record.type == sent : record.payload.contains(sent));
        QCOMPARE(env->errorLines(),
                 warning.isEmpty() ? QStringList{} : QStringList{u"ERROR "_s + warning});
    }

    void warningsCanBeSwitchedOffButNotForDefaultParameters() {
        config->setReservedParameterWarningsEnabled(false);
        config->setDefaultParameters([] { return Parameters{{u"locale"_s, u"x"_s}}; });
        QCOMPARE(sendAndTake(u"Type"_s, {{u"Platform"_s, u"x"_s}}).type, u"Type"_s);
        QCOMPARE(env->errorLines(),
                 QStringList{u"ERROR Sending parameter with reserved key 'locale' will cause "
                             u"unexpected behavior. Please use another key instead."_s});
    }

    // Signals counted as sent would be built: none may be, and no warning is given.
    void gatesDropSilently() {
        for (const bool disabled : {true, false}) {
            config->setAnalyticsDisabled(disabled);
            config->setPreviewMode(!disabled);
            TelemetryDeck::signal(u"Type"_s, {{u"TelemetryDeck.x"_s, u"1"_s}});
            TelemetryDeck::startDurationSignal(u"d"_s);
            TelemetryDeck::stopAndSendDurationSignal(u"d"_s);
            QCOMPARE(TelemetryManager::installed()->signalManager().buildingCount(), 0);
        }
        QCOMPARE(env->errorLines(), QStringList{});
        config->setPreviewMode(false);
        QCOMPARE(sendAndTake(u"Later"_s).type, u"Later"_s);
        QCOMPARE(TelemetryManager::installed()->signalManager().processedCount(), 1);
    }

    // The custom user is hashed with the salt after it: "ab" + "c" is SHA-256 of "abc". The
    // payload: the signal's parameters over the enrichers' (later ones win) over the defaults.
    void wholeRecord() {
        config = env->configuration(closedPortUrl(), u"TEST-APP"_s, u"c"_s);
        config->setTestMode(true);
        config->setDefaultSignalPrefix(u"App."_s);
        config->setDefaultParameterPrefix(u"My."_s);
        config->setDefaultParameters([] {
            return Parameters{{u"shared"_s, u"configured"_s}, {u"onlyDefault"_s, u"d"_s}};
        });
        config->setMetadataEnrichers(
            {std::make_shared<FixedEnricher>(Parameters{{u"My.shared"_s, u"first enricher"_s},
                                                        {u"locale"_s, u"enriched"_s},
                                                        {u"fromEnricher"_s, u"1"_s}}),
             std::make_shared<FixedEnricher>(Parameters{{u"fromEnricher"_s, u"2"_s}})});
        QVERIFY(env->install(config));
        SignalPostBody record = sendAndTake(
            u"Go"_s, {{u"shared"_s, u"signal"_s}, {u"TelemetryDeck.Device.platform"_s, u"x"_s}},
            2.5, u"ab"_s);
        const Parameters merged{{u"My.shared"_s, u"signal"_s},
                                {u"My.onlyDefault"_s, u"d"_s},
                                {u"locale"_s, u"enriched"_s},
                                {u"fromEnricher"_s, u"2"_s},
                                {u"TelemetryDeck.Device.platform"_s, u"x"_s}};
        for (auto it = merged.cbegin(); it != merged.cend(); ++it) {
            QCOMPARE(record.payload.value(it.key()), it.value());
        }
        const SignalPostBody expected{
            .receivedAt = env->now(),
            .appID = u"TEST-APP"_s,
            .clientUser = u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"_s,
            .sessionID = config->sessionID().toString(QUuid::WithoutBraces).toUpper(),
            .type = u"App.Go"_s,
            .floatValue = 2.5,
            .payload = record.payload,
            .isTestMode = u"true"_s};
        QCOMPARE(record, expected);
        QCOMPARE(env->logLines().filter(u"DEBUG Process signal: SignalPostBody(receivedAt: "_s),
                 QStringList{u"DEBUG Process signal: "_s + record.description()});
    }

    // The session manager and its timer belong to the main thread whoever starts a session.
    void signalAndSessionFromAnotherThread() {
        std::unique_ptr<QThread> worker(QThread::create([] {
            TelemetryDeck::signal(u"fromWorker"_s, {{u"k"_s, u"v"_s}});
            TelemetryDeck::generateNewSession();
        }));
        worker->start();
        QVERIFY(worker->wait(5000));
        QTRY_COMPARE(env->cachedCount(), 3);
        QCOMPARE(typesOf(env->take()),
                 (QStringList{u"TelemetryDeck.Acquisition.newInstallDetected"_s,
                              u"TelemetryDeck.Session.started"_s, u"fromWorker"_s}));
        QVERIFY(SessionManager::shared().isTimerRunning());
    }

    void defaultUserIdentifierIsStoredAndReused() {
        const auto defaults = CustomDefaults::ofInstalledManager();
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
    }

    // The tests run in Asia/Kolkata under a German locale without a GUI; the clock stands at
    // Tuesday 2024-03-05 14:07 UTC, 19:37 in Kolkata.
    void defaultPayload() {
        const Parameters payload = sendAndTake(u"Go"_s).payload;
        const Parameters expected{
            {u"TelemetryDeck.Device.timeZone"_s, u"UTC+5:30"_s},
            {u"locale"_s, u"de_DE"_s},
            {u"region"_s, u"DE"_s},
            {u"appLanguage"_s, u"de"_s},
            {u"TelemetryDeck.Device.screenScaleFactor"_s, u"N/A"_s},
            {u"TelemetryDeck.UserPreference.layoutDirection"_s, u"N/A"_s},
            {u"TelemetryDeck.UserPreference.colorScheme"_s, u"Light"_s},
            {u"TelemetryDeck.AppInfo.versionAndBuildNumber"_s, u"0 (build 0)"_s},
            {u"TelemetryDeck.Calendar.hourOfDay"_s, u"20"_s},
            {u"TelemetryDeck.Retention.totalSessionsCount"_s, u"0"_s},
        };
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            QCOMPARE(payload.value(it.key()), it.value());
        }
        QVERIFY(QRegularExpression(u"^Linux \\d+\\.\\d+\\.\\d+$"_s)
                    .match(payload.value(u"systemVersion"_s))
                    .hasMatch());
    }

    // Day of month, of week, hour (1 to 24), quarter and weekend, in local time: 19:00 UTC on
    // Saturday 9 March is 00:30 on Sunday 10 March in Kolkata, 18:00 UTC on Saturday 7 September
    // is 23:30 there.
    void calendar() {
        const auto values = [](QDate day, int hourUtc) {
            const Parameters calendar = DefaultSignalPayload::calendarParameters(
                QDateTime(day, QTime(hourUtc, 0), QTimeZone::utc()));
            QStringList values;
            for (const char* key :
                 {"dayOfMonth", "dayOfWeek", "hourOfDay", "quarterOfYear", "isWeekend"}) {
                values.append(calendar.value(u"TelemetryDeck.Calendar."_s + QLatin1String(key)));
            }
            return values.join(u' ');
        };
        QCOMPARE(values(QDate(2024, 3, 9), 19), u"10 7 1 1 true"_s);
        QCOMPARE(values(QDate(2024, 9, 7), 18), u"7 6 24 3 true"_s);
    }

    // Weeks by the locale: from Monday with four days in the first week (Germany, as ISO 8601),
    // from Sunday with one (United States), from Saturday with one (Egypt).
    void weekOfYear() {
        const QDate days[] = {QDate(2024, 3, 10),  QDate(2021, 1, 1), QDate(2024, 12, 29),
                              QDate(2024, 12, 31), QDate(2027, 1, 1), QDate(2027, 1, 2)};
        const auto weeks = [&](const char* locale) {
            QStringList numbers;
            for (const QDate& day : days) {
                numbers.append(QString::number(
                    DefaultSignalPayload::weekOfYear(day, QLocale(QLatin1String(locale)))));
            }
            return numbers.join(u' ');
        };
        QCOMPARE(weeks("de_DE"), u"10 53 52 1 53 53"_s);
        QCOMPARE(weeks("en_US"), u"11 1 1 1 1 1"_s);
        QCOMPARE(weeks("ar_EG"), u"11 1 1 1 1 2"_s);
        const Parameters calendar = DefaultSignalPayload::calendarParameters(
            QDateTime(days[0], QTime(12, 0), QTimeZone::utc()), QLocale(u"en_US"_s));
        QCOMPARE(calendar.value(u"TelemetryDeck.Calendar.weekOfYear"_s), u"11"_s);
    }

    // West of UTC the sign stays also under an hour; languages lose their region.
    void offsetsAndLanguages() {
        const std::pair<int, QString> offsets[] = {
            {0, u"UTC+0"_s}, {-12600, u"UTC-3:30"_s}, {-1800, u"UTC-0:30"_s}};
        for (const auto& [seconds, text] : offsets) {
            QCOMPARE(DefaultSignalPayload::timeZoneOffsetText(seconds), text);
        }
        QCOMPARE(SystemFacts::preferredLanguageFrom({u"de-CH"_s, u"en"_s}), u"de"_s);
        QCOMPARE(SystemFacts::preferredLanguageFrom({u"pt_BR"_s}), u"pt"_s);
        QCOMPARE(SystemFacts::preferredLanguageFrom({}), u"zz"_s);
    }

    // Each preset's fixed entries beside the caller's, optional ones only when given, without
    // prefixes or reserved-name warnings; ratings outside 0 to 10 are logged and dropped; a path
    // change starts from the previous path.
    void presets() {
        const QStringList plain = sendAndTake(u"Plain"_s).payload.keys();
        config->setDefaultSignalPrefix(u"App."_s);
        config->setDefaultParameterPrefix(u"My."_s);
        TelemetryDeck::acquiredUser(
            u"ads"_s, {{u"TelemetryDeck.Acquisition.channel"_s, u"mine"_s}, {u"extra"_s, u"1"_s}});
        TelemetryDeck::errorOccurred(
            AnyIdentifiableError::with(std::runtime_error("disk full"), u"E2"_s),
            ErrorCategory::ThrownException);
        TelemetryDeck::errorOccurred(u"E1"_s);
        for (const int rating : {-1, 0, 10, 11}) {
            TelemetryDeck::userRatingSubmitted(rating, u"fine"_s);
        }
        NavigationStatus::setPreviousNavigationPath(std::nullopt);
        TelemetryDeck::navigationPathChanged(u"/home"_s);
        TelemetryDeck::navigationPathChanged(u"/settings"_s);
        QStringList records;
        for (const SignalPostBody& record : env->take()) {
            QStringList entries{record.type};
            for (auto it = record.payload.cbegin(); it != record.payload.cend(); ++it) {
                if (!plain.contains(it.key())) {
                    entries.append(QString(it.key()).remove(u"TelemetryDeck."_s) + u'=' +
                                   it.value());
                }
            }
            records.append(entries.join(u' '));
        }
        records.sort();
        QCOMPARE(records,
                 (QStringList{
                     u"TelemetryDeck.Acquisition.userAcquired Acquisition.channel=mine extra=1"_s,
                     u"TelemetryDeck.Error.occurred Error.category=thrown-exception Error.id=E2 "
                     u"Error.message=disk full"_s,
                     u"TelemetryDeck.Error.occurred Error.id=E1"_s,
                     u"TelemetryDeck.Navigation.pathChanged Navigation.destinationPath=/home "
                     u"Navigation.identifier= -> /home Navigation.schemaVersion=1 "
                     u"Navigation.sourcePath="_s,
                     u"TelemetryDeck.Navigation.pathChanged Navigation.destinationPath=/settings "
                     u"Navigation.identifier=/home -> /settings Navigation.schemaVersion=1 "
                     u"Navigation.sourcePath=/home"_s,
                     u"TelemetryDeck.Referral.userRatingSubmitted Referral.ratingComment=fine "
                     u"Referral.ratingValue=0"_s,
                     u"TelemetryDeck.Referral.userRatingSubmitted Referral.ratingComment=fine "
                     u"Referral.ratingValue=10"_s}));
        QCOMPARE(env->errorLines(), QStringList(2, u"ERROR Rating must be between 0 and 10"_s));
    }
};

QTEST_GUILESS_MAIN(TestSignalComposition)
#include "tst_signalcomposition.moc"
