// The real manager over the real QtBluetooth central, against fake_bluez.py on a private system
// bus: scanning, connection, detection, the feature read and notifications as the overlay sees
// them; a crowd, a strap beside the machine, Bluetooth that cannot be used, and a stack that
// falters mid-workout under the command-line monitor.

#include "../../cli/JsonLines.h"
#include "../../support/GadgetFields.h"
#include "FakeBluez.h"
#include "bluetooth/qt/QtBluetoothCentral.h"
#include "cli/MonitorCommand.h"
#include "connection/FTMSManager.h"
#include "connection/HeartRateStrapManager.h"
#include "model/Localization.h"

#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tallyfin;
using namespace tallyfin::testing;

class tst_FTMSManagerOverQtBluetooth : public QObject {
    Q_OBJECT

private:
    FakeBluezControl m_fake;
    std::unique_ptr<FTMSManager> m_manager;
    QList<std::pair<QString, QMap<QString, QString>>> m_sent;
    QStringList m_statuses;
    Subscription m_statusSubscription;

    // The discovered machine with this name, once a scan has reported it.
    bluetooth::PeripheralPtr discovered(const QString& name) const {
        for (const auto& peripheral : m_manager->discoveredDevices()) {
            if (peripheral->name() == name) {
                return peripheral;
            }
        }
        return nullptr;
    }

    bluetooth::PeripheralPtr scanFor(const QString& name) {
        m_manager->startScanning();
        [&] { QTRY_VERIFY_WITH_TIMEOUT(discovered(name) != nullptr, fakeBluezTimeoutMs); }();
        return discovered(name);
    }

    // The fake's calls after the first `from` containing `text`, without their object paths.
    QStringList calls(const QString& text, qsizetype from) {
        static const QRegularExpression path(u" /\\S+"_qs);
        return m_fake.callsContaining(text, from).replaceInStrings(path, QString());
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(m_fake.isValid() || qEnvironmentVariableIsSet("TALLYFIN_EXPECTED_STATUS"),
                 "run under with_fake_bluez.py");
        // Real texts, so that formatted status lines carry their argument.
        QVERIFY(!installTranslations(*QCoreApplication::instance()).isEmpty());
        QLocale::setDefault(QLocale(u"de_DE"_qs));
    }

    void init() {
        m_sent.clear();
        m_statuses.clear();
        m_manager = std::make_unique<FTMSManager>(
            bluetooth::qtBluetoothCentralFactory(),
            ApplicationInfo(
                QVariantMap{{QLatin1String(ApplicationInfo::shortVersionKey), u"1.2.3"_qs},
                            {QLatin1String(ApplicationInfo::buildVersionKey), u"45"_qs},
                            {QLatin1String(ApplicationInfo::analyticsAppIdKey), 1}}),
            [this](const QString& name, const QMap<QString, QString>& parameters) {
                m_sent.append({name, parameters});
            });
        m_manager->setClock([] { return QDateTime(QDate(2024, 3, 1), QTime(14, 3, 7)); });
        m_statusSubscription = m_manager->statusMessagePublisher().subscribe(
            [this](const QString& status) { m_statuses.append(status); });
    }

    void cleanup() {
        m_statusSubscription.cancel();
        m_manager.reset();
    }

    // Asked before the central knows the adapter's state, and again after Bluetooth was switched
    // off and on: the scan finds the fitness machines that are around, each once with its latest
    // advertisement, under the same handle in every scan.
    void scanning() {
        FTMSManager& manager = *m_manager;
        manager.startScanning();
        QTRY_VERIFY_WITH_TIMEOUT(manager.discoveredDevices().size() >= 4, fakeBluezTimeoutMs);
        const bluetooth::PeripheralPtr bike = discovered(fakeBike.name);
        QVERIFY(bike);
        QVERIFY(m_fake.advertise(fakeBike, -55));
        QTRY_COMPARE_WITH_TIMEOUT(manager.deviceInfos().value(bike->identifier()).rssi, -55,
                                  fakeBluezTimeoutMs);
        // Each machine once, in order of first sighting, with its latest advertisement (name,
        // signal, manufacturer data, transmit power). bluetoothd shows a machine without a name
        // under its address, which is no name. Neither the strap, which is no fitness machine,
        // nor a machine bluetoothd remembers from an earlier scan until it is heard.
        QStringList list;
        for (qsizetype i = 0; i < manager.discoveredDevices().size(); ++i) {
            const DiscoveredDevice device = manager.discoveredDevice(i);
            const DeviceAdvertisementInfo info = manager.deviceInfos().value(device.id);
            list.append(QStringList{
                device.name, info.localName.value_or(u"-"_qs), QString::number(info.rssi),
                info.manufacturerData ? QString::fromLatin1(info.manufacturerData->toHex())
                                      : u"-"_qs,
                info.txPowerLevel ? QString::number(*info.txPowerLevel) : u"-"_qs}
                            .join(u' '));
        }
        const QString unknown = localizedText("deviceList.unknownDevice");
        QCOMPARE(list,
                 (QStringList{u"Tallyfin Test Bike Tallyfin Test Bike -55 5900010203 4"_qs,
                              u"Tallyfin Test Rower Tallyfin Test Rower -70 - -"_qs,
                              u"Tallyfin Unreachable Bike Tallyfin Unreachable Bike -90 - -"_qs,
                              unknown + u" - -75 - -"_qs}));
        QVERIFY(m_fake.advertise(fakeRememberedBike, -66));
        QTRY_VERIFY_WITH_TIMEOUT(discovered(fakeRememberedBike.name), fakeBluezTimeoutMs);

        QVERIFY(m_fake.setPowered(false));
        QTRY_COMPARE_WITH_TIMEOUT(m_statuses.size(), 4, fakeBluezTimeoutMs);
        // Switched on again, the scan asked for goes on by itself.
        QVERIFY(m_fake.setPowered(true));
        QTRY_COMPARE_WITH_TIMEOUT(m_statuses.size(), 6, fakeBluezTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(discovered(fakeBike.name), bike, fakeBluezTimeoutMs);
        const QString ready = localizedText("bluetooth.ready");
        const QString scanningText = localizedText("connection.scanning");
        QCOMPARE(m_statuses,
                 (QStringList{localizedText("connection.ready"), ready, scanningText,
                              localizedText("bluetooth.poweredOff"), ready, scanningText}));
        QVERIFY(manager.isScanning());
    }

    // The bike from connection to the end of its values, dropped by the machine, connected again
    // and closed by the user: what the overlay shows, the log, and what went over the air.
    void bikeFromConnectionToClose() {
        FTMSManager& manager = *m_manager;
        const bluetooth::PeripheralPtr bike = scanFor(fakeBike.name);
        QVERIFY(bike);
        const qsizetype callsBefore = m_fake.callsContaining({}).size();
        manager.connect(bike);
        QTRY_COMPARE_WITH_TIMEOUT(manager.powerHistory().size(), 5, fakeBluezTimeoutMs);
        QVERIFY(manager.isConnected());
        QCOMPARE(m_statuses.mid(3),
                 (QStringList{localizedText("connection.scanStopped"),
                              localizedText("connection.connecting").arg(fakeBike.name),
                              localizedText("connection.connected").arg(fakeBike.name),
                              localizedText("equipment.detected.bike")}));
        QCOMPARE(manager.powerHistory(), (QList<qint64>{150, 160, 170, 180, 205}));
        // The last record, merged from five notifications.
        const FitnessMetrics metrics{
            .equipmentType = EquipmentType::bike, .power = 205, .speed = 29.5 / 3.6, .cadence = 92};
        QCOMPARE(gadgetFields(manager.metrics()), gadgetFields(metrics));
        const FitnessMachineFeature features{.deviceName = fakeBike.name,
                                             .cadenceSupported = true,
                                             .powerMeasurementSupported = true,
                                             .powerTargetSettingSupported = true};
        QCOMPARE(gadgetFields(manager.machineFeatures()), gadgetFields(features));
        QVERIFY(manager.logBuffer().first().startsWith(u"Tallyfin v1.2.3 (45) — "_qs));
        const qint64 rssi = manager.deviceInfos().value(bike->identifier()).rssi;
        const QString data = u"[14:03:07] Indoor Bike Data (0x2AD2): 44 00 "_qs;
        QCOMPARE(manager.logBuffer().mid(1),
                 (QStringList{u"CONNECTED: Tallyfin Test Bike ["_qs +
                                  bike->identifier().toString(QUuid::WithoutBraces).toUpper() +
                                  u"] RSSI: %1 dBm"_qs.arg(rssi),
                              QStringLiteral("[14:03:07] Fitness Machine Feature (0x2ACC): 02 40 "
                                             "00 00 08 00 00 00"),
                              u"FEATURES: Cadence, Power"_qs, data + u"C4 09 A0 00 96 00"_qs,
                              data + u"28 0A AA 00 A0 00"_qs, data + u"8C 0A B4 00 AA 00"_qs,
                              data + u"F0 0A B5 00 B4 00"_qs, data + u"86 0B B8 00 CD 00"_qs}));
        // Of the bike's characteristics only those asked for, in its order (not its control point).
        QList<QBluetoothUuid> listed;
        for (const auto& characteristic : *bike->services().value().first()->characteristics) {
            listed.append(characteristic->uuid);
        }
        QCOMPARE(listed, (QList<QBluetoothUuid>{QBluetoothUuid(quint16(0x2ACC)),
                                                QBluetoothUuid(quint16(0x2AD2))}));
        // Reading only: one read of the feature, notifications of the bike data alone.
        QCOMPARE(calls(u"GattCharacteristic1."_qs, callsBefore),
                 (QStringList{u"GattCharacteristic1.ReadValue 2ACC"_qs,
                              u"GattCharacteristic1.StartNotify 2AD2"_qs}));

        // The machine goes away on its own: its values go, its name and capabilities stay, and it
        // is awaited. Heard again, it is connected again; closed by the user, it stays closed.
        QVERIFY(m_fake.drop(fakeBike));
        QTRY_VERIFY_WITH_TIMEOUT(!manager.isConnected(), fakeBluezTimeoutMs);
        QVERIFY(manager.awaitingReturn() && manager.powerHistory().isEmpty());
        QCOMPARE(gadgetFields(manager.metrics()), gadgetFields(FitnessMetrics{}));
        QCOMPARE(gadgetFields(manager.machineFeatures()), gadgetFields(features));
        QTRY_COMPARE_WITH_TIMEOUT(manager.powerHistory().size(), 5, fakeBluezTimeoutMs);
        QVERIFY(manager.reconnected());
        manager.disconnect();
        QTRY_VERIFY_WITH_TIMEOUT(!manager.isConnected(), fakeBluezTimeoutMs);
        QCOMPARE(manager.statusMessage(), localizedText("connection.disconnected"));
        QVERIFY(!manager.awaitingReturn() && !manager.isScanning());
        QCOMPARE(
            calls(u"Device1."_qs, callsBefore),
            (QStringList{u"Device1.Connect"_qs, u"Device1.Connect"_qs, u"Device1.Disconnect"_qs}));
        QCOMPARE(calls(u"Write"_qs, callsBefore), QStringList());
    }

    // A machine that cannot be reached: the status gives the stack's reason and the machine stays
    // chosen; an attempt closed before the stack gives up ends as a disconnection.
    void unreachableMachine() {
        FTMSManager& manager = *m_manager;
        const bluetooth::PeripheralPtr unreachable = scanFor(fakeUnreachableBike.name);
        QVERIFY(unreachable);
        manager.connect(unreachable);
        const QString failed = localizedText("connection.connectionFailed");
        const QString prefix = failed.left(failed.indexOf(QLatin1String("%1")));
        QVERIFY(prefix.size() < failed.size());
        QTRY_VERIFY_WITH_TIMEOUT(manager.statusMessage().startsWith(prefix), fakeBluezTimeoutMs);
        QVERIFY2(manager.statusMessage().size() > failed.size() - 2,
                 qPrintable(manager.statusMessage()));
        QCOMPARE(manager.connectedPeripheral(), unreachable);
        QVERIFY(!manager.isConnected());
        QCOMPARE(manager.logBuffer().filter(u"CONNECTED: "_qs), QStringList());

        manager.connect(unreachable);
        manager.disconnect();
        QTRY_COMPARE_WITH_TIMEOUT(manager.statusMessage(), localizedText("connection.disconnected"),
                                  fakeBluezTimeoutMs);
        QCOMPARE(manager.connectedPeripheral(), nullptr);
    }

    // More devices around than the bus lets one connection watch (512 match rules): the machine
    // still connects, every value arrives, and the connection holds a handful of rules.
    void valuesArriveInACrowd() {
        const QStringList crowd = qEnvironmentVariable("TALLYFIN_FAKE_BLUEZ_CROWD").split(u',');
        if (crowd.size() != 2) {
            QSKIP("runs with a crowd of devices (with_fake_bluez.py --crowd)");
        }
        FTMSManager& manager = *m_manager;
        // The last machine appears after every other device.
        const QString name = u"Crowd Bike %1"_qs.arg(crowd.at(0).toInt(), 4, 10, QLatin1Char('0'));
        manager.connect(scanFor(name));
        QTRY_VERIFY_WITH_TIMEOUT(manager.powerHistory().size() >= 5, fakeBluezTimeoutMs);
        // The machine counts its power up by one watt per notification: none is missing.
        const QList<qint64> history = manager.powerHistory();
        for (qsizetype i = 1; i < history.size(); ++i) {
            QCOMPARE(history.at(i), history.at(i - 1) + 1);
        }
        QCOMPARE(manager.statusMessage(), localizedText("equipment.detected.bike"));
        const int rules = matchRulesOfThisProcess();
        QVERIFY2(rules >= 0 && rules < 20, qPrintable(QString::number(rules)));
    }

    // A strap beside a streaming rower: both connected at once, the strap's heart rate in place of
    // the rower's while the rower's values keep coming; the strap drops, the rower's heart rate
    // shows, the strap is heard again and comes back on its own.
    void strapBesideTheMachine() {
        QTemporaryDir dir;
        QSettings settings(dir.filePath(u"prefs.ini"_qs), QSettings::IniFormat);
        HeartRateStrapManager& straps = *m_manager->heartRateStraps();
        straps.setSettings(&settings);
        FTMSManager& manager = *m_manager;
        manager.connect(scanFor(fakeRower.name));
        QTRY_COMPARE_WITH_TIMEOUT(manager.metrics().heartRate, 101, fakeBluezTimeoutMs);

        const qsizetype callsBefore = m_fake.callsContaining({}).size();
        straps.setListWanted(true);
        QTRY_COMPARE_WITH_TIMEOUT(straps.straps()->count(), 1, fakeBluezTimeoutMs);
        const HeardStrap strap = straps.straps()->straps().first();
        QCOMPARE(strap.name, fakeStrap.name);
        QVERIFY(straps.choose(strap.id.toString()));
        straps.setListWanted(false);
        const auto strapShown = [&] {
            return manager.metrics().heartRate >= 72 && manager.metrics().heartRate <= 74;
        };
        QTRY_VERIFY_WITH_TIMEOUT(strapShown(), fakeBluezTimeoutMs);
        const qint64 strokes = manager.metrics().strokeCount;
        QTRY_VERIFY_WITH_TIMEOUT(manager.metrics().strokeCount > strokes + 2, fakeBluezTimeoutMs);
        QVERIFY(strapShown());
        QCOMPARE(settings.value(QLatin1String(HeartRateStrapManager::strapKey)).toUuid(), strap.id);
        QCOMPARE(m_sent.last(),
                 std::pair(u"heartRateStrapConnected"_qs,
                           QMap<QString, QString>{{u"strapModel"_qs, fakeStrap.name}}));
        QVERIFY(
            manager.logBuffer().contains(u"[14:03:07] Heart Rate Measurement (0x2A37): 06 48"_qs));

        QVERIFY(m_fake.drop(fakeStrap));
        QTRY_COMPARE_WITH_TIMEOUT(manager.metrics().heartRate, 101, fakeBluezTimeoutMs);
        QCOMPARE(manager.statusMessage(), localizedText("strap.lost").arg(fakeStrap.name));
        // Heard again, connected again, without being asked.
        QTRY_COMPARE_WITH_TIMEOUT(manager.logBuffer().filter(u"STRAP CONNECTED: "_qs).size(), 2,
                                  fakeBluezTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(strapShown(), fakeBluezTimeoutMs);
        // Reading only, and discovery let go of what it held on the bus.
        QCOMPARE(calls(u"GattCharacteristic1."_qs, callsBefore),
                 (QStringList{u"GattCharacteristic1.StartNotify 2A37"_qs,
                              u"GattCharacteristic1.StartNotify 2A37"_qs}));
        const int rules = matchRulesOfThisProcess();
        QVERIFY2(rules >= 0 && rules < 20, qPrintable(QString::number(rules)));
    }

    void stackFalters_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("noticedWithinMs");
        QTest::addColumn<QString>("logged"); // the fault's log line; none when the link stays
        QTest::newRow("bluetoothd restarts")
            << u"bluetoothd"_qs << 2000 << u"bluetoothd left the bus"_qs;
        QTest::newRow("adapter pulled") << u"adapter"_qs << 2000 << u"adapter removed"_qs;
        QTest::newRow("adapter off") << u"power"_qs << 2000 << u"adapter switched off"_qs;
        // Noticed on waking up, 3 s later.
        QTest::newRow("resume from sleep") << u"sleep"_qs << 5000 << u"resumed from sleep"_qs;
        QTest::newRow("machine falls silent") << u"silence"_qs << 2500 << QString();
    }
    // The rower streams to the monitor (5 values a second) when the stack falters for 3 s: the
    // loss shows at once (or, while the link stays, the values are marked stale, once), the old
    // values are not shown as live, and once the rower is heard again it is connected again (as
    // a continuation) and the values flow, with one gap of the outage in the monitor's lines.
    void stackFalters() {
        QFETCH(QString, fault);
        QFETCH(int, noticedWithinMs);
        QFETCH(QString, logged);
        QString out;
        QString err;
        QTextStream o(&out);
        QTextStream e(&err);
        cli::MonitorSession session(bluetooth::qtBluetoothCentralFactory(), u"Rower"_qs, o, e);
        FTMSManager& manager = session.manager();
        manager.setNoDataTimeout(std::chrono::seconds(1));
        QSignalSpy finished(&session, &cli::MonitorSession::finished);
        session.start();
        QTRY_VERIFY_WITH_TIMEOUT(manager.powerHistory().size() >= 5, fakeBluezTimeoutMs);
        QVERIFY(m_fake.fail(fault, 3000));
        if (!logged.isEmpty()) {
            QTRY_VERIFY_WITH_TIMEOUT(!manager.isConnected(), noticedWithinMs);
            QVERIFY(manager.awaitingReturn() && manager.powerHistory().isEmpty());
            QCOMPARE(gadgetFields(manager.metrics()), gadgetFields(FitnessMetrics{}));
            QCOMPARE(manager.logBuffer().filter(u"FAULT: "_qs),
                     QStringList{u"BLUETOOTH FAULT: "_qs + logged});
            QVERIFY(manager.logBuffer().contains(u"LOST: "_qs + fakeRower.name));
            QTRY_VERIFY_WITH_TIMEOUT(manager.isConnected(), fakeBluezTimeoutMs);
            QVERIFY(manager.reconnected());
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(manager.valuesStale(), noticedWithinMs);
            QCOMPARE(manager.statusMessage(),
                     localizedText("connection.noData").arg(fakeRower.name));
            QTRY_VERIFY_WITH_TIMEOUT(!manager.valuesStale(), fakeBluezTimeoutMs);
            QCOMPARE(manager.statusMessage(), localizedText("equipment.detected.rower"));
            QCOMPARE(manager.logBuffer().filter(u"NO DATA: "_qs).size(), 1);
        }
        const qsizetype shown = manager.powerHistory().size();
        QTRY_VERIFY_WITH_TIMEOUT(manager.powerHistory().size() >= shown + 10, fakeBluezTimeoutMs);
        session.stop();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, fakeBluezTimeoutMs);

        QList<qint64> times;
        for (const QJsonObject& line : jsonLines(out)) {
            times.append(QDateTime::fromString(line.value(u"time"_qs).toString(), Qt::ISODateWithMs)
                             .toMSecsSinceEpoch());
        }
        QVERIFY(times.size() >= 15);
        qint64 gap = 0;
        for (qsizetype i = 1; i < times.size(); ++i) {
            gap = std::max(gap, times.at(i) - times.at(i - 1));
        }
        const double perSecond =
            1000.0 * double(times.size() - 1) / double(times.last() - times.first() - gap);
        qInfo() << times.size() << "lines, gap" << gap << "ms," << perSecond << "a second";
        QVERIFY(gap >= 2500 && perSecond > 3 && perSecond < 7);
    }

    // Run where Bluetooth cannot be used, each case on a bus of its own (see CMakeLists.txt): the
    // first state report already tells why, and a scan asked for shows it again.
    void bluetoothUnavailable() {
        const QByteArray expected = qgetenv("TALLYFIN_EXPECTED_STATUS");
        if (expected.isEmpty()) {
            QSKIP("runs where Bluetooth cannot be used (see CMakeLists.txt)");
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_statuses.size(), 2, fakeBluezTimeoutMs);
        m_manager->startScanning();
        const QString status = localizedText(expected.constData());
        QCOMPARE(m_statuses, (QStringList{localizedText("connection.ready"), status, status}));
        QVERIFY(!m_manager->isScanning());
    }
};

QTEST_GUILESS_MAIN(tst_FTMSManagerOverQtBluetooth)
#include "tst_FTMSManagerOverQtBluetooth.moc"
