// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "ui/panel/MetricTileModel.h"

#include <QAbstractItemModelTester>
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
    // Which tiles a machine's flags show, in order, and what each says.
    void tiles_data() {
        QTest::addColumn<FitnessMachineFeature>("features");
        QTest::addColumn<FitnessMetrics>("metrics");
        QTest::addColumn<UnitSystem>("units");
        QTest::addColumn<QString>("expected");
        using enum EquipmentType;
        using enum UnitSystem;
        const auto with = [](EquipmentType type, auto field, auto value) {
            FitnessMetrics m;
            m.equipmentType = type;
            m.*field = value;
            return m;
        };
        const auto only = [](bool FitnessMachineFeature::*flag) {
            FitnessMachineFeature f;
            f.*flag = true;
            return f;
        };
        const auto speed = only(&FitnessMachineFeature::averageSpeedSupported);
        const auto distance = only(&FitnessMachineFeature::totalDistanceSupported);
        const auto steps = only(&FitnessMachineFeature::stepCountSupported);
        const double mile = metresPerMile;

        QTest::newRow("no feature value yet")
            << FitnessMachineFeature() << FitnessMetrics() << metric << QString();
        // Targets a machine takes, and values without a tile of their own, show nothing.
        const FitnessMachineFeature noTile{.deviceName = {},
                                           .inclinationSupported = true,
                                           .elevationGainSupported = true,
                                           .resistanceLevelSupported = true,
                                           .strideCountSupported = true,
                                           .metabolicEquivalentSupported = true,
                                           .remainingTimeSupported = true,
                                           .speedTargetSettingSupported = true,
                                           .inclinationTargetSettingSupported = true,
                                           .resistanceTargetSettingSupported = true,
                                           .powerTargetSettingSupported = true,
                                           .heartRateTargetSettingSupported = true};
        QTest::newRow("targets and values without a tile")
            << noTile << with(bike, &FitnessMetrics::power, qint64(200)) << metric << QString();
        QTest::newRow("bike speed") << speed << with(bike, &FitnessMetrics::speed, 25.0 / 3.6)
                                    << metric << u"speedometer|25.0|KM/H"_s;
        QTest::newRow("15.96 mph rounds up")
            << speed << with(crossTrainer, &FitnessMetrics::speed, 15.96 * mile / 3600) << imperial
            << u"speedometer|16.0|MPH"_s;
        QTest::newRow("treadmill 7:59.6 per mile carries to the minute")
            << speed << with(treadmill, &FitnessMetrics::speed, mile / 479.6) << imperial
            << u"speedometer|8:00|/MI"_s;
        QTest::newRow("rower near standing: held at 10^15 seconds")
            << speed << with(rower, &FitnessMetrics::speed, 1e-300) << metric
            << u"speedometer|16666666666666:40|/500M"_s;
        QTest::newRow("unknown kind: speed in m/s, whole")
            << speed << with(unknown, &FitnessMetrics::speed, 2.5) << metric
            << u"speedometer|2.5 m/s|KM/H"_s;
        QTest::newRow("pace flag alone") << only(&FitnessMachineFeature::paceSupported)
                                         << FitnessMetrics() << metric << u"speedometer|--|KM/H"_s;
        QTest::newRow("999.6 m: metres, rounded")
            << distance << with(bike, &FitnessMetrics::distance, 999.6) << metric
            << u"figure.walk|1000|M"_s;
        QTest::newRow("1000 m: kilometres")
            << distance << with(bike, &FitnessMetrics::distance, 1000.0) << metric
            << u"figure.walk|1.00|KM"_s;
        QTest::newRow("just under a tenth of a mile: feet, rounded")
            << distance << with(bike, &FitnessMetrics::distance, 160.93) << imperial
            << u"figure.walk|528|FT"_s;
        QTest::newRow("a tenth of a mile: miles")
            << distance << with(bike, &FitnessMetrics::distance, mile / 10) << imperial
            << u"figure.walk|0.10|MI"_s;
        QTest::newRow("unknown kind: no rate")
            << steps << with(unknown, &FitnessMetrics::cadence, qint64(80)) << metric
            << u"metronome|--|"_s;
        QTest::newRow("treadmill steps")
            << steps << with(treadmill, &FitnessMetrics::stepRate, qint64(150)) << metric
            << u"metronome|150|SPM"_s;
        QTest::newRow("cross trainer steps, not cadence")
            << steps << with(crossTrainer, &FitnessMetrics::stepRate, qint64(60)) << metric
            << u"metronome|60|SPM"_s;

        const FitnessMetrics idle{.equipmentType = bike, .power = -5, .speed = -2, .cadence = -5};
        QTest::newRow("everything, nothing measured yet")
            << allMeasured() << idle << metric
            << u"timer|--:--|, figure.walk|--|M, speedometer|--|KM/H, metronome|--|RPM, "
               "bolt.fill|--|W, flame.fill|--|KCAL, heart.fill|--|BPM"_s;

        FitnessMetrics rowing = with(rower, &FitnessMetrics::totalTime, 3725.9); // truncated
        rowing.distance = 12346;
        rowing.speed = 3.2;
        rowing.strokeRate = 24;
        rowing.cadence = 90;
        rowing.power = 180;
        rowing.calories = 42;
        rowing.heartRate = 131;
        QTest::newRow("rower, everything")
            << allMeasured() << rowing << metric
            << u"timer|62:05|, figure.walk|12.35|KM, speedometer|2:36|/500M, metronome|24|SPM, "
               "bolt.fill|180|W, flame.fill|42|KCAL, heart.fill|131|BPM"_s;
        // Only distance changes; the pace stays per 500 m and the counts stay as they are.
        QTest::newRow("rower, everything, imperial")
            << allMeasured() << rowing << imperial
            << u"timer|62:05|, figure.walk|7.67|MI, speedometer|2:36|/500M, metronome|24|SPM, "
               "bolt.fill|180|W, flame.fill|42|KCAL, heart.fill|131|BPM"_s;
    }

    void tiles() {
        QFETCH(FitnessMachineFeature, features);
        QFETCH(FitnessMetrics, metrics);
        QFETCH(UnitSystem, units);
        QFETCH(QString, expected);
        QCOMPARE(describe(metricTiles(metrics, features, units)), expected);
    }

    // The hover help of every tile on each kind of machine (string table keys without
    // "metric." and ".tooltip").
    void tooltips_data() {
        QTest::addColumn<EquipmentType>("type");
        QTest::addColumn<UnitSystem>("units");
        QTest::addColumn<QString>("expected");
        using enum EquipmentType;
        using enum UnitSystem;
        const auto all = [](const char* speed, const char* rate) {
            return u"time distance %1 %2 power calories heartRate"_s.arg(QLatin1String(speed),
                                                                         QLatin1String(rate));
        };
        QTest::newRow("bike") << bike << metric << all("speed", "cadence");
        QTest::newRow("rower") << rower << imperial << all("rowPace", "strokeRate");
        QTest::newRow("treadmill") << treadmill << metric << all("speed", "stepRate");
        QTest::newRow("treadmill, imperial")
            << treadmill << imperial << all("milePace", "stepRate");
        QTest::newRow("cross trainer, imperial")
            << crossTrainer << imperial << all("speed", "stepRate");
        QTest::newRow("unknown") << unknown << metric << all("speed", "cadence");
    }
    void tooltips() {
        QFETCH(EquipmentType, type);
        QFETCH(UnitSystem, units);
        QStringList keys;
        for (const MetricTile& tile :
             metricTiles(FitnessMetrics{.equipmentType = type}, allMeasured(), units)) {
            keys.append(tile.tooltip.chopped(8).mid(7));
        }
        QTEST(keys.join(u' '), "expected");
    }

    // New values change rows in place (so tiles can animate); new flags rebuild the rows.
    // A workout well under way: every tile at a typical width.
    void stripFit_data() {
        QTest::addColumn<EquipmentType>("type");
        QTest::addColumn<double>("width");
        QTest::addColumn<OverlaySize>("size");
        QTest::addColumn<OverlaySize>("fontSize");
        QTest::addColumn<QString>("kept");
        const QString all = u"time distance speed rate power calories heartRate"_s;
        const auto [bike, rower] = std::pair(EquipmentType::bike, EquipmentType::rower);
        const auto [small, medium, large] = allOverlaySizes;
        QTest::newRow("no limit") << bike << 0.0 << medium << medium << all;
        QTest::newRow("just fits") << bike << 1340.4 << large << large << all;
        QTest::newRow("a point short") << bike << 1339.4 << large << medium << all;
        QTest::newRow("800-px screen")
            << bike << 744.0 << medium << small << u"speed rate power heartRate"_s;
        QTest::newRow("small rower")
            << rower << 656.0 << small << small << u"speed power heartRate"_s;
        QTest::newRow("calories, time")
            << bike << 820.0 << small << small << u"distance speed rate power heartRate"_s;
        QTest::newRow("one stays") << bike << 100.0 << small << small << u"power"_s;
    }

    void stripFit() {
        QFETCH(EquipmentType, type);
        QFETCH(double, width);
        QFETCH(OverlaySize, size);
        FitnessMetrics m{.equipmentType = type, .power = 245, .distance = 12'345, .speed = 8.4};
        m.totalTime = 3'725; // 1:02:05
        std::tie(m.calories, m.heartRate, m.strokeRate, m.cadence) = std::tuple(1'234, 152, 28, 92);
        const QList<MetricTile> tiles = metricTiles(m, allMeasured());
        const StripFit fit = tallyfin::ui::stripFit(width, tiles, size);
        QTEST(fit.fontSize, "fontSize");
        QTEST(fit.kept.join(u' '), "kept");

        MetricTileModel model; // applies it: the tiles that go stop fitting
        model.setMetrics(m);
        model.setFeatures(allMeasured());
        model.setSizeIndex(static_cast<int>(size));
        model.setStripWidth(width);
        QCOMPARE(model.fontSizeIndex(), static_cast<int>(fit.fontSize));
        for (int row = 0; row < model.rowCount(); ++row) {
            const QModelIndex i = model.index(row);
            QCOMPARE(i.data(MetricTileModel::FitsRole).toBool(),
                     fit.kept.contains(i.data(MetricTileModel::KeyRole).toString()));
        }
    }

    void modelUpdatesInPlace() {
        MetricTileModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

        model.setFeatures(allMeasured());
        QCOMPARE(model.rowCount(), 7);
        QCOMPARE(reset.count(), 1);

        const FitnessMetrics m{.equipmentType = EquipmentType::bike, .power = 250};
        model.setMetrics(m);
        QCOMPARE(reset.count(), 1);
        // The power value and the rate unit (a bike counts RPM) changed; nothing else did.
        QCOMPARE(changed.count(), 2);
        QCOMPARE(model.data(model.index(4), MetricTileModel::ValueRole).toString(), u"250"_s);
        model.setMetrics(m);
        QCOMPARE(changed.count(), 2); // nothing new to show

        FitnessMachineFeature fewer;
        fewer.heartRateMeasurementSupported = true;
        model.setFeatures(fewer);
        QCOMPARE(reset.count(), 2);
        QCOMPARE(model.rowCount(), 1);
    }
};

QTEST_GUILESS_MAIN(MetricTilesTest)
#include "tst_metrictiles.moc"
