#include "DecoderTesting.h"

using namespace tallyfin;
using namespace tallyfin::testing;

// Rower Data (0x2AD1): bit 0 clear announces stroke rate and stroke count, read as one unit; the
// pace is stored as the equivalent speed.
class TestRowerDataParser : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decode_data() {
        addDecodingColumns();
        QTest::newRow("empty value") << values({""}) << Changes{};
        QTest::newRow("flags only, strokes announced") << values({"0000"}) << Changes{};
        QTest::newRow("strokes: rate halved and truncated")
            << values({"00002D1000"}) << Changes{{"strokeRate", 22}, {"strokeCount", 16}};
        QTest::newRow("strokes: one half-stroke is 0")
            << values({"000001FFFF"}) << Changes{{"strokeRate", 0}, {"strokeCount", 65535}};
        QTest::newRow("strokes: four bytes write neither") << values({"00002D10"}) << Changes{};
        QTest::newRow("strokes: three bytes write neither") << values({"00002D"}) << Changes{};
        // The stroke pair was not read, so the offset stays at 2 for the heart rate.
        QTest::newRow("strokes truncated: next field from offset 2")
            << values({"00022D10"}) << Changes{{"heartRate", 45}};
        QTest::newRow("average stroke rate passed over")
            << values({"02022D10009950"})
            << Changes{{"strokeRate", 22}, {"strokeCount", 16}, {"heartRate", 0x50}};
        QTest::newRow("pace into speed")
            << values({"0900F000"}) << Changes{{"speed", 500.0 / 240.0}};
        QTest::newRow("pace: odd divisor")
            << values({"09000700"}) << Changes{{"speed", 500.0 / 7.0}};
        QTest::newRow("pace 0 is speed 0") << values({"09000000"}) << Changes{{"speed", 0.0}};
        QTest::newRow("pace: all ones")
            << values({"0900FFFF"}) << Changes{{"speed", 500.0 / 65535.0}};
        QTest::newRow("pace truncated") << values({"0900F0"}) << Changes{};
        QTest::newRow("distance at offset 2")
            << values({"0500102700"}) << Changes{{"distance", 10000.0}};
        QTest::newRow("strokes then distance at offset 5")
            << values({"04002D1000401F00"})
            << Changes{{"strokeRate", 22}, {"strokeCount", 16}, {"distance", 8000.0}};
        QTest::newRow("power: negative") << values({"210038FF"}) << Changes{{"power", -200}};
        QTest::newRow("average pace passed over before power")
            << values({"3900F0001111C800"}) << Changes{{"speed", 500.0 / 240.0}, {"power", 200}};
        QTest::newRow("average power passed over before resistance")
            << values({"C10011110C00"}) << Changes{{"resistance", tenths(12)}};
        QTest::newRow("resistance: signed tenths")
            << values({"8100FDFF"}) << Changes{{"resistance", tenths(-3)}};
        QTest::newRow("energy, heart rate, metabolic equivalent, time")
            << values({"010F 2C01 2222 33 8C 05 3C00"})
            << Changes{{"calories", 300}, {"heartRate", 140}, {"totalTime", 60.0}};
        QTest::newRow("remaining time and reserved bits ignored")
            << values({"01F83C00AABB"}) << Changes{{"totalTime", 60.0}};
        QTest::newRow("merge: strokes, then pace")
            << values({"00002D1000", "0900F000"})
            << Changes{{"strokeRate", 22}, {"strokeCount", 16}, {"speed", 500.0 / 240.0}};
        QTest::newRow("merge: a later pace of 0 clears the speed")
            << values({"0900F000", "09000000"}) << Changes{{"speed", 0.0}};
    }

    void decode() { checkDecoding(RowerDataParser(), EquipmentType::rower); }
};

QTEST_GUILESS_MAIN(TestRowerDataParser)
#include "tst_rowerdataparser.moc"
