#include "ScriptedCentral.h"
#include "connection/DeviceListModel.h"
#include "connection/FTMSManager.h"

#include <QSignalSpy>
#include <QTest>

using namespace tallyfin;
using namespace tallyfin::testing;

class TestDeviceListModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The list view keeps its rows (and the page it shows) while signal strengths drift: new
    // machines are inserted, new advertisements change data, a new scan resets.
    void changesReachTheViewAsTheRightModelSignals() {
        ScriptedCentral* central = nullptr;
        FTMSManager manager(
            [&](bluetooth::CentralDelegate&) {
                auto created = std::make_unique<ScriptedCentral>();
                central = created.get();
                return created;
            },
            ApplicationInfo());
        DeviceListModel& model = *manager.deviceList();
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        QSignalSpy count(&model, &DeviceListModel::countChanged);

        auto bike = makePeripheral(1, QStringLiteral("Bike"));
        auto rower = makePeripheral(2, QStringLiteral("Rower"));
        manager.recordAdvertisement(bike, {-60, QByteArray("\x01", 1), 4, {}});
        QCOMPARE(inserted.size(), 1);
        manager.recordAdvertisement(rower, {-70, {}, {}, {}});
        QCOMPARE(inserted.size(), 2);
        QCOMPARE(inserted.last().at(1).toInt(), 1);
        QCOMPARE(count.size(), 2);
        QCOMPARE(model.count(), 2);
        QCOMPARE(model.data(model.index(0), DeviceListModel::ManufacturerDataRole).toByteArray(),
                 QByteArray("\x01", 1));
        QCOMPARE(model.data(model.index(0), DeviceListModel::TxPowerLevelRole).toInt(), 4);
        QVERIFY(!model.data(model.index(1), DeviceListModel::ManufacturerDataRole).isValid());

        changed.clear();
        manager.recordAdvertisement(bike, {-52, {}, {}, {}});
        QCOMPARE(inserted.size(), 2);
        QVERIFY(!changed.isEmpty());
        QCOMPARE(model.data(model.index(0), DeviceListModel::RssiRole).toInt(), -52);
        QCOMPARE(model.devices().at(0).peripheral, bike);

        central->currentState = bluetooth::CentralState::poweredOn;
        manager.startScanning();
        QCOMPARE(reset.size(), 1);
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.count(), 0);
        QVERIFY(!model.data(model.index(0), DeviceListModel::NameRole).isValid());
        QVERIFY(model.get(0).isEmpty());
        // The stored advertisement comes back with the machine's next report.
        manager.recordAdvertisement(rower, {-71, {}, {}, {}});
        QCOMPARE(model.get(0).value(QStringLiteral("name")).toString(), QStringLiteral("Rower"));
        QCOMPARE(model.roleNames().value(DeviceListModel::IdRole), QByteArray("id"));
    }

    // A subscriber cancelled by another one during the same assignment is not called.
    void cancelledDuringDeliveryIsNotCalled() {
        bool flag = false;
        Published<int> field(0, [] {});
        Subscription second;
        int secondCalls = 0;
        auto first = field.subscribe([&](int value) {
            if (value == 1) {
                second.cancel();
            }
        });
        second = field.subscribe([&](int) { ++secondCalls; });
        QCOMPARE(secondCalls, 1); // the current value at once
        field.set(1);
        QCOMPARE(secondCalls, 1);
        field.modify([&](int& v) {
            flag = (v == 1);
            v = 2;
        });
        QVERIFY(flag);
        QCOMPARE(field.value(), 2);
    }
};

QTEST_GUILESS_MAIN(TestDeviceListModel)
#include "tst_DeviceListModel.moc"
