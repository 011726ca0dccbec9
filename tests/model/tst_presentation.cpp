#include "model/DevicePresentation.h"
#include "model/FitnessMachineFeature.h"
#include "model/FitnessMetrics.h"
#include "model/Localization.h"

#include <QCoreApplication>
#include <QMetaProperty>
#include <QTest>

#include <limits>

using namespace tallyfin;
using namespace Qt::StringLiterals;

namespace {

FitnessMetrics metricsOf(EquipmentType type, double speed = 0) {
    FitnessMetrics m;
    m.equipmentType = type;
    m.speed = speed;
    return m;
}

} // namespace

// The texts built from the records and from advertised names; the tile texts are checked with the
// tiles. Runs under a German locale, so a decimal comma would show up here.
class TestPresentation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Runs first, before any table is installed: lookups fall back to their defaults or keys.
    void withoutTable() {
        QCOMPARE(deviceTypeName(u"Some Rower"), u"Rower"_s);
        QCOMPARE(deviceTypeName(u""), u"Fitness Equipment"_s);
        QCOMPARE(displayName(EquipmentType::bike), u"equipment.bike"_s);
    }

    // English from here on; tst_translations checks that every table has every key.
    void tableWinsOverDefault() {
        QCOMPARE(installTranslations(*QCoreApplication::instance(), {u"en"_s}), u"en"_s);
        QCOMPARE(localizedText("device.type.bike", u"Bicycle"), u"Indoor Bike"_s);
        QCOMPARE(localizedText("test.notInTable", u"Fallback"), u"Fallback"_s);
        QCOMPARE(localizedText("test.notInTable"), u"test.notInTable"_s);
        QCOMPARE(displayName(EquipmentType::crossTrainer), u"Cross Trainer"_s);
        QCOMPARE(displayName(EquipmentType::unknown), u"Not detected yet"_s);
    }

    void formattedTime_data() {
        QTest::addColumn<double>("totalTime");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << u"00:00"_s;
        QTest::newRow("fraction truncated") << 59.9 << u"00:59"_s;
        QTest::newRow("past an hour: minutes grow") << 3725.0 << u"62:05"_s;
    }

    void formattedTime() {
        QFETCH(double, totalTime);
        QFETCH(QString, text);
        FitnessMetrics m;
        m.totalTime = totalTime;
        QCOMPARE(m.formattedTime(), text);
    }

    void formattedSpeed_data() {
        QTest::addColumn<EquipmentType>("type");
        QTest::addColumn<UnitSystem>("units");
        QTest::addColumn<double>("speed");
        QTest::addColumn<QString>("text");
        using enum EquipmentType;
        using enum UnitSystem;
        QTest::newRow("rower 2:05") << rower << metric << 500.0 / 125 << u"2:05 /500m"_s;
        QTest::newRow("rower rounds 156.25 down") << rower << metric << 3.2 << u"2:36 /500m"_s;
        QTest::newRow("rower rounds 62.5 up") << rower << metric << 8.0 << u"1:03 /500m"_s;
        QTest::newRow("rower standing") << rower << imperial << 0.0 << u"--:-- /500m"_s;
        QTest::newRow("rower, not a number")
            << rower << metric << std::numeric_limits<double>::quiet_NaN() << u"--:-- /500m"_s;
        QTest::newRow("bike 25 km/h") << bike << metric << 2500 / 100.0 / 3.6 << u"25.0 km/h"_s;
        QTest::newRow("unknown in m/s") << unknown << metric << 2.5 << u"2.5 m/s"_s;
        QTest::newRow("15.96 mph rounds up")
            << crossTrainer << imperial << 15.96 * metresPerMile / 3600 << u"16.0 mph"_s;
        QTest::newRow("treadmill 7:59.4 per mile")
            << treadmill << imperial << metresPerMile / 479.4 << u"7:59 /mi"_s;
        QTest::newRow("treadmill 7:59.6 per mile carries to the minute")
            << treadmill << imperial << metresPerMile / 479.6 << u"8:00 /mi"_s;
        QTest::newRow("treadmill standing") << treadmill << imperial << 0.0 << u"--:-- /mi"_s;
    }

    void formattedSpeed() {
        QFETCH(EquipmentType, type);
        QFETCH(UnitSystem, units);
        QFETCH(double, speed);
        QFETCH(QString, text);
        QCOMPARE(metricsOf(type, speed).formattedSpeed(units), text);
    }

    // A speed close to zero makes an enormous pace; it must still be a text, not a crash.
    void rowerPaceNearZeroSpeed() {
        const QString text = metricsOf(EquipmentType::rower, 1e-300).formattedSpeed();
        QVERIFY(text.endsWith(u" /500m"));
        QVERIFY(!text.startsWith(u'-'));
    }

    void rateTooltip_data() {
        QTest::addColumn<EquipmentType>("type");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("rower") << EquipmentType::rower << u"Stroke rate (strokes per minute)"_s;
        QTest::newRow("unknown: as a bike")
            << EquipmentType::unknown << u"Cadence (revolutions per minute)"_s;
        QTest::newRow("treadmill") << EquipmentType::treadmill << u"Step rate (steps per minute)"_s;
    }

    void rateTooltip() {
        QFETCH(EquipmentType, type);
        QFETCH(QString, tooltip);
        QCOMPARE(tallyfin::rateTooltip(metricsOf(type)), tooltip);
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
        const QMetaObject& meta = FitnessMachineFeature::staticMetaObject;
        for (const QString& flag : flags) {
            QVERIFY(meta.property(meta.indexOfProperty(qPrintable(flag)))
                        .writeOnGadget(&features, true));
        }
        QCOMPARE(features.supportedMetricNames(), metrics);
        QCOMPARE(features.controlCapabilityNames(), capabilities);
    }
};

QTEST_GUILESS_MAIN(TestPresentation)
#include "tst_presentation.moc"
