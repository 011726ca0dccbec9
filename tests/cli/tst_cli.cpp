// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// The real tallyfin-cli binary, run as a user would: messages and exit status, decode and
// features, and signal against a local HTTP server (signals kept while the server is down, also
// by a run stopped with a signal or by a run beside another one, are delivered by a later run
// exactly once).

#include "JsonLines.h"
#include "ProcessRun.h"
#include "TestHttpServer.h"
#include "analytics/SignalPostBody.h"
#include "tallyfin/BuildInfo.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

namespace {

// A fresh home for each test: what one test's runs keep is not the next one's to deliver.
std::optional<QTemporaryDir> home;

QProcessEnvironment environment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CACHE_HOME"_s, home->path() + u"/cache"_s);
    environment.insert(u"XDG_CONFIG_HOME"_s, home->path() + u"/config"_s);
    return environment;
}

// Runs the command while this thread keeps serving a test server.
ProcessRun runCli(const QStringList& arguments) {
    return runProcess(QStringLiteral(TALLYFIN_CLI), arguments, environment());
}

// The types of every record the server received, sorted.
QStringList receivedTypes(const TestHttpServer& server) {
    QStringList types;
    for (const auto& request : server.requests()) {
        for (const QJsonValue& record : QJsonDocument::fromJson(request.body).array()) {
            types.append(record[u"type"_s].toString());
        }
    }
    types.sort();
    return types;
}

// Every send so far has failed, and the failed batches held at least `records` records between
// them: they are all back in the cache, and nothing is on its way.
bool failedWith(const QByteArray& log, int records) {
    static const QRegularExpression sending(u"Sending (\\d+) signals"_s);
    int sent = 0;
    int sends = 0;
    for (auto it = sending.globalMatch(QString::fromUtf8(log)); it.hasNext(); ++sends) {
        sent += it.next().captured(1).toInt();
    }
    return sent >= records && log.count("[TelemetryDeck: ERROR]") == sends;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { home.emplace(); }

    // Help and version on stdout with status 0; bad arguments give status 2 and one line on
    // stderr that names what is wrong, with nothing on stdout (also not for a good first value).
    void exitStatusAndMessages_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out"); // the start of stdout
        QTest::addColumn<QString>("err");    // what the one line on stderr names

        QTest::newRow("command help")
            << QStringList{u"decode"_s, u"--help"_s} << 0 << QByteArray("Usage: ") << QString();
        QTest::newRow("version") << QStringList{u"--version"_s} << 0
                                 << QByteArray("tallyfin-cli ") +
                                        tallyfin::buildinfo::shortVersion + " (" +
                                        tallyfin::buildinfo::buildVersion + ")\n"
                                 << QString();
        const auto bad = [](const QStringList& arguments, const QString& named) {
            QTest::newRow(arguments.isEmpty() ? "no arguments" : qPrintable(arguments.join(u' ')))
                << arguments << 2 << QByteArray() << named;
        };
        bad({}, u"missing command"_s);
        bad({u"frobnicate"_s}, u"'frobnicate'"_s);
        bad({u"--bogus"_s}, u"'--bogus'"_s);
        bad({u"decode"_s}, u"MACHINE"_s);
        bad({u"features"_s}, u"VALUE"_s);
        bad({u"decode"_s, u"unknown"_s, u"00"_s}, u"'unknown'"_s);
        bad({u"decode"_s, u"bike"_s, u"4400C"_s}, u"'4400C'"_s);
        bad({u"decode"_s, u"bike"_s, u"4100C800"_s, u"12Z4"_s}, u"VALUE 2 '12Z4'"_s);
        bad({u"features"_s, u"0000000000000000"_s, u"01"_s}, u"'01'"_s);
        bad({u"monitor"_s, u"--seconds"_s, u"0"_s}, u"monitor: --seconds"_s);
        bad({u"monitor"_s, u"--name"_s}, u"--name needs a value"_s);
        bad({u"monitor"_s, u"--verbose"_s}, u"'--verbose'"_s);
        bad({u"replay"_s}, u"replay: missing LOGFILE"_s);
        bad({u"replay"_s, u"a"_s, u"b"_s}, u"'b'"_s);
        QTest::newRow("replay of a missing file")
            << QStringList{u"replay"_s, u"/nonexistent/missing.log"_s} << 1 << QByteArray()
            << u"replay: cannot read"_s;
        bad({u"monitor"_s, u"--record"_s, u"ride.gpx"_s}, u"--record needs a FILE ending in"_s);
        bad({u"export"_s, u"j.journal"_s}, u"export: missing --to FILE"_s);
        bad({u"export"_s, u"j.journal"_s, u"--to"_s, u"ride.gpx"_s}, u"not 'ride.gpx'"_s);
        bad({u"export"_s, u"j"_s, u"--to"_s, u"a.fit"_s, u"--date"_s, u"1.3.2026"_s},
            u"--date needs a day as YYYY-MM-DD"_s);
        QTest::newRow("export of a log without its day")
            << QStringList{u"export"_s, QStringLiteral(TALLYFIN_CLI_SOURCE), u"--to"_s, u"a.fit"_s}
            << 2 << QByteArray() << u"needs --date"_s;
        bad({u"signal"_s, u"hello"_s}, u"signal: missing --app-id ID"_s);
        bad({u"signal"_s, u"--app-id"_s, u"A"_s, u"--base-url"_s, u"ftp://x"_s, u"hello"_s},
            u"--base-url 'ftp://x' is not an http or https URL"_s);
        bad({u"signal"_s, u"--app-id"_s, u"A"_s, u"hello"_s, u"=x"_s},
            u"parameter '=x' is not KEY=VALUE"_s);
    }
    void exitStatusAndMessages() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, out);
        QFETCH(QString, err);
        const ProcessRun run = runCli(arguments);
        QTEST(run.exitCode, "status");
        QVERIFY2(out.isEmpty() ? run.out.isEmpty() : run.out.startsWith(out), run.out.constData());
        if (err.isEmpty()) {
            QCOMPARE(run.err, QByteArray());
        } else {
            QCOMPARE(run.err.count('\n'), 1);
            QVERIFY2(run.err.endsWith('\n') && QString::fromUtf8(run.err).contains(err),
                     run.err.constData());
        }
    }

    void decode_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QVariantMap>("expected"); // fields that are not zero

        QTest::newRow("bike: two values merged, dashes and lower case")
            << QStringList{u"bike"_s, u"41-00-2c-01"_s, u"01 02 5a"_s}
            << QVariantMap{
                   {u"equipmentType"_s, u"bike"_s}, {u"power"_s, 300}, {u"heartRate"_s, 90}};
        QTest::newRow("rower: pace, colons")
            << QStringList{u"rower"_s, u"09:00:83:00"_s}
            << QVariantMap{{u"equipmentType"_s, u"rower"_s}, {u"speed"_s, 500.0 / 131.0}};
        // The decoders are tst_decoders'; here each kind reaches its own.
        QTest::newRow("treadmill")
            << QStringList{u"treadmill"_s, u"00 00 64 00"_s}
            << QVariantMap{{u"equipmentType"_s, u"treadmill"_s}, {u"speed"_s, 1 / 3.6}};
        QTest::newRow("crossTrainer")
            << QStringList{u"crossTrainer"_s, u"010100D204"_s}
            << QVariantMap{{u"equipmentType"_s, u"crossTrainer"_s}, {u"power"_s, 1234}};
        QTest::newRow("heartRate: a strap's values change the heart rate only")
            << QStringList{u"heartRate"_s, u"01 2C 01"_s, u"16 48"_s, u"01 2C"_s}
            << QVariantMap{{u"equipmentType"_s, u"unknown"_s}, {u"heartRate"_s, 72}};
    }
    void decode() {
        QFETCH(QStringList, arguments);
        QFETCH(QVariantMap, expected);
        const ProcessRun run = runCli(QStringList{u"decode"_s} + arguments);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(jsonLines(QString::fromUtf8(run.out)), {QJsonObject::fromVariantMap(expected)});
    }

    // The flags themselves are the decoder's; here what the command adds to them.
    void features() {
        ProcessRun run = runCli({u"features"_s, u"C6:00:00:00:09:00:00:00"_s});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject json = jsonLines(QString::fromUtf8(run.out)).value(0);
        QCOMPARE(json.value(u"decoded"_s), true);
        QCOMPARE(json.value(u"supportedMetrics"_s),
                 (QJsonArray{u"Cadence"_s, u"Distance"_s, u"Steps"_s, u"Resistance"_s}));
        QCOMPARE(json.value(u"controlCapabilities"_s), (QJsonArray{u"Speed"_s, u"Power"_s}));
        QCOMPARE(json.value(u"logLine"_s), u"FEATURES: Cadence, Distance, Steps, Resistance"_s);
        run = runCli({u"features"_s, u"01-02-03"_s});
        const QJsonObject tooShort = jsonLines(QString::fromUtf8(run.out)).value(0);
        QCOMPARE(tooShort.value(u"decoded"_s), false);
        QCOMPARE(tooShort.value(u"logLine"_s), QJsonValue::Null);
    }

    void deliversOneRecord() {
        TestHttpServer server;
        QVERIFY(server.listen());
        const ProcessRun result = runCli({u"signal"_s, u"--app-id"_s, u"APP-1"_s, u"--base-url"_s,
                                          server.baseUrl().toString(), u"--namespace"_s,
                                          u"team-a"_s, u"--test-mode"_s, u"checked"_s, u"k=v=w"_s});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out, QByteArray("{\"delivered\":1,\"kept\":0,\"signal\":\"checked\"}\n"));
        QCOMPARE(server.requests().size(), 1);
        QCOMPARE(server.requests().constFirst().path, QByteArray("/v2/namespace/team-a/"));
        const QJsonValue record = QJsonDocument::fromJson(server.requests().constFirst().body)[0];
        QCOMPARE(record[u"type"_s].toString(), u"checked"_s);
        QCOMPARE(record[u"appID"_s].toString(), u"APP-1"_s);
        QCOMPARE(record[u"isTestMode"_s].toString(), u"true"_s);
        QCOMPARE(record[u"payload"_s][u"k"_s].toString(), u"v=w"_s);
        QCOMPARE(record[u"payload"_s][u"TelemetryDeck.Device.platform"_s].toString(), u"Linux"_s);
        QCOMPARE(record[u"payload"_s][u"TelemetryDeck.AppInfo.versionAndBuildNumber"_s].toString(),
                 QString::fromLatin1(tallyfin::buildinfo::shortVersion) + u" (build "_s +
                     QString::fromLatin1(tallyfin::buildinfo::buildVersion) + u')');
    }

    void keptSignalsSurviveAStopAndAreDeliveredOnce_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void keptSignalsSurviveAStopAndAreDeliveredOnce() {
        QFETCH(int, signalNumber);
        const QString appID = u"APP-"_s + QString::number(signalNumber);
        // What an earlier run kept.
        tallyfin::analytics::SignalPostBody earlier;
        earlier.type = u"offline"_s;
        QVERIFY(QDir().mkpath(home->path() + u"/cache/tallyfin-cli"_s));
        QFile file(home->path() + u"/cache/tallyfin-cli/telemetrysignalcache"_s);
        QVERIFY(file.open(QIODevice::WriteOnly) &&
                file.write(tallyfin::analytics::encodeCacheFile({earlier})) > 0);
        file.close();

        // A run loads that signal, fails to send it and its own, and is stopped while both wait
        // in its cache for the next try.
        QProcess stopped;
        stopped.setProcessEnvironment(environment());
        QByteArray log;
        connect(&stopped, &QProcess::readyReadStandardError, this,
                [&] { log += stopped.readAllStandardError(); });
        stopped.start(QStringLiteral(TALLYFIN_CLI),
                      {u"signal"_s, u"--app-id"_s, appID, u"--base-url"_s,
                       closedPortUrl().toString(), u"stopped"_s});
        QTRY_VERIFY2_WITH_TIMEOUT(failedWith(log, 2), log.constData(), 20'000);
        // Still running, so that the signal reaches it and no one else.
        const auto pid = static_cast<pid_t>(stopped.processId());
        QVERIFY2(pid > 0, "the run ended by itself");
        ::kill(pid, signalNumber);
        QVERIFY(stopped.waitForFinished(10'000));
        QCOMPARE(stopped.exitStatus(), QProcess::NormalExit);
        QCOMPARE(stopped.exitCode(), 128 + signalNumber);
        QCOMPARE(QJsonDocument::fromJson(stopped.readAllStandardOutput())[u"kept"_s].toInt(), 2);

        TestHttpServer server;
        QVERIFY(server.listen());
        const ProcessRun up = runCli({u"signal"_s, u"--app-id"_s, appID, u"--base-url"_s,
                                      server.baseUrl().toString(), u"online"_s});
        QCOMPARE(up.exitCode, 0);
        QCOMPARE(QJsonDocument::fromJson(up.out)[u"delivered"_s].toInt(), 3);
        QCOMPARE(receivedTypes(server), (QStringList{u"offline"_s, u"online"_s, u"stopped"_s}));
    }

    // A run while another holds the cache never sends that one's records and loses none of its
    // own (delivered, or kept when it cannot): the next run after both sends what they kept, once.
    void twoRunsNeverSendTheSameRecord_data() {
        QTest::addColumn<bool>("secondOnline");
        QTest::newRow("the second delivers") << true;
        QTest::newRow("the second keeps its own") << false;
    }
    void twoRunsNeverSendTheSameRecord() {
        QFETCH(bool, secondOnline);
        TestHttpServer server;
        QVERIFY(server.listen());
        const auto run = [&](QProcess& process, QByteArray& log, const QString& type, bool online) {
            process.setProcessEnvironment(environment());
            connect(&process, &QProcess::readyReadStandardError, this,
                    [&] { log += process.readAllStandardError(); });
            process.start(QStringLiteral(TALLYFIN_CLI),
                          {u"signal"_s, u"--app-id"_s, u"APP-TWO"_s, u"--base-url"_s,
                           (online ? server.baseUrl() : closedPortUrl()).toString(), type});
        };
        const auto stop = [](QProcess& process) {
            ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
            return process.waitForFinished(10'000) ? process.readAllStandardOutput() : QByteArray();
        };
        QProcess first, second;
        QByteArray firstLog, secondLog;
        run(first, firstLog, u"first"_s, false);
        // Failed, and written to the cache file it holds.
        const QString file = home->path() + u"/cache/tallyfin-cli/telemetrysignalcache"_s;
        QTRY_VERIFY_WITH_TIMEOUT(failedWith(firstLog, 1) && QFile::exists(file), 20'000);
        run(second, secondLog, u"second"_s, secondOnline);
        QTRY_VERIFY_WITH_TIMEOUT(secondOnline ? second.state() == QProcess::NotRunning
                                              : failedWith(secondLog, 1),
                                 20'000);
        QCOMPARE(receivedTypes(server), secondOnline ? QStringList{u"second"_s} : QStringList());
        const QByteArray secondOut = secondOnline ? second.readAllStandardOutput() : stop(second);
        QCOMPARE(QJsonDocument::fromJson(secondOut)[u"kept"_s].toInt(), 0 + !secondOnline);
        QCOMPARE(QJsonDocument::fromJson(stop(first))[u"kept"_s].toInt(), 1);
        QCOMPARE(runCli({u"signal"_s, u"--app-id"_s, u"APP-TWO"_s, u"--base-url"_s,
                         server.baseUrl().toString(), u"third"_s})
                     .exitCode,
                 0);
        QCOMPARE(receivedTypes(server), (QStringList{u"first"_s, u"second"_s, u"third"_s}));
    }

    void sessionRunsLikeTheOverlay() {
        // The first session lasts long enough to count: the second run is no new install.
        for (const QStringList& expected :
             {QStringList{u"TelemetryDeck.Acquisition.newInstallDetected"_s,
                          u"TelemetryDeck.Session.started"_s, u"checked"_s},
              QStringList{u"TelemetryDeck.Session.started"_s, u"checked"_s}}) {
            TestHttpServer server;
            QVERIFY(server.listen());
            QCOMPARE(runCli({u"signal"_s, u"--app-id"_s, u"APP-SESSION"_s, u"--base-url"_s,
                             server.baseUrl().toString(), u"--session"_s, u"checked"_s})
                         .exitCode,
                     0);
            QCOMPARE(receivedTypes(server), expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
