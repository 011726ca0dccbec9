// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "../connection/ScriptedCentral.h"
#include "JsonLines.h"
#include "bluetooth/simulated/SimulatedCentral.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "cli/MonitorCommand.h"
#include "cli/ReplayCommand.h"
#include "connection/FTMSManager.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace tallyfin;
using namespace tallyfin::cli;
using namespace tallyfin::bluetooth::simulated;

namespace {

// Moves the manual clock in 10 ms steps and lets queued steps run in between.
void run(ManualScheduler& scheduler, std::chrono::milliseconds duration) {
    for (auto t = 0ms; t < duration; t += 10ms) {
        scheduler.advance(10ms);
        QCoreApplication::processEvents();
    }
}

// What a command writes to stdout and stderr.
struct Streams {
    QString out;
    QString err;
    QTextStream o{&out};
    QTextStream e{&err};
};

struct Monitor : Streams {
    std::shared_ptr<ManualScheduler> scheduler = std::make_shared<ManualScheduler>();
    std::unique_ptr<MonitorSession> session;

    explicit Monitor(const QString& name = {}) {
        session =
            std::make_unique<MonitorSession>(simulatedCentralFactory(scheduler), name, o, e, [] {
                return QDateTime(QDate(2024, 3, 1), QTime(7, 30), Qt::OffsetFromUTC, 19800);
            });
        session->manager().setScanRetryInterval(0ms);
    }
};

} // namespace

class TestMonitorReplay : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Bad arguments are tst_cli's.
    void monitorArguments() {
        QString error;
        const auto all = parseMonitorArguments(
            {u"--demo"_s, u"--name"_s, u"Row"_s, u"--seconds"_s, u"5"_s}, error);
        QVERIFY(all && all->demo && all->name == u"Row"_s && all->seconds == 5);
    }

    void monitorPrintsRecordsAndStopsCleanly_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("machine");
        QTest::newRow("first machine") << QString() << u"bike"_s;
        QTest::newRow("by part of the name, any case") << u"ELLIP"_s << u"crossTrainer"_s;
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
            QCOMPARE(line.value(u"machine"_s).toString(), machine);
            QCOMPARE(line.value(u"time"_s).toString(), u"2024-03-01T07:30:00.000+05:30"_s);
            QCOMPARE(line.value(u"metrics"_s).toObject().value(u"equipmentType"_s).toString(),
                     machine);
        }
        QVERIFY(lines.last().value(u"metrics"_s).toObject().value(u"distance"_s).toDouble() > 0);
        QVERIFY(m.err.contains(u"connection.connected"_s) || m.err.contains(u"Connected"_s));
        QVERIFY(finished.isEmpty());
        m.session->stop();
        run(*m.scheduler, 500ms);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toInt(), exitOk);
        QVERIFY(!m.session->manager().isConnected());
        // The reset after the disconnection is not printed as a reading.
        QCOMPARE(jsonLines(m.out).size(), lines.size());
    }

    // Stopped while still scanning the run ends well; a machine that goes away (with reconnecting
    // turned off in the settings, or not back within the reconnect window), a connection that
    // fails or no Bluetooth at all end it with a failure.
    void monitorEnds_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("stopped while scanning") << u"stop"_s << int(exitOk) << QString();
        QTest::newRow("the machine goes away")
            << u"away"_s << int(exitFailure) << u"the machine disconnected"_s;
        QTest::newRow("the machine is not back in time")
            << u"late"_s << int(exitFailure) << u"the machine did not come back"_s;
        QTest::newRow("the connection fails") << u"fail"_s << int(exitFailure) << QString();
        QTest::newRow("no Bluetooth")
            << u"unsupported"_s << int(exitFailure) << u"Bluetooth is not available"_s;
    }
    void monitorEnds() {
        QFETCH(QString, how);
        Monitor m(how == u"stop" ? u"no such machine"_s : QString());
        if (how == u"unsupported") {
            m.session = std::make_unique<MonitorSession>(
                [](bluetooth::CentralDelegate&) {
                    auto central = std::make_unique<testing::ScriptedCentral>();
                    central->currentState = bluetooth::CentralState::unsupported;
                    return central;
                },
                QString(), m.o, m.e);
        }
        QSignalSpy finished(m.session.get(), &MonitorSession::finished);
        QTemporaryDir dir;
        QSettings settings(dir.filePath(u"prefs.ini"_s), QSettings::IniFormat);
        settings.setValue(u"autoReconnect"_s, how != u"away");
        FTMSManager& manager = m.session->manager();
        manager.setSettings(&settings);
        manager.setReconnectWindow(0ms);
        m.session->start();
        run(*m.scheduler, 3s);
        if (how == u"stop") {
            QVERIFY(manager.isScanning() && finished.isEmpty());
            m.session->stop();
        } else if (how != u"unsupported") {
            QVERIFY(manager.connectedPeripheral());
            if (how != u"fail") {
                manager.centralManager()->cancelConnection(manager.connectedPeripheral());
            } else {
                manager.didFailToConnect(manager.connectedPeripheral(), u"Connection timed out"_s);
            }
            run(*m.scheduler, 500ms);
        }
        QTRY_COMPARE(finished.size(), 1);
        QTEST(finished.first().first().toInt(), "status");
        QFETCH(QString, message);
        QVERIFY2(m.err.contains(message), qPrintable(m.err));
        if (how == u"stop") {
            QVERIFY(!manager.isScanning() && m.out.isEmpty());
        }
    }

    void replayLines_data() {
        QTest::addColumn<QString>("log");
        QTest::addColumn<QString>("output"); // JSON lines, their metrics that are not zero
        QTest::addColumn<QStringList>("errors");
        const QString version = u"Tallyfin v1.0 (3) \u2014 Debian GNU/Linux 12 (bookworm)"_s;
        const QString id = u"C0FFEE00-0000-4000-8000-000000000001"_s;
        QTest::newRow("time in another locale, empty value, CRLF")
            << u"[2:03:07 PM] Treadmill Data (0x2ACD): \r\n"_s
            << u"{\"line\":1,\"time\":\"2:03:07 PM\",\"label\":\"Treadmill Data (0x2ACD)\","
               u"\"value\":\"\",\"metrics\":{\"equipmentType\":\"treadmill\"}}"_s
            << QStringList();
        QTest::newRow("a strap's heart rate and event lines")
            << version + u"\nSTRAP CONNECTED: HR ] Strap [" + id +
                   u"] RSSI: -50 dBm\n\n"
                   u"CONNECTED: Bike [" +
                   id +
                   u"] RSSI: ?\nFEATURES: Cadence\nNO DATA: no "
                   u"Rower Data (0x2AD1) within 5 s of subscribing\nSIMULATION STOPPED\n"
                   u"[1:00:00] Heart Rate Measurement (0x2A37): 16 48 00 04\nSTRAP LOST: "
                   u"HR Strap"_s
            << u"{\"line\":8,\"time\":\"1:00:00\",\"label\":\"Heart Rate Measurement (0x2A37)\","
               u"\"value\":\"16 48 00 04\",\"metrics\":{\"equipmentType\":\"unknown\","
               u"\"heartRate\":72}}"_s
            << QStringList();
        QTest::newRow("feature and unknown")
            << u"[1:00:00] Fitness Machine Feature (0x2ACC): 02 40 00 00 00 00 00\n"
               u"[1:00:01] Unknown Characteristic (2AD9): 01"_s
            << u"{\"line\":1,\"time\":\"1:00:00\",\"label\":\"Fitness Machine Feature (0x2ACC)\","
               u"\"value\":\"02 40 00 00 00 00 00\",\"features\":{\"decoded\":false}}\n"
               u"{\"line\":2,\"time\":\"1:00:01\",\"label\":\"Unknown Characteristic (2AD9)\","
               u"\"value\":\"01\"}"_s
            << QStringList();
        // A name's line break once forged a reading; pasted logs may hold anything.
        QTest::newRow("unreadable lines are reported and skipped")
            << u"hello\n[1:00:00 Rower Data (0x2AD1): 00\n[1:00:00] Mystery\x1b[2J: 00\n"
               u"[1:00:00] Rower Data (0x2AD1): 0G\n[1:00:00] Rower Data (0x2AD1): 000\n"
               u"[1:00:00] Rower Data (0x2AD1): 0a\n[] Rower Data (0x2AD1): 00\n"
               u"[1:00:00] Unknown Characteristic (2AD9 ): 00\nCONNECTED: Bike\n"
               u"[1:00:01] Rower Data (0x2AD1): 00 00 2D 10 00\nCONNECTED: \u202E ["_s +
                   id + u"] RSSI: ?\nNO DATA: no Mystery within 5 s of subscribing"_s
            << u"{\"line\":10,\"time\":\"1:00:01\",\"label\":\"Rower Data (0x2AD1)\",\"value\":"
               u"\"00 00 2D 10 00\",\"metrics\":{\"equipmentType\":\"rower\",\"strokeCount\":16,"
               u"\"strokeRate\":22}}"_s
            << QStringList{u"line 1: not a line"_s,
                           u"line 2: no closing"_s,
                           u"line 3: holds the control character \\x1B"_s,
                           u"line 4: the value"_s,
                           u"line 5: the value"_s,
                           u"line 6: the value"_s,
                           u"line 7: '' is not a time"_s,
                           u"line 8: unknown label 'Unknown Characteristic (2AD9 )'"_s,
                           u"line 9: starts like a \"CONNECTED:\" line"_s,
                           u"line 11: holds the control character \\u{202E}"_s,
                           u"line 12: starts like a \"NO DATA:\" line"_s};
    }
    void replayLines() {
        QFETCH(QString, log);
        QFETCH(QStringList, errors);
        QTextStream in(&log);
        Streams s;
        QCOMPARE(replayLog(in, s.o, s.e), int(errors.size()));
        QFETCH(QString, output);
        QCOMPARE(jsonLines(s.out), jsonLines(output));
        const QStringList errLines = s.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(errLines.size(), errors.size());
        for (int i = 0; i < errors.size(); ++i) {
            QVERIFY2(errLines.at(i).startsWith(u"tallyfin-cli replay: "_s + errors.at(i)),
                     qPrintable(errLines.at(i)));
        }
    }

    // A log copied after a demo session, with the stack failing for 3 s in the middle of it,
    // replays into the records the overlay showed.
    void replayOfADemoSession_data() {
        QTest::addColumn<int>("machine");
        QTest::addColumn<bluetooth::StackFault>("fault");
        using bluetooth::StackFault;
        QTest::newRow("bike") << 0 << StackFault::serviceGone;
        QTest::newRow("rower, split records") << 1 << StackFault::adapterRemoved;
        QTest::newRow("treadmill") << 2 << StackFault::adapterPoweredOff;
        QTest::newRow("cross trainer") << 3 << StackFault::resumedFromSleep;
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
        run(*scheduler, 8s);
        QFETCH(bluetooth::StackFault, fault);
        dynamic_cast<SimulatedCentral&>(*manager.centralManager()).failStack(fault, 3s);
        run(*scheduler, 12s);
        QVERIFY(manager.reconnected());

        QTemporaryDir dir;
        const QString path = dir.filePath(u"copied.log"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(manager.logText().toUtf8());
        file.close();

        Streams s;
        QCOMPARE(runReplay({path}, s.o, s.e), exitOk);
        QVERIFY2(s.err.isEmpty(), qPrintable(s.err));
        const QList<QJsonObject> lines = jsonLines(s.out);
        const int valueLines =
            int(manager.logBuffer().filter(QRegularExpression(u"^\\["_s)).size());
        QCOMPARE(lines.size(), valueLines);
        QCOMPARE(lines.first().value(u"features"_s).toObject().value(u"decoded"_s).toBool(), true);
        QCOMPARE(lines.last().value(u"metrics"_s).toObject(),
                 withoutZeros(metricsJson(manager.metrics())));
    }
};

QTEST_GUILESS_MAIN(TestMonitorReplay)
#include "tst_monitorreplay.moc"
