// The real manager over the real QtBluetooth central, against fake_bluez.py: scanning,
// connection, detection, the feature read and notifications, as the overlay would see them.

#include "FakeBluez.h"
#include "bluetooth/qt/QtBluetoothCentral.h"
#include "connection/FTMSManager.h"
#include "connection/HeartRateStrapManager.h"
#include "model/Localization.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace tallyfin;
using namespace tallyfin::testing;

namespace {

ApplicationInfo testApplicationInfo() {
    return ApplicationInfo(
        QVariantMap{{QLatin1String(ApplicationInfo::shortVersionKey), QStringLiteral("1.2.3")},
                    {QLatin1String(ApplicationInfo::buildVersionKey), QStringLiteral("45")}});
}

// The log lines that end with `suffix` (raw-data lines start with the local time).
QStringList linesEndingWith(const FTMSManager& manager, const QString& suffix) {
    QStringList lines;
    for (const QString& line : manager.logBuffer()) {
        if (line.endsWith(suffix)) {
            lines.append(line);
        }
    }
    return lines;
}

qsizetype indexOfLineContaining(const FTMSManager& manager, const QString& text) {
    const QStringList& log = manager.logBuffer();
    for (qsizetype i = 0; i < log.size(); ++i) {
        if (log.at(i).contains(text)) {
            return i;
        }
    }
    return -1;
}

// Every flag of the record, for comparing whole records in one go.
QStringList setFlags(const FitnessMachineFeature& features) {
    QStringList names;
    const QMetaObject& meta = FitnessMachineFeature::staticMetaObject;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        if (property.metaType() == QMetaType::fromType<bool>() &&
            property.readOnGadget(&features).toBool()) {
            names.append(QLatin1String(property.name()));
        }
    }
    return names;
}

} // namespace

class tst_FTMSManagerOverQtBluetooth : public QObject {
    Q_OBJECT

private:
    FakeBluezControl m_fake;
    std::unique_ptr<FTMSManager> m_manager;

    // The discovered machine with this name, once the scan has reported it.
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

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(m_fake.isValid(), "run under with_fake_bluez.py");
        // Real texts, so that formatted status lines carry their argument.
        QVERIFY(!installTranslations(*QCoreApplication::instance()).isEmpty());
    }

    void init() {
        m_manager = std::make_unique<FTMSManager>(bluetooth::qtBluetoothCentralFactory(),
                                                  testApplicationInfo());
    }

    void cleanup() { m_manager.reset(); }

    void bikeFromScanToDisconnection() {
        FTMSManager& manager = *m_manager;
        // Called before the central has reported its state: the manager retries until it can.
        manager.startScanning();
        QTRY_VERIFY_WITH_TIMEOUT(manager.isScanning(), fakeBluezTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(discovered(bikeName()) != nullptr &&
                                     discovered(rowerName()) != nullptr,
                                 fakeBluezTimeoutMs);
        const bluetooth::PeripheralPtr bike = discovered(bikeName());
        // The second advertisement of the bike replaces the first, in the same list entry.
        QTRY_COMPARE_WITH_TIMEOUT(manager.deviceInfos().value(bike->identifier()).rssi, -55,
                                  fakeBluezTimeoutMs);
        const DeviceAdvertisementInfo advertisement =
            manager.deviceInfos().value(bike->identifier());
        QCOMPARE(advertisement.localName, std::optional<QString>(bikeName()));
        QCOMPARE(advertisement.manufacturerData,
                 std::optional<QByteArray>(QByteArray::fromHex("5900010203")));
        QCOMPARE(advertisement.txPowerLevel, std::optional<qint64>(4));
        QCOMPARE(std::count(manager.discoveredDevices().cbegin(),
                            manager.discoveredDevices().cend(), bike),
                 1);
        QCOMPARE(discovered(heartStrapName()), nullptr);

        const qsizetype callsBefore = m_fake.calls().size();
        manager.connect(bike);
        QVERIFY(!manager.isScanning());
        QTRY_VERIFY_WITH_TIMEOUT(manager.isConnected(), fakeBluezTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(manager.detectedEquipmentType(), EquipmentType::bike,
                                  fakeBluezTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(manager.powerHistory().size(), 5, fakeBluezTimeoutMs);

        // What the overlay shows: the last record, merged from five notifications.
        const FitnessMetrics metrics = manager.metrics();
        QCOMPARE(metrics.equipmentType, EquipmentType::bike);
        QCOMPARE(metrics.power, 205);
        QCOMPARE(metrics.cadence, 92);
        QCOMPARE(metrics.speed, 2950 / 100.0 / 3.6);
        QCOMPARE(manager.powerHistory(), (QList<qint64>{150, 160, 170, 180, 205}));
        QCOMPARE(manager.statusMessage(), localizedText("equipment.detected.bike"));

        QTRY_COMPARE_WITH_TIMEOUT(setFlags(manager.machineFeatures()),
                                  (QStringList{QStringLiteral("cadenceSupported"),
                                               QStringLiteral("powerMeasurementSupported"),
                                               QStringLiteral("powerTargetSettingSupported")}),
                                  fakeBluezTimeoutMs);
        QCOMPARE(manager.machineFeatures().deviceName, bikeName());

        // The log, in the order things happened.
        QVERIFY(manager.logBuffer().first().startsWith(QStringLiteral("Tallyfin v1.2.3 (45) — ")));
        const QString connected = QStringLiteral("CONNECTED: Tallyfin Test Bike [") +
                                  bike->identifier().toString(QUuid::WithoutBraces).toUpper() +
                                  QStringLiteral("] RSSI: -55 dBm");
        QCOMPARE(manager.logBuffer().count(connected), 1);
        QCOMPARE(linesEndingWith(
                     manager, QStringLiteral("] Fitness Machine Feature (0x2ACC): 02 40 00 00 08 "
                                             "00 00 00"))
                     .size(),
                 1);
        const QString features =
            QStringLiteral("FEATURES: ") +
            manager.machineFeatures().supportedMetricNames().join(QStringLiteral(", "));
        QCOMPARE(manager.logBuffer().count(features), 1);
        const QStringList data{
            QStringLiteral("44 00 C4 09 A0 00 96 00"), QStringLiteral("44 00 28 0A AA 00 A0 00"),
            QStringLiteral("44 00 8C 0A B4 00 AA 00"), QStringLiteral("44 00 F0 0A B5 00 B4 00"),
            QStringLiteral("44 00 86 0B B8 00 CD 00")};
        qsizetype previous = indexOfLineContaining(manager, connected);
        QVERIFY(previous > 0);
        QVERIFY(indexOfLineContaining(manager, QStringLiteral("(0x2ACC)")) > previous);
        for (const QString& bytes : data) {
            const QStringList lines =
                linesEndingWith(manager, QStringLiteral("] Indoor Bike Data (0x2AD2): ") + bytes);
            QCOMPARE(lines.size(), 1);
            const qsizetype index = manager.logBuffer().indexOf(lines.first());
            QVERIFY(index > previous);
            previous = index;
        }

        // On the air: one read of the feature, notifications of the bike data only, no writes.
        QCOMPARE(m_fake.callsContaining(QStringLiteral("ReadValue"), callsBefore).size(), 1);
        QVERIFY(m_fake.callsContaining(QStringLiteral("ReadValue"), callsBefore)
                    .first()
                    .endsWith(QLatin1String(" 2ACC")));
        const QStringList notify = m_fake.callsContaining(QStringLiteral("Notify"), callsBefore);
        QCOMPARE(notify.size(), 1);
        QVERIFY2(notify.first().endsWith(QLatin1String(" 2AD2")), qPrintable(notify.first()));
        QCOMPARE(m_fake.callsContaining(QStringLiteral("WriteValue"), callsBefore), QStringList());

        manager.disconnect();
        QTRY_VERIFY_WITH_TIMEOUT(!manager.isConnected(), fakeBluezTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(manager.statusMessage(), localizedText("connection.disconnected"),
                                  fakeBluezTimeoutMs);
        QCOMPARE(manager.metrics().power, 0);
        QCOMPARE(manager.metrics().equipmentType, EquipmentType::unknown);
        QVERIFY(manager.powerHistory().isEmpty());
        QCOMPARE(manager.connectedPeripheral(), nullptr);
        // The last machine's name and flags stay until the next one replaces them.
        QCOMPARE(manager.machineFeatures().deviceName, bikeName());
        QVERIFY(manager.machineFeatures().powerMeasurementSupported);
        QCOMPARE(m_fake.callsContaining(QStringLiteral("Device1.Disconnect"), callsBefore).size(),
                 1);
    }

    void machineDisconnectingMidStreamResetsTheLiveState() {
        FTMSManager& manager = *m_manager;
        const bluetooth::PeripheralPtr fading = scanFor(fadingBikeName());
        QVERIFY(fading);
        manager.connect(fading);
        QTRY_VERIFY_WITH_TIMEOUT(manager.isConnected(), fakeBluezTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(
            !linesEndingWith(manager, QStringLiteral("] Indoor Bike Data (0x2AD2): 44 00 "
                                                     "34 08 98 00 7D 00"))
                 .isEmpty(),
            fakeBluezTimeoutMs);
        // The machine goes away on its own after its second notification.
        QTRY_VERIFY_WITH_TIMEOUT(!manager.isConnected(), fakeBluezTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(manager.statusMessage(), localizedText("connection.disconnected"),
                                  fakeBluezTimeoutMs);
        QCOMPARE(manager.metrics().power, 0);
        QCOMPARE(manager.metrics().speed, 0.0);
        QVERIFY(manager.powerHistory().isEmpty());
        QCOMPARE(manager.connectedPeripheral(), nullptr);
        QCOMPARE(manager.detectedEquipmentType(), EquipmentType::unknown);
        QCOMPARE(manager.machineFeatures().deviceName, fadingBikeName());
        QCOMPARE(
            linesEndingWith(manager, QStringLiteral("(0x2AD2): 44 00 D0 07 96 00 78 00")).size(),
            1);
        // Nothing reconnects or scans on its own.
        QVERIFY(!manager.isScanning());

        // The same machine can be connected again.
        manager.connect(fading);
        QTRY_VERIFY_WITH_TIMEOUT(manager.isConnected(), fakeBluezTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!manager.isConnected(), fakeBluezTimeoutMs);
    }

    void namelessMachineIsAnUnknownDevice() {
        QList<QMap<QString, QString>> sent;
        m_manager = std::make_unique<FTMSManager>(
            bluetooth::qtBluetoothCentralFactory(),
            ApplicationInfo(QVariantMap{{QLatin1String(ApplicationInfo::analyticsAppIdKey), 1}}),
            [&sent](const QString&, const QMap<QString, QString>& parameters) {
                sent.append(parameters);
            });
        const QString unknown = localizedText("deviceList.unknownDevice");
        m_manager->startScanning();
        const auto names = [this] {
            QStringList names;
            for (const DiscoveredDevice& device : m_manager->devices()) {
                names.append(device.name);
            }
            return names;
        };
        QTRY_VERIFY_WITH_TIMEOUT(names().contains(unknown), fakeBluezTimeoutMs);
        // BlueZ's alias of the nameless machine is its address, which is no name.
        QCOMPARE(names().filter(QStringLiteral("C0")), QStringList());
        const DiscoveredDevice nameless = m_manager->devices().at(names().indexOf(unknown));
        QCOMPARE(m_manager->deviceInfos().value(nameless.id).localName, std::nullopt);

        m_manager->connect(nameless.peripheral);
        QTRY_COMPARE_WITH_TIMEOUT(m_manager->machineFeatures().deviceName, unknown,
                                  fakeBluezTimeoutMs);
        QCOMPARE(sent, (QList<QMap<QString, QString>>{{{QStringLiteral("deviceName"), unknown}}}));
        QVERIFY(indexOfLineContaining(*m_manager, QStringLiteral("CONNECTED: ") + unknown) > 0);
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
        const QString name =
            QStringLiteral("Crowd Bike %1").arg(crowd.at(0).toInt(), 4, 10, QLatin1Char('0'));
        const bluetooth::PeripheralPtr machine = scanFor(name);
        QVERIFY(machine);
        manager.connect(machine);
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
        QList<std::pair<QString, QMap<QString, QString>>> sent;
        m_manager = std::make_unique<FTMSManager>(
            bluetooth::qtBluetoothCentralFactory(),
            ApplicationInfo(QVariantMap{{QLatin1String(ApplicationInfo::analyticsAppIdKey), 1}}),
            [&sent](const QString& name, const QMap<QString, QString>& parameters) {
                sent.append({name, parameters});
            });
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("prefs.ini")), QSettings::IniFormat);
        HeartRateStrapManager& straps = *m_manager->heartRateStraps();
        straps.setSettings(&settings);
        FTMSManager& manager = *m_manager;
        manager.connect(scanFor(rowerName()));
        QTRY_COMPARE_WITH_TIMEOUT(manager.metrics().heartRate, 101, fakeBluezTimeoutMs);

        const qsizetype callsBefore = m_fake.calls().size();
        straps.setListWanted(true);
        QTRY_COMPARE_WITH_TIMEOUT(straps.straps()->count(), 1, fakeBluezTimeoutMs);
        const HeardStrap strap = straps.straps()->straps().first();
        QCOMPARE(strap.name, heartStrapName());
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
        QCOMPARE(sent.last(), std::pair(QStringLiteral("heartRateStrapConnected"),
                                        QMap<QString, QString>{
                                            {QStringLiteral("strapModel"), heartStrapName()}}));
        QVERIFY(
            !linesEndingWith(manager, QStringLiteral("] Heart Rate Measurement (0x2A37): 06 48"))
                 .isEmpty());

        QVERIFY(m_fake.drop(heartStrapAddress()));
        QTRY_COMPARE_WITH_TIMEOUT(manager.metrics().heartRate, 101, fakeBluezTimeoutMs);
        QCOMPARE(manager.statusMessage(), localizedText("strap.lost").arg(heartStrapName()));
        // Heard again, connected again, without being asked.
        QTRY_COMPARE_WITH_TIMEOUT(
            manager.logBuffer().filter(QStringLiteral("STRAP CONNECTED: ")).size(), 2,
            fakeBluezTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(strapShown(), fakeBluezTimeoutMs);
        // Reading only, and discovery let go of what it held on the bus.
        QCOMPARE(m_fake.callsContaining(QStringLiteral("WriteValue"), callsBefore), QStringList());
        QCOMPARE(m_fake.callsContaining(QStringLiteral("StartNotify"), callsBefore).size(), 2);
        const int rules = matchRulesOfThisProcess();
        QVERIFY2(rules >= 0 && rules < 20, qPrintable(QString::number(rules)));
    }

    void failedConnectionKeepsThePeripheral() {
        FTMSManager& manager = *m_manager;
        const bluetooth::PeripheralPtr unreachable = scanFor(unreachableBikeName());
        QVERIFY(unreachable);
        manager.connect(unreachable);
        // The status carries the stack's description of the failure.
        const QString failed = localizedText("connection.connectionFailed");
        const qsizetype placeholder = failed.indexOf(QLatin1String("%1"));
        QVERIFY(placeholder >= 0);
        QTRY_VERIFY_WITH_TIMEOUT(manager.statusMessage().startsWith(failed.left(placeholder)),
                                 fakeBluezTimeoutMs);
        QVERIFY2(manager.statusMessage().size() > failed.size() - 2,
                 qPrintable(manager.statusMessage()));
        QCOMPARE(manager.connectedPeripheral(), unreachable);
        QVERIFY(!manager.isConnected());
        QVERIFY(!manager.isScanning());
        QCOMPARE(manager.logBuffer().filter(QStringLiteral("CONNECTED: ")), QStringList());
    }
};

QTEST_GUILESS_MAIN(tst_FTMSManagerOverQtBluetooth)
#include "tst_FTMSManagerOverQtBluetooth.moc"
