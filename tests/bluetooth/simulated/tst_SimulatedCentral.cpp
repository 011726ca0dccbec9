// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "bluetooth/simulated/SimulatedCentral.h"
#include "connection/FTMSManager.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace tallyfin;
using namespace tallyfin::bluetooth::simulated;

namespace {

// The real manager on the simulated central, with the clock moved by the test.
struct Session {
    std::shared_ptr<ManualScheduler> scheduler = std::make_shared<ManualScheduler>();
    std::unique_ptr<FTMSManager> manager =
        std::make_unique<FTMSManager>(simulatedCentralFactory(scheduler), ApplicationInfo());

    Session() { manager->setScanRetryInterval(0ms); }
    // Lets `duration` pass in 10 ms steps, running the manager's queued steps in between.
    void run(std::chrono::milliseconds duration) {
        for (auto t = 0ms; t < duration; t += 10ms) {
            scheduler->advance(10ms);
            QCoreApplication::processEvents();
        }
    }
    // Scans, then connects to the standard machine at `index`.
    bluetooth::PeripheralPtr connectTo(int index) {
        run(200ms);
        manager->startScanning();
        run(1500ms);
        const auto machine = manager->discoveredDevices().value(index);
        if (machine) {
            manager->connect(machine);
            run(1s);
        }
        return machine;
    }
};

} // namespace

class TestSimulatedCentral : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Its state shortly after creation, every machine in one scan with its advertisement, a
    // signal strength that drifts around the machine's level, and no reports once stopped.
    void reportsItsStateAndAdvertises() {
        Session s;
        s.manager->startScanning(); // before the state report: retried until powered on
        s.run(100ms);
        QVERIFY(!s.manager->isScanning());
        s.run(1100ms);
        QVERIFY(s.manager->isScanning());
        const auto machines = VirtualMachine::standardMachines();
        QCOMPARE(s.manager->discoveredDevices().size(), machines.size());
        for (int i = 0; i < machines.size(); ++i) {
            const auto info = s.manager->deviceInfos().value(machines.at(i).identifier);
            QCOMPARE(s.manager->discoveredDevices().at(i)->identifier(), machines.at(i).identifier);
            QCOMPARE(info.localName, std::optional(machines.at(i).name));
            QVERIFY(info.manufacturerData && info.txPowerLevel);
        }
        const QUuid bike = machines.first().identifier;
        QSet<qint64> seen;
        for (int i = 0; i < 30; ++i) {
            s.run(1s);
            const qint64 rssi = s.manager->deviceInfos().value(bike).rssi;
            QVERIFY(rssi >= -66 && rssi <= -50);
            seen.insert(rssi);
        }
        QVERIFY(seen.size() > 2);
        s.manager->stopScanning();
        s.run(100ms);
        const auto before = s.manager->deviceInfos().value(bike).rssi;
        s.run(5s);
        QCOMPARE(s.manager->deviceInfos().value(bike).rssi, before);
    }

    void workoutOnEachMachine_data() {
        QTest::addColumn<int>("index"); // among the standard machines
        QTest::addColumn<int>("notificationsPer10s");
        QTest::addColumn<bool>("reportsPower");
        QTest::newRow("bike") << 0 << 20 << true;
        QTest::newRow("rower, split records") << 1 << 20 << true;
        QTest::newRow("treadmill") << 2 << 10 << false;
        QTest::newRow("cross trainer") << 3 << 40 << true;
    }

    void workoutOnEachMachine() {
        QFETCH(int, index);
        const EquipmentType type = VirtualMachine::standardMachines().at(index).type;
        QFETCH(int, notificationsPer10s);
        QFETCH(bool, reportsPower);
        const QString label = u" Data (0x2A"_s; // the machine's values in the log
        Session s;
        const auto machine = s.connectTo(index);
        QVERIFY(machine && s.manager->isConnected());
        QCOMPARE(s.manager->detectedEquipmentType(), type);
        QCOMPARE(s.manager->machineFeatures().deviceName, *machine->name());
        QCOMPARE(s.manager->machineFeatures().powerMeasurementSupported, reportsPower);

        const auto before = s.manager->logBuffer().filter(label).size();
        const double distanceBefore = s.manager->metrics().distance;
        s.run(10s);
        const auto received = s.manager->logBuffer().filter(label).size() - before;
        QVERIFY2(qAbs(received - notificationsPer10s) <= 2, qPrintable(QString::number(received)));
        const FitnessMetrics& m = s.manager->metrics();
        QCOMPARE(m.equipmentType, type);
        QVERIFY(m.distance > distanceBefore);
        QVERIFY(m.totalTime >= 10 && m.totalTime <= 12);
        QVERIFY(m.heartRate > 60 && m.speed > 0);
        QCOMPARE(m.power > 0, reportsPower);

        s.manager->disconnect();
        s.run(500ms);
        QVERIFY(!s.manager->isConnected());
        const auto lines = s.manager->logBuffer().size();
        s.run(3s);
        QCOMPARE(s.manager->logBuffer().size(), lines); // notifications stopped
    }

    void destroyingTheCentralMidStreamIsSafe() {
        Session s;
        QVERIFY(s.connectTo(0));
        s.run(1s);
        s.manager.reset();
        QVERIFY(s.scheduler->pending() > 0);
        s.run(3s); // pending tasks find the central gone
        QCOMPARE(s.scheduler->pending(), std::size_t(0));
    }
};

QTEST_GUILESS_MAIN(TestSimulatedCentral)
#include "tst_SimulatedCentral.moc"
