// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// The manager's own rules, with the test playing the Bluetooth stack: what runs at once and what
// is published on a later turn, the log, scanning, detection and routing, the strap. The same
// manager over the real QtBluetooth central is tests/bluetooth/qt's.

#include "ScriptedCentral.h"
#include "connection/DeviceListModel.h"
#include "connection/FTMSManager.h"
#include "connection/HeartRateStrapManager.h"

#include <QAbstractItemModelTester>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace tallyfin;
using namespace tallyfin::testing;

namespace {

QVariantMap fullInfo() {
    return {{u"CFBundleShortVersionString"_s, u"1.4.2"_s},
            {u"CFBundleVersion"_s, u"57"_s},
            {u"TelemetryDeckAppID"_s, u"APP-ID"_s}};
}

struct Harness {
    ScriptedCentral* central = nullptr;
    QList<std::pair<QString, QMap<QString, QString>>> sent;
    std::unique_ptr<FTMSManager> manager;

    explicit Harness(QVariantMap info = fullInfo()) {
        manager = std::make_unique<FTMSManager>(
            [this](bluetooth::CentralDelegate&) {
                auto created = std::make_unique<ScriptedCentral>();
                central = created.get();
                return created;
            },
            ApplicationInfo(std::move(info)),
            [this](const QString& name, const QMap<QString, QString>& parameters) {
                sent.append({name, parameters});
            });
        manager->setClock([] { return QDateTime(QDate(2024, 3, 1), QTime(14, 3, 7)); });
        manager->setScanRetryInterval(0ms);
    }
    FTMSManager& operator*() { return *manager; }
    FTMSManager* operator->() { return manager.get(); }
};

// Runs what callbacks scheduled for a later turn of the event loop.
void drain() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

// A connected bike with its parser in place, as detection leaves it.
std::pair<std::shared_ptr<ScriptedPeripheral>, CharacteristicPtr> connectBike(Harness& h) {
    auto bike = makePeripheral(1, u"Indoor Bike"_s);
    h->connect(bike);
    h->didConnect(bike);
    auto data = makeCharacteristic(0x2AD2);
    h->didDiscoverCharacteristics(bike, makeService(0x1826, QList<CharacteristicPtr>{data}), {});
    drain();
    return {bike, data};
}

void notify(Harness& h, const std::shared_ptr<ScriptedPeripheral>& p, const CharacteristicPtr& c,
            const QByteArray& value) {
    c->value = value;
    h->didUpdateValue(p, c, std::nullopt);
}

} // namespace

class TestFTMSManager : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(u"de_DE"_s)); }

    // The log starts with the version line ("?" for what the build does not say) and keeps its
    // last 500 lines (the version line goes first, and only it), the power history its last 120.
    void logAndPowerHistoryAreBounded() {
        Harness h({{u"CFBundleShortVersionString"_s, u"2.0"_s}});
        QVERIFY(h->logBuffer().first().startsWith(u"Tallyfin v2.0 (?) \u2014 "_s));
        for (int i = 1; i <= 500; ++i) {
            h->appendLog(QString::number(i));
            h->publishMetrics({.power = i});
        }
        QCOMPARE(h->logBuffer().size(), 500);
        QCOMPARE(h->logBuffer().first(), u"1"_s);
        QCOMPARE(h->logText().count(QLatin1Char('\n')), 499);
        QCOMPARE(h->powerHistory().size(), 120);
        QCOMPARE(h->powerHistory().first(), 381);
    }

    // A stream starts with the current value and hears every assignment, also of an equal value;
    // a subscriber cancelled by another during an assignment is not called.
    void publishedStreams() {
        Harness h;
        QStringList events;
        Subscription second;
        auto first = h->isScanningPublisher().subscribe([&](bool value) {
            events.append(value ? u"1"_s : u"0"_s);
            if (value) {
                second.cancel();
            }
        });
        second = h->isScanningPublisher().subscribe([&](bool) { events.append(u"second"_s); });
        h->isScanningPublisher().set(false);
        h->isScanningPublisher().set(true);
        first.cancel();
        h->isScanningPublisher().set(false);
        QCOMPARE(events, (QStringList{u"0"_s, u"second"_s, u"0"_s, u"second"_s, u"1"_s}));
    }

    // Asked while the central's state is not known, a scan is retried on later turns and starts
    // once it is powered on; a state report during the scan only sets the status, and a
    // disconnection with nothing connected does nothing. (Bluetooth off or unusable: end-to-end.)
    void scanWaitsForTheCentral() {
        Harness h;
        h->startScanning();
        drain();
        QVERIFY(h.central->stateReads >= 3);
        QCOMPARE(h->statusMessage(), u"connection.ready"_s);
        h.central->currentState = bluetooth::CentralState::poweredOn;
        drain();
        const int reads = h.central->stateReads;
        drain();
        QCOMPARE(h.central->stateReads, reads); // retrying ended
        h->centralDidUpdateState(bluetooth::CentralState::unknown);
        h->disconnect();
        QVERIFY(h->isScanning());
        QCOMPARE(h->statusMessage(), u"bluetooth.unavailable"_s);
        QCOMPARE(h->logBuffer().size(), 1);
        QCOMPARE(h.central->requests, QStringList{u"scan"_s});
    }

    // Recorded on a later turn: one entry per machine (whichever handle reports it), in order of
    // first sighting, with its latest advertisement, whose values of the wrong kind are dropped.
    void discoveryKeepsOneEntryWithTheLatestAdvertisement() {
        Harness h;
        auto first = makePeripheral(1);
        auto second = makePeripheral(2);
        namespace ad = bluetooth::advertisement;
        h->didDiscover(first, {}, -70);
        QVERIFY(h->discoveredDevices().isEmpty());
        h->didDiscover(second, {}, -80);
        h->didDiscover(makePeripheral(1), // another handle for the same machine
                       {{QLatin1String(ad::localName), 5},
                        {QLatin1String(ad::manufacturerData), u"text"_s},
                        {QLatin1String(ad::txPowerLevel), -8}},
                       -55);
        drain();
        QCOMPARE(h->discoveredDevices(), (QList<bluetooth::PeripheralPtr>{first, second}));
        const DeviceAdvertisementInfo info = h->deviceInfos().value(first->identifier());
        QCOMPARE(info.rssi, -55);
        QCOMPARE(info.localName, std::nullopt);
        QCOMPARE(info.manufacturerData, std::nullopt);
        QCOMPARE(info.txPowerLevel, std::optional<qint64>(-8));
    }

    // The device list's model. The list view keeps its rows (and the page it shows) while signal
    // strengths drift. Reports of one turn of the event loop reach it together: new machines as one
    // insertion, a new advertisement as a change of its own row only; a new scan resets at once.
    void deviceListChangesReachTheViewTogether() {
        Harness h;
        FTMSManager& manager = *h;
        DeviceListModel& model = *manager.deviceList();
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy shown(&model, &DeviceListModel::shownChanged);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        auto bike = makePeripheral(1, u"Bike"_s);
        auto rower = makePeripheral(2, u"Rower"_s);
        auto treadmill = makePeripheral(3, u"Treadmill"_s);
        manager.recordAdvertisement(bike, {-60, QByteArray("\x01", 1), 4, {}});
        manager.recordAdvertisement(rower, {-70, {}, {}, {}});
        manager.recordAdvertisement(bike, {-61, QByteArray("\x01", 1), 4, {}});
        QCOMPARE(model.count(), 0);
        QTRY_COMPARE(model.count(), 2);
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(inserted.first().mid(1), (QVariantList{0, 1}));
        QVERIFY(changed.isEmpty());
        QCOMPARE(model.shownRow(), 0);
        model.step(1); // the chevron: the rower
        QCOMPARE(model.shownRow(), 1);
        QCOMPARE(shown.size(), 2);

        manager.recordAdvertisement(rower, {-52, {}, {}, {}});
        manager.recordAdvertisement(treadmill, {-80, {}, {}, {}});
        manager.recordAdvertisement(rower, {-53, {}, {}, {}});
        QTRY_COMPARE(model.count(), 3);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().at(0).toModelIndex().row(), 1);
        QCOMPARE(changed.first().at(1).toModelIndex().row(), 1);
        QCOMPARE(inserted.size(), 2);
        QCOMPARE(model.data(model.index(1), DeviceListModel::RssiRole).toInt(), -53);
        QCOMPARE(shown.size(), 3); // the shown rower's new advertisement
        QCOMPARE(model.shown().value(u"rssi"_s), QVariant(-53));
        // Paging wraps round both ways; another row's advertisement leaves the shown one alone.
        model.step(1);
        model.step(1);
        QCOMPARE(model.shownRow(), 0);
        model.step(-1);
        QCOMPARE(model.shown().value(u"name"_s), QVariant(u"Treadmill"_s));
        manager.recordAdvertisement(bike, {-62, QByteArray("\x01", 1), 4, {}});
        QTRY_COMPARE(changed.size(), 2);
        QCOMPARE(shown.size(), 6);

        h.central->currentState = bluetooth::CentralState::poweredOn;
        manager.startScanning();
        QCOMPARE(reset.size(), 1);
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.shownRow(), -1);
        // The stored advertisement comes back with the machine's next report.
        manager.recordAdvertisement(rower, {-71, {}, {}, {}});
        QTRY_COMPARE(model.get(0).value(u"rssi"_s), QVariant(-71));
    }

    void connectionLogsAndDiscoversBeforePublishing_data() {
        QTest::addColumn<bool>("advertised");
        QTest::addColumn<bool>("analytics");
        QTest::newRow("advertised") << true << true;
        QTest::newRow("never advertised") << false << true;
        QTest::newRow("no analytics id") << true << false;
    }
    void connectionLogsAndDiscoversBeforePublishing() {
        QFETCH(bool, advertised);
        QFETCH(bool, analytics);
        QVariantMap info = fullInfo();
        if (!analytics) {
            info.remove(u"TelemetryDeckAppID"_s);
        }
        Harness h(info);
        h.central->currentState = bluetooth::CentralState::poweredOn;
        h->startScanning();
        auto machine = makePeripheral(3, u"Rower"_s);
        if (advertised) {
            h->recordAdvertisement(machine, {-64, {}, {}, {}});
        }
        const QString line = u"CONNECTED: Rower ["_s +
                             machine->identifier().toString(QUuid::WithoutBraces).toUpper() +
                             u"] RSSI: "_s + (advertised ? u"-64 dBm"_s : u"?"_s);
        QStringList seenAtConnected;
        auto subscription = h->isConnectedPublisher().subscribe([&](bool connected) {
            if (connected) {
                seenAtConnected.append(h->logBuffer().last());
                seenAtConnected.append(QString::number(machine->serviceDiscoveries));
            }
        });
        h->connect(machine);
        QVERIFY(!h->isScanning());
        QCOMPARE(h.central->requests, (QStringList{u"scan"_s, u"stop"_s, u"connect"_s}));
        QCOMPARE(h->statusMessage(), u"connection.connecting"_s); // its text is end-to-end's
        h->didConnect(machine);
        QVERIFY(!h->isConnected());
        drain();
        QVERIFY(h->isConnected());
        QCOMPARE(seenAtConnected, (QStringList{line, u"1"_s}));
        QCOMPARE(h->statusMessage(), u"connection.connected"_s);
        // Characteristics of the Fitness Machine Service only; no service list yet: nothing.
        h->didDiscoverServices(machine, std::nullopt);
        auto ftms = makeService(0x1826);
        machine->servicesList = QList<bluetooth::ServicePtr>{makeService(0x180A), ftms};
        h->didDiscoverServices(machine, u"ignored error"_s);
        // (Which characteristics: the machines' tests, over the filtering centrals.)
        QCOMPARE(machine->characteristicDiscoveries, QList{ftms});
        using Sent = QList<std::pair<QString, QMap<QString, QString>>>;
        QCOMPARE(h.sent, (analytics ? Sent{{u"deviceConnected"_s, {{u"deviceName"_s, u"Rower"_s}}}}
                                    : Sent{}));
    }

    // (A bike listing the feature, then its data, is the end-to-end test's.)
    void detection_data() {
        QTest::addColumn<QList<int>>("listed");
        QTest::addColumn<int>("subscribed"); // index into listed, -1 for none
        QTest::addColumn<EquipmentType>("type");
        QTest::addColumn<QString>("status");
        QTest::newRow("treadmill listed before bike")
            << QList<int>{0x2ACD, 0x2AD2, 0x2ACC} << 0 << EquipmentType::treadmill
            << u"equipment.detected.treadmill"_s;
        QTest::newRow("feature listed twice")
            << QList<int>{0x2ACC, 0x2AD1, 0x2ACC} << 1 << EquipmentType::rower
            << u"equipment.detected.rower"_s;
        QTest::newRow("no data characteristic")
            << QList<int>{0x2ACC, 0x2AD9} << -1 << EquipmentType::unknown
            << u"connection.connected"_s;
    }
    void detection() {
        QFETCH(QList<int>, listed);
        QFETCH(int, subscribed);
        QFETCH(EquipmentType, type);
        QFETCH(QString, status);
        Harness h;
        auto machine = makePeripheral(1, u"Gym Machine"_s);
        h->connect(machine);
        h->didConnect(machine);
        drain();
        QList<bluetooth::CharacteristicPtr> characteristics;
        for (int uuid : listed) {
            characteristics.append(makeCharacteristic(quint16(uuid)));
        }
        h->didDiscoverCharacteristics(machine, makeService(0x1826, characteristics), {});
        QCOMPARE(h->detectedEquipmentType(), type);
        QCOMPARE(h->currentParser() != nullptr, subscribed >= 0);
        QCOMPARE(machine->reads, QList{characteristics.at(listed.indexOf(0x2ACC))}); // once
        QCOMPARE(machine->notifications,
                 (subscribed >= 0 ? QList{std::pair(true, characteristics.at(subscribed))}
                                  : QList<std::pair<bool, CharacteristicPtr>>{}));
        QVERIFY(h->machineFeatures().deviceName.isEmpty()); // published on a later turn
        drain();
        QCOMPARE(h->statusMessage(), status);
        QCOMPARE(h->machineFeatures().deviceName, subscribed >= 0 ? u"Gym Machine"_s : QString());
    }

    void viewsSeeTheLatestValueOncePerInterval() {
        Harness h;
        auto [bike, data] = connectBike(h);
        h->setViewInterval(1h);
        QSignalSpy metricsChanged(h.manager.get(), &FTMSManager::metricsChanged);
        QSignalSpy historyChanged(h.manager.get(), &FTMSManager::powerHistoryChanged);
        QList<qint64> streamed;
        auto subscription = h->metricsPublisher().subscribe(
            [&](const FitnessMetrics& metrics) { streamed.append(metrics.power); });
        for (int power = 1; power <= 10; ++power) {
            notify(h, bike, data, QByteArray::fromHex("4400c409b400") + char(power) + '\0');
        }
        drain();
        QCOMPARE(streamed, (QList<qint64>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        QCOMPARE(h->powerHistory(), (QList<qint64>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        QCOMPARE(h->logBuffer().filter(u"(0x2AD2)"_s).size(), 10);
        QCOMPARE(metricsChanged.size(), 1);
        QCOMPARE(historyChanged.size(), 1);
        QCOMPARE(h->metrics().power, 10);
        notify(h, bike, data, QByteArray::fromHex("4400c409b4000b00"));
        h->setViewInterval(1ms);
        QTRY_COMPARE(metricsChanged.size(), 2);
        QCOMPARE(historyChanged.size(), 2);
    }

    // Subscribed, but nothing comes: the status and the log say so, and the first value brings
    // the machine's status back.
    void silentMachineIsReported() {
        Harness h;
        h->setNoDataTimeout(10ms);
        auto [bike, data] = connectBike(h);
        QTRY_COMPARE(h->statusMessage(), u"connection.noData"_s);
        QCOMPARE(h->logBuffer().last(),
                 QStringLiteral("NO DATA: no Indoor Bike Data (0x2AD2) within 0.01 s of "
                                "subscribing"));
        notify(h, bike, data, QByteArray::fromHex("4000f401"));
        drain();
        QCOMPARE(h->statusMessage(), u"equipment.detected.bike"_s);
    }

    // Values that keep coming for twice the time-out are never reported missing; once they stop,
    // the silence is reported once.
    void streamingMachineIsNotReported() {
        Harness h;
        h->setNoDataTimeout(400ms);
        auto [bike, data] = connectBike(h);
        for (int i = 0; i < 20; ++i) {
            QTest::qWait(40);
            notify(h, bike, data, QByteArray::fromHex("4000f401"));
        }
        drain();
        QVERIFY(!h->valuesStale());
        QCOMPARE(h->statusMessage(), u"equipment.detected.bike"_s);
        QTRY_VERIFY(h->valuesStale());
        QTest::qWait(900);
        QCOMPARE(h->logBuffer().filter(u"NO DATA"_s),
                 QStringList{u"NO DATA: no Indoor Bike Data (0x2AD2) for 0.4 s"_s});
    }

    // By the characteristic: any data characteristic goes to the current parser (the unchanged
    // copy without one), anything else is only logged, an absent value is dropped. Logged with
    // the time in the locale's medium style (German elsewhere).
    void valuesAreRoutedByUuid() {
        Harness h;
        auto machine = makePeripheral(1);
        h->publishMetrics({.power = 42});
        notify(h, machine, makeCharacteristic(0x2ACD), QByteArray::fromHex("0000e803"));
        drain();
        QCOMPARE(h->metrics().speed, 0.0);
        QCOMPARE(h->powerHistory(), (QList<qint64>{42, 42}));

        auto [bike, data] = connectBike(h);
        QLocale::setDefault(QLocale(u"en_US"_s)); // the locale's medium time style
        notify(h, bike, makeCharacteristic(0x2AD1), QByteArray::fromHex("0aff"));
        QLocale::setDefault(QLocale(u"de_DE"_s));
        QCOMPARE(h->logBuffer().last(), u"[2:03:07\u202FPM] Rower Data (0x2AD1): 0A FF"_s.replace(
                                            QChar(0x202F), h->logBuffer().last().at(8)));
        notify(h, bike, makeCharacteristic(0x2AD9), QByteArray("\x01", 1));
        h->didUpdateValue(bike, makeCharacteristic(0x2AD9), std::nullopt); // no value
        auto custom = makeCharacteristic(0);
        custom->uuid = QBluetoothUuid(u"{6e400003-b5a3-f393-e0a9-e50e24dcca9e}"_s);
        notify(h, bike, custom, QByteArray());
        drain();
        QCOMPARE(h->logBuffer().mid(h->logBuffer().size() - 2),
                 (QStringList{u"[14:03:07] Unknown Characteristic (2AD9): 01"_s,
                              QStringLiteral("[14:03:07] Unknown Characteristic "
                                             "(6E400003-B5A3-F393-E0A9-E50E24DCCA9E): ")}));
        QCOMPARE(h->metrics().equipmentType, EquipmentType::bike); // the bike's parser read it
        QCOMPARE(h->powerHistory().size(), 3);
    }

    // Logged whatever its length; a value too short for both fields changes nothing (a full one is
    // the end-to-end test's, which bit sets which flag the feature decoder's).
    void shortFeatureValueChangesNothing() {
        Harness h;
        QSignalSpy willChange(h.manager.get(), &FTMSManager::objectWillChange);
        const QByteArray value = QByteArray::fromHex("ffffffffffffff");
        notify(h, makePeripheral(1), makeCharacteristic(0x2ACC), value);
        drain();
        QCOMPARE(willChange.size(), 0);
        QCOMPARE(h->logBuffer().last(),
                 u"[14:03:07] Fitness Machine Feature (0x2ACC): FF FF FF FF FF FF FF"_s);
    }

    // A strap chosen in an earlier run: listened for once the machine streams, listening stops
    // before it is connected, its heart rate replaces the machine's without a power sample, and
    // it goes with the machine.
    void rememberedStrapJoinsTheStreamingMachine() {
        QTemporaryDir dir;
        QSettings settings(dir.filePath(u"prefs.ini"_s), QSettings::IniFormat);
        auto strap = makePeripheral(2, u"Polar H10 8A2B3C4D"_s);
        settings.setValue(u"heartRateStrap"_s, strap->identifier().toString());
        Harness h;
        HeartRateStrapManager& straps = *h->heartRateStraps();
        QAbstractItemModelTester tester(straps.straps(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        straps.setSettings(&settings);
        h.central->currentState = bluetooth::CentralState::poweredOn;
        auto [bike, data] = connectBike(h);
        QCOMPARE(h.central->requests, (QStringList{u"stop"_s, u"connect"_s})); // not listening
        notify(h, bike, data, QByteArray::fromHex("4102 4000 5A")); // power 64, heart rate 90
        drain();
        h->didDiscover(strap, {}, -48);
        drain();
        QVERIFY(h->discoveredDevices().isEmpty()); // heard as a strap, not as a machine
        QCOMPARE(h.central->requests,
                 (QStringList{u"stop"_s, u"connect"_s, u"scan"_s, u"stop"_s, u"connect"_s}));
        h->didConnect(strap);
        QCOMPARE(h.sent.last().second, (QMap<QString, QString>{{u"strapModel"_s, u"Polar H10"_s}}));
        QCOMPARE(HeartRateStrapManager::modelName(u"Forerunner 945"_s), u"Forerunner 945"_s);
        // The strap's own delegate hears the strap.
        strap->delegate->didUpdateValue(
            strap, makeCharacteristic(0x2A37, QByteArray::fromHex("1648")), std::nullopt);
        drain();
        QCOMPARE(h->metrics().heartRate, 72);
        QCOMPARE(h->powerHistory().size(), 1);
        notify(h, bike, data, QByteArray::fromHex("4102 4100 5B"));
        drain();
        QCOMPARE(h->metrics().power, 65);
        QCOMPARE(h->metrics().heartRate, 72);
        QCOMPARE(settings.value(u"heartRateStrapName"_s).toString(), u"Polar H10 8A2B3C4D"_s);
        // Chosen again while still being let go of (the stack drops a connection asked for then):
        // connected once gone; a first value without a heart rate shows none of the old one's.
        const QString id = straps.chosenId();
        straps.choose({});
        straps.choose(id);
        h.central->requests.clear();
        h->didDisconnect(strap, std::nullopt);
        QCOMPARE(h.central->requests, QStringList{u"connect"_s});
        h->didConnect(strap);
        strap->delegate->didUpdateValue(strap, makeCharacteristic(0x2A37, QByteArray(1, 0)), {});
        drain();
        QCOMPARE(h->metrics().heartRate, 0);

        h->didDisconnect(bike, std::nullopt);
        drain();
        QCOMPARE(h.central->cancelRequests, (QList<bluetooth::PeripheralPtr>{strap, strap}));
        h->didDisconnect(strap, std::nullopt);
        QVERIFY(!straps.hasLink());
        QCOMPARE(h->logBuffer().last(), u"STRAP DISCONNECTED: Polar H10 8A2B3C4D"_s);
    }

    void scheduledStepsDoNothingOnceTheManagerIsGone() {
        auto h = std::make_unique<Harness>();
        auto [bike, data] = connectBike(*h);
        notify(*h, bike, data, QByteArray::fromHex("4000f401"));
        (*h)->didDisconnect(bike, std::nullopt);
        h.reset();
        drain(); // would crash if the queued steps still ran
        QVERIFY(!bike->delegate);
    }
};

QTEST_GUILESS_MAIN(TestFTMSManager)
#include "tst_FTMSManager.moc"
