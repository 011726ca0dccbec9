// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// Batched delivery against a real HTTP server on 127.0.0.1 (batch sizes, the request, status and
// transport failures, namespaces, early sends) and the cache file across runs: kept up to date
// while records wait, never holding a batch on its way, written at termination and sent first by
// the next manager; an unreadable file is deleted and ignored, an oversized one gives its newest
// records only; the cache and the preferences are private.

#include "AnalyticsTestSupport.h"
#include "TestHttpServer.h"
#include "analytics/AppActivity.h"
#include "analytics/CustomDefaults.h"
#include "analytics/SignalCache.h"
#include "analytics/SignalManager.h"
#include "analytics/TelemetryDeck.h"
#include "analytics/TelemetryManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace tallyfin::analytics;
using namespace Qt::StringLiterals;

namespace {

QList<SignalPostBody> records(int first, int count) {
    QList<SignalPostBody> list;
    for (int i = first; i < first + count; ++i) {
        list.append(testRecord(QString::number(i)));
    }
    return list;
}

// The types of the records in the file, sorted; none without a file.
QStringList fileTypes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return typesOf(decodeCacheFile(file.readAll()).value_or(QList<SignalPostBody>{}));
}

QFile::Permissions ownPermissions(const QString& path) {
    return QFile::permissions(path) &
           ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser); // the same bits, seen by us
}

bool writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

} // namespace

class TestSignalDelivery : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AnalyticsTestEnvironment> env;
    std::unique_ptr<TestHttpServer> server;

    SignalManager& signalManager() { return TelemetryManager::installed()->signalManager(); }
    SignalCache& cache() { return signalManager().signalCache(); }

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
        auto configuration = env->configuration(server->baseUrl());
        Timing timing = configuration->timing();
        timing.sendInterval = std::chrono::milliseconds(150);
        configuration->setTiming(timing);
        QVERIFY(env->install(configuration));
        cache().push(records(0, 250));
        QTRY_COMPARE(server->requests().size(), 3);
        QList<qsizetype> sizes;
        QList<SignalPostBody> delivered;
        for (const auto& request : server->requests()) {
            const auto batch = decodeUploadBody(request.body).value_or(QList<SignalPostBody>{});
            sizes.append(batch.size());
            delivered.append(batch);
        }
        QCOMPARE(sizes, (QList<qsizetype>{100, 100, 50}));
        QCOMPARE(delivered.constFirst().type, u"0"_s);
        QCOMPARE(delivered.constLast().type, u"249"_s);
        QVERIFY(
            env->logLines().contains(u"INFO Sending 100 signals leaving a cache of 150 signals"_s));
    }

    // An empty namespace posts to /v2/, whose absolute path replaces the base URL's path.
    void requestFormat() {
        QUrl base = server->baseUrl();
        base.setPath(u"/ingest/"_s);
        QVERIFY(env->install(env->configuration(base, u"TEST-APP"_s, std::nullopt, QString())));
        cache().push({testRecord(u"a"_s), testRecord(u"b"_s, 4.25)});
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
        QCOMPARE(first.value(u"payload"_s).toObject().value(u"key"_s).toString(),
                 u"value \"quoted\" ✓"_s);
        // The body logged at debug level is the body sent; the answer is logged too.
        QVERIFY(env->logLines().contains(u"DEBUG "_s + QString::fromUtf8(request.body)));
        QTRY_VERIFY(env->logLines().contains(u"DEBUG {\"status\":200}"_s));
    }

    // A failed batch is logged and goes back behind the records that came meanwhile (the 101st).
    void failedBatchGoesBackAtTheEnd_data() {
        QTest::addColumn<int>("status"); // 0: never answered
        QTest::addColumn<QString>("nameSpace");
        QTest::addColumn<QStringList>("errors"); // how each error line starts
        QTest::newRow("401") << 401 << QString() << QStringList{u"ERROR unauthorised"_s};
        QTest::newRow("302") << 302 << QString()
                             << QStringList{u"ERROR invalidStatusCode(statusCode: 302)"_s};
        QTest::newRow("no answer") << 0 << QString() << QStringList{u"ERROR "_s};
        QTest::newRow("invalid namespace, nothing sent")
            << 200 << u"team a#b"_s
            << QStringList{u"ERROR Unable to construct signal API URL for namespace team a#b"_s,
                           u"ERROR invalidEndpointUrl"_s};
    }
    void failedBatchGoesBackAtTheEnd() {
        QFETCH(int, status);
        QFETCH(QString, nameSpace);
        QFETCH(QStringList, errors);
        auto configuration =
            env->configuration(server->baseUrl(), u"TEST-APP"_s, std::nullopt,
                               nameSpace.isEmpty() ? std::nullopt : std::optional(nameSpace));
        Timing timing = configuration->timing();
        timing.requestTimeout = std::chrono::milliseconds(300);
        configuration->setTiming(timing);
        QVERIFY(env->install(configuration));
        server->setSilent(status == 0);
        server->queueStatus(status);
        cache().push(records(0, 101));
        signalManager().sendNextBatch();
        QTRY_COMPARE(env->errorLines().size(), errors.size());
        for (qsizetype i = 0; i < errors.size(); ++i) {
            QVERIFY2(env->errorLines().at(i).startsWith(errors.at(i)), qPrintable(errors.at(i)));
        }
        QTRY_COMPARE(cache().count(), 101);
        QCOMPARE(server->requests().size(), nameSpace.isEmpty() ? 1 : 0);
        const QList<SignalPostBody> first = cache().pop();
        QCOMPARE(first.constFirst().type, u"100"_s);
        QCOMPARE(first.at(1).type, u"0"_s);
        QCOMPARE(cache().pop().constFirst().type, u"99"_s);
    }

    // At most one early send per 10 s; one that finds the cache empty logs the count only. The
    // sender writes the cache file for a new record after every send asked for before it.
    void earlySendsAtMostEveryTenSeconds() {
        QVERIFY(env->install(env->configuration(server->baseUrl())));
        env->clearLog();
        TelemetryDeck::requestImmediateSync();
        QTRY_COMPARE(env->logLines(), QStringList{u"DEBUG Current signal cache count: 0"_s});
        env->advance(5'000);
        TelemetryDeck::requestImmediateSync();
        cache().push(testRecord(u"a"_s));
        QTRY_COMPARE(env->logLines().size(), 2);
        QVERIFY(env->logLines().at(1).startsWith(u"DEBUG Saved Telemetry cache "_s));
        env->advance(6'000);
        TelemetryDeck::requestImmediateSync();
        QTRY_COMPARE(server->requests().size(), 1);
    }

    // The file holds the records with their dates as seconds since 2001, fractions kept; the next
    // manager loads it and sends it at once, without waiting for a tick.
    void terminationWritesTheFileAndTheNextStartSendsItFirst() {
        QVERIFY(env->install(env->configuration(closedPortUrl())));
        const QList<SignalPostBody> kept{testRecord(u"one"_s, 1.5), testRecord(u"two"_s),
                                         testRecord(u"three"_s)};
        cache().push(kept);
        env->clearLog();
        AppActivity::instance()->notifyWillTerminate();
        QFile file(SignalCache::defaultFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        file.close();
        QCOMPARE(decodeCacheFile(data), std::optional(kept));
        QCOMPARE(QJsonDocument::fromJson(data)[0][u"receivedAt"_s].toDouble(), 731340429.64);
        QCOMPARE(env->logLines(),
                 (QStringList{u"DEBUG appWillTerminate()"_s, u"INFO Saved Telemetry cache "_s +
                                                                 QString::number(data.size()) +
                                                                 u" bytes of 3 signals"_s}));

        TelemetryManager::terminate();
        QVERIFY(env->install(env->configuration(server->baseUrl())));
        QTRY_COMPARE(
            env->logLines().filter(u"INFO "_s),
            (QStringList{u"INFO Loading Telemetry cache from: "_s +
                             QUrl::fromLocalFile(SignalCache::defaultFilePath()).toString(),
                         u"INFO Loaded 3 signals"_s,
                         u"INFO Sending 3 signals leaving a cache of 0 signals"_s}));

        // With nothing left the file says so, and the next start reads it and deletes it.
        QTRY_COMPARE(server->requests().size(), 1);
        QTRY_COMPARE(cache().count(), 0);
        env->clearLog();
        TelemetryManager::terminate();
        QCOMPARE(env->logLines().filter(u"Saved"_s),
                 QStringList{u"INFO Saved Telemetry cache 2 bytes of 0 signals"_s});
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("[]"));
        file.close();
        QVERIFY(env->install(env->configuration(closedPortUrl())));
        QCOMPARE(env->logLines().filter(u"Loaded"_s), QStringList{u"INFO Loaded 0 signals"_s});
        QVERIFY(!file.exists());
    }

    void fileFollowsTheCacheAndNeverHoldsABatchOnItsWay() {
        server->queueStatus(500);
        const QString path = SignalCache::defaultFilePath();
        QList<bool> fileAtReceipt;
        QObject receiver;
        connect(server.get(), &TestHttpServer::requestReceived, &receiver,
                [&] { fileAtReceipt.append(QFile::exists(path)); });
        QVERIFY(env->install(env->configuration(server->baseUrl())));
        TelemetryDeck::signal(u"a"_s);
        TelemetryDeck::signal(u"b"_s);
        // Written within the write delay, with no termination.
        QTRY_COMPARE(fileTypes(path), (QStringList{u"a"_s, u"b"_s}));

        TelemetryDeck::requestImmediateSync();
        QTRY_COMPARE(server->requests().size(), 1);
        // The failed batch is back in the file.
        QTRY_COMPARE(fileTypes(path), (QStringList{u"a"_s, u"b"_s}));
        signalManager().sendNextBatch();
        QTRY_COMPARE(server->requests().size(), 2);
        QCOMPARE(server->requests().at(0).body, server->requests().at(1).body);
        QCOMPARE(fileAtReceipt, (QList<bool>{false, false}));
        QVERIFY(!QFile::exists(path));
    }

    void loadedBacklogIsReadOnceAndWrittenBack() {
        const QString path = env->root() + u"/file/telemetrysignalcache"_s;
        QVERIFY(writeFile(path, encodeCacheFile({testRecord(u"a"_s), testRecord(u"b"_s)})));
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
        QTest::newRow("truncated") << encodeCacheFile({testRecord(u"a"_s)}).chopped(3);
        QTest::newRow("text date") << encodeUploadBody({testRecord(u"a"_s)});
        QTest::newRow("object instead of array") << QByteArray(R"({"type":"a"})");
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

    // Owner-only files in owner-only folders: the cache in a folder an earlier version left open,
    // and the preferences that hold the user's identifier in a folder created for them.
    void privateFiles() {
        const QString folder = env->root() + u"/open"_s;
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::setPermissions(folder, QFile::Permissions(0x7755)));
        SignalCache cache(env->logHandler(), folder + u"/telemetrysignalcache"_s);
        cache.push(testRecord(u"a"_s));
        QVERIFY(cache.persist());
        QVERIFY(env->install(env->configuration(server->baseUrl())));
        const auto defaults = CustomDefaults::ofInstalledManager();
        defaults->setValue(u"k"_s, 1);
        defaults->sync();
        for (const QString& file : {cache.filePath(), defaults->fileName()}) {
            QCOMPARE(ownPermissions(file), QFile::ReadOwner | QFile::WriteOwner);
            QCOMPARE(ownPermissions(QFileInfo(file).path()),
                     QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }

    // A file far larger than the client writes gives its newest records only, with a log line,
    // without being read whole: more records than a start takes, and more bytes than it reads.
    void oversizedFileKeepsTheNewest_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("padding"); // characters of payload per record
        QTest::addColumn<int>("kept");
        QTest::addColumn<QString>("logged");
        QTest::newRow("15,000 records") << 15'000 << 0 << 10'000 << u"15000 signals"_s;
        // About 2.2 kB a record: the last 10 MiB hold 4,744 of them.
        QTest::newRow("12 MB") << 6'000 << 2'000 << 4'744 << u"over 10485760"_s;
    }
    void oversizedFileKeepsTheNewest() {
        QFETCH(int, count);
        QFETCH(int, padding);
        QList<SignalPostBody> list = records(0, count);
        for (SignalPostBody& record : list) {
            record.payload.insert(u"padding"_s, QString(padding, u'p'));
        }
        const QString path = env->root() + u"/big/telemetrysignalcache"_s;
        QVERIFY(writeFile(path, encodeCacheFile(list)));
        SignalCache cache(env->logHandler(), path);
        QFETCH(int, kept);
        QCOMPARE(cache.count(), kept);
        QCOMPARE(cache.pop().constFirst().type, QString::number(count - kept));
        QFETCH(QString, logged);
        QCOMPARE(env->errorLines().filter(logged).size(), 1);
    }

    void failedWriteKeepsTheRecords() {
        // A directory where the file should be makes the write fail.
        const QString path = env->root() + u"/blocked/telemetrysignalcache"_s;
        QVERIFY(QDir().mkpath(path));
        SignalCache cache(env->logHandler(), path);
        cache.push(testRecord(u"a"_s));
        env->clearLog();
        cache.backupCache();
        QCOMPARE(env->logLines(), QStringList{u"ERROR Error saving Telemetry cache"_s});
        QCOMPARE(cache.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSignalDelivery)
#include "tst_signaldelivery.moc"
