#include "DecoderTesting.h"

using namespace tallyfin;
using namespace tallyfin::testing;

// Treadmill Data (0x2ACD): several bits announce a pair of fields of which at most one is kept;
// the second of a pair is always passed over.
class TestTreadmillDataParser : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decode_data() {
        addDecodingColumns();
        QTest::newRow("one byte") << values({"00"}) << Changes{};
        QTest::newRow("speed") << values({"00002900"})
                               << Changes{{"speed", kmhHundredthsToMps(41)}};
        QTest::newRow("speed and inclination, ramp angle passed over")
            << values({"0800E80319000500"})
            << Changes{{"speed", kmhHundredthsToMps(1000)}, {"incline", tenths(25)}};
        QTest::newRow("inclination: negative")
            << values({"0900F1FF0000"}) << Changes{{"incline", tenths(-15)}};
        QTest::newRow("inclination without its ramp angle")
            << values({"0900F1FF"}) << Changes{{"incline", tenths(-15)}};
        // The inclination is cut short, yet the ramp angle still moves the offset: the heart rate
        // would start at offset 4, past the end.
        QTest::newRow("inclination truncated, ramp angle still passed over")
            << values({"0901F1"}) << Changes{};
        QTest::newRow("inclination, elevation gain, heart rate at offset 10")
            << values({"19010A000000111122228C"})
            << Changes{{"incline", tenths(10)}, {"heartRate", 140}};
        QTest::newRow("each pace field is one byte")
            << values({"6101AABB8C"}) << Changes{{"heartRate", 140}};
        QTest::newRow("average speed passed over before distance")
            << values({"0600290011114 0E201"})
            << Changes{{"speed", kmhHundredthsToMps(41)}, {"distance", 123456.0}};
        QTest::newRow("energy to power")
            << values({"811F 2C01000000 8C 05 3C00 AAAA 1111 38FF"})
            << Changes{{"calories", 300}, {"heartRate", 140}, {"totalTime", 60.0}, {"power", -200}};
        QTest::newRow("force on belt passed over, then power")
            << values({"01100000C800"}) << Changes{{"power", 200}};
        QTest::newRow("power truncated") << values({"01100000C8"}) << Changes{};
        QTest::newRow("elapsed time truncated") << values({"01043C"}) << Changes{};
        QTest::newRow("reserved bits ignored") << values({"01E0FFFF"}) << Changes{};
        QTest::newRow("merge: speed, then incline")
            << values({"00002900", "0900F1FF"})
            << Changes{{"speed", kmhHundredthsToMps(41)}, {"incline", tenths(-15)}};
    }

    void decode() { checkDecoding(TreadmillDataParser(), EquipmentType::treadmill); }
};

QTEST_GUILESS_MAIN(TestTreadmillDataParser)
#include "tst_treadmilldataparser.moc"
