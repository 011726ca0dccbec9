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
        const QByteArrayView key(id);
        if (key == "connection.connecting") {
            return QStringLiteral("Connecting to %1");
        }
        if (key == "connection.connected") {
            return QStringLiteral("Connected to %1");
        }
        if (key == "connection.connectionFailed") {
            return QStringLiteral("Connection failed: %1");
        }
        return {};
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
    auto service = makeService(0x1826, QList<CharacteristicPtr>{data});
    h->didDiscoverCharacteristics(bike, service, std::nullopt);
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
        QTest::newRow("empty") << QVariantMap{} << QStringLiteral("v? (?)");
    }
    void versionLine() {
        QFETCH(QVariantMap, info);
        QFETCH(QString, versions);
        Harness h(info);
        QCOMPARE(h->logBuffer().first(), QStringLiteral("Tallyfin ") + versions +
                                             QStringLiteral(" \u2014 ") +
                                             QSysInfo::prettyProductName());
    }

    void logKeepsTheLast500Lines() {
        Harness h;
        const QString version = h->logBuffer().first();
        for (int i = 1; i <= 499; ++i) {
            h->appendLog(QString::number(i));
        }
        QCOMPARE(h->logBuffer().size(), 500);
        QCOMPARE(h->logBuffer().first(), version);
        h->appendLog(QStringLiteral("500"));
        QCOMPARE(h->logBuffer().size(), 500);
        QCOMPARE(h->logBuffer().first(), QStringLiteral("1"));
        QCOMPARE(h->logBuffer().last(), QStringLiteral("500"));
        QCOMPARE(h->logText().count(QLatin1Char('\n')), 499);
    }

    void unknown128BitLabelUsesTheCanonicalText() {
        QCOMPARE(FTMSManager::label(
                     QBluetoothUuid(QStringLiteral("{6e400003-b5a3-f393-e0a9-e50e24dcca9e}"))),
                 QStringLiteral("Unknown Characteristic (6E400003-B5A3-F393-E0A9-E50E24DCCA9E)"));
    }

    void rawDataLineUsesTheLocalesTime() {
        Harness h;
        h->logRawData(QByteArray("\x0a\xff", 2), QStringLiteral("Indoor Bike Data (0x2AD2)"));
        QCOMPARE(h->logBuffer().last(),
                 QStringLiteral("[14:03:07] Indoor Bike Data (0x2AD2): 0A FF"));
        QLocale::setDefault(QLocale(QStringLiteral("en_US")));
        h->logRawData({}, QStringLiteral("Rower Data (0x2AD1)"));
        QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
        QCOMPARE(h->logBuffer().last(), QStringLiteral("[2:03:07\u202FPM] Rower Data (0x2AD1): ")
                                            .replace(QChar(0x202F), h->logBuffer().last().at(8)));
    }

    // Published fields: will-change before every assignment, the stream starts with the value.
    void publishedFieldSemantics() {
        Harness h;
        QList<QString> events;
        QObject::connect(h.manager.get(), &FTMSManager::objectWillChange, [&] {
            events.append(QStringLiteral("will:") + (h->isScanning() ? u"1" : u"0"));
        });
        auto subscription = h->isScanningPublisher().subscribe(
            [&](bool value) { events.append(QStringLiteral("value:") + (value ? u"1" : u"0")); });
        QCOMPARE(events, QStringList{QStringLiteral("value:0")});
        events.clear();
        h->isScanningPublisher().set(false); // equal value: still notifies
        h->isScanningPublisher().set(true);
        QCOMPARE(events, (QStringList{QStringLiteral("will:0"), QStringLiteral("value:0"),
                                      QStringLiteral("will:0"), QStringLiteral("value:1")}));
        subscription.cancel();
        events.clear();
        h->isScanningPublisher().set(false);
        QCOMPARE(events, QStringList{QStringLiteral("will:1")});
    }

    void startScanningByState_data() {
        QTest::addColumn<bluetooth::CentralState>("state");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("scans");
        using S = bluetooth::CentralState;
        QTest::newRow("unsupported")
            << S::unsupported << QStringLiteral("bluetooth.unsupported") << false;
        QTest::newRow("unauthorized")
            << S::unauthorized << QStringLiteral("bluetooth.unauthorized") << false;
        QTest::newRow("powered off")
            << S::poweredOff << QStringLiteral("bluetooth.poweredOff") << false;
        QTest::newRow("powered on")
            << S::poweredOn << QStringLiteral("connection.scanning") << true;
    }
    void startScanningByState() {
        QFETCH(bluetooth::CentralState, state);
        QFETCH(QString, status);
        QFETCH(bool, scans);
        Harness h;
        auto known = makePeripheral(7);
        h->recordAdvertisement(known, {-50, {}, {}, {}});
        h.central->currentState = state;
        h->startScanning();
        QCOMPARE(h->statusMessage(), status);
        QCOMPARE(h->isScanning(), scans);
        QCOMPARE(h->discoveredDevices().isEmpty(), scans);
        QCOMPARE(h->deviceInfos().size(), 1); // advertisements are never forgotten
        QCOMPARE(h.central->scanRequests.size(), scans ? 1 : 0);
        if (scans) {
            QCOMPARE(h.central->scanRequests.first(),
                     QList<QBluetoothUuid>{QBluetoothUuid(quint16(0x1826))});
        }
    }

    void scanningRetriesWhileTheStateIsUnknown() {
        QCOMPARE(FTMSManager(bluetooth::CentralFactory(), ApplicationInfo()).scanRetryInterval(),
                 500ms);
        Harness h;
        h->startScanning();
        QCOMPARE(h.central->stateReads, 1);
        drain();
        QVERIFY(h.central->stateReads >= 2); // asked again on later turns
        QCOMPARE(h.central->scanRequests.size(), 0);
        QCOMPARE(h->isScanning(), false);
        QCOMPARE(h->statusMessage(), QStringLiteral("connection.ready"));
        h.central->currentState = bluetooth::CentralState::resetting;
        drain();
        h.central->currentState = bluetooth::CentralState::poweredOn;
        drain();
        QCOMPARE(h.central->scanRequests.size(), 1);
        QVERIFY(h->isScanning());
        const int reads = h.central->stateReads;
        drain();
        QCOMPARE(h.central->stateReads, reads); // retrying ended
    }

    void stateReportsOnlySetTheStatus_data() {
        QTest::addColumn<bluetooth::CentralState>("state");
        QTest::addColumn<QString>("status");
        using S = bluetooth::CentralState;
        QTest::newRow("unknown") << S::unknown << QStringLiteral("bluetooth.unavailable");
        QTest::newRow("powered off") << S::poweredOff << QStringLiteral("bluetooth.poweredOff");
        QTest::newRow("powered on") << S::poweredOn << QStringLiteral("bluetooth.ready");
    }
    void stateReportsOnlySetTheStatus() {
        QFETCH(bluetooth::CentralState, state);
        QFETCH(QString, status);
        Harness h;
        h.central->currentState = bluetooth::CentralState::poweredOn;
        h->startScanning();
        h.central->currentState = state;
        h->centralDidUpdateState(state);
        QCOMPARE(h->statusMessage(), status);
        QVERIFY(h->isScanning());
        QCOMPARE(h.central->scanRequests.size(), 1);
        QCOMPARE(h.central->stopScanRequests, 0);
    }

    void discoveryKeepsOneEntryWithTheLatestAdvertisement() {
        Harness h;
        auto first = makePeripheral(1);
        auto second = makePeripheral(2, std::nullopt);
        auto firstAgain = makePeripheral(1); // another handle for the same machine
        namespace ad = bluetooth::advertisement;
        h->didDiscover(first,
                       {{QLatin1String(ad::localName), QStringLiteral("Bike")},
                        {QLatin1String(ad::manufacturerData), QByteArray("\x01\x02", 2)},
                        {QLatin1String(ad::txPowerLevel), 4}},
                       -70);
        QVERIFY(h->discoveredDevices().isEmpty()); // recorded on a later turn
        h->didDiscover(second, {}, -80);
        // Values of the wrong kind are dropped one by one.
        h->didDiscover(firstAgain,
                       {{QLatin1String(ad::localName), 5},
                        {QLatin1String(ad::manufacturerData), QStringLiteral("text")},
                        {QLatin1String(ad::txPowerLevel), -8}},
                       -55);
        drain();
        QCOMPARE(h->discoveredDevices().size(), 2);
        QCOMPARE(h->discoveredDevices().at(0), first);
        const DeviceAdvertisementInfo info = h->deviceInfos().value(first->identifier());
        QCOMPARE(info.rssi, -55);
        QCOMPARE(info.localName, std::nullopt);
        QCOMPARE(info.manufacturerData, std::nullopt);
        QCOMPARE(info.txPowerLevel, std::optional<qint64>(-8));

        DeviceListModel& model = *h->deviceList();
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.data(model.index(0), DeviceListModel::RssiRole).toInt(), -55);
        QCOMPARE(model.data(model.index(1), DeviceListModel::NameRole).toString(),
                 QStringLiteral("deviceList.unknownDevice"));
        QVERIFY(!model.data(model.index(1), DeviceListModel::TxPowerLevelRole).isValid());
        QCOMPARE(model.get(0).value(QStringLiteral("id")).toString(),
                 first->identifier().toString(QUuid::WithoutBraces));
    }

    void connectStopsTheScanAndRequestsAConnection() {
        StatusTable table;
        QCoreApplication::installTranslator(&table);
        Harness h;
        h.central->currentState = bluetooth::CentralState::poweredOn;
        h->startScanning();
        auto bike = makePeripheral(1, QStringLiteral("Indoor Bike"));
        h->recordAdvertisement(bike, {-60, {}, {}, {}});
        QVERIFY(h->connectDevice(bike->identifier().toString()));
        QCOMPARE(h.central->stopScanRequests, 1);
        QVERIFY(!h->isScanning());
        QCOMPARE(h->statusMessage(), QStringLiteral("Connecting to Indoor Bike"));
        QCOMPARE(h->connectedPeripheral(), bike);
        QCOMPARE(bike->delegate, static_cast<bluetooth::PeripheralDelegate*>(h.manager.get()));
        QCOMPARE(h.central->connectRequests, QList<bluetooth::PeripheralPtr>{bike});
        QVERIFY(!h->connectDevice(QUuid::createUuid().toString()));
        QCoreApplication::removeTranslator(&table);
    }

    void connectedLogsAndDiscoversBeforePublishing_data() {
        QTest::addColumn<bool>("advertised");
        QTest::addColumn<bool>("named");
        QTest::addColumn<bool>("analytics");
        QTest::newRow("advertised, named") << true << true << true;
        QTest::newRow("never advertised") << false << true << true;
        QTest::newRow("no name") << true << false << true;
        QTest::newRow("no analytics id") << true << true << false;
    }
    void connectedLogsAndDiscoversBeforePublishing() {
        QFETCH(bool, advertised);
        QFETCH(bool, named);
        QFETCH(bool, analytics);
        QVariantMap info = fullInfo();
        if (!analytics) {
            info.remove(QStringLiteral("TelemetryDeckAppID"));
        }
        Harness h(info);
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
        h->didConnect(machine);
        QVERIFY(!h->isConnected());
        drain();
        QVERIFY(h->isConnected());
        QCOMPARE(seenAtConnected, (QStringList{line, QStringLiteral("1")}));
        QCOMPARE(machine->discoverServicesRequests.first(),
                 QList<QBluetoothUuid>{QBluetoothUuid(quint16(0x1826))});
        QCOMPARE(h->statusMessage(), QStringLiteral("connection.connected"));
        if (analytics) {
            QCOMPARE(h.sent.size(), 1);
            QCOMPARE(h.sent.first().first, QStringLiteral("deviceConnected"));
            QCOMPARE(h.sent.first().second,
                     (QMap<QString, QString>{{QStringLiteral("deviceName"), name}}));
        } else {
            QVERIFY(h.sent.isEmpty());
        }
    }

    void servicesDiscovered() {
        Harness h;
        auto machine = makePeripheral(1);
        h->didDiscoverServices(machine, std::nullopt); // no list yet: nothing
        QVERIFY(machine->discoverCharacteristicsRequests.isEmpty());
        auto info = makeService(0x180A);
        auto ftms = makeService(0x1826);
        machine->servicesList = QList<bluetooth::ServicePtr>{info, ftms};
        h->didDiscoverServices(machine, QStringLiteral("ignored error"));
        QCOMPARE(machine->discoverCharacteristicsRequests.size(), 1);
        const auto& [uuids, service] = machine->discoverCharacteristicsRequests.first();
        QCOMPARE(service, ftms);
        QCOMPARE(uuids, (QList<QBluetoothUuid>{
                            QBluetoothUuid(quint16(0x2ACC)), QBluetoothUuid(quint16(0x2AD1)),
                            QBluetoothUuid(quint16(0x2AD2)), QBluetoothUuid(quint16(0x2ACD)),
                            QBluetoothUuid(quint16(0x2ACE))}));
    }

    void detection_data() {
        QTest::addColumn<QList<int>>("listed");
        QTest::addColumn<int>("subscribed"); // index into listed, -1 for none
        QTest::addColumn<EquipmentType>("type");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("reads");
        QTest::newRow("bike") << QList<int>{0x2ACC, 0x2AD2} << 1 << EquipmentType::bike
                              << QStringLiteral("equipment.detected.bike") << 1;
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
        QTest::newRow("empty list") << QList<int>{} << -1 << EquipmentType::unknown
                                    << QStringLiteral("connection.connected") << 0;
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
        auto service = makeService(0x1826, characteristics);
        h->didDiscoverCharacteristics(machine, service, std::nullopt);
        QCOMPARE(h->detectedEquipmentType(), type);
        QCOMPARE(h->currentParser() != nullptr, subscribed >= 0);
        QCOMPARE(machine->reads.size(), reads);
        if (reads) {
            QCOMPARE(machine->reads.first(), characteristics.at(listed.indexOf(0x2ACC)));
        }
        QCOMPARE(machine->notifications.size(), subscribed >= 0 ? 1 : 0);
        if (subscribed >= 0) {
            QCOMPARE(machine->notifications.first().first, true);
            QCOMPARE(machine->notifications.first().second, characteristics.at(subscribed));
            QVERIFY(h->machineFeatures().deviceName.isEmpty()); // published on a later turn
        }
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

    void valuesOutsideTheSubscriptionAreRoutedByUuid() {
        Harness h;
        auto [bike, data] = connectBike(h);
        // Another data characteristic still goes to the current parser (a bike's).
        auto rowerData = makeCharacteristic(0x2AD1);
        notify(h, bike, rowerData, QByteArray::fromHex("00002d1000"));
        QCOMPARE(h->logBuffer().last(),
                 QStringLiteral("[14:03:07] Rower Data (0x2AD1): 00 00 2D 10 00"));
        drain();
        QCOMPARE(h->metrics().equipmentType, EquipmentType::bike);
        QCOMPARE(h->powerHistory().size(), 1);
        // Unknown characteristic: logged, nothing published.
        notify(h, bike, makeCharacteristic(0x2AD9), QByteArray("\x01", 1));
        QCOMPARE(h->logBuffer().last(),
                 QStringLiteral("[14:03:07] Unknown Characteristic (2AD9): 01"));
        // Absent value: nothing at all.
        const int lines = int(h->logBuffer().size());
        h->didUpdateValue(bike, makeCharacteristic(0x2AD2), std::nullopt);
        drain();
        QCOMPARE(h->logBuffer().size(), lines);
        QCOMPARE(h->powerHistory().size(), 1);
    }

    void withoutParserTheUnchangedCopyIsPublished() {
        Harness h;
        auto machine = makePeripheral(1);
        h->publishMetrics([] {
            FitnessMetrics m;
            m.power = 42;
            return m;
        }());
        notify(h, machine, makeCharacteristic(0x2ACD), QByteArray::fromHex("0000e803"));
        drain();
        QCOMPARE(h->metrics().power, 42);
        QCOMPARE(h->metrics().speed, 0.0);
        QCOMPARE(h->powerHistory(), (QList<qint64>{42, 42}));
    }

    void powerHistoryKeepsTheLast120() {
        Harness h;
        for (int i = 1; i <= 121; ++i) {
            FitnessMetrics m;
            m.power = i;
            h->publishMetrics(m);
        }
        QCOMPARE(h->powerHistory().size(), 120);
        QCOMPARE(h->powerHistory().first(), 2);
        QCOMPARE(h->powerHistory().last(), 121);
    }

    void featureValues_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("line"); // empty: no FEATURES line
        QTest::addColumn<QStringList>("setFlags");
        // Which bit sets which flag is the feature decoder's own test; here: logged and applied.
        QTest::newRow("7 bytes") << QByteArray::fromHex("ffffffffffffff") << QString()
                                 << QStringList();
        QTest::newRow("bike") << QByteArray::fromHex("8640000004000000")
                              << QStringLiteral("FEATURES: Cadence, Distance, Resistance, Power")
                              << QStringList{QStringLiteral("cadenceSupported"),
                                             QStringLiteral("totalDistanceSupported"),
                                             QStringLiteral("resistanceLevelSupported"),
                                             QStringLiteral("powerMeasurementSupported"),
                                             QStringLiteral("resistanceTargetSettingSupported")};
    }
    void featureValues() {
        QFETCH(QByteArray, value);
        QFETCH(QString, line);
        QFETCH(QStringList, setFlags);
        Harness h;
        auto machine = makePeripheral(1);
        QSignalSpy willChange(h.manager.get(), &FTMSManager::objectWillChange);
        notify(h, machine, makeCharacteristic(0x2ACC), value);
        QCOMPARE(h->logBuffer().last(),
                 QStringLiteral("[14:03:07] Fitness Machine Feature (0x2ACC): ") +
                     FTMSManager::hexBytes(value).join(QLatin1Char(' ')));
        drain();
        QCOMPARE(willChange.size(), line.isEmpty() ? 0 : 20);
        if (!line.isEmpty()) {
            QCOMPARE(h->logBuffer().last(), line);
        }
        const QMetaObject& meta = FitnessMachineFeature::staticMetaObject;
        for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
            const QMetaProperty property = meta.property(i);
            if (property.metaType().id() != QMetaType::Bool) {
                continue;
            }
            const bool set = property.readOnGadget(&h->machineFeatures()).toBool();
            QVERIFY2(set == setFlags.contains(QString::fromLatin1(property.name())),
                     property.name());
        }
    }

    void disconnectionResetsLiveStateButKeepsTheMachine() {
        Harness h;
        auto [bike, data] = connectBike(h);
        h->applyFeatures(0x4000, 0);
        notify(h, bike, data, QByteArray::fromHex("4000f401"));
        drain();
        h->disconnect();
        QCOMPARE(h.central->cancelRequests, QList<bluetooth::PeripheralPtr>{bike});
        QCOMPARE(h->detectedEquipmentType(), EquipmentType::unknown);
        QVERIFY(h->isConnected()); // until the stack confirms
        h->didDisconnect(bike, QStringLiteral("ignored"));
        drain();
        QVERIFY(!h->isConnected());
        QVERIFY(!h->connectedPeripheral());
        QCOMPARE(h->metrics().power, 0);
        QCOMPARE(h->metrics().equipmentType, EquipmentType::unknown);
        QVERIFY(h->powerHistory().isEmpty());
        QCOMPARE(h->statusMessage(), QStringLiteral("connection.disconnected"));
        QCOMPARE(h->machineFeatures().deviceName, QStringLiteral("Indoor Bike"));
        QVERIFY(h->machineFeatures().powerMeasurementSupported);
        QCOMPARE(h.central->scanRequests.size(), 0);
    }

    void connectionFailureKeepsThePeripheral() {
        StatusTable table;
        QCoreApplication::installTranslator(&table);
        Harness h;
        auto machine = makePeripheral(1);
        h->connect(machine);
        h->didFailToConnect(machine, QStringLiteral("Peer removed pairing"));
        drain();
        QCOMPARE(h->statusMessage(), QStringLiteral("Connection failed: Peer removed pairing"));
        QCOMPARE(h->connectedPeripheral(), machine);
        h->didFailToConnect(machine, std::nullopt);
        drain();
        QCOMPARE(h->statusMessage(), QStringLiteral("Connection failed: "));
        QCOMPARE(h.central->connectRequests.size(), 1);
        QCoreApplication::removeTranslator(&table);
    }

    void simulationStopResetsEverythingAtOnce() {
        Harness h;
        auto [bike, data] = connectBike(h);
        h->applyFeatures(0xFFFF, 0x1F);
        notify(h, bike, data, QByteArray::fromHex("4000f401"));
        drain();
        h->isSimulatingPublisher().set(true);
        h->didDisconnect(bike, std::nullopt);
        drain(); // no peripheral any more, so disconnect() stops the simulation
        QSignalSpy willChange(h.manager.get(), &FTMSManager::objectWillChange);
        h->disconnect();
        QCOMPARE(willChange.size(), 6); // one per published field it assigns
        QVERIFY(!h->isSimulating());
        QVERIFY(!h->isConnected());
        QVERIFY(h->powerHistory().isEmpty());
        QVERIFY(h->machineFeatures().deviceName.isEmpty());
        QVERIFY(!h->machineFeatures().powerMeasurementSupported);
        QVERIFY(!h->simulationStartTime());
        QCOMPARE(h->statusMessage(), QStringLiteral("simulation.stopped"));
        QCOMPARE(h->logBuffer().last(), QStringLiteral("SIMULATION STOPPED"));
        // Without a simulation, disconnect() with nothing connected does nothing.
        willChange.clear();
        h->disconnect();
        QCOMPARE(willChange.size(), 0);
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

        const int stops = h.central->stopScanRequests;
        h->didDiscover(strap, {}, -48);
        drain();
        QCOMPARE(h.central->stopScanRequests, stops + 1);
        QCOMPARE(h.central->connectRequests.last(), strap);
        h->didConnect(strap);
        QCOMPARE(h.sent.last().second, (QMap<QString, QString>{{QStringLiteral("strapModel"),
                                                                QStringLiteral("Polar H10")}}));
        QVERIFY(h->logBuffer().last().startsWith(
            QStringLiteral("STRAP CONNECTED: Polar H10 8A2B3C4D [")));
        // The strap's own delegate hears the strap.
        auto measurement = makeCharacteristic(0x2A37, QByteArray::fromHex("1648"));
        strap->servicesList = QList<ServicePtr>{makeService(0x180D)};
        strap->delegate->didDiscoverServices(strap, std::nullopt);
        QCOMPARE(strap->discoverCharacteristicsRequests.size(), 1);
        strap->servicesList->first()->characteristics = QList<CharacteristicPtr>{measurement};
        strap->delegate->didDiscoverCharacteristics(strap, strap->servicesList->first(), {});
        QCOMPARE(strap->notifications.size(), 1);
        strap->delegate->didUpdateValue(strap, measurement, std::nullopt);
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
        QVERIFY(straps.hasLink());
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
