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
    // The list view keeps its rows (and the page it shows) while signal strengths drift. Reports
    // of one turn of the event loop reach it together: new machines as one insertion, a new
    // advertisement as a change of its own row only; a new scan resets at once.
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
        QCOMPARE(model.data(model.index(0), DeviceListModel::RssiRole).toInt(), -61);
        QCOMPARE(model.data(model.index(0), DeviceListModel::ManufacturerDataRole).toByteArray(),
                 QByteArray("\x01", 1));
        QCOMPARE(model.data(model.index(0), DeviceListModel::TxPowerLevelRole).toInt(), 4);
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

        central->currentState = bluetooth::CentralState::poweredOn;
        manager.startScanning();
        QCOMPARE(reset.size(), 1);
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!model.data(model.index(0), DeviceListModel::NameRole).isValid());
        QVERIFY(model.get(0).isEmpty());
        // The stored advertisement comes back with the machine's next report.
        manager.recordAdvertisement(rower, {-71, {}, {}, {}});
        QTRY_COMPARE(model.get(0).value(QStringLiteral("name")).toString(),
                     QStringLiteral("Rower"));
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
