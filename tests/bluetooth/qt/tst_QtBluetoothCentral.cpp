// The QtBluetooth central against fake_bluez.py: what reaches the delegates, and what the
// central asks of bluetoothd.

#include "FakeBluez.h"
#include "bluetooth/qt/QtBluetoothCentral.h"

#include <QTest>

#include <algorithm>

using namespace tallyfin::bluetooth;
using namespace tallyfin::testing;

namespace {

const QBluetoothUuid ftmsService(quint16(0x1826));
const QList<QBluetoothUuid> ftmsCharacteristics{
    QBluetoothUuid(quint16(0x2ACC)), QBluetoothUuid(quint16(0x2AD1)),
    QBluetoothUuid(quint16(0x2AD2)), QBluetoothUuid(quint16(0x2ACD)),
    QBluetoothUuid(quint16(0x2ACE))};

struct Event {
    enum Kind { state, discover, connect, disconnect, fail, services, characteristics, value };
    explicit Event(Kind kind, PeripheralPtr peripheral = nullptr)
        : kind(kind)
        , peripheral(std::move(peripheral)) {}
    Kind kind;
    PeripheralPtr peripheral;
    CentralState centralState = CentralState::unknown;
    QVariantMap advertisement;
    int rssi = 0;
    ServicePtr service;
    CharacteristicPtr characteristic;
    std::optional<QByteArray> bytes;
    std::optional<QString> error;
};

// Records every delegate call, and whether each came on the main thread.
class Recorder final : public CentralDelegate, public PeripheralDelegate {
public:
    QList<Event> events;
    int offMainThread = 0;

    QList<Event> of(Event::Kind kind) const {
        QList<Event> matching;
        std::copy_if(events.cbegin(), events.cend(), std::back_inserter(matching),
                     [kind](const Event& event) { return event.kind == kind; });
        return matching;
    }
    QList<Event> discoveriesOf(const QString& name) const {
        QList<Event> matching;
        for (const Event& event : of(Event::discover)) {
            if (event.peripheral->name() == name) {
                matching.append(event);
            }
        }
        return matching;
    }

    void centralDidUpdateState(CentralState state) override {
        Event event(Event::state);
        event.centralState = state;
        add(event);
    }
    void didDiscover(const PeripheralPtr& peripheral, const QVariantMap& advertisement,
                     int rssi) override {
        Event event(Event::discover, peripheral);
        event.advertisement = advertisement;
        event.rssi = rssi;
        add(event);
    }
    void didConnect(const PeripheralPtr& peripheral) override {
        add(Event(Event::connect, peripheral));
    }
    void didDisconnect(const PeripheralPtr& peripheral,
                       const std::optional<QString>& error) override {
        Event event(Event::disconnect, peripheral);
        event.error = error;
        add(event);
    }
    void didFailToConnect(const PeripheralPtr& peripheral,
                          const std::optional<QString>& error) override {
        Event event(Event::fail, peripheral);
        event.error = error;
        add(event);
    }
    void didDiscoverServices(const PeripheralPtr& peripheral,
                             const std::optional<QString>& error) override {
        Event event(Event::services, peripheral);
        event.error = error;
        add(event);
    }
    void didDiscoverCharacteristics(const PeripheralPtr& peripheral, const ServicePtr& service,
                                    const std::optional<QString>& error) override {
        Event event(Event::characteristics, peripheral);
        event.service = service;
        event.error = error;
        add(event);
    }
    void didUpdateValue(const PeripheralPtr& peripheral, const CharacteristicPtr& characteristic,
                        const std::optional<QString>& error) override {
        Event event(Event::value, peripheral);
        event.characteristic = characteristic;
        event.bytes = characteristic->value;
        event.error = error;
        add(event);
    }

private:
    void add(const Event& event) {
        if (!onMainThread()) {
            ++offMainThread;
        }
        events.append(event);
    }
};

QByteArray bikeData(quint16 speed, quint16 cadence, qint16 power) {
    QByteArray data;
    for (const quint16 field : {quint16(0x0044), speed, cadence, quint16(power)}) {
        data.append(char(field & 0xFF)).append(char(field >> 8));
    }
    return data;
}

} // namespace

class tst_QtBluetoothCentral : public QObject {
    Q_OBJECT

private:
    FakeBluezControl m_fake;

    // Scans with a fresh central until the named machine is reported; returns its handle.
    PeripheralPtr find(Central& central, Recorder& recorder, const QString& name) {
        if (central.state() != CentralState::poweredOn) {
            [&] {
                QTRY_VERIFY_WITH_TIMEOUT(!recorder.of(Event::state).isEmpty(), fakeBluezTimeoutMs);
            }();
        }
        central.scanForPeripherals({ftmsService});
        [&] {
            QTRY_VERIFY_WITH_TIMEOUT(!recorder.discoveriesOf(name).isEmpty(), fakeBluezTimeoutMs);
        }();
        central.stopScan();
        return recorder.discoveriesOf(name).isEmpty()
                   ? nullptr
                   : recorder.discoveriesOf(name).first().peripheral;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(m_fake.isValid(), "run under with_fake_bluez.py");
        QVERIFY(m_fake.setPowered(true));
    }

    void stateMapping_data() {
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QBluetoothLocalDevice::HostMode>("mode");
        QTest::addColumn<bool>("denied");
        QTest::addColumn<CentralState>("expected");
        QTest::newRow("no adapter")
            << false << QBluetoothLocalDevice::HostPoweredOff << false << CentralState::unsupported;
        QTest::newRow("off") << true << QBluetoothLocalDevice::HostPoweredOff << false
                             << CentralState::poweredOff;
        QTest::newRow("connectable")
            << true << QBluetoothLocalDevice::HostConnectable << false << CentralState::poweredOn;
        QTest::newRow("permission refused")
            << true << QBluetoothLocalDevice::HostConnectable << true << CentralState::unauthorized;
    }
    void stateMapping() {
        QFETCH(bool, valid);
        QFETCH(QBluetoothLocalDevice::HostMode, mode);
        QFETCH(bool, denied);
        QFETCH(CentralState, expected);
        QCOMPARE(centralStateFor(valid, mode, denied), expected);
    }

    void identifierIsStablePerAddress() {
        const QBluetoothDeviceInfo first(QBluetoothAddress(QStringLiteral("C0:FF:EE:00:00:01")),
                                         QStringLiteral("a"), 0);
        const QBluetoothDeviceInfo renamed(QBluetoothAddress(QStringLiteral("C0:FF:EE:00:00:01")),
                                           QStringLiteral("b"), 0);
        const QBluetoothDeviceInfo other(QBluetoothAddress(QStringLiteral("C0:FF:EE:00:00:02")),
                                         QStringLiteral("a"), 0);
        QVERIFY(!peripheralIdentifier(first).isNull());
        QCOMPARE(peripheralIdentifier(first), peripheralIdentifier(renamed));
        QVERIFY(peripheralIdentifier(first) != peripheralIdentifier(other));
    }

    void stateIsReportedAfterConstruction() {
        Recorder recorder;
        QtBluetoothCentral central(recorder);
        // Nothing is known, and nothing reported, before the event loop runs.
        QCOMPARE(central.state(), CentralState::unknown);
        QVERIFY(recorder.events.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(recorder.of(Event::state).size(), 1, fakeBluezTimeoutMs);
        QCOMPARE(recorder.events.first().centralState, CentralState::poweredOn);
        QCOMPARE(central.state(), CentralState::poweredOn);

        QVERIFY(m_fake.setPowered(false));
        QTRY_COMPARE_WITH_TIMEOUT(central.state(), CentralState::poweredOff, fakeBluezTimeoutMs);
        QVERIFY(m_fake.setPowered(true));
        QTRY_COMPARE_WITH_TIMEOUT(central.state(), CentralState::poweredOn, fakeBluezTimeoutMs);
        const QList<Event> states = recorder.of(Event::state);
        QCOMPARE(states.size(), 3);
        QCOMPARE(states.at(1).centralState, CentralState::poweredOff);
        QCOMPARE(states.at(2).centralState, CentralState::poweredOn);
        QCOMPARE(recorder.offMainThread, 0);
    }

    void scanReportsFitnessMachinesOnly() {
        Recorder recorder;
        QtBluetoothCentral central(recorder);
        QTRY_COMPARE_WITH_TIMEOUT(central.state(), CentralState::poweredOn, fakeBluezTimeoutMs);
        central.scanForPeripherals({ftmsService});
        // The bike advertises again with a stronger signal shortly after it first appears.
        QTRY_VERIFY_WITH_TIMEOUT(!recorder.discoveriesOf(bikeName()).isEmpty() &&
                                     recorder.discoveriesOf(bikeName()).last().rssi == -55,
                                 fakeBluezTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!recorder.discoveriesOf(unreachableBikeName()).isEmpty(),
                                 fakeBluezTimeoutMs);
        central.stopScan();

        // One report per advertisement (QtBluetooth signals each change twice); two that arrive
        // together may merge into the latest.
        const QList<Event> bike = recorder.discoveriesOf(bikeName());
        QVERIFY(bike.size() <= 2);
        QCOMPARE(bike.first().rssi, bike.size() == 2 ? -61 : -55);
        for (const Event& report : bike) {
            // The same machine is always the same handle.
            QCOMPARE(report.peripheral, bike.first().peripheral);
            QCOMPARE(report.advertisement.value(QLatin1String(advertisement::localName)),
                     QVariant(bikeName()));
            QCOMPARE(report.advertisement.value(QLatin1String(advertisement::manufacturerData)),
                     QVariant(QByteArray::fromHex("5900010203")));
            QCOMPARE(report.advertisement.value(QLatin1String(advertisement::txPowerLevel)),
                     QVariant(4));
        }
        const Event rower = recorder.discoveriesOf(rowerName()).first();
        QCOMPARE(rower.rssi, -70);
        QVERIFY(!rower.advertisement.contains(QLatin1String(advertisement::manufacturerData)));
        QVERIFY(!rower.advertisement.contains(QLatin1String(advertisement::txPowerLevel)));
        QVERIFY(rower.peripheral->identifier() != bike.first().peripheral->identifier());

        QVERIFY(recorder.discoveriesOf(heartStrapName()).isEmpty());
        // bluetoothd lists a machine from an earlier scan that is not advertising now.
        QVERIFY(recorder.discoveriesOf(rememberedBikeName()).isEmpty());
        QCOMPARE(recorder.offMainThread, 0);

        // Once stopped, no more reports.
        const qsizetype reports = recorder.of(Event::discover).size();
        QTest::qWait(800);
        QCOMPARE(recorder.of(Event::discover).size(), reports);

        // A new scan reports the machines already seen again, under the same handles.
        central.scanForPeripherals({ftmsService});
        QTRY_VERIFY_WITH_TIMEOUT(recorder.discoveriesOf(rowerName()).size() >= 2,
                                 fakeBluezTimeoutMs);
        QCOMPARE(recorder.discoveriesOf(rowerName()).last().peripheral, rower.peripheral);

        // The remembered machine is reported once it is heard.
        QVERIFY(m_fake.advertise(rememberedBikeAddress(), -66));
        QTRY_COMPARE_WITH_TIMEOUT(recorder.discoveriesOf(rememberedBikeName()).size(), 1,
                                  fakeBluezTimeoutMs);
        QCOMPARE(recorder.discoveriesOf(rememberedBikeName()).first().rssi, -66);
        central.stopScan();
    }

    void connectReadAndNotify() {
        Recorder recorder;
        QtBluetoothCentral central(recorder);
        const PeripheralPtr bike = find(central, recorder, bikeName());
        QVERIFY(bike);
        QCOMPARE(bike->name(), std::optional<QString>(bikeName()));
        QVERIFY(!bike->services());
        bike->setDelegate(&recorder);
        const qsizetype callsBefore = m_fake.calls().size();

        central.connect(bike);
        QTRY_COMPARE_WITH_TIMEOUT(recorder.of(Event::connect).size(), 1, fakeBluezTimeoutMs);
        QCOMPARE(recorder.of(Event::connect).first().peripheral, bike);

        bike->discoverServices({ftmsService});
        QTRY_COMPARE_WITH_TIMEOUT(recorder.of(Event::services).size(), 1, fakeBluezTimeoutMs);
        // Only the service asked for; the machine's Device Information service is left out.
        QVERIFY(bike->services());
        QCOMPARE(bike->services()->size(), 1);
        const ServicePtr service = bike->services()->first();
        QCOMPARE(service->uuid, ftmsService);
        QVERIFY(!service->characteristics);

        bike->discoverCharacteristics(ftmsCharacteristics, service);
        QTRY_COMPARE_WITH_TIMEOUT(recorder.of(Event::characteristics).size(), 1,
                                  fakeBluezTimeoutMs);
        QCOMPARE(recorder.of(Event::characteristics).first().service, service);
        // In the machine's order; the control point was not asked for.
        QVERIFY(service->characteristics);
        QCOMPARE(service->characteristics->size(), 2);
        const CharacteristicPtr feature = service->characteristics->at(0);
        const CharacteristicPtr data = service->characteristics->at(1);
        QCOMPARE(feature->uuid, QBluetoothUuid(quint16(0x2ACC)));
        QCOMPARE(data->uuid, QBluetoothUuid(quint16(0x2AD2)));
        QVERIFY(!feature->value);

        bike->readValue(feature);
        QTRY_COMPARE_WITH_TIMEOUT(recorder.of(Event::value).size(), 1, fakeBluezTimeoutMs);
        const Event read = recorder.of(Event::value).first();
        QCOMPARE(read.characteristic, feature);
        QCOMPARE(read.bytes, std::optional(QByteArray::fromHex("0240000008000000")));
        QCOMPARE(read.error, std::nullopt);

        bike->setNotifyValue(true, data);
        QTRY_COMPARE_WITH_TIMEOUT(recorder.of(Event::value).size(), 6, fakeBluezTimeoutMs);
        const QList<QByteArray> expected{bikeData(2500, 160, 150), bikeData(2600, 170, 160),
                                         bikeData(2700, 180, 170), bikeData(2800, 181, 180),
                                         bikeData(2950, 184, 205)};
        const QList<Event> values = recorder.of(Event::value);
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QCOMPARE(values.at(i + 1).characteristic, data);
            QCOMPARE(values.at(i + 1).bytes, std::optional(expected.at(i)));
        }

        // One read, notifications on the data characteristic only, no write of any kind but
        // the subscription (which BlueZ turns into StartNotify).
        QCOMPARE(m_fake.callsContaining(QStringLiteral("ReadValue"), callsBefore),
                 QStringList{QStringLiteral("GattCharacteristic1.ReadValue "
                                            "/org/bluez/hci0/dev_C0_FF_EE_00_00_01/service0012/"
                                            "char0013 2ACC")});
        const QStringList notify = m_fake.callsContaining(QStringLiteral("Notify"), callsBefore);
        QCOMPARE(notify.size(), 1);
        QVERIFY2(notify.first().endsWith(QLatin1String(" 2AD2")), qPrintable(notify.first()));
        QCOMPARE(m_fake.callsContaining(QStringLiteral("WriteValue"), callsBefore), QStringList());

        central.cancelConnection(bike);
        QTRY_COMPARE_WITH_TIMEOUT(recorder.of(Event::disconnect).size(), 1, fakeBluezTimeoutMs);
        QCOMPARE(recorder.of(Event::disconnect).first().peripheral, bike);
        QCOMPARE(recorder.of(Event::disconnect).first().error, std::nullopt);
        QVERIFY(!bike->services());
        QCOMPARE(recorder.of(Event::fail).size(), 0);
        QCOMPARE(recorder.offMainThread, 0);
    }

    void connectionFails() {
        Recorder recorder;
        QtBluetoothCentral central(recorder);
        const PeripheralPtr unreachable = find(central, recorder, unreachableBikeName());
        QVERIFY(unreachable);
        central.connect(unreachable);
        QTRY_COMPARE_WITH_TIMEOUT(recorder.of(Event::fail).size(), 1, fakeBluezTimeoutMs);
        const Event failure = recorder.of(Event::fail).first();
        QCOMPARE(failure.peripheral, unreachable);
        QVERIFY(failure.error);
        QVERIFY(!failure.error->isEmpty());
        // Failure is final for this attempt: nothing else follows.
        QTest::qWait(500);
        QCOMPARE(recorder.of(Event::connect).size(), 0);
        QCOMPARE(recorder.of(Event::disconnect).size(), 0);
        QCOMPARE(recorder.of(Event::fail).size(), 1);
        QCOMPARE(recorder.offMainThread, 0);

        // Cancelled before the stack gives up: the attempt ends as a disconnection.
        central.connect(unreachable);
        central.cancelConnection(unreachable);
        QTRY_COMPARE_WITH_TIMEOUT(recorder.of(Event::disconnect).size(), 1, fakeBluezTimeoutMs);
        QCOMPARE(recorder.of(Event::disconnect).first().peripheral, unreachable);
        QTest::qWait(500);
        QCOMPARE(recorder.of(Event::fail).size(), 1);
        QCOMPARE(recorder.of(Event::disconnect).size(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_QtBluetoothCentral)
#include "tst_QtBluetoothCentral.moc"
