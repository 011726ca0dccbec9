#include "model/DevicePresentation.h"
#include "model/FitnessMachineFeature.h"
#include "model/FitnessMetrics.h"
#include "model/Localization.h"

#include <QCoreApplication>
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

    // Each flag alone gives its own name; all together give the names in display order (Power
    // after Resistance, not in bit order), and the four flags without a name never appear.
    void featureNames() {
        using F = FitnessMachineFeature;
        const std::pair<bool F::*, QString> metrics[] = {
            {&F::averageSpeedSupported, u"Speed"_s},
            {&F::cadenceSupported, u"Cadence"_s},
            {&F::totalDistanceSupported, u"Distance"_s},
            {&F::inclinationSupported, u"Incline"_s},
            {&F::paceSupported, u"Pace"_s},
            {&F::stepCountSupported, u"Steps"_s},
            {&F::resistanceLevelSupported, u"Resistance"_s},
            {&F::powerMeasurementSupported, u"Power"_s},
            {&F::expendedEnergySupported, u"Calories"_s},
            {&F::heartRateMeasurementSupported, u"Heart Rate"_s},
            {&F::elapsedTimeSupported, u"Time"_s}};
        const std::pair<bool F::*, QString> targets[] = {
            {&F::speedTargetSettingSupported, u"Speed"_s},
            {&F::inclinationTargetSettingSupported, u"Incline"_s},
            {&F::resistanceTargetSettingSupported, u"Resistance"_s},
            {&F::powerTargetSettingSupported, u"Power"_s},
            {&F::heartRateTargetSettingSupported, u"Heart Rate"_s}};
        F all;
        all.elevationGainSupported = all.strideCountSupported = true;
        all.metabolicEquivalentSupported = all.remainingTimeSupported = true;
        QVERIFY(all.supportedMetricNames().isEmpty());
        QStringList allMetrics;
        QStringList allTargets;
        for (const auto& [flag, name] : metrics) {
            F one;
            one.*flag = all.*flag = true;
            QCOMPARE(one.supportedMetricNames(), QStringList{name});
            allMetrics << name;
        }
        for (const auto& [flag, name] : targets) {
            F one;
            one.*flag = all.*flag = true;
            QCOMPARE(one.controlCapabilityNames(), QStringList{name});
            allTargets << name;
        }
        QCOMPARE(all.supportedMetricNames(), allMetrics);
        QCOMPARE(all.controlCapabilityNames(), allTargets);
    }
};

QTEST_GUILESS_MAIN(TestPresentation)
#include "tst_presentation.moc"
