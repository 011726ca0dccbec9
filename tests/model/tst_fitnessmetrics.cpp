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

// The record's defaults and the texts the metric tiles show. Runs under a German locale, so a
// decimal comma would show up here.
class TestFitnessMetrics : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The texts compared are English; numbers still meet the German locale.
    void initTestCase() {
        QCOMPARE(installTranslations(*QCoreApplication::instance(), {u"en"_s}), u"en"_s);
    }

    void defaultRecord() {
        const FitnessMetrics m;
        QCOMPARE(m.equipmentType, EquipmentType::unknown);
        const QMetaObject& meta = FitnessMetrics::staticMetaObject;
        QCOMPARE(meta.propertyCount() - meta.propertyOffset(), 14);
        for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
            const QMetaProperty p = meta.property(i);
            if (p.metaType() != QMetaType::fromType<EquipmentType>()) {
                QVERIFY2(p.readOnGadget(&m).toDouble() == 0.0, p.name());
            }
        }
    }

    void formattedTime_data() {
        QTest::addColumn<double>("totalTime");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << u"00:00"_s;
        QTest::newRow("fraction truncated") << 59.9 << u"00:59"_s;
        QTest::newRow("past an hour: minutes grow") << 3725.0 << u"62:05"_s;
        QTest::newRow("largest elapsed time") << 65535.0 << u"1092:15"_s;
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
        const auto metric = UnitSystem::metric;
        const auto imperial = UnitSystem::imperial;
        const auto rower = EquipmentType::rower;
        const auto treadmill = EquipmentType::treadmill;
        QTest::newRow("rower 2:05") << rower << metric << 500.0 / 125 << u"2:05 /500m"_s;
        QTest::newRow("rower rounds 156.25 down") << rower << metric << 3.2 << u"2:36 /500m"_s;
        QTest::newRow("rower rounds 62.5 away from zero")
            << rower << metric << 8.0 << u"1:03 /500m"_s;
        QTest::newRow("rower standing") << rower << metric << 0.0 << u"--:-- /500m"_s;
        QTest::newRow("rower not a number")
            << rower << metric << std::numeric_limits<double>::quiet_NaN() << u"--:-- /500m"_s;
        QTest::newRow("bike 25 km/h")
            << EquipmentType::bike << metric << 2500 / 100.0 / 3.6 << u"25.0 km/h"_s;
        QTest::newRow("cross trainer standing")
            << EquipmentType::crossTrainer << metric << 0.0 << u"0.0 km/h"_s;
        QTest::newRow("treadmill in km/h") << treadmill << metric << 2.5 << u"9.0 km/h"_s;
        QTest::newRow("unknown in m/s") << EquipmentType::unknown << metric << 2.5 << u"2.5 m/s"_s;

        QTest::newRow("imperial 15.96 mph rounds up")
            << EquipmentType::crossTrainer << imperial << 15.96 * metresPerMile / 3600
            << u"16.0 mph"_s;
        QTest::newRow("treadmill 7:59.4 per mile")
            << treadmill << imperial << metresPerMile / 479.4 << u"7:59 /mi"_s;
        QTest::newRow("treadmill 7:59.6 per mile rounds to the minute")
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

    void distanceText_data() {
        QTest::addColumn<double>("distance");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << 0.0 << u"--"_s;
        QTest::newRow("below a metre rounds to 0") << 0.4 << u"0"_s;
        QTest::newRow("metres") << 999.0 << u"999"_s;
        QTest::newRow("rounds up to 1000 metres") << 999.6 << u"1000"_s;
        QTest::newRow("one kilometre") << 1000.0 << u"1.00"_s;
        QTest::newRow("kilometres, two decimals") << 12346.0 << u"12.35"_s;
    }

    void distanceText() {
        QFETCH(double, distance);
        QFETCH(QString, text);
        FitnessMetrics m;
        m.distance = distance;
        QCOMPARE(tallyfin::distanceText(m), text);
    }

    void speedText_data() {
        QTest::addColumn<EquipmentType>("type");
        QTest::addColumn<double>("speed");
        QTest::addColumn<QString>("text");
        QTest::newRow("rower pace without unit") << EquipmentType::rower << 4.0 << u"2:05"_s;
        QTest::newRow("bike speed without unit")
            << EquipmentType::bike << 2500 / 100.0 / 3.6 << u"25.0"_s;
        QTest::newRow("unknown: no separator, whole text")
            << EquipmentType::unknown << 2.5 << u"2.5 m/s"_s;
        QTest::newRow("no speed") << EquipmentType::bike << 0.0 << u"--"_s;
        QTest::newRow("negative speed") << EquipmentType::treadmill << -2.0 << u"--"_s;
    }

    void speedText() {
        QFETCH(EquipmentType, type);
        QFETCH(double, speed);
        QFETCH(QString, text);
        QCOMPARE(tallyfin::speedText(metricsOf(type, speed)), text);
    }

    void rateText_data() {
        QTest::addColumn<EquipmentType>("type");
        QTest::addColumn<qint64>("cadence");
        QTest::addColumn<QString>("text");
        // Every rate field holds a different value, so the row shows which one was chosen.
        QTest::newRow("rower: stroke rate") << EquipmentType::rower << qint64(90) << u"22"_s;
        QTest::newRow("bike: cadence") << EquipmentType::bike << qint64(90) << u"90"_s;
        QTest::newRow("bike: zero cadence") << EquipmentType::bike << qint64(0) << u"--"_s;
        QTest::newRow("bike: negative cadence") << EquipmentType::bike << qint64(-5) << u"--"_s;
        QTest::newRow("cross trainer: step rate")
            << EquipmentType::crossTrainer << qint64(90) << u"60"_s;
        QTest::newRow("treadmill: step rate") << EquipmentType::treadmill << qint64(90) << u"60"_s;
        QTest::newRow("unknown: always a placeholder")
            << EquipmentType::unknown << qint64(90) << u"--"_s;
    }

    void rateText() {
        QFETCH(EquipmentType, type);
        QFETCH(qint64, cadence);
        QFETCH(QString, text);
        FitnessMetrics m = metricsOf(type);
        m.strokeRate = 22;
        m.cadence = cadence;
        m.stepRate = 60;
        QCOMPARE(tallyfin::rateText(m), text);
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
};

QTEST_GUILESS_MAIN(TestFitnessMetrics)
#include "tst_fitnessmetrics.moc"
