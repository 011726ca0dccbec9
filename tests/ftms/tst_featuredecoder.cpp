#include "ftms/FeatureDecoder.h"

#include <QTest>

using namespace tallyfin;
using namespace Qt::StringLiterals;

// Fitness Machine Feature (0x2ACC): two little-endian 32-bit words into twenty flags.
class TestFeatureDecoder : public QObject {
    Q_OBJECT

    static QStringList setFlags(const FitnessMachineFeature& features) {
        QStringList names;
        for (const FeatureFlag& flag : featureFlags()) {
            if (features.*flag.member) {
                names.append(flag.name.toString());
            }
        }
        return names;
    }

private Q_SLOTS:
    void decode_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QStringList>("flags");
        QTest::addColumn<QString>("logLine");

        QTest::newRow("all zero") << QByteArray(8, 0) << QStringList{}
                                  << QStringLiteral("FEATURES: ");
        QTest::newRow("bike trainer")
            << QByteArray::fromHex("8640000004000000")
            << QStringList{u"cadenceSupported"_s, u"totalDistanceSupported"_s,
                           u"resistanceLevelSupported"_s, u"powerMeasurementSupported"_s,
                           u"resistanceTargetSettingSupported"_s}
            << QStringLiteral("FEATURES: Cadence, Distance, Resistance, Power");
        QTest::newRow("only the first 8 of 12 bytes")
            << QByteArray::fromHex("0010000001000000FFFFFFFF")
            << QStringList{u"elapsedTimeSupported"_s, u"speedTargetSettingSupported"_s}
            << QStringLiteral("FEATURES: Time");
        QTest::newRow("second byte of the machine word")
            << QByteArray::fromHex("0001000000000000") << QStringList{u"strideCountSupported"_s}
            << QStringLiteral("FEATURES: ");
        QTest::newRow("machine bit 15 and above set no flag")
            << QByteArray::fromHex("0080FFFF00000000") << QStringList{}
            << QStringLiteral("FEATURES: ");
        QTest::newRow("target bits 5 and above set no flag")
            << QByteArray::fromHex("00000000E0FFFFFF") << QStringList{}
            << QStringLiteral("FEATURES: ");
        QTest::newRow("heart-rate target is target bit 4")
            << QByteArray::fromHex("0000000010000000")
            << QStringList{u"heartRateTargetSettingSupported"_s} << QStringLiteral("FEATURES: ");
        QTest::newRow("metric names in display order, not bit order")
            << QByteArray::fromHex("E044000000000000")
            << QStringList{u"paceSupported"_s, u"stepCountSupported"_s,
                           u"resistanceLevelSupported"_s, u"heartRateMeasurementSupported"_s,
                           u"powerMeasurementSupported"_s}
            << QStringLiteral("FEATURES: Pace, Steps, Resistance, Power, Heart Rate");
        QTest::newRow("everything")
            << QByteArray(8, '\xFF')
            << QStringList{u"averageSpeedSupported"_s,
                           u"cadenceSupported"_s,
                           u"totalDistanceSupported"_s,
                           u"inclinationSupported"_s,
                           u"elevationGainSupported"_s,
                           u"paceSupported"_s,
                           u"stepCountSupported"_s,
                           u"resistanceLevelSupported"_s,
                           u"strideCountSupported"_s,
                           u"expendedEnergySupported"_s,
                           u"heartRateMeasurementSupported"_s,
                           u"metabolicEquivalentSupported"_s,
                           u"elapsedTimeSupported"_s,
                           u"remainingTimeSupported"_s,
                           u"powerMeasurementSupported"_s,
                           u"speedTargetSettingSupported"_s,
                           u"inclinationTargetSettingSupported"_s,
                           u"resistanceTargetSettingSupported"_s,
                           u"powerTargetSettingSupported"_s,
                           u"heartRateTargetSettingSupported"_s}
            << QStringLiteral("FEATURES: Speed, Cadence, Distance, Incline, Pace, Steps, "
                              "Resistance, Power, Calories, Heart Rate, Time");
    }

    void decode() {
        QFETCH(QByteArray, value);
        QFETCH(QStringList, flags);
        QFETCH(QString, logLine);

        const auto bits = readFeatureBits(value);
        QVERIFY(bits);
        const FitnessMachineFeature features = applyFeatureBits(FitnessMachineFeature{}, *bits);
        QCOMPARE(setFlags(features), flags);
        QCOMPARE(featuresLogLine(features), logLine);
    }

    void shortValueNotDecoded_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("7 bytes") << QByteArray(7, '\xFF');
    }

    void shortValueNotDecoded() {
        QFETCH(QByteArray, value);
        QVERIFY(!readFeatureBits(value));
    }

    // Every flag is written, so a flag set by an earlier value is cleared by one without its bit;
    // the name is not part of the value.
    void applyOverwritesEveryFlagAndKeepsName() {
        FitnessMachineFeature before;
        before.deviceName = QStringLiteral("Kickr");
        before.cadenceSupported = true;
        before.powerTargetSettingSupported = true;
        const FitnessMachineFeature after = applyFeatureBits(before, FeatureBits{1u << 14, 0});
        QCOMPARE(after.deviceName, QStringLiteral("Kickr"));
        QCOMPARE(setFlags(after), QStringList{u"powerMeasurementSupported"_s});
    }

    // Flag names double as JSON keys and QML property names.
    void flagNamesAreTheRecordsProperties() {
        const QMetaObject& meta = FitnessMachineFeature::staticMetaObject;
        QCOMPARE(featureFlags().size(), std::size_t(meta.propertyCount() - 1));
        for (const FeatureFlag& flag : featureFlags()) {
            FitnessMachineFeature features;
            features.*flag.member = true;
            const int index = meta.indexOfProperty(flag.name.toLatin1().constData());
            QVERIFY2(index >= 0, qPrintable(flag.name.toString()));
            QVERIFY(meta.property(index).readOnGadget(&features).toBool());
        }
    }
};

QTEST_GUILESS_MAIN(TestFeatureDecoder)
#include "tst_featuredecoder.moc"
