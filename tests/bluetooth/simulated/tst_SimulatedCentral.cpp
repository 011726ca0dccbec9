#include "bluetooth/simulated/SimulatedCentral.h"
#include "bluetooth/simulated/Workout.h"
#include "connection/FTMSManager.h"
#include "model/DevicePresentation.h"

#include <QTest>

using namespace std::chrono_literals;
using namespace tallyfin;
using namespace tallyfin::bluetooth::simulated;

namespace {

// The real manager on the simulated central, with the clock moved by the test.
struct Session {
    std::shared_ptr<ManualScheduler> scheduler = std::make_shared<ManualScheduler>();
    std::unique_ptr<FTMSManager> manager;

    Session() {
        manager =
            std::make_unique<FTMSManager>(simulatedCentralFactory(scheduler), ApplicationInfo());
        manager->setScanRetryInterval(0ms);
    }
    // Lets `duration` pass in 10 ms steps, running the manager's queued steps in between.
    void run(std::chrono::milliseconds duration) {
        for (auto t = 0ms; t < duration; t += 10ms) {
            scheduler->advance(10ms);
            QCoreApplication::processEvents();
        }
    }
    int linesWith(const QString& label) const {
        return int(std::count_if(manager->logBuffer().cbegin(), manager->logBuffer().cend(),
                                 [&](const QString& line) { return line.contains(label); }));
    }
    bluetooth::PeripheralPtr find(EquipmentType type) const {
        for (const auto& p : manager->discoveredDevices()) {
            if (VirtualMachine::standardMachines()
                    .at(manager->discoveredDevices().indexOf(p))
                    .type == type) {
                return p;
            }
        }
        return {};
    }
};

QString iconFor(EquipmentType type) {
    switch (type) {
    case EquipmentType::rower:
        return QStringLiteral("figure.rower");
    case EquipmentType::bike:
        return QStringLiteral("figure.indoor.cycle");
    case EquipmentType::treadmill:
        return QStringLiteral("figure.run");
    default:
        return QStringLiteral("figure.elliptical");
    }
}

} // namespace

class TestSimulatedCentral : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reportsItsStateAndAdvertisesTheMachines() {
        Session s;
        s.manager->startScanning(); // before the state report: retried until powered on
        s.run(100ms);
        QVERIFY(!s.manager->isScanning());
        s.run(100ms);
        QCOMPARE(s.manager->statusMessage(), QStringLiteral("connection.scanning"));
        s.run(1s);
        QCOMPARE(s.manager->discoveredDevices().size(), 4);
        const auto machines = VirtualMachine::standardMachines();
        for (int i = 0; i < machines.size(); ++i) {
            const auto& peripheral = s.manager->discoveredDevices().at(i);
            QCOMPARE(peripheral->identifier(), machines.at(i).identifier);
            const auto info = s.manager->deviceInfos().value(peripheral->identifier());
            QCOMPARE(info.localName, std::optional(machines.at(i).name));
            QVERIFY(info.manufacturerData);
            QVERIFY(info.txPowerLevel);
            // The device list recognises each kind by its name alone.
            if (machines.at(i).type != EquipmentType::crossTrainer) {
                QCOMPARE(deviceIconName(machines.at(i).name), iconFor(machines.at(i).type));
            } else {
                QVERIFY(deviceIconName(machines.at(i).name) != deviceIconName(u"Machine"));
            }
        }
    }

    void signalStrengthDrifts() {
        Session s;
        s.run(200ms);
        s.manager->startScanning();
        const QUuid bike = VirtualMachine::standardMachines().first().identifier;
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
        QCOMPARE(s.manager->deviceInfos().value(bike).rssi, before); // no reports after stop
    }

    void workoutOnEachMachine_data() {
        QTest::addColumn<EquipmentType>("type");
        QTest::addColumn<int>("notificationsPer10s");
        QTest::addColumn<bool>("reportsPower");
        QTest::newRow("bike") << EquipmentType::bike << 20 << true;
        QTest::newRow("rower") << EquipmentType::rower << 20 << true; // split records
        QTest::newRow("treadmill") << EquipmentType::treadmill << 10 << false;
        QTest::newRow("cross trainer") << EquipmentType::crossTrainer << 40 << true;
    }
    void workoutOnEachMachine() {
        QFETCH(EquipmentType, type);
        QFETCH(int, notificationsPer10s);
        QFETCH(bool, reportsPower);
        Session s;
        s.run(200ms);
        s.manager->startScanning();
        s.run(1500ms);
        const auto machine = s.find(type);
        QVERIFY(machine);
        s.manager->connect(machine);
        s.run(1s);
        QVERIFY(s.manager->isConnected());
        QCOMPARE(s.manager->detectedEquipmentType(), type);
        QCOMPARE(s.manager->machineFeatures().deviceName, *machine->name());
        QVERIFY(s.manager->logBuffer().filter(QStringLiteral("FEATURES: ")).size() == 1);
        QCOMPARE(s.manager->machineFeatures().powerMeasurementSupported, reportsPower);

        const QString label =
            FTMSManager::label(VirtualMachine::standardMachines()
                                   .at(int(s.manager->discoveredDevices().indexOf(machine)))
                                   .dataCharacteristic());
        const int before = s.linesWith(label);
        const double distanceBefore = s.manager->metrics().distance;
        s.run(10s);
        const int received = s.linesWith(label) - before;
        QVERIFY2(qAbs(received - notificationsPer10s) <= 2, qPrintable(QString::number(received)));
        const FitnessMetrics& m = s.manager->metrics();
        QCOMPARE(m.equipmentType, type);
        QVERIFY(m.distance > distanceBefore);
        QVERIFY(m.totalTime >= 10 && m.totalTime <= 12);
        QVERIFY(m.heartRate > 60);
        QVERIFY(m.speed > 0);
        QCOMPARE(m.power > 0, reportsPower);

        s.manager->disconnect();
        s.run(500ms);
        QVERIFY(!s.manager->isConnected());
        QCOMPARE(s.manager->metrics().distance, 0.0);
        const int lines = int(s.manager->logBuffer().size());
        s.run(3s);
        QCOMPARE(s.manager->logBuffer().size(), lines); // notifications stopped
    }

    void destroyingTheCentralMidStreamIsSafe() {
        Session s;
        s.run(200ms);
        s.manager->startScanning();
        s.run(1500ms);
        s.manager->connect(s.manager->discoveredDevices().first());
        s.run(2s);
        QVERIFY(s.manager->isConnected());
        s.manager.reset();
        QVERIFY(s.scheduler->pending() > 0);
        s.run(3s); // pending tasks find the central gone
        QCOMPARE(s.scheduler->pending(), std::size_t(0));
    }

    // Effort drives the values together, and totals only grow.
    void workoutFollowsThePlan() {
        Workout bike(EquipmentType::bike, 3);
        double lastDistance = 0;
        qint64 lastCalories = 0;
        double warmUpPower = 0;
        double hardPower = 0;
        double hardCadence = 0;
        double easyCadence = 0;
        for (int second = 1; second <= 900; ++second) {
            bike.advance(1.0);
            const FitnessMetrics& m = bike.metrics();
            QVERIFY(m.distance >= lastDistance);
            QVERIFY(m.calories >= lastCalories);
            lastDistance = m.distance;
            lastCalories = m.calories;
            if (second == 60) {
                warmUpPower = double(m.power);
            }
            if (second == 235) { // end of the first hard minute
                hardPower = double(m.power);
                hardCadence = double(m.cadence);
            }
            if (second == 320) { // late in the first easy block
                easyCadence = double(m.cadence);
            }
        }
        QCOMPARE(bike.metrics().totalTime, 900.0);
        QVERIFY(hardPower > warmUpPower * 1.3);
        QVERIFY(hardCadence > easyCadence + 5);
        // About 9 km in 15 minutes at these efforts.
        QVERIFY(lastDistance > 6000 && lastDistance < 11000);
    }
};

QTEST_GUILESS_MAIN(TestSimulatedCentral)
#include "tst_SimulatedCentral.moc"
