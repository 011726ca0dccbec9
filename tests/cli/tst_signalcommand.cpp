// tallyfin-cli signal: argument errors, delivery to a local HTTP server, signals kept while the
// server is down (also by a run stopped with a signal) that the next run delivers exactly once,
// and --session.

#include "ProcessRun.h"
#include "TestHttpServer.h"
#include "analytics/SignalPostBody.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;
using namespace tallyfin::analytics;

class TestSignalCommand : public QObject {
    Q_OBJECT

private:
    QTemporaryDir home;

    using Result = ProcessRun;

    QProcessEnvironment environment() const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_CACHE_HOME"_s, home.path() + u"/cache"_s);
        environment.insert(u"XDG_CONFIG_HOME"_s, home.path() + u"/config"_s);
        return environment;
    }

    // Runs the command while this thread keeps serving the test server.
    Result run(const QStringList& arguments) {
        return runProcess(QStringLiteral(TALLYFIN_CLI), QStringList{u"signal"_s} + arguments,
                          environment());
    }

    static QJsonObject summary(const QByteArray& out) {
        return QJsonDocument::fromJson(out).object();
    }

    // The types of every record the server received, sorted.
    static QStringList receivedTypes(const TestHttpServer& server) {
        QStringList types;
        for (const auto& request : server.requests()) {
            for (const QJsonValue& record : QJsonDocument::fromJson(request.body).array()) {
                types.append(record.toObject().value(u"type"_s).toString());
            }
        }
        types.sort();
        return types;
    }

private Q_SLOTS:
    void badArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("no app id") << QStringList{u"hello"_s} << u"missing --app-id ID"_s;
        QTest::newRow("option without value")
            << QStringList{u"--app-id"_s} << u"missing value after --app-id"_s;
        QTest::newRow("bad URL") << QStringList{u"--app-id"_s, u"A"_s, u"--base-url"_s,
                                                u"ftp://x"_s, u"hello"_s}
                                 << u"--base-url 'ftp://x' is not an http or https URL"_s;
        QTest::newRow("bad parameter") << QStringList{u"--app-id"_s, u"A"_s, u"hello"_s, u"=x"_s}
                                       << u"parameter '=x' is not KEY=VALUE"_s;
    }
    void badArguments() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Result result = run(arguments);
        QCOMPARE(result.exitCode, 2);
        QCOMPARE(result.out, QByteArray());
        QVERIFY2(QString::fromUtf8(result.err).contains(u"tallyfin-cli signal: "_s + message),
                 result.err.constData());
    }

    void deliversOneRecordWithEveryDefaultKey() {
        TestHttpServer server;
        QVERIFY(server.listen());
        const Result result =
            run({u"--app-id"_s, u"APP-1"_s, u"--base-url"_s, server.baseUrl().toString(),
                 u"--namespace"_s, u"team-a"_s, u"--test-mode"_s, u"checked"_s, u"k=v=w"_s});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(summary(result.out).value(u"delivered"_s).toInt(), 1);
        QCOMPARE(summary(result.out).value(u"kept"_s).toInt(), 0);
        QCOMPARE(server.requests().size(), 1);
        QCOMPARE(server.requests().constFirst().path, QByteArray("/v2/namespace/team-a/"));
        const QJsonObject record =
            QJsonDocument::fromJson(server.requests().constFirst().body).array().at(0).toObject();
        QCOMPARE(record.value(u"type"_s).toString(), u"checked"_s);
        QCOMPARE(record.value(u"appID"_s).toString(), u"APP-1"_s);
        QCOMPARE(record.value(u"isTestMode"_s).toString(), u"true"_s);
        const QJsonObject payload = record.value(u"payload"_s).toObject();
        QCOMPARE(payload.value(u"k"_s).toString(), u"v=w"_s);
        // The default payload: base entries, calendar and retention figures.
        QVERIFY(payload.size() >= 48 + 8 + 5 + 1);
    }

    void keptSignalsSurviveAStopAndAreDeliveredOnce_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void keptSignalsSurviveAStopAndAreDeliveredOnce() {
        QFETCH(int, signalNumber);
        const QString down = closedPortUrl().toString();
        const QString appID = u"APP-"_s + QString::number(signalNumber);
        // What an earlier run kept.
        SignalPostBody earlier;
        earlier.type = u"offline"_s;
        QVERIFY(QDir().mkpath(home.path() + u"/cache/tallyfin-cli"_s));
        QFile file(home.path() + u"/cache/tallyfin-cli/telemetrysignalcache"_s);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(encodeCacheFile({earlier})) > 0);
        file.close();

        // A run loads that signal, fails to send it with its own, and is stopped while it waits
        // for its next try.
        QProcess stopped;
        stopped.setProcessEnvironment(environment());
        QByteArray log;
        connect(&stopped, &QProcess::readyReadStandardError, this,
                [&] { log += stopped.readAllStandardError(); });
        stopped.start(QStringLiteral(TALLYFIN_CLI),
                      {u"signal"_s, u"--app-id"_s, appID, u"--base-url"_s, down, u"stopped"_s});
        QTRY_VERIFY_WITH_TIMEOUT(
            log.indexOf("[TelemetryDeck: ERROR]", log.indexOf("Sending 2 signals")) > 0, 20'000);
        ::kill(static_cast<pid_t>(stopped.processId()), signalNumber);
        QVERIFY(stopped.waitForFinished(10'000));
        QCOMPARE(stopped.exitStatus(), QProcess::NormalExit);
        QCOMPARE(stopped.exitCode(), 128 + signalNumber);
        QCOMPARE(summary(stopped.readAllStandardOutput()).value(u"kept"_s).toInt(), 2);

        TestHttpServer server;
        QVERIFY(server.listen());
        const Result up =
            run({u"--app-id"_s, appID, u"--base-url"_s, server.baseUrl().toString(), u"online"_s});
        QCOMPARE(up.exitCode, 0);
        QCOMPARE(summary(up.out).value(u"delivered"_s).toInt(), 3);
        QCOMPARE(receivedTypes(server), (QStringList{u"offline"_s, u"online"_s, u"stopped"_s}));
    }

    void sessionRunsLikeTheOverlay() {
        // The first session lasts long enough to count: the second run is no new install.
        for (const QStringList& expected :
             {QStringList{u"TelemetryDeck.Acquisition.newInstallDetected"_s,
                          u"TelemetryDeck.Session.started"_s, u"checked"_s},
              QStringList{u"TelemetryDeck.Session.started"_s, u"checked"_s}}) {
            TestHttpServer server;
            QVERIFY(server.listen());
            QCOMPARE(run({u"--app-id"_s, u"APP-SESSION"_s, u"--base-url"_s,
                          server.baseUrl().toString(), u"--session"_s, u"checked"_s})
                         .exitCode,
                     0);
            QCOMPARE(receivedTypes(server), expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestSignalCommand)
#include "tst_signalcommand.moc"
