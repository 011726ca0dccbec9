// tallyfin-cli signal: argument errors, delivery to a local HTTP server, and a signal kept while
// the server is down that the next run delivers.

#include "ProcessRun.h"
#include "TestHttpServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestSignalCommand : public QObject {
    Q_OBJECT

private:
    QTemporaryDir home;

    using Result = ProcessRun;

    // Runs the command while this thread keeps serving the test server.
    Result run(const QStringList& arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_CACHE_HOME"_s, home.path() + u"/cache"_s);
        environment.insert(u"XDG_CONFIG_HOME"_s, home.path() + u"/config"_s);
        return runProcess(QStringLiteral(TALLYFIN_CLI), QStringList{u"signal"_s} + arguments,
                          environment);
    }

    static QJsonObject summary(const Result& result) {
        return QJsonDocument::fromJson(result.out).object();
    }

private Q_SLOTS:
    void badArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("no app id") << QStringList{u"hello"_s} << u"missing --app-id ID"_s;
        QTest::newRow("empty app id")
            << QStringList{u"--app-id"_s, u""_s, u"hello"_s} << u"--app-id must not be empty"_s;
        QTest::newRow("no name") << QStringList{u"--app-id"_s, u"A"_s} << u"missing NAME"_s;
        QTest::newRow("option without value")
            << QStringList{u"--app-id"_s} << u"missing value after --app-id"_s;
        QTest::newRow("bad URL") << QStringList{u"--app-id"_s, u"A"_s, u"--base-url"_s,
                                                u"ftp://x"_s, u"hello"_s}
                                 << u"--base-url 'ftp://x' is not an http or https URL"_s;
        QTest::newRow("bad parameter") << QStringList{u"--app-id"_s, u"A"_s, u"hello"_s, u"=x"_s}
                                       << u"parameter '=x' is not KEY=VALUE"_s;
        QTest::newRow("unknown option")
            << QStringList{u"--app-id"_s, u"A"_s, u"--fast"_s, u"hello"_s}
            << u"unknown option '--fast'"_s;
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
        QCOMPARE(summary(result).value(u"delivered"_s).toInt(), 1);
        QCOMPARE(summary(result).value(u"kept"_s).toInt(), 0);
        QCOMPARE(server.requests().size(), 1);
        QCOMPARE(server.requests().constFirst().path, QByteArray("/v2/namespace/team-a/"));
        const QJsonObject record =
            QJsonDocument::fromJson(server.requests().constFirst().body).array().at(0).toObject();
        QCOMPARE(record.value(u"type"_s).toString(), u"checked"_s);
        QCOMPARE(record.value(u"appID"_s).toString(), u"APP-1"_s);
        QCOMPARE(record.value(u"isTestMode"_s).toString(), u"true"_s);
        const QJsonObject payload = record.value(u"payload"_s).toObject();
        QCOMPARE(payload.value(u"k"_s).toString(), u"v=w"_s);
        for (const auto key :
             {"platform", "systemVersion", "modelName", "architecture", "locale",
              "TelemetryDeck.Device.timeZone", "TelemetryDeck.SDK.version",
              "TelemetryDeck.Retention.totalSessionsCount", "TelemetryDeck.Calendar.hourOfDay"}) {
            QVERIFY2(payload.contains(QLatin1StringView(key)), key);
        }
        QVERIFY(payload.size() >= 48 + 8 + 5 + 1);
    }

    void signalKeptWhileServerIsDownIsDeliveredByTheNextRun() {
        const QString url = closedPortUrl().toString();

        const Result down = run({u"--app-id"_s, u"APP-2"_s, u"--base-url"_s, url, u"offline"_s});
        QCOMPARE(down.exitCode, 1);
        QCOMPARE(summary(down).value(u"kept"_s).toInt(), 1);
        QCOMPARE(summary(down).value(u"delivered"_s).toInt(), 0);

        TestHttpServer server;
        QVERIFY(server.listen());
        const Result up = run(
            {u"--app-id"_s, u"APP-2"_s, u"--base-url"_s, server.baseUrl().toString(), u"online"_s});
        QCOMPARE(up.exitCode, 0);
        QCOMPARE(summary(up).value(u"delivered"_s).toInt(), 2);
        QStringList types;
        for (const auto& request : server.requests()) {
            for (const QJsonValue& record : QJsonDocument::fromJson(request.body).array()) {
                types.append(record.toObject().value(u"type"_s).toString());
            }
        }
        types.sort();
        QCOMPARE(types, (QStringList{u"offline"_s, u"online"_s}));
    }
};

QTEST_GUILESS_MAIN(TestSignalCommand)
#include "tst_signalcommand.moc"
