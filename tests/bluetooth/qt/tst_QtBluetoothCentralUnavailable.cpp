// The QtBluetooth central where Bluetooth cannot be used. Each case runs on a bus of its own
// (see CMakeLists.txt): bluetoothd refusing this user, no bluetoothd at all, bluetoothd without an
// adapter.

#include "FakeBluez.h"
#include "bluetooth/qt/QtBluetoothCentral.h"

#include <QTest>

using namespace tallyfin::bluetooth;
using namespace tallyfin::testing;

namespace {

class StateRecorder final : public CentralDelegate {
public:
    QList<CentralState> states;
    int discoveries = 0;

    void centralDidUpdateState(CentralState state) override { states.append(state); }
    void didDiscover(const PeripheralPtr&, const QVariantMap&, int) override { ++discoveries; }
    void didConnect(const PeripheralPtr&) override {}
    void didDisconnect(const PeripheralPtr&, const std::optional<QString>&) override {}
    void didFailToConnect(const PeripheralPtr&, const std::optional<QString>&) override {}
};

// The first report already says why (not "unsupported" first and corrected later), and a scan
// requested anyway finds nothing and changes nothing.
void verifyUnavailable(CentralState expected) {
    StateRecorder recorder;
    QtBluetoothCentral central(recorder);
    QCOMPARE(central.state(), CentralState::unknown);
    QTRY_VERIFY_WITH_TIMEOUT(!recorder.states.isEmpty(), fakeBluezTimeoutMs);
    QCOMPARE(recorder.states, QList<CentralState>{expected});
    QCOMPARE(central.state(), expected);

    central.scanForPeripherals({QBluetoothUuid(quint16(0x1826))});
    QTest::qWait(1000);
    QCOMPARE(recorder.discoveries, 0);
    QCOMPARE(recorder.states, QList<CentralState>{expected});
    central.stopScan();
}

} // namespace

class tst_QtBluetoothCentralUnavailable : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void refusedAccessIsUnauthorized() { verifyUnavailable(CentralState::unauthorized); }
    void missingBluetoothdIsUnsupported() { verifyUnavailable(CentralState::unsupported); }
    void missingAdapterIsUnsupported() { verifyUnavailable(CentralState::unsupported); }
};

QTEST_GUILESS_MAIN(tst_QtBluetoothCentralUnavailable)
#include "tst_QtBluetoothCentralUnavailable.moc"
