#include "../connection/ScriptedCentral.h"
#include "bluetooth/simulated/SimulatedCentral.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "cli/MonitorCommand.h"
#include "cli/ReplayCommand.h"
#include "connection/FTMSManager.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;
using namespace tallyfin;
using namespace tallyfin::cli;
using namespace tallyfin::bluetooth::simulated;

namespace {

QList<QJsonObject> jsonLines(const QString& text) {
    QList<QJsonObject> result;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8(), &error);
        if (error.error != QJsonParseError::NoError || !document.isObject()) {
            qWarning() << "not a JSON object:" << line << error.errorString();
            return {};
        }
        result.append(document.object());
    }
    return result;
}

// Moves the manual clock in 10 ms steps and lets queued steps run in between.
void run(ManualScheduler& scheduler, std::chrono::milliseconds duration) {
    for (auto t = 0ms; t < duration; t += 10ms) {
        scheduler.advance(10ms);
        QCoreApplication::processEvents();
    }
}

struct Monitor {
    std::shared_ptr<ManualScheduler> scheduler = std::make_shared<ManualScheduler>();
    QString out;
    QString err;
    QTextStream outStream{&out};
    QTextStream errStream{&err};
    std::unique_ptr<MonitorSession> session;

    explicit Monitor(const QString& name = {}) {
        session = std::make_unique<MonitorSession>(
            simulatedCentralFactory(scheduler), name, outStream, errStream,
            [] { return QDateTime(QDate(2024, 3, 1), QTime(7, 30), Qt::OffsetFromUTC, 19800); });
        session->manager().setScanRetryInterval(0ms);
    }
};

} // namespace

class TestMonitorReplay : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void monitorArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("demo");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("seconds"); // 0: none
        QTest::newRow("none") << QStringList{} << true << false << QString() << 0;
        QTest::newRow("all") << QStringList{u"--demo"_qs, u"--name"_qs, u"Row"_qs, u"--seconds"_qs,
                                            u"5"_qs}
                             << true << true << u"Row"_qs << 5;
        QTest::newRow("seconds zero")
            << QStringList{u"--seconds"_qs, u"0"_qs} << false << false << QString() << 0;
        QTest::newRow("seconds not a number")
            << QStringList{u"--seconds"_qs, u"5s"_qs} << false << false << QString() << 0;
        QTest::newRow("name without value")
            << QStringList{u"--name"_qs} << false << false << QString() << 0;
        QTest::newRow("unknown option")
            << QStringList{u"--verbose"_qs} << false << false << QString() << 0;
    }
    void monitorArguments() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, valid);
        QFETCH(bool, demo);
        QFETCH(QString, name);
        QFETCH(int, seconds);
        QString error;
        const auto options = parseMonitorArguments(arguments, error);
        QCOMPARE(options.has_value(), valid);
        QCOMPARE(error.isEmpty(), valid);
        if (options) {
            QCOMPARE(options->demo, demo);
            QCOMPARE(options->name, name);
            QCOMPARE(options->seconds.value_or(0), seconds);
        }
        if (!valid) {
            QString out;
            QString err;
            QTextStream o(&out);
            QTextStream e(&err);
            QCOMPARE(runMonitor(arguments, o, e), exitUsage);
            QVERIFY(out.isEmpty());
            QVERIFY(err.startsWith(u"tallyfin-cli monitor: "_qs));
        }
    }

    void monitorPrintsRecordsAndStopsCleanly_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("machine");
        QTest::newRow("first machine") << QString() << u"bike"_qs;
        QTest::newRow("by name, any case") << u"ROWER"_qs << u"rower"_qs;
        QTest::newRow("by part of the name") << u"ellip"_qs << u"crossTrainer"_qs;
    }
    void monitorPrintsRecordsAndStopsCleanly() {
        QFETCH(QString, name);
        QFETCH(QString, machine);
        Monitor m(name);
        QSignalSpy finished(m.session.get(), &MonitorSession::finished);
        m.session->start();
        run(*m.scheduler, 6s);
        const QList<QJsonObject> lines = jsonLines(m.out);
        QVERIFY(lines.size() >= 4);
        for (const QJsonObject& line : lines) {
            QCOMPARE(line.value(u"machine"_qs).toString(), machine);
            QCOMPARE(line.value(u"time"_qs).toString(), u"2024-03-01T07:30:00.000+05:30"_qs);
            QCOMPARE(line.value(u"metrics"_qs).toObject().value(u"equipmentType"_qs).toString(),
                     machine);
        }
        QVERIFY(lines.last().value(u"metrics"_qs).toObject().value(u"distance"_qs).toDouble() > 0);
        QVERIFY(m.err.contains(u"connection.connected"_qs) || m.err.contains(u"Connected"_qs));
        QVERIFY(finished.isEmpty());
        m.session->stop();
        run(*m.scheduler, 500ms);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toInt(), exitOk);
        QVERIFY(!m.session->manager().isConnected());
        // The reset after the disconnection is not printed as a reading.
        QCOMPARE(jsonLines(m.out).size(), lines.size());
    }

    void monitorStopsWhileScanning() {
        Monitor m(u"no such machine"_qs);
        QSignalSpy finished(m.session.get(), &MonitorSession::finished);
        m.session->start();
        run(*m.scheduler, 2s);
        QVERIFY(m.session->manager().isScanning());
        QVERIFY(finished.isEmpty());
        m.session->stop();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toInt(), exitOk);
        QVERIFY(!m.session->manager().isScanning());
        QVERIFY(m.out.isEmpty());
    }

    void monitorFailsWhenTheMachineGoesAway() {
        Monitor m;
        QSignalSpy finished(m.session.get(), &MonitorSession::finished);
        m.session->start();
        run(*m.scheduler, 3s);
        FTMSManager& manager = m.session->manager();
        QVERIFY(manager.isConnected());
        manager.centralManager()->cancelConnection(manager.connectedPeripheral()); // out of range
        run(*m.scheduler, 500ms);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toInt(), exitFailure);
        QVERIFY(m.err.contains(u"the machine disconnected"_qs));
    }

    void monitorFailsOnAFailedConnection() {
        Monitor m;
        QSignalSpy finished(m.session.get(), &MonitorSession::finished);
        m.session->start();
        run(*m.scheduler, 700ms);
        FTMSManager& manager = m.session->manager();
        QVERIFY(manager.connectedPeripheral());
        manager.didFailToConnect(manager.connectedPeripheral(), u"Connection timed out"_qs);
        QCoreApplication::processEvents();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toInt(), exitFailure);
    }

    void monitorFailsWithoutBluetooth() {
        QString out;
        QString err;
        QTextStream o(&out);
        QTextStream e(&err);
        MonitorSession session(
            [](bluetooth::CentralDelegate&) {
                auto central = std::make_unique<testing::ScriptedCentral>();
                central->currentState = bluetooth::CentralState::unsupported;
                return central;
            },
            {}, o, e);
        QSignalSpy finished(&session, &MonitorSession::finished);
        session.start();
        QVERIFY(finished.wait(1000));
        QCOMPARE(finished.first().first().toInt(), exitFailure);
        QVERIFY(err.contains(u"Bluetooth is not available"_qs));
    }

    void replayLines_data() {
        QTest::addColumn<QString>("log");
        QTest::addColumn<QString>("output"); // JSON lines, compared as objects
        QTest::addColumn<QStringList>("errors");
        const QString version = u"Tallyfin v1.0 (3) \u2014 Debian GNU/Linux 12 (bookworm)"_qs;
        QTest::newRow("event lines only")
            << version + u"\nCONNECTED: Bike [X] RSSI: ?\nFEATURES: Cadence\nSIMULATION "
                         u"STOPPED\n\n"_qs
            << QString() << QStringList();
        QTest::newRow("merged bike values")
            << u"[14:03:07] Indoor Bike Data (0x2AD2): 44 00 C4 09 B4 00 F4 01\r\n"
               u"[14:03:08] Indoor Bike Data (0x2AD2): 01 02 4B\n"_qs
            << u"{\"line\":1,\"time\":\"14:03:07\",\"label\":\"Indoor Bike Data (0x2AD2)\","
               u"\"value\":\"44 00 C4 09 B4 00 F4 01\",\"metrics\":{\"cadence\":90,\"calories\":"
               u"0,\"distance\":0,\"equipmentType\":\"bike\",\"heartRate\":0,\"incline\":0,"
               u"\"power\":500,\"resistance\":0,\"speed\":6.944444444444445,\"stepRate\":0,"
               u"\"strideCount\":0,\"strokeCount\":0,\"strokeRate\":0,\"totalTime\":0}}\n"
               u"{\"line\":2,\"time\":\"14:03:08\",\"label\":\"Indoor Bike Data (0x2AD2)\","
               u"\"value\":\"01 02 4B\",\"metrics\":{\"cadence\":90,\"calories\":0,\"distance\":"
               u"0,\"equipmentType\":\"bike\",\"heartRate\":75,\"incline\":0,\"power\":500,"
               u"\"resistance\":0,\"speed\":6.944444444444445,\"stepRate\":0,\"strideCount\":0,"
               u"\"strokeCount\":0,\"strokeRate\":0,\"totalTime\":0}}"_qs
            << QStringList();
        QTest::newRow("time in another locale, empty value")
            << u"[2:03:07 PM] Treadmill Data (0x2ACD): "_qs
            << u"{\"line\":1,\"time\":\"2:03:07 PM\",\"label\":\"Treadmill Data (0x2ACD)\","
               u"\"value\":\"\",\"metrics\":{\"cadence\":0,\"calories\":0,\"distance\":0,"
               u"\"equipmentType\":\"treadmill\",\"heartRate\":0,\"incline\":0,\"power\":0,"
               u"\"resistance\":0,\"speed\":0,\"stepRate\":0,\"strideCount\":0,\"strokeCount\":0,"
               u"\"strokeRate\":0,\"totalTime\":0}}"_qs
            << QStringList();
        QTest::newRow("a strap's heart rate and its events")
            << u"STRAP CONNECTED: HR Strap [X] RSSI: -50 dBm\n"
               u"[1:00:00] Heart Rate Measurement (0x2A37): 16 48 00 04\nSTRAP LOST: HR Strap"_qs
            << u"{\"line\":2,\"time\":\"1:00:00\",\"label\":\"Heart Rate Measurement "
               u"(0x2A37)\",\"value\":\"16 48 00 04\",\"metrics\":{\"cadence\":0,\"calories\":0,"
               u"\"distance\":0,\"equipmentType\":\"unknown\",\"heartRate\":72,\"incline\":0,"
               u"\"power\":0,\"resistance\":0,\"speed\":0,\"stepRate\":0,\"strideCount\":0,"
               u"\"strokeCount\":0,\"strokeRate\":0,\"totalTime\":0}}"_qs
            << QStringList();
        QTest::newRow("feature and unknown")
            << u"[1:00:00] Fitness Machine Feature (0x2ACC): 02 40 00 00 00 00 00\n"
               u"[1:00:01] Unknown Characteristic (2AD9): 01"_qs
            << u"{\"line\":1,\"time\":\"1:00:00\",\"label\":\"Fitness Machine Feature (0x2ACC)\","
               u"\"value\":\"02 40 00 00 00 00 00\",\"features\":{\"decoded\":false}}\n"
               u"{\"line\":2,\"time\":\"1:00:01\",\"label\":\"Unknown Characteristic (2AD9)\","
               u"\"value\":\"01\"}"_qs
            << QStringList();
        QTest::newRow("unreadable lines are reported and skipped")
            << u"hello\n[1:00:00 Rower Data (0x2AD1): 00\n[1:00:00] Mystery (0x1234): 00\n"
               u"[1:00:00] Rower Data (0x2AD1): 0G\n[1:00:00] Rower Data (0x2AD1): 000\n"
               u"[1:00:01] Rower Data (0x2AD1): 00 00 2D 10 00"_qs
            << u"{\"line\":6,\"time\":\"1:00:01\",\"label\":\"Rower Data (0x2AD1)\",\"value\":"
               u"\"00 00 2D 10 00\",\"metrics\":{\"cadence\":0,\"calories\":0,\"distance\":0,"
               u"\"equipmentType\":\"rower\",\"heartRate\":0,\"incline\":0,\"power\":0,"
               u"\"resistance\":0,\"speed\":0,\"stepRate\":0,\"strideCount\":0,\"strokeCount\":16,"
               u"\"strokeRate\":22,\"totalTime\":0}}"_qs
            << QStringList{u"line 1: not a line"_qs, u"line 2: no closing"_qs,
                           u"line 3: unknown label 'Mystery (0x1234)'"_qs, u"line 4: the value"_qs,
                           u"line 5: the value"_qs};
    }
    void replayLines() {
        QFETCH(QString, log);
        QFETCH(QString, output);
        QFETCH(QStringList, errors);
        QString input = log;
        QTextStream in(&input);
        QString out;
        QString err;
        QTextStream o(&out);
        QTextStream e(&err);
        QCOMPARE(replayLog(in, o, e), int(errors.size()));
        QCOMPARE(jsonLines(out), jsonLines(output));
        const QStringList errLines = err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(errLines.size(), errors.size());
        for (int i = 0; i < errors.size(); ++i) {
            QVERIFY2(errLines.at(i).startsWith(u"tallyfin-cli replay: "_qs + errors.at(i)),
                     qPrintable(errLines.at(i)));
        }
    }

    // A log copied after a demo session replays into the records the overlay showed.
    void replayOfADemoSession_data() {
        QTest::addColumn<int>("machine");
        QTest::newRow("bike") << 0;
        QTest::newRow("rower, split records") << 1;
        QTest::newRow("cross trainer") << 3; // the treadmill's label is in replayLines
    }
    void replayOfADemoSession() {
        QFETCH(int, machine);
        auto scheduler = std::make_shared<ManualScheduler>();
        FTMSManager manager(simulatedCentralFactory(scheduler), ApplicationInfo());
        manager.setScanRetryInterval(0ms);
        run(*scheduler, 200ms);
        manager.startScanning();
        run(*scheduler, 1500ms);
        manager.connect(manager.discoveredDevices().at(machine));
        run(*scheduler, 20s);

        QTemporaryDir dir;
        const QString path = dir.filePath(u"copied.log"_qs);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(manager.logText().toUtf8());
        file.close();

        QString out;
        QString err;
        QTextStream o(&out);
        QTextStream e(&err);
        QCOMPARE(runReplay({path}, o, e), exitOk);
        QVERIFY2(err.isEmpty(), qPrintable(err));
        const QList<QJsonObject> lines = jsonLines(out);
        const int valueLines =
            int(manager.logBuffer().filter(QRegularExpression(u"^\\["_qs)).size());
        QCOMPARE(lines.size(), valueLines);
        QCOMPARE(lines.first().value(u"features"_qs).toObject().value(u"decoded"_qs).toBool(),
                 true);
        QCOMPARE(lines.last().value(u"metrics"_qs).toObject(), metricsJson(manager.metrics()));
    }

    void replayFileErrors() {
        QString out;
        QString err;
        QTextStream o(&out);
        QTextStream e(&err);
        QCOMPARE(runReplay({}, o, e), exitUsage);
        QCOMPARE(runReplay({u"a"_qs, u"b"_qs}, o, e), exitUsage);
        QTemporaryDir dir;
        err.clear();
        QCOMPARE(runReplay({dir.filePath(u"missing.log"_qs)}, o, e), exitFailure);
        QVERIFY(err.contains(u"cannot read"_qs));
        QVERIFY(out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestMonitorReplay)
#include "tst_monitorreplay.moc"
