// The QtBluetooth central on a system whose bus policy keeps this user away from bluetoothd.

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

} // namespace

class tst_QtBluetoothCentralAccessDenied : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void refusedAccessIsUnauthorized() {
        StateRecorder recorder;
        QtBluetoothCentral central(recorder);
        QTRY_VERIFY_WITH_TIMEOUT(!recorder.states.isEmpty(), fakeBluezTimeoutMs);
        // The first report already says why: not "unsupported" first and corrected later.
        QCOMPARE(recorder.states, QList<CentralState>{CentralState::unauthorized});
        QCOMPARE(central.state(), CentralState::unauthorized);

        // A scan requested anyway finds nothing and changes nothing.
        central.scanForPeripherals({QBluetoothUuid(quint16(0x1826))});
        QTest::qWait(1000);
        QCOMPARE(recorder.discoveries, 0);
        QCOMPARE(recorder.states, QList<CentralState>{CentralState::unauthorized});
    }
};

QTEST_GUILESS_MAIN(tst_QtBluetoothCentralAccessDenied)
#include "tst_QtBluetoothCentralAccessDenied.moc"
