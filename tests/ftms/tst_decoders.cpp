// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "../support/GadgetFields.h"
#include "ftms/FTMSDataParser.h"
#include "ftms/FeatureDecoder.h"

#include <QFile>
#include <QTest>

using namespace tallyfin;
using namespace Qt::StringLiterals;
using Changes = QMap<QByteArray, QVariant>;

namespace {

// Every field set and distinct, as after earlier notifications, so that a field a value does not
// carry can be seen to keep its value.
FitnessMetrics seeded() {
    FitnessMetrics m;
    m.power = 101;
    m.distance = 102.5;
    m.speed = 103.5;
    m.totalTime = 104;
    m.calories = 105;
    m.heartRate = 106;
    m.strokeRate = 107;
    m.strokeCount = 108;
    m.cadence = 109;
    m.resistance = 110.5;
    m.stepRate = 111;
    m.strideCount = 112;
    m.incline = 113.5;
    return m;
}

// Fields by name and value, in pairs: with("power", 200, "heartRate", 140).
Changes with() {
    return {};
}
template<typename Value, typename... Rest>
Changes with(const char* name, Value value, Rest... rest) {
    Changes changes = with(rest...);
    changes.insert(name, QVariant::fromValue(value));
    return changes;
}

// The seeded record after a value of `type` that carries `changes`.
FitnessMetrics seededWith(EquipmentType type, const Changes& changes) {
    FitnessMetrics m = seeded();
    m.equipmentType = type;
    for (auto it = changes.begin(); it != changes.end(); ++it) {
        const auto& meta = FitnessMetrics::staticMetaObject;
        if (!meta.property(meta.indexOfProperty(it.key().constData())).writeOnGadget(&m, *it)) {
            qFatal("no field %s", it.key().constData());
        }
    }
    return m;
}

double kmh(int hundredths) {
    return hundredths / 100.0 / 3.6;
}
double tenths(int raw) {
    return raw * 0.1;
}

// Names of the flags set.
QStringList setFlags(const FitnessMachineFeature& features) {
    return gadgetFields(features)
        .filter(u"Supported=true"_s)
        .replaceInStrings(u"=true"_s, QString());
}

// The twenty flags in bit order: Fitness Machine Features bits 0 to 14, then Target Setting
// Features bits 0 to 4.
const QStringList flagsInBitOrder = [] {
    QStringList names =
        u"averageSpeed cadence totalDistance inclination elevationGain pace "
        u"stepCount resistanceLevel strideCount expendedEnergy "
        u"heartRateMeasurement metabolicEquivalent elapsedTime remainingTime "
        u"powerMeasurement speedTargetSetting inclinationTargetSetting "
        u"resistanceTargetSetting powerTargetSetting heartRateTargetSetting"_s.split(u' ');
    for (QString& name : names) {
        name += u"Supported"_s;
    }
    return names;
}();

} // namespace

class TestDecoders : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each value merged into a seeded record: exactly the announced fields change.
    void decode_data() {
        QTest::addColumn<EquipmentType>("type");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<Changes>("changes");
        const auto row = [](const char* name, EquipmentType type, const char* hex,
                            const Changes& changes = {}) {
            QTest::newRow(name) << type << QByteArray::fromHex(hex) << changes;
        };
        using enum EquipmentType;

        // Indoor Bike Data (0x2AD2): 16-bit flags, bit 0 inverted (speed present when clear).
        row("bike: one byte, kind only", bike, "00");
        row("bike: speed cut short, heart rate from the same offset", bike, "00025A",
            with("heartRate", 90));
        row("bike: cadence halved, odd half dropped", bike, "0500B500", with("cadence", 90));
        row("bike: cadence unsigned", bike, "0500FFFF", with("cadence", 32767));
        row("bike: distance cut short", bike, "110040E2");
        row("bike: resistance signed", bike, "2100F6FF", with("resistance", tenths(-10)));
        row("bike: energy stored as sent", bike, "0101FFFF000000", with("calories", 65535));
        row("bike: energy total without the rest", bike, "01012C01", with("calories", 300));
        row("bike: energy cut short, heart rate from the same offset", bike, "01032C",
            with("heartRate", 44));
        row("bike: passed-over field moves past the end", bike, "030250");
        row("bike: elapsed time unsigned", bike, "0108FFFF", with("totalTime", 65535.0));
        row("bike: remaining time and reserved bits ignored", bike, "41F06400FFFFFF",
            with("power", 100));
        row("bike: every field", bike,
            "FE0F 2900 1111 B500 2222 40E201 0700 9CFF 3333 2C01000000 8C 05 3C00",
            with("speed", kmh(41), "cadence", 90, "distance", 123456.0, "resistance", tenths(7),
                 "power", -100, "calories", 300, "heartRate", 140, "totalTime", 60.0));

        // Rower Data (0x2AD1): bit 0 clear announces stroke rate and count, read as one unit;
        // the pace is stored as the equivalent speed.
        row("rower: stroke rate halved, count unsigned", rower, "00002DFFFF",
            with("strokeRate", 22, "strokeCount", 65535));
        row("rower: stroke pair cut short writes neither", rower, "00002D10");
        row("rower: stroke pair cut short, heart rate from offset 2", rower, "00022D10",
            with("heartRate", 45));
        row("rower: pace 0 is speed 0", rower, "09000000", with("speed", 0.0));
        row("rower: pace unsigned, divided in double", rower, "0900FFFF",
            with("speed", 500.0 / 65535));
        row("rower: power signed, at offset 2", rower, "210038FF", with("power", -200));
        row("rower: resistance signed", rower, "8100FDFF", with("resistance", tenths(-3)));
        row("rower: remaining time and reserved bits ignored", rower, "01F83C00AABB",
            with("totalTime", 60.0));
        row("rower: every field", rower,
            "FE0F 2D1000 11 102700 F000 2222 C800 3333 0C00 2C01000000 8C 05 3C00",
            with("strokeRate", 22, "strokeCount", 16, "distance", 10000.0, "speed", 500.0 / 240,
                 "power", 200, "resistance", tenths(12), "calories", 300, "heartRate", 140,
                 "totalTime", 60.0));

        // Treadmill Data (0x2ACD): of a pair of fields at most the first is kept, and the second
        // is always passed over.
        row("treadmill: one byte", treadmill, "00");
        row("treadmill: inclination without its ramp angle", treadmill, "0900F1FF",
            with("incline", tenths(-15)));
        row("treadmill: inclination cut short, ramp angle still passed over", treadmill, "0901F1");
        row("treadmill: reserved bits ignored", treadmill, "01E0FFFF");
        row("treadmill: every field", treadmill,
            "FE1F 2900 1111 102700 F1FF 0000 1111 2222 01 02 2C01000000 8C 05 3C00 AAAA 1111 38FF",
            with("speed", kmh(41), "distance", 10000.0, "incline", tenths(-15), "calories", 300,
                 "heartRate", 140, "totalTime", 60.0, "power", -200));

        // Cross Trainer Data (0x2ACE): 24-bit flags; fields start at offset 3.
        row("crossTrainer: flags cut short", crossTrainer, "FEFF");
        row("crossTrainer: speed, trailing bytes ignored", crossTrainer, "000000B0044E00",
            with("speed", kmh(1200)));
        row("crossTrainer: step rate cut short, average still passed over", crossTrainer,
            "0908003C");
        row("crossTrainer: movement direction and remaining time ignored", crossTrainer,
            "01C0003C00");
        row("crossTrainer: third flag byte ignored", crossTrainer, "0100FF3C003700");
        row("crossTrainer: every field", crossTrainer,
            "FE3F00 2900 1111 102700 3C00 3700 E803 1111 2222 F1FF 0000 0C00 9CFF 1111 "
            "2C01000000 8C 05 3C00",
            with("speed", kmh(41), "distance", 10000.0, "stepRate", 60, "strideCount", 1000,
                 "incline", tenths(-15), "resistance", tenths(12), "power", -100, "calories", 300,
                 "heartRate", 140, "totalTime", 60.0));
    }

    void decode() {
        QFETCH(EquipmentType, type);
        QFETCH(QByteArray, value);
        QFETCH(Changes, changes);
        FitnessMetrics metrics = seeded();
        dataParserFor(type)->parse(value, metrics);
        QCOMPARE(gadgetFields(metrics), gadgetFields(seededWith(type, changes)));
    }

    // Heart Rate Measurement (0x2A37) of a strap: only the heart rate ever changes, and the kind
    // stays that of the machine's record.
    void heartRate_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<Changes>("changes");
        const auto row = [](const char* name, const char* hex, const Changes& changes = {}) {
            QTest::newRow(name) << QByteArray::fromHex(hex) << changes;
        };
        row("empty", "");
        row("flags only", "00");
        row("uint8", "00FF", with("heartRate", 255));
        row("uint16", "012C01", with("heartRate", 300));
        row("uint16 cut short", "012C");
        row("contact detected, energy and RR intervals after the value", "1E48 3412 0004 CD03",
            with("heartRate", 72));
        row("contact not supported", "0248", with("heartRate", 72));
        row("contact lost: no heart rate", "0448", with("heartRate", 0));
    }

    void heartRate() {
        QFETCH(QByteArray, value);
        QFETCH(Changes, changes);
        FitnessMetrics metrics = seeded();
        HeartRateMeasurementParser().parse(value, metrics);
        QCOMPARE(gadgetFields(metrics), gadgetFields(seededWith(EquipmentType::unknown, changes)));
    }

    // Every value of the capture file, as real machines sent them, decodes as its kind; samples
    // worked out by hand decode to exactly their records.
    void captures() {
        using enum EquipmentType;
        const QMap<QByteArray, EquipmentType> kinds{
            {"0x2AD2", bike}, {"0x2AD1", rower}, {"0x2ACD", treadmill}, {"0x2ACE", crossTrainer}};
        const QMap<int, Changes> byHand{
            {2, // Zwift Hub: resistance and power after passed-over averages
             with("speed", kmh(2969), "cadence", 89, "distance", 247.0, "resistance", tenths(20),
                  "power", 70, "heartRate", 0)},
            {32, // Viking Pro V
             with("strokeRate", 19, "strokeCount", 11, "speed", 500.0 / 199, "power", 44,
                  "resistance", tenths(2))},
            {105, // MyRun: energy, then metabolic equivalent, then time
             with("speed", kmh(590), "calories", 2, "totalTime", 39.0)},
            {114, // cross trainer: every pair and group
             with("speed", kmh(1190), "distance", 531.0, "stepRate", 128, "strideCount", 1708,
                  "incline", tenths(0), "resistance", tenths(10), "power", 22, "calories", 12,
                  "heartRate", 89, "totalTime", 172.0)}};

        QFile file(QStringLiteral(TALLYFIN_TEST_DATA_DIR "/ftms-captures.tsv"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        file.readLine(); // header
        int line = 1;
        int features = 0;
        while (!file.atEnd()) {
            const QByteArrayList columns = file.readLine().trimmed().split('\t');
            ++line;
            QVERIFY(columns.size() >= 3);
            const QByteArray value = QByteArray::fromHex(columns.at(1));
            const QByteArray where =
                "line " + QByteArray::number(line) + " (" + columns.at(2) + ')';
            if (columns.at(0) == "0x2ACC") {
                const auto bits = readFeatureBits(value);
                QVERIFY2(bits, where.constData());
                if (line == 42) {
                    const FitnessMachineFeature decoded = applyFeatureBits({}, *bits);
                    QCOMPARE(featuresLogLine(decoded), u"FEATURES: Distance, Power"_s);
                    QCOMPARE(decoded.controlCapabilityNames(),
                             (QStringList{u"Resistance"_s, u"Power"_s}));
                }
                ++features;
                continue;
            }
            const EquipmentType type = kinds.value(columns.at(0), unknown);
            QVERIFY2(type != unknown, where.constData());
            FitnessMetrics metrics = seeded();
            dataParserFor(type)->parse(value, metrics);
            QVERIFY2(metrics.equipmentType == type, where.constData());
            if (byHand.contains(line)) {
                QCOMPARE(gadgetFields(metrics), gadgetFields(seededWith(type, byHand.value(line))));
            }
        }
        QCOMPARE(line, 115);
        QCOMPARE(features, 3);
    }

    // Fitness Machine Feature (0x2ACC): two little-endian 32-bit words.
    void features_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QStringList>("flags");
        QTest::addColumn<QString>("logLine"); // empty: not decoded

        QTest::newRow("7 bytes: not decoded") << QByteArray(7, '\xFF') << QStringList() << "";
        QTest::newRow("all zero") << QByteArray(8, 0) << QStringList() << "FEATURES: ";
        QTest::newRow("bike trainer")
            << QByteArray::fromHex("8640000004000000")
            << QStringList{u"cadenceSupported"_s, u"totalDistanceSupported"_s,
                           u"resistanceLevelSupported"_s, u"powerMeasurementSupported"_s,
                           u"resistanceTargetSettingSupported"_s}
            << "FEATURES: Cadence, Distance, Resistance, Power";
        QTest::newRow("only the first 8 of 12 bytes")
            << QByteArray::fromHex("0010000001000000FFFFFFFF")
            << QStringList{u"elapsedTimeSupported"_s, u"speedTargetSettingSupported"_s}
            << "FEATURES: Time";
        QTest::newRow("machine bits from 15, target bits from 5 set no flag")
            << QByteArray::fromHex("0080FFFFE0FFFFFF") << QStringList() << "FEATURES: ";
        QTest::newRow("everything: metric names in display order, not bit order")
            << QByteArray(8, '\xFF') << flagsInBitOrder
            << "FEATURES: Speed, Cadence, Distance, Incline, Pace, Steps, Resistance, Power, "
               "Calories, Heart Rate, Time";
    }

    void features() {
        QFETCH(QByteArray, value);
        QFETCH(QStringList, flags);
        QFETCH(QString, logLine);
        const auto bits = readFeatureBits(value);
        QCOMPARE(bits.has_value(), !logLine.isEmpty());
        if (bits) {
            const FitnessMachineFeature features = applyFeatureBits({}, *bits);
            QCOMPARE(setFlags(features), flags);
            QCOMPARE(featuresLogLine(features), logLine);
        }
    }

    // Each bit sets its own flag and clears every other, also one set by an earlier value; the
    // name is not part of the value.
    void eachFeatureBitSetsItsFlag() {
        FitnessMachineFeature before = applyFeatureBits({}, {~0u, ~0u});
        before.deviceName = u"Kickr"_s;
        for (int i = 0; i < 20; ++i) {
            const int bit = i < 15 ? i : 32 + i - 15;
            QByteArray value(8, 0);
            value[bit / 8] = char(1 << (bit % 8));
            const FitnessMachineFeature after = applyFeatureBits(before, *readFeatureBits(value));
            QCOMPARE(setFlags(after), QStringList{flagsInBitOrder.at(i)});
            QCOMPARE(after.deviceName, u"Kickr"_s);
            // The table's names are the JSON keys of the command-line tool.
            QCOMPARE(featureFlags()[i].name.toString(), flagsInBitOrder.at(i));
        }
    }
};

QTEST_GUILESS_MAIN(TestDecoders)
#include "tst_decoders.moc"
