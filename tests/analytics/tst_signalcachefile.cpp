// The cache file: kept up to date while records wait, written with numeric dates at termination,
// loaded and sent first by the next manager, and never holding a batch on its way; an unreadable
// file is deleted and ignored.

#include "AnalyticsTestSupport.h"
#include "TestHttpServer.h"
#include "analytics/AppActivity.h"
#include "analytics/SignalCache.h"
#include "analytics/SignalPostBody.h"
#include "analytics/TelemetryDeck.h"
#include "analytics/TelemetryManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimeZone>

using namespace tallyfin::analytics;
using namespace Qt::StringLiterals;

namespace {

SignalPostBody record(const QString& type, std::optional<double> floatValue = {}) {
    SignalPostBody body;
    body.receivedAt = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9, 640), QTimeZone::utc());
    body.appID = u"TEST-APP"_s;
    body.clientUser = u"c0ffee"_s;
    body.sessionID = u"6F1E1B4C-3A0B-4D4B-9C1A-7D2E8F9A0B1C"_s;
    body.type = type;
    body.floatValue = floatValue;
    body.payload = {{u"key"_s, u"value \"quoted\" ✓"_s}};
    body.isTestMode = u"false"_s;
    return body;
}

// The types of the records in the file, sorted; none without a file.
QStringList fileTypes(const QString& path) {
    QFile file(path);
    QStringList types;
    if (file.open(QIODevice::ReadOnly)) {
        for (const SignalPostBody& body :
             decodeCacheFile(file.readAll()).value_or(QList<SignalPostBody>{})) {
            types.append(body.type);
        }
    }
    types.sort();
    return types;
}

bool writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

} // namespace

class TestSignalCacheFile : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AnalyticsTestEnvironment> env;

private Q_SLOTS:
    void init() { env = std::make_unique<AnalyticsTestEnvironment>(); }
    void cleanup() { env.reset(); }

    void terminationWritesTheFileAndTheNextStartSendsItFirst() {
        QVERIFY(env->install(env->configuration(closedPortUrl())));
        SignalCache& cache = TelemetryManager::installed()->signalManager().signalCache();
        cache.push({record(u"one"_s, 1.5), record(u"two"_s), record(u"three"_s)});
        env->clearLog();
        AppActivity::instance()->notifyWillTerminate();

        QFile file(env->cacheFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        file.close();
        QVERIFY(env->logLines().contains(u"DEBUG appWillTerminate()"_s));
        QCOMPARE(env->logLines().filter(u"INFO "_s),
                 QStringList{u"INFO Saved Telemetry cache "_s + QString::number(data.size()) +
                             u" bytes of 3 signals"_s});
        const QJsonArray array = QJsonDocument::fromJson(data).array();
        QCOMPARE(array.size(), 3);
        // Seconds since 2001-01-01 with the fraction kept.
        QCOMPARE(array.at(0).toObject().value(u"receivedAt"_s).toDouble(), 731340429.64);
        QCOMPARE(array.at(0).toObject().value(u"floatValue"_s).toDouble(), 1.5);
        QVERIFY(!array.at(1).toObject().contains(u"floatValue"_s));

        TelemetryManager::terminate();
        TestHttpServer server;
        QVERIFY(server.listen());
        QVERIFY(env->install(env->configuration(server.baseUrl())));
        QVERIFY(env->logLines().contains(u"INFO Loaded 3 signals"_s));
        QVERIFY(env->logLines().contains(u"INFO Loading Telemetry cache from: "_s +
                                         QUrl::fromLocalFile(env->cacheFilePath()).toString()));
        // The first batch goes out at construction, without waiting for a tick.
        QTRY_COMPARE(server.requests().size(), 1);
        const auto sent = decodeUploadBody(server.requests().constFirst().body);
        QVERIFY(sent);
        QCOMPARE(sent->size(), 3);
        QCOMPARE(sent->at(0).type, u"one"_s);
        QCOMPARE(sent->at(0).floatValue, 1.5);
        QCOMPARE(sent->at(2).payload, record(u"three"_s).payload);
    }

    void fileFollowsTheCacheAndNeverHoldsABatchOnItsWay() {
        TestHttpServer server;
        QVERIFY(server.listen());
        server.queueStatus(500);
        const QString path = env->cacheFilePath();
        QList<bool> fileAtReceipt;
        connect(&server, &TestHttpServer::requestReceived, this,
                [&] { fileAtReceipt.append(QFile::exists(path)); });
        QVERIFY(env->install(env->configuration(server.baseUrl())));
        TelemetryDeck::signal(u"a"_s);
        TelemetryDeck::signal(u"b"_s);
        // Written within the write delay, with no termination.
        QTRY_COMPARE(fileTypes(path), (QStringList{u"a"_s, u"b"_s}));

        TelemetryDeck::requestImmediateSync();
        QTRY_COMPARE(server.requests().size(), 1);
        // The failed batch is back in the file.
        QTRY_COMPARE(fileTypes(path), (QStringList{u"a"_s, u"b"_s}));
        TelemetryManager::installed()->signalManager().sendNextBatch();
        QTRY_COMPARE(server.requests().size(), 2);
        QCOMPARE(server.requests().at(0).body, server.requests().at(1).body);
        QCOMPARE(fileAtReceipt, (QList<bool>{false, false}));
        QVERIFY(!QFile::exists(path));
    }

    void loadedBacklogIsReadOnceAndWrittenBack() {
        const QString path = env->root() + u"/file/telemetrysignalcache"_s;
        QVERIFY(writeFile(path, encodeCacheFile({record(u"a"_s), record(u"b"_s)})));
        SignalCache cache(env->logHandler(), path);
        QVERIFY(!QFile::exists(path));
        bool asked = false;
        cache.setChangeHandler([&] { asked = true; });
        QVERIFY(asked);
        QVERIFY(cache.persist());
        QCOMPARE(fileTypes(path), (QStringList{u"a"_s, u"b"_s}));
    }

    void unreadableFileIsDeletedAndIgnored_data() {
        QTest::addColumn<QByteArray>("content");
        const QByteArray valid = encodeCacheFile({record(u"a"_s)});
        QTest::newRow("truncated") << valid.left(valid.size() / 2);
        QTest::newRow("not json") << QByteArray("\x00\xff garbage", 10);
        QTest::newRow("object instead of array") << QByteArray("{\"type\":\"a\"}");
        QTest::newRow("text date") << encodeUploadBody({record(u"a"_s)});
        QTest::newRow("missing key") << QByteArray(R"([{"receivedAt":1,"appID":"a"}])");
        QTest::newRow("payload with a number")
            << QByteArray(R"([{"receivedAt":1,"appID":"a","clientUser":"c","sessionID":"s",)"
                          R"("type":"t","payload":{"k":1},"isTestMode":"false"}])");
        QTest::newRow("date out of range")
            << QByteArray(R"([{"receivedAt":1e300,"appID":"a","clientUser":"c","sessionID":"s",)"
                          R"("type":"t","payload":{},"isTestMode":"false"}])");
    }
    void unreadableFileIsDeletedAndIgnored() {
        QFETCH(QByteArray, content);
        const QString path = env->root() + u"/file/telemetrysignalcache"_s;
        QVERIFY(writeFile(path, content));
        SignalCache cache(env->logHandler(), path);
        QCOMPARE(cache.count(), 0);
        QVERIFY(!QFile::exists(path));
        QCOMPARE(env->logLines().filter(u"Loaded"_s), QStringList{});
    }

    void failedWriteKeepsTheRecords() {
        // A directory where the file should be makes the write fail.
        const QString path = env->root() + u"/blocked/telemetrysignalcache"_s;
        QVERIFY(QDir().mkpath(path));
        SignalCache cache(env->logHandler(), path);
        cache.push(record(u"a"_s));
        env->clearLog();
        cache.backupCache();
        QCOMPARE(env->logLines(), QStringList{u"ERROR Error saving Telemetry cache"_s});
        QCOMPARE(cache.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSignalCacheFile)
#include "tst_signalcachefile.moc"
