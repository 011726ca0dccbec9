// The manager's own rules, with the test playing the Bluetooth stack: what runs at once and what
// is published on a later turn, the log, scanning, detection and routing, the strap. The same
// manager over the real QtBluetooth central is tests/bluetooth/qt's.

#include "ScriptedCentral.h"
#include "connection/DeviceListModel.h"
#include "connection/FTMSManager.h"
#include "connection/HeartRateStrapManager.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

using namespace std::chrono_literals;
using namespace tallyfin;
using namespace tallyfin::testing;

namespace {

// Formatted status texts need a placeholder, which only a string table gives them.
class StatusTable final : public QTranslator {
public:
    QString translate(const char*, const char* id, const char*, int) const override {
        return QByteArrayView(id) == "connection.connecting" ? QStringLiteral("Connecting to %1")
                                                             : QString();
    }
    bool isEmpty() const override { return false; }
};

QVariantMap fullInfo() {
    return {{QStringLiteral("CFBundleShortVersionString"), QStringLiteral("1.4.2")},
            {QStringLiteral("CFBundleVersion"), QStringLiteral("57")},
            {QStringLiteral("TelemetryDeckAppID"), QStringLiteral("APP-ID")}};
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
    auto bike = makePeripheral(1, QStringLiteral("Indoor Bike"));
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
    void initTestCase() { QLocale::setDefault(QLocale(QStringLiteral("de_DE"))); }

    void versionLine_data() {
        QTest::addColumn<QVariantMap>("info");
        QTest::addColumn<QString>("versions");
        QTest::newRow("both") << fullInfo() << QStringLiteral("v1.4.2 (57)");
        QTest::newRow("no build version")
            << QVariantMap{{QStringLiteral("CFBundleShortVersionString"), QStringLiteral("2.0")}}
            << QStringLiteral("v2.0 (?)");
        QTest::newRow("not text")
            << QVariantMap{{QStringLiteral("CFBundleShortVersionString"), QVariantList{1}},
                           {QStringLiteral("CFBundleVersion"), QStringLiteral("9")}}
            << QStringLiteral("v? (9)");
    }
    void versionLine() {
        QFETCH(QVariantMap, info);
        QFETCH(QString, versions);
        Harness h(info);
        QCOMPARE(h->logBuffer(),
                 QStringList{QStringLiteral("Tallyfin ") + versions + QStringLiteral(" \u2014 ") +
                             QSysInfo::prettyProductName()});
    }

    // The log keeps its last 500 lines (the version line goes first, and only it), the power
    // history its last 120 samples.
    void logAndPowerHistoryAreBounded() {
        Harness h;
        for (int i = 1; i <= 500; ++i) {
            h->appendLog(QString::number(i));
            FitnessMetrics m;
            m.power = i;
            h->publishMetrics(m);
        }
        QCOMPARE(h->logBuffer().size(), 500);
        QCOMPARE(h->logBuffer().first(), QStringLiteral("1"));
        QCOMPARE(h->logText().count(QLatin1Char('\n')), 499);
        QCOMPARE(h->powerHistory().size(), 120);
        QCOMPARE(h->powerHistory().first(), 381);
    }

    // In the locale's medium time style (German in the other tests).
    void rawDataLineUsesTheLocalesTime() {
        Harness h;
        QLocale::setDefault(QLocale(QStringLiteral("en_US")));
        h->logRawData(QByteArray("\x0a\xff", 2), QStringLiteral("Rower Data (0x2AD1)"));
        QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
        QCOMPARE(h->logBuffer().last(),
                 QStringLiteral("[2:03:07\u202FPM] Rower Data (0x2AD1): 0A FF")
                     .replace(QChar(0x202F), h->logBuffer().last().at(8)));
    }

    // Will-change before every assignment, also of an equal value; a stream starts with the
    // current value, and a subscriber cancelled by another during an assignment is not called.
    void publishedFields() {
        Harness h;
        QStringList events;
        QObject::connect(h.manager.get(), &FTMSManager::objectWillChange, [&] {
            events.append(QStringLiteral("will:") + (h->isScanning() ? u"1" : u"0"));
        });
        Subscription second;
        auto first = h->isScanningPublisher().subscribe([&](bool value) {
            events.append(QStringLiteral("value:") + (value ? u"1" : u"0"));
            if (value) {
                second.cancel();
            }
        });
        second = h->isScanningPublisher().subscribe(
            [&](bool) { events.append(QStringLiteral("second")); });
        h->isScanningPublisher().set(false);
        h->isScanningPublisher().set(true);
        first.cancel();
        h->isScanningPublisher().set(false);
        QCOMPARE(events, (QStringList{QStringLiteral("value:0"), QStringLiteral("second"),
                                      QStringLiteral("will:0"), QStringLiteral("value:0"),
                                      QStringLiteral("second"), QStringLiteral("will:0"),
                                      QStringLiteral("value:1"), QStringLiteral("will:1")}));
    }

    // Starting a scan by the central's state (retried on later turns while the state is not
    // known), and a state report during the scan, which only sets the status.
    void bluetoothStates_data() {
        QTest::addColumn<bluetooth::CentralState>("state");
        QTest::addColumn<QString>("scanStatus"); // empty: retried
        QTest::addColumn<QString>("reportStatus");
        using S = bluetooth::CentralState;
        const QString unavailable = QStringLiteral("bluetooth.unavailable");
        QTest::newRow("unknown") << S::unknown << QString() << unavailable;
        QTest::newRow("resetting") << S::resetting << QString() << unavailable;
        QTest::newRow("unsupported") << S::unsupported << QStringLiteral("bluetooth.unsupported")
                                     << QStringLiteral("bluetooth.unsupported");
        QTest::newRow("powered off") << S::poweredOff << QStringLiteral("bluetooth.poweredOff")
                                     << QStringLiteral("bluetooth.poweredOff");
        QTest::newRow("powered on") << S::poweredOn << QStringLiteral("connection.scanning")
                                    << QStringLiteral("bluetooth.ready");
    }
    void bluetoothStates() {
        QFETCH(bluetooth::CentralState, state);
        QFETCH(QString, scanStatus);
        QFETCH(QString, reportStatus);
        Harness h;
        h->recordAdvertisement(makePeripheral(7), {-50, {}, {}, {}});
        h.central->currentState = state;
        h->startScanning();
        drain();
        const bool scans = state == bluetooth::CentralState::poweredOn;
        QCOMPARE(h->statusMessage(),
                 scanStatus.isEmpty() ? QStringLiteral("connection.ready") : scanStatus);
        QCOMPARE(h->isScanning(), scans);
        QCOMPARE(h->discoveredDevices().isEmpty(), scans);
        QCOMPARE(h->deviceInfos().size(), 1); // advertisements are never forgotten
        QCOMPARE(h.central->stateReads >= 3, scanStatus.isEmpty());

        h.central->currentState = bluetooth::CentralState::poweredOn;
        if (!scans && !scanStatus.isEmpty()) {
            h->startScanning(); // again: nothing was pending
        }
        drain();
        QCOMPARE(h.central->scanRequests,
                 QList<QList<QBluetoothUuid>>{{QBluetoothUuid(quint16(0x1826))}});
        const int reads = h.central->stateReads;
        drain();
        QCOMPARE(h.central->stateReads, reads); // retrying ended
        h.central->currentState = state;
        h->centralDidUpdateState(state);
        QCOMPARE(h->statusMessage(), reportStatus);
        QVERIFY(h->isScanning());
        QCOMPARE(h.central->requests, QStringList{QStringLiteral("scan")});
    }

    // Recorded on a later turn: one entry per machine, in order of first sighting, with its
    // latest advertisement, whose values of the wrong kind are dropped one by one.
    void discoveryKeepsOneEntryWithTheLatestAdvertisement() {
        Harness h;
        auto first = makePeripheral(1);
        auto second = makePeripheral(2);
        namespace ad = bluetooth::advertisement;
        h->didDiscover(first,
                       {{QLatin1String(ad::localName), QStringLiteral("Bike")},
                        {QLatin1String(ad::manufacturerData), QByteArray("\x01\x02", 2)},
                        {QLatin1String(ad::txPowerLevel), 4}},
                       -70);
        QVERIFY(h->discoveredDevices().isEmpty());
        h->didDiscover(second, {}, -80);
        h->didDiscover(makePeripheral(1), // another handle for the same machine
                       {{QLatin1String(ad::localName), 5},
                        {QLatin1String(ad::manufacturerData), QStringLiteral("text")},
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
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        QSignalSpy count(&model, &DeviceListModel::countChanged);
        auto bike = makePeripheral(1, QStringLiteral("Bike"));
        auto rower = makePeripheral(2, QStringLiteral("Rower"));
        auto treadmill = makePeripheral(3, QStringLiteral("Treadmill"));
        manager.recordAdvertisement(bike, {-60, QByteArray("\x01", 1), 4, {}});
        manager.recordAdvertisement(rower, {-70, {}, {}, {}});
        manager.recordAdvertisement(bike, {-61, QByteArray("\x01", 1), 4, {}});
        QCOMPARE(model.count(), 0);
        QTRY_COMPARE(model.count(), 2);
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(inserted.first().mid(1), (QVariantList{0, 1}));
        QCOMPARE(count.size(), 1);
        QVERIFY(changed.isEmpty());
        QCOMPARE(
            model.get(0),
            (QVariantMap{{QStringLiteral("id"), bike->identifier().toString(QUuid::WithoutBraces)},
                         {QStringLiteral("name"), QStringLiteral("Bike")},
                         {QStringLiteral("rssi"), -61},
                         {QStringLiteral("manufacturerData"), QByteArray("\x01", 1)},
                         {QStringLiteral("txPowerLevel"), 4}}));
        QVERIFY(!model.data(model.index(1), DeviceListModel::ManufacturerDataRole).isValid());

        manager.recordAdvertisement(rower, {-52, {}, {}, {}});
        manager.recordAdvertisement(treadmill, {-80, {}, {}, {}});
        manager.recordAdvertisement(rower, {-53, {}, {}, {}});
        QTRY_COMPARE(model.count(), 3);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().at(0).toModelIndex().row(), 1);
        QCOMPARE(changed.first().at(1).toModelIndex().row(), 1);
        QCOMPARE(inserted.size(), 2);
        QCOMPARE(model.data(model.index(1), DeviceListModel::RssiRole).toInt(), -53);

        h.central->currentState = bluetooth::CentralState::poweredOn;
        manager.startScanning();
        QCOMPARE(reset.size(), 1);
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(model.get(0).isEmpty());
        // The stored advertisement comes back with the machine's next report.
        manager.recordAdvertisement(rower, {-71, {}, {}, {}});
        QTRY_COMPARE(model.get(0).value(QStringLiteral("rssi")), QVariant(-71));
    }

    void connectionLogsAndDiscoversBeforePublishing_data() {
        QTest::addColumn<bool>("advertised");
        QTest::addColumn<bool>("named");
        QTest::addColumn<bool>("analytics");
        QTest::newRow("advertised, named") << true << true << true;
        QTest::newRow("never advertised") << false << true << true;
        QTest::newRow("no name") << true << false << true;
        QTest::newRow("no analytics id") << true << true << false;
    }
    void connectionLogsAndDiscoversBeforePublishing() {
        QFETCH(bool, advertised);
        QFETCH(bool, named);
        QFETCH(bool, analytics);
        QVariantMap info = fullInfo();
        if (!analytics) {
            info.remove(QStringLiteral("TelemetryDeckAppID"));
        }
        StatusTable table;
        QCoreApplication::installTranslator(&table);
        Harness h(info);
        h.central->currentState = bluetooth::CentralState::poweredOn;
        h->startScanning();
        auto machine =
            makePeripheral(3, named ? std::optional(QStringLiteral("Rower")) : std::nullopt);
        if (advertised) {
            h->recordAdvertisement(machine, {-64, {}, {}, {}});
        }
        const QString name =
            named ? QStringLiteral("Rower") : QStringLiteral("deviceList.unknownDevice");
        const QString line = QStringLiteral("CONNECTED: ") + name + QStringLiteral(" [") +
                             machine->identifier().toString(QUuid::WithoutBraces).toUpper() +
                             QStringLiteral("] RSSI: ") +
                             (advertised ? QStringLiteral("-64 dBm") : QStringLiteral("?"));
        QStringList seenAtConnected;
        auto subscription = h->isConnectedPublisher().subscribe([&](bool connected) {
            if (connected) {
                seenAtConnected.append(h->logBuffer().last());
                seenAtConnected.append(QString::number(machine->discoverServicesRequests.size()));
            }
        });
        h->connect(machine);
        QCoreApplication::removeTranslator(&table);
        QVERIFY(!h->isScanning());
        QCOMPARE(h.central->requests, (QStringList{QStringLiteral("scan"), QStringLiteral("stop"),
                                                   QStringLiteral("connect")}));
        QCOMPARE(h->statusMessage(), QStringLiteral("Connecting to ") + name);
        QCOMPARE(h.central->connectRequests, QList<bluetooth::PeripheralPtr>{machine});
        QCOMPARE(machine->delegate, static_cast<bluetooth::PeripheralDelegate*>(h.manager.get()));
        h->didConnect(machine);
        QVERIFY(!h->isConnected());
        drain();
        QVERIFY(h->isConnected());
        QCOMPARE(seenAtConnected, (QStringList{line, QStringLiteral("1")}));
        QCOMPARE(machine->discoverServicesRequests.first(),
                 QList<QBluetoothUuid>{QBluetoothUuid(quint16(0x1826))});
        QCOMPARE(h->statusMessage(), QStringLiteral("connection.connected"));
        // Characteristics of the Fitness Machine Service only; no service list yet: nothing.
        h->didDiscoverServices(machine, std::nullopt);
        auto ftms = makeService(0x1826);
        machine->servicesList = QList<bluetooth::ServicePtr>{makeService(0x180A), ftms};
        h->didDiscoverServices(machine, QStringLiteral("ignored error"));
        QCOMPARE(machine->discoverCharacteristicsRequests,
                 (QList<std::pair<QList<QBluetoothUuid>, bluetooth::ServicePtr>>{
                     {{QBluetoothUuid(quint16(0x2ACC)), QBluetoothUuid(quint16(0x2AD1)),
                       QBluetoothUuid(quint16(0x2AD2)), QBluetoothUuid(quint16(0x2ACD)),
                       QBluetoothUuid(quint16(0x2ACE))},
                      ftms}}));
        using Sent = QList<std::pair<QString, QMap<QString, QString>>>;
        QCOMPARE(h.sent, (analytics ? Sent{{QStringLiteral("deviceConnected"),
                                            {{QStringLiteral("deviceName"), name}}}}
                                    : Sent{}));
    }

    // (A bike listing the feature, then its data, is the end-to-end test's.)
    void detection_data() {
        QTest::addColumn<QList<int>>("listed");
        QTest::addColumn<int>("subscribed"); // index into listed, -1 for none
        QTest::addColumn<EquipmentType>("type");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("reads");
        QTest::newRow("treadmill listed before bike")
            << QList<int>{0x2ACD, 0x2AD2, 0x2ACC} << 0 << EquipmentType::treadmill
            << QStringLiteral("equipment.detected.treadmill") << 1;
        QTest::newRow("feature listed twice")
            << QList<int>{0x2ACC, 0x2AD1, 0x2ACC} << 1 << EquipmentType::rower
            << QStringLiteral("equipment.detected.rower") << 1;
        QTest::newRow("cross trainer, no feature")
            << QList<int>{0x2AD9, 0x2ACE} << 1 << EquipmentType::crossTrainer
            << QStringLiteral("equipment.detected.crossTrainer") << 0;
        QTest::newRow("no data characteristic")
            << QList<int>{0x2ACC, 0x2AD9} << -1 << EquipmentType::unknown
            << QStringLiteral("connection.connected") << 1;
    }
    void detection() {
        QFETCH(QList<int>, listed);
        QFETCH(int, subscribed);
        QFETCH(EquipmentType, type);
        QFETCH(QString, status);
        QFETCH(int, reads);
        Harness h;
        auto machine = makePeripheral(1, QStringLiteral("Gym Machine"));
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
        QCOMPARE(machine->reads, (reads ? QList{characteristics.at(listed.indexOf(0x2ACC))}
                                        : QList<CharacteristicPtr>{}));
        QCOMPARE(machine->notifications,
                 (subscribed >= 0 ? QList{std::pair(true, characteristics.at(subscribed))}
                                  : QList<std::pair<bool, CharacteristicPtr>>{}));
        QVERIFY(h->machineFeatures().deviceName.isEmpty()); // published on a later turn
        drain();
        QCOMPARE(h->statusMessage(), status);
        QCOMPARE(h->machineFeatures().deviceName,
                 subscribed >= 0 ? QStringLiteral("Gym Machine") : QString());
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
        QCOMPARE(h->logBuffer().filter(QStringLiteral("(0x2AD2)")).size(), 10);
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
        QTRY_COMPARE(h->statusMessage(), QStringLiteral("connection.noData"));
        QCOMPARE(h->logBuffer().last(),
                 QStringLiteral("NO DATA: no Indoor Bike Data (0x2AD2) within 0.01 s of "
                                "subscribing"));
        notify(h, bike, data, QByteArray::fromHex("4000f401"));
        drain();
        QCOMPARE(h->statusMessage(), QStringLiteral("equipment.detected.bike"));
    }

    // By the characteristic: any data characteristic goes to the current parser (the unchanged
    // copy without one), anything else is only logged, an absent value is dropped.
    void valuesAreRoutedByUuid() {
        Harness h;
        auto machine = makePeripheral(1);
        FitnessMetrics start;
        start.power = 42;
        h->publishMetrics(start);
        notify(h, machine, makeCharacteristic(0x2ACD), QByteArray::fromHex("0000e803"));
        drain();
        QCOMPARE(h->metrics().speed, 0.0);
        QCOMPARE(h->powerHistory(), (QList<qint64>{42, 42}));

        auto [bike, data] = connectBike(h);
        notify(h, bike, makeCharacteristic(0x2AD1), QByteArray::fromHex("00002d1000"));
        QCOMPARE(h->logBuffer().last(),
                 QStringLiteral("[14:03:07] Rower Data (0x2AD1): 00 00 2D 10 00"));
        notify(h, bike, makeCharacteristic(0x2AD9), QByteArray("\x01", 1));
        h->didUpdateValue(bike, makeCharacteristic(0x2AD9), std::nullopt); // no value
        auto custom = makeCharacteristic(0);
        custom->uuid = QBluetoothUuid(QStringLiteral("{6e400003-b5a3-f393-e0a9-e50e24dcca9e}"));
        notify(h, bike, custom, QByteArray());
        drain();
        QCOMPARE(h->logBuffer().mid(h->logBuffer().size() - 2),
                 (QStringList{QStringLiteral("[14:03:07] Unknown Characteristic (2AD9): 01"),
                              QStringLiteral("[14:03:07] Unknown Characteristic "
                                             "(6E400003-B5A3-F393-E0A9-E50E24DCCA9E): ")}));
        QCOMPARE(h->metrics().equipmentType, EquipmentType::bike); // the bike's parser read it
        QCOMPARE(h->powerHistory().size(), 3);
    }

    // Logged whatever its length; a value too short for both fields changes nothing, a full one
    // each flag on its own (which bit sets which flag is the feature decoder's test).
    void featureValues() {
        Harness h;
        QSignalSpy willChange(h.manager.get(), &FTMSManager::objectWillChange);
        auto machine = makePeripheral(1);
        notify(h, machine, makeCharacteristic(0x2ACC), QByteArray::fromHex("ffffffffffffff"));
        drain();
        QCOMPARE(willChange.size(), 0);
        notify(h, machine, makeCharacteristic(0x2ACC), QByteArray::fromHex("8640000004000000"));
        drain();
        QCOMPARE(willChange.size(), 20);
        const QString line = QStringLiteral("[14:03:07] Fitness Machine Feature (0x2ACC): ");
        QCOMPARE(h->logBuffer().mid(1),
                 (QStringList{line + QStringLiteral("FF FF FF FF FF FF FF"),
                              line + QStringLiteral("86 40 00 00 04 00 00 00"),
                              QStringLiteral("FEATURES: Cadence, Distance, Resistance, Power")}));
    }

    void simulationStopResetsEverythingAtOnce() {
        Harness h;
        auto [bike, data] = connectBike(h);
        h->applyFeatures(0xFFFF, 0x1F);
        h->didDisconnect(bike, std::nullopt);
        drain(); // no peripheral any more, so disconnect() stops the simulation
        h->isSimulatingPublisher().set(true);
        h->isConnectedPublisher().set(true);
        h->publishMetrics(h->metrics());
        QSignalSpy willChange(h.manager.get(), &FTMSManager::objectWillChange);
        h->disconnect();
        QCOMPARE(willChange.size(), 6); // one per published field it assigns
        QVERIFY(!h->isSimulating());
        QVERIFY(!h->isConnected());
        QVERIFY(h->powerHistory().isEmpty());
        QVERIFY(h->machineFeatures().deviceName.isEmpty());
        QVERIFY(!h->machineFeatures().powerMeasurementSupported);
        QCOMPARE(h->statusMessage(), QStringLiteral("simulation.stopped"));
        QCOMPARE(h->logBuffer().last(), QStringLiteral("SIMULATION STOPPED"));
        // Without a simulation, disconnect() with nothing connected does nothing.
        h->disconnect();
        QCOMPARE(willChange.size(), 6);
    }

    // A strap chosen in an earlier run: listened for once the machine streams, listening stops
    // before it is connected, its heart rate replaces the machine's without a power sample, and
    // it goes with the machine.
    void rememberedStrapJoinsTheStreamingMachine() {
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("prefs.ini")), QSettings::IniFormat);
        auto strap = makePeripheral(2, QStringLiteral("Polar H10 8A2B3C4D"));
        settings.setValue(QStringLiteral("heartRateStrap"), strap->identifier().toString());
        Harness h;
        HeartRateStrapManager& straps = *h->heartRateStraps();
        straps.setSettings(&settings);
        QCOMPARE(straps.chosenName(), QStringLiteral("deviceList.unknownDevice"));
        h.central->currentState = bluetooth::CentralState::poweredOn;
        auto [bike, data] = connectBike(h);
        QVERIFY(h.central->scanRequests.isEmpty());
        notify(h, bike, data, QByteArray::fromHex("4102 4000 5A")); // power 64, heart rate 90
        drain();
        QCOMPARE(h.central->scanRequests,
                 (QList<QList<QBluetoothUuid>>{{QBluetoothUuid(quint16(0x180D))}}));

        const qsizetype requests = h.central->requests.size();
        h->didDiscover(strap, {}, -48);
        drain();
        QVERIFY(h->discoveredDevices().isEmpty()); // heard as a strap, not as a machine
        QCOMPARE(h.central->requests.mid(requests),
                 (QStringList{QStringLiteral("stop"), QStringLiteral("connect")}));
        QCOMPARE(h.central->connectRequests.last(), strap);
        h->didConnect(strap);
        QCOMPARE(h.sent.last().second, (QMap<QString, QString>{{QStringLiteral("strapModel"),
                                                                QStringLiteral("Polar H10")}}));
        QVERIFY(h->logBuffer().last().startsWith(
            QStringLiteral("STRAP CONNECTED: Polar H10 8A2B3C4D [")));
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
        QCOMPARE(settings.value(QStringLiteral("heartRateStrapName")).toString(),
                 QStringLiteral("Polar H10 8A2B3C4D"));

        h->didDisconnect(bike, std::nullopt);
        drain();
        QCOMPARE(h.central->cancelRequests, QList<bluetooth::PeripheralPtr>{strap});
        h->didDisconnect(strap, std::nullopt);
        QVERIFY(!straps.hasLink());
        QCOMPARE(h->logBuffer().last(), QStringLiteral("STRAP DISCONNECTED: Polar H10 8A2B3C4D"));
    }

    void strapModelLeavesOutSerialNumbers_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("model");
        QTest::newRow("hex serial") << "Polar H10 8A2B3C4D"
                                    << "Polar H10";
        QTest::newRow("after a dash") << "HR Strap S2-5C1E"
                                      << "HR Strap S2";
        QTest::newRow("after a colon") << "HRM-Pro:123456"
                                       << "HRM-Pro";
        QTest::newRow("short model numbers stay") << "Forerunner 945"
                                                  << "Forerunner 945";
        QTest::newRow("words of hex letters stay") << "Decathlon Dual HR Bead"
                                                   << "Decathlon Dual HR Bead";
    }
    void strapModelLeavesOutSerialNumbers() {
        QFETCH(QString, name);
        QFETCH(QString, model);
        QCOMPARE(HeartRateStrapManager::modelName(name), model);
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
