#include "DecoderTesting.h"

using namespace tallyfin;
using namespace tallyfin::testing;

// Indoor Bike Data (0x2AD2): flags 16 bits, bit 0 inverted (speed present when clear).
class TestBikeDataParser : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decode_data() {
        addDecodingColumns();
        QTest::newRow("empty value: type only") << values({""}) << Changes{};
        QTest::newRow("one byte: type only") << values({"00"}) << Changes{};
        QTest::newRow("speed announced, no bytes") << values({"0000"}) << Changes{};
        QTest::newRow("speed announced, one byte") << values({"0000C4"}) << Changes{};
        QTest::newRow("speed: two divisions")
            << values({"00002900"}) << Changes{{"speed", kmhHundredthsToMps(41)}};
        QTest::newRow("speed, cadence, power")
            << values({"4400C409B400F401"})
            << Changes{{"speed", kmhHundredthsToMps(2500)}, {"cadence", 90}, {"power", 500}};
        QTest::newRow("cadence: odd half-revolutions dropped")
            << values({"0500B500"}) << Changes{{"cadence", 90}};
        QTest::newRow("cadence: one half-revolution is 0")
            << values({"05000100"}) << Changes{{"cadence", 0}};
        QTest::newRow("cadence: all ones") << values({"0500FFFF"}) << Changes{{"cadence", 32767}};
        QTest::newRow("power: negative") << values({"41009CFF"}) << Changes{{"power", -100}};
        QTest::newRow("power: most negative") << values({"41000080"}) << Changes{{"power", -32768}};
        QTest::newRow("power: largest") << values({"4100FF7F"}) << Changes{{"power", 32767}};
        QTest::newRow("more data set: power at offset 2")
            << values({"41002C01"}) << Changes{{"power", 300}};
        QTest::newRow("average power passed over before heart rate")
            << values({"8102AABB8C"}) << Changes{{"heartRate", 140}};
        QTest::newRow("average speed and cadence passed over")
            << values({"1F00 1111 5000 2222 102700"})
            << Changes{{"cadence", 40}, {"distance", 10000.0}};
        QTest::newRow("distance: 24 bits")
            << values({"110040E201"}) << Changes{{"distance", 123456.0}};
        QTest::newRow("distance: two of three bytes") << values({"110040E2"}) << Changes{};
        QTest::newRow("resistance: times 0.1")
            << values({"21000700"}) << Changes{{"resistance", tenths(7)}};
        QTest::newRow("resistance: signed")
            << values({"2100F6FF"}) << Changes{{"resistance", tenths(-10)}};
        QTest::newRow("energy: five bytes, then heart rate")
            << values({"01032C01FFFFFF48"}) << Changes{{"calories", 300}, {"heartRate", 72}};
        QTest::newRow("energy: all ones stored")
            << values({"0101FFFF000000"}) << Changes{{"calories", 65535}};
        QTest::newRow("energy: total only, rest missing")
            << values({"01012C01"}) << Changes{{"calories", 300}};
        // The truncated energy field does not move the offset, so the heart rate is read where
        // the energy would have started.
        QTest::newRow("energy truncated: next field from same offset")
            << values({"01032C"}) << Changes{{"heartRate", 44}};
        QTest::newRow("speed truncated: next field from same offset")
            << values({"00025A"}) << Changes{{"heartRate", 90}};
        QTest::newRow("skipped field moves offset past the end") << values({"030250"}) << Changes{};
        QTest::newRow("metabolic equivalent passed over before time")
            << values({"010C053C00"}) << Changes{{"totalTime", 60.0}};
        QTest::newRow("elapsed time: all ones")
            << values({"0108FFFF"}) << Changes{{"totalTime", 65535.0}};
        QTest::newRow("elapsed time truncated") << values({"01083C"}) << Changes{};
        QTest::newRow("remaining time and reserved bits ignored")
            << values({"41F06400FFFFFF"}) << Changes{{"power", 100}};
        QTest::newRow("every field")
            << values({"FE0F 2900 1111 B500 2222 40E201 0700 9CFF 3333 2C01000000 8C 05 3C00"})
            << Changes{{"speed", kmhHundredthsToMps(41)},
                       {"cadence", 90},
                       {"distance", 123456.0},
                       {"resistance", tenths(7)},
                       {"power", -100},
                       {"calories", 300},
                       {"heartRate", 140},
                       {"totalTime", 60.0}};
        QTest::newRow("merge: each value adds its fields")
            << values({"4100C800", "01028C"}) << Changes{{"power", 200}, {"heartRate", 140}};
        QTest::newRow("merge: a later value overwrites")
            << values({"4100C800", "41002C01"}) << Changes{{"power", 300}};
        QTest::newRow("merge: a short value keeps what was there")
            << values({"4100C800", "4100"}) << Changes{{"power", 200}};
    }

    void decode() { checkDecoding(BikeDataParser(), EquipmentType::bike); }

    void defaultRecordGetsType() {
        FitnessMetrics metrics;
        metrics.distance = 500;
        BikeDataParser().parse(hex("4100C800"), metrics);
        QCOMPARE(metrics.equipmentType, EquipmentType::bike);
        QCOMPARE(metrics.distance, 500.0);
        QCOMPARE(metrics.power, 200);
    }

    void baseParserChangesNothing() {
        FitnessMetrics metrics = seededMetrics();
        FTMSDataParser().parse(hex("4100C800"), metrics);
        QString difference;
        QVERIFY2(sameRecord(metrics, seededMetrics(), difference), qPrintable(difference));
    }

    void parserForEachKind_data() {
        QTest::addColumn<EquipmentType>("type");
        QTest::newRow("bike") << EquipmentType::bike;
        QTest::newRow("rower") << EquipmentType::rower;
        QTest::newRow("treadmill") << EquipmentType::treadmill;
        QTest::newRow("crossTrainer") << EquipmentType::crossTrainer;
    }

    void parserForEachKind() {
        QFETCH(EquipmentType, type);
        const FTMSDataParsing* parser = dataParserFor(type);
        QVERIFY(parser);
        FitnessMetrics metrics;
        parser->parse({}, metrics);
        QCOMPARE(metrics.equipmentType, type);
    }

    void noParserForUnknown() { QCOMPARE(dataParserFor(EquipmentType::unknown), nullptr); }
};

QTEST_GUILESS_MAIN(TestBikeDataParser)
#include "tst_bikedataparser.moc"
