// Batched delivery against a real HTTP server on 127.0.0.1: batch sizes, the request, status and
// transport failures, namespaces and early sends.

#include "AnalyticsTestSupport.h"
#include "TestHttpServer.h"
#include "analytics/SignalManager.h"
#include "analytics/SignalPostBody.h"
#include "analytics/TelemetryDeck.h"
#include "analytics/TelemetryManager.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <QTimeZone>

using namespace tallyfin::analytics;
using namespace Qt::StringLiterals;

namespace {

SignalPostBody record(int index) {
    SignalPostBody body;
    body.receivedAt = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9, 640), QTimeZone::utc());
    body.appID = u"TEST-APP"_s;
    body.clientUser = u"user"_s;
    body.sessionID = u"SESSION"_s;
    body.type = u"record"_s + QString::number(index);
    body.payload = {{u"index"_s, QString::number(index)}};
    body.isTestMode = u"false"_s;
    return body;
}

QList<SignalPostBody> records(int first, int count) {
    QList<SignalPostBody> list;
    for (int i = first; i < first + count; ++i) {
        list.append(record(i));
    }
    return list;
}

} // namespace

class TestSignalDelivery : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AnalyticsTestEnvironment> env;
    std::unique_ptr<TestHttpServer> server;

    SignalManager& signalManager() { return TelemetryManager::installed()->signalManager(); }
    SignalCache& cache() { return signalManager().signalCache(); }

    bool installFor(const QUrl& baseUrl, const std::optional<QString>& nameSpace = {},
                    Timing timing = {}) {
        auto base = env->configuration(baseUrl);
        auto configuration = std::make_shared<TelemetryManagerConfiguration>(
            u"TEST-APP"_s, std::nullopt, baseUrl, nameSpace);
        if (timing.sendInterval == Timing().sendInterval) {
            timing = base->timing();
        }
        configuration->setTiming(timing);
        configuration->setLogHandler(env->logHandler());
        return env->install(configuration);
    }

    QStringList errors() const { return env->logLines().filter(QRegularExpression(u"^ERROR "_s)); }

private Q_SLOTS:
    void init() {
        env = std::make_unique<AnalyticsTestEnvironment>();
        server = std::make_unique<TestHttpServer>();
        QVERIFY(server->listen());
    }
    void cleanup() {
        env.reset();
        server.reset();
    }

    void batchesOfAtMostHundredOnSuccessiveTicks() {
        Timing timing;
        timing.sendInterval = std::chrono::milliseconds(150);
        timing.sessionStartDelay = std::chrono::hours(1);
        QVERIFY(installFor(server->baseUrl(), {}, timing));
        cache().push(records(0, 250));
        QTRY_COMPARE(server->requests().size(), 3);
        QList<int> sizes;
        QList<SignalPostBody> delivered;
        for (const auto& request : server->requests()) {
            const auto batch = decodeUploadBody(request.body);
            QVERIFY(batch);
            sizes.append(static_cast<int>(batch->size()));
            delivered.append(*batch);
        }
        QCOMPARE(sizes, (QList<int>{100, 100, 50}));
        QCOMPARE(delivered.constFirst().type, u"record0"_s);
        QCOMPARE(delivered.constLast().type, u"record249"_s);
        QVERIFY(
            env->logLines().contains(u"INFO Sending 100 signals leaving a cache of 150 signals"_s));
        QTRY_COMPARE(cache().count(), 0);
        QTest::qWait(400);
        QCOMPARE(server->requests().size(), 3);
    }

    void requestFormat() {
        QVERIFY(installFor(server->baseUrl()));
        QList<SignalPostBody> sent{record(1), record(2)};
        sent[1].floatValue = 4.25;
        cache().push(sent);
        signalManager().sendNextBatch();
        QTRY_COMPARE(server->requests().size(), 1);
        const auto request = server->requests().constFirst();
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.path, QByteArray("/v2/"));
        QCOMPARE(request.headers.value("content-type"), QByteArray("application/json"));
        const QJsonArray body = QJsonDocument::fromJson(request.body).array();
        QCOMPARE(body.size(), 2);
        const QJsonObject first = body.at(0).toObject();
        QCOMPARE(first.value(u"receivedAt"_s).toString(), u"2024-03-05T14:07:09+0000"_s);
        QVERIFY(!first.contains(u"floatValue"_s));
        QCOMPARE(body.at(1).toObject().value(u"floatValue"_s).toDouble(), 4.25);
        QCOMPARE(first.value(u"payload"_s).toObject().value(u"index"_s).toString(), u"1"_s);
        // The body logged at debug level is the body sent.
        QVERIFY(env->logLines().contains(u"DEBUG "_s + QString::fromUtf8(request.body)));
        QTRY_VERIFY(env->logLines().contains(u"DEBUG {\"status\":200}"_s));
    }

    void failedStatusPutsBatchBackAtTheEnd_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        QTest::newRow("500") << 500 << u"ERROR invalidStatusCode(statusCode: 500)"_s;
        QTest::newRow("401") << 401 << u"ERROR unauthorised"_s;
        QTest::newRow("403") << 403 << u"ERROR forbidden"_s;
        QTest::newRow("413") << 413 << u"ERROR payloadTooLarge"_s;
        QTest::newRow("302 without location")
            << 302 << u"ERROR invalidStatusCode(statusCode: 302)"_s;
    }
    void failedStatusPutsBatchBackAtTheEnd() {
        QFETCH(int, status);
        QFETCH(QString, error);
        QVERIFY(installFor(server->baseUrl()));
        server->queueStatus(status);
        cache().push(records(0, 101));
        signalManager().sendNextBatch();
        QTRY_COMPARE(server->requests().size(), 1);
        QTRY_COMPARE(errors(), QStringList{error});
        QTRY_COMPARE(cache().count(), 101);
        const QList<SignalPostBody> first = cache().pop();
        QCOMPARE(first.constFirst().type, u"record100"_s);
        QCOMPARE(first.at(1).type, u"record0"_s);
        QCOMPARE(cache().pop().constFirst().type, u"record99"_s);
    }

    void serverThatNeverAnswersKeepsBatch() {
        Timing timing;
        timing.sendInterval = std::chrono::hours(1);
        timing.sessionStartDelay = std::chrono::hours(1);
        timing.requestTimeout = std::chrono::milliseconds(300);
        QVERIFY(installFor(server->baseUrl(), {}, timing));
        server->setSilent(true);
        cache().push(records(0, 4));
        signalManager().sendNextBatch();
        QTRY_COMPARE(server->requests().size(), 1);
        QCOMPARE(cache().count(), 0);
        QTRY_COMPARE(cache().count(), 4);
        QCOMPARE(errors().size(), 1);
    }

    void namespacePaths_data() {
        QTest::addColumn<QString>("basePath");
        QTest::addColumn<std::optional<QString>>("nameSpace");
        QTest::addColumn<QByteArray>("path");
        QTest::newRow("none") << QString() << std::optional<QString>() << QByteArray("/v2/");
        QTest::newRow("empty") << QString() << std::optional<QString>(QString())
                               << QByteArray("/v2/");
        QTest::newRow("team-a") << QString() << std::optional<QString>(u"team-a"_s)
                                << QByteArray("/v2/namespace/team-a/");
        QTest::newRow("base path is replaced")
            << u"/ingest/"_s << std::optional<QString>(u"team-a"_s)
            << QByteArray("/v2/namespace/team-a/");
    }
    void namespacePaths() {
        QFETCH(QString, basePath);
        QFETCH(std::optional<QString>, nameSpace);
        QFETCH(QByteArray, path);
        QUrl base = server->baseUrl();
        base.setPath(basePath);
        QVERIFY(installFor(base, nameSpace));
        cache().push(record(0));
        signalManager().sendNextBatch();
        QTRY_COMPARE(server->requests().size(), 1);
        QCOMPARE(server->requests().constFirst().path, path);
    }

    void invalidNamespaceKeepsBatch() {
        QVERIFY(installFor(server->baseUrl(), u"team a#b"_s));
        cache().push(records(0, 2));
        signalManager().sendNextBatch();
        QTRY_COMPARE(errors().size(), 2);
        QCOMPARE(errors(),
                 (QStringList{u"ERROR Unable to construct signal API URL for namespace team a#b"_s,
                              u"ERROR invalidEndpointUrl"_s}));
        QCOMPARE(cache().count(), 2);
        QCOMPARE(server->requests().size(), 0);
    }

    void emptyCacheLogsOnlyTheCount() {
        QVERIFY(installFor(server->baseUrl()));
        env->clearLog();
        signalManager().sendNextBatch();
        QTRY_COMPARE(env->logLines(), QStringList{u"DEBUG Current signal cache count: 0"_s});
        QTest::qWait(100);
        QCOMPARE(env->logLines().size(), 1);
        QCOMPARE(server->requests().size(), 0);
    }

    void earlySendsAtMostEveryTenSeconds_data() {
        QTest::addColumn<int>("gapSeconds");
        QTest::addColumn<int>("requests");
        QTest::newRow("5 seconds apart") << 5 << 1;
        QTest::newRow("11 seconds apart") << 11 << 2;
    }
    void earlySendsAtMostEveryTenSeconds() {
        QFETCH(int, gapSeconds);
        QFETCH(int, requests);
        QVERIFY(installFor(server->baseUrl()));
        cache().push(record(1));
        TelemetryDeck::requestImmediateSync();
        QTRY_COMPARE(server->requests().size(), 1);
        env->advance(gapSeconds * 1000);
        cache().push(record(2));
        TelemetryDeck::requestImmediateSync();
        if (requests == 2) {
            QTRY_COMPARE(server->requests().size(), 2);
        } else {
            QTest::qWait(300);
            QCOMPARE(server->requests().size(), 1);
            QCOMPARE(cache().count(), 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestSignalDelivery)
#include "tst_signaldelivery.moc"
