#include "model/Localization.h"
#include "ui/MetricTileModel.h"
#include "ui/MetricsDimensions.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

using namespace tallyfin;
using namespace tallyfin::ui;
using namespace Qt::StringLiterals;

namespace {

QString describe(const QList<MetricTile>& tiles) {
    QStringList parts;
    for (const MetricTile& tile : tiles) {
        parts.append(tile.icon + u'|' + tile.value + u'|' + tile.unit);
    }
    return parts.join(u", ");
}

FitnessMachineFeature allMeasured() {
    FitnessMachineFeature f;
    f.elapsedTimeSupported = true;
    f.totalDistanceSupported = true;
    f.averageSpeedSupported = true;
    f.cadenceSupported = true;
    f.powerMeasurementSupported = true;
    f.expendedEnergySupported = true;
    f.heartRateMeasurementSupported = true;
    return f;
}

} // namespace

class MetricTilesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // English units; the German ones are checked with the views.
    void initTestCase() {
        QCOMPARE(installTranslations(*QCoreApplication::instance(), {u"en"_s}), u"en"_s);
    }

    void tiles_data() {
        QTest::addColumn<FitnessMachineFeature>("features");
        QTest::addColumn<FitnessMetrics>("metrics");
        QTest::addColumn<UnitSystem>("units");
        QTest::addColumn<QString>("expected");
        const auto metric = UnitSystem::metric;
        const auto imperial = UnitSystem::imperial;

        QTest::newRow("no feature value yet")
            << FitnessMachineFeature() << FitnessMetrics() << metric << QString();

        FitnessMachineFeature speedOnly;
        speedOnly.averageSpeedSupported = true;
        FitnessMetrics rower;
        rower.equipmentType = EquipmentType::rower;
        rower.speed = 4.0;
        QTest::newRow("rower pace") << speedOnly << rower << metric << u"speedometer|2:05|/500M"_s;
        FitnessMetrics bike;
        bike.equipmentType = EquipmentType::bike;
        bike.speed = 25.0 / 3.6;
        QTest::newRow("bike speed") << speedOnly << bike << metric << u"speedometer|25.0|KM/H"_s;
        bike.speed = 10 * metresPerMile / 3600;
        QTest::newRow("bike in mph") << speedOnly << bike << imperial << u"speedometer|10.0|MPH"_s;
        FitnessMetrics treadmillAt8 = bike;
        treadmillAt8.equipmentType = EquipmentType::treadmill;
        treadmillAt8.speed = metresPerMile / 480;
        QTest::newRow("treadmill pace per mile")
            << speedOnly << treadmillAt8 << imperial << u"speedometer|8:00|/MI"_s;

        FitnessMachineFeature paceOnly;
        paceOnly.paceSupported = true;
        QTest::newRow("pace flag alone")
            << paceOnly << FitnessMetrics() << metric << u"speedometer|--|KM/H"_s;

        FitnessMachineFeature distance;
        distance.totalDistanceSupported = true;
        FitnessMetrics near;
        near.distance = 999;
        QTest::newRow("999 m") << distance << near << metric << u"figure.walk|999|M"_s;
        FitnessMetrics far;
        far.distance = 1500;
        QTest::newRow("1.5 km") << distance << far << metric << u"figure.walk|1.50|KM"_s;
        FitnessMetrics underATenth;
        underATenth.distance = 160.93;
        QTest::newRow("just under a tenth of a mile: feet, rounded")
            << distance << underATenth << imperial << u"figure.walk|528|FT"_s;
        FitnessMetrics aTenth;
        aTenth.distance = metresPerMile / 10;
        QTest::newRow("a tenth of a mile: miles")
            << distance << aTenth << imperial << u"figure.walk|0.10|MI"_s;

        FitnessMetrics idle;
        idle.equipmentType = EquipmentType::bike;
        idle.power = -5;
        QTest::newRow("everything, nothing measured yet")
            << allMeasured() << idle << metric
            << u"timer|--:--|, figure.walk|--|M, speedometer|--|KM/H, metronome|--|RPM, "
               "bolt.fill|--|W, flame.fill|--|KCAL, heart.fill|--|BPM"_s;

        FitnessMetrics rowing;
        rowing.equipmentType = EquipmentType::rower;
        rowing.totalTime = 3725;
        rowing.distance = 1234;
        rowing.speed = 3.2;
        rowing.strokeRate = 24;
        rowing.power = 180;
        rowing.calories = 42;
        rowing.heartRate = 131;
        QTest::newRow("rower, everything")
            << allMeasured() << rowing << metric
            << u"timer|62:05|, figure.walk|1.23|KM, speedometer|2:36|/500M, metronome|24|SPM, "
               "bolt.fill|180|W, flame.fill|42|KCAL, heart.fill|131|BPM"_s;
        // Only distance changes; the pace stays per 500 m and the counts stay as they are.
        QTest::newRow("rower, everything, imperial")
            << allMeasured() << rowing << imperial
            << u"timer|62:05|, figure.walk|0.77|MI, speedometer|2:36|/500M, metronome|24|SPM, "
               "bolt.fill|180|W, flame.fill|42|KCAL, heart.fill|131|BPM"_s;

        FitnessMachineFeature steps;
        steps.stepCountSupported = true;
        FitnessMetrics unknown;
        unknown.cadence = 80;
        QTest::newRow("unknown kind has no rate unit")
            << steps << unknown << metric << u"metronome|--|"_s;
        FitnessMetrics treadmill;
        treadmill.equipmentType = EquipmentType::treadmill;
        treadmill.stepRate = 150;
        QTest::newRow("treadmill steps") << steps << treadmill << metric << u"metronome|150|SPM"_s;
    }

    void tiles() {
        QFETCH(FitnessMachineFeature, features);
        QFETCH(FitnessMetrics, metrics);
        QFETCH(UnitSystem, units);
        QFETCH(QString, expected);
        QCOMPARE(describe(metricTiles(metrics, features, units)), expected);
    }

    void tooltipsComeFromTheStringTable() {
        const QList<MetricTile> tiles = metricTiles(FitnessMetrics(), allMeasured());
        QCOMPARE(tiles.size(), 7);
        for (const MetricTile& tile : tiles) {
            QVERIFY2(!tile.tooltip.isEmpty() && !tile.tooltip.startsWith(u"metric."_s),
                     qPrintable(tile.icon + u": "_s + tile.tooltip));
        }
    }

    // New values change rows in place (so tiles can animate); new flags rebuild the rows.
    void modelUpdatesInPlace() {
        MetricTileModel model;
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

        model.setFeatures(allMeasured());
        QCOMPARE(model.rowCount(), 7);
        QCOMPARE(reset.count(), 1);

        FitnessMetrics m;
        m.equipmentType = EquipmentType::bike;
        m.power = 250;
        model.setMetrics(m);
        QCOMPARE(reset.count(), 1);
        // The power value and the rate unit (a bike counts RPM) changed; nothing else did.
        QCOMPARE(changed.count(), 2);
        const QModelIndex power = model.index(4);
        QCOMPARE(model.data(power, MetricTileModel::IconRole).toString(), u"bolt.fill"_s);
        QCOMPARE(model.data(power, MetricTileModel::ValueRole).toString(), u"250"_s);
        model.setMetrics(m);
        QCOMPARE(changed.count(), 2); // nothing new to show

        FitnessMachineFeature fewer;
        fewer.heartRateMeasurementSupported = true;
        model.setFeatures(fewer);
        QCOMPARE(reset.count(), 2);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.data(model.index(0), MetricTileModel::UnitRole).toString(), u"BPM"_s);
        QVERIFY(!model.data(model.index(1), MetricTileModel::ValueRole).isValid());
    }

    void dimensionsPerSize() {
        // Trailing padding of the information button is the padding less the spacing.
        for (const OverlaySize size : allOverlaySizes) {
            const MetricsDimensions d = metricsDimensions(size);
            QCOMPARE(d.infoTrailingPadding, d.horizontalPadding - d.spacing);
        }
        DimensionTables tables;
        QCOMPARE(tables.metrics(7).cornerRadius, 26.0); // out of range: medium
    }
};

QTEST_GUILESS_MAIN(MetricTilesTest)
#include "tst_metrictiles.moc"
