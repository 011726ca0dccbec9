#include "model/DevicePresentation.h"
#include "model/EquipmentType.h"
#include "model/FitnessMachineFeature.h"
#include "model/Localization.h"

#include <QCoreApplication>
#include <QTest>

using namespace tallyfin;
using namespace Qt::StringLiterals;

// Names of kinds, devices, metrics and capabilities, and the string table behind them.
class TestPresentation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Runs first, before the table is installed: lookups fall back to their defaults or keys.
    void withoutTable() {
        QCOMPARE(deviceTypeName(u""), u"Fitness Equipment"_s);
        QCOMPARE(deviceTypeName(u"Some Rower"), u"Rower"_s);
        QCOMPARE(tallyfin::displayName(EquipmentType::bike), u"equipment.bike"_s);
        QCOMPARE(localizedText("deviceList.unknownDevice", u"Unknown device"), u"Unknown device"_s);
    }

    // English texts; tst_translations checks that every table has every key.
    void installTable() {
        QCOMPARE(installTranslations(*QCoreApplication::instance(), {u"en"_s}), u"en"_s);
    }

    void tableWinsOverDefault() {
        QCOMPARE(localizedText("device.type.bike", u"Bicycle"), u"Indoor Bike"_s);
        // A key the table lacks still falls back.
        QCOMPARE(localizedText("test.notInTable", u"Fallback"), u"Fallback"_s);
        QCOMPARE(localizedText("test.notInTable"), u"test.notInTable"_s);
    }

    void displayName_data() {
        QTest::addColumn<EquipmentType>("type");
        QTest::addColumn<QString>("name");
        QTest::newRow("cross trainer") << EquipmentType::crossTrainer << u"Cross Trainer"_s;
        QTest::newRow("unknown") << EquipmentType::unknown << u"Not detected yet"_s;
    }

    void displayName() {
        QFETCH(EquipmentType, type);
        QFETCH(QString, name);
        QCOMPARE(tallyfin::displayName(type), name);
    }

    void device_data() {
        QTest::addColumn<QString>("advertisedName");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("type");
        QTest::newRow("row before bike") << u"Throwback Bike"_s << u"figure.rower"_s << u"Rower"_s;
        QTest::newRow("upper case") << u"ROWERG"_s << u"figure.rower"_s << u"Rower"_s;
        QTest::newRow("cycle before cross")
            << u"CrossCycle 5"_s << u"figure.indoor.cycle"_s << u"Indoor Bike"_s;
        QTest::newRow("run") << u"RunMaster"_s << u"figure.run"_s << u"Treadmill"_s;
        QTest::newRow("ellip") << u"Elliptical E35"_s << u"figure.elliptical"_s
                               << u"Cross Trainer"_s;
        QTest::newRow("no match") << u"KICKR CORE 5A1B"_s
                                  << u"figure.strengthtraining.traditional"_s
                                  << u"Fitness Equipment"_s;
        QTest::newRow("empty") << QString() << u"figure.strengthtraining.traditional"_s
                               << u"Fitness Equipment"_s;
    }

    void device() {
        QFETCH(QString, advertisedName);
        QFETCH(QString, icon);
        QFETCH(QString, type);
        QCOMPARE(deviceIconName(advertisedName), icon);
        QCOMPARE(deviceTypeName(advertisedName), type);
    }

    void metricNames_data() {
        QTest::addColumn<QStringList>("flags");
        QTest::addColumn<QStringList>("metrics");
        QTest::addColumn<QStringList>("capabilities");
        QTest::newRow("nothing") << QStringList{} << QStringList{} << QStringList{};
        QTest::newRow("power after resistance")
            << QStringList{u"powerMeasurementSupported"_s, u"resistanceLevelSupported"_s}
            << QStringList{u"Resistance"_s, u"Power"_s} << QStringList{};
        QTest::newRow("unnamed flags never listed")
            << QStringList{u"elevationGainSupported"_s, u"strideCountSupported"_s,
                           u"metabolicEquivalentSupported"_s, u"remainingTimeSupported"_s}
            << QStringList{} << QStringList{};
        QTest::newRow("calories, heart rate, time last")
            << QStringList{u"elapsedTimeSupported"_s, u"heartRateMeasurementSupported"_s,
                           u"expendedEnergySupported"_s, u"averageSpeedSupported"_s}
            << QStringList{u"Speed"_s, u"Calories"_s, u"Heart Rate"_s, u"Time"_s} << QStringList{};
        QTest::newRow("targets")
            << QStringList{u"heartRateTargetSettingSupported"_s, u"speedTargetSettingSupported"_s,
                           u"powerTargetSettingSupported"_s, u"inclinationTargetSettingSupported"_s}
            << QStringList{} << QStringList{u"Speed"_s, u"Incline"_s, u"Power"_s, u"Heart Rate"_s};
    }

    void metricNames() {
        QFETCH(QStringList, flags);
        QFETCH(QStringList, metrics);
        QFETCH(QStringList, capabilities);
        FitnessMachineFeature features;
        for (const QString& flag : flags) {
            const QMetaObject& meta = FitnessMachineFeature::staticMetaObject;
            const int index = meta.indexOfProperty(flag.toLatin1().constData());
            QVERIFY(index >= 0);
            meta.property(index).writeOnGadget(&features, true);
        }
        QCOMPARE(features.supportedMetricNames(), metrics);
        QCOMPARE(features.controlCapabilityNames(), capabilities);
    }
};

QTEST_GUILESS_MAIN(TestPresentation)
#include "tst_presentation.moc"
