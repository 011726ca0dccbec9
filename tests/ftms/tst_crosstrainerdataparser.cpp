#include "DecoderTesting.h"

using namespace tallyfin;
using namespace tallyfin::testing;

// Cross Trainer Data (0x2ACE): a 24-bit flags field; fields start at offset 3.
class TestCrossTrainerDataParser : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decode_data() {
        addDecodingColumns();
        QTest::newRow("two bytes, nothing announced") << values({"0100"}) << Changes{};
        QTest::newRow("two bytes, everything announced") << values({"FEFF"}) << Changes{};
        QTest::newRow("speed") << values({"000000B004"})
                               << Changes{{"speed", kmhHundredthsToMps(1200)}};
        QTest::newRow("speed: trailing bytes ignored")
            << values({"000000B0044E00"}) << Changes{{"speed", kmhHundredthsToMps(1200)}};
        QTest::newRow("speed truncated") << values({"000000B0"}) << Changes{};
        QTest::newRow("step rate, average step rate passed over")
            << values({"0900003C003700"}) << Changes{{"stepRate", 60}};
        QTest::newRow("stride count at offset 7")
            << values({"1900003C003700E803"}) << Changes{{"stepRate", 60}, {"strideCount", 1000}};
        // The step rate is cut short, yet the average step rate still moves the offset: the heart
        // rate would start at offset 5, past the end.
        QTest::newRow("step rate truncated, average still passed over")
            << values({"0908003C"}) << Changes{};
        QTest::newRow("inclination at 7, resistance at 11")
            << values({"E10000 11112222 F1FF 3333 0C00"})
            << Changes{{"incline", tenths(-15)}, {"resistance", tenths(12)}};
        QTest::newRow("average speed passed over before distance")
            << values({"060000290011114 0E201"})
            << Changes{{"speed", kmhHundredthsToMps(41)}, {"distance", 123456.0}};
        QTest::newRow("power to elapsed time")
            << values({"013F00 9CFF 1111 2C01000000 8C 05 3C00"})
            << Changes{{"power", -100}, {"calories", 300}, {"heartRate", 140}, {"totalTime", 60.0}};
        QTest::newRow("movement direction and remaining time ignored")
            << values({"01C0003C00"}) << Changes{};
        QTest::newRow("bits of the third flag byte ignored")
            << values({"0100FF3C003700"}) << Changes{};
        QTest::newRow("merge: steps, then strides")
            << values({"0900003C003700", "110000E803"})
            << Changes{{"stepRate", 60}, {"strideCount", 1000}};
    }

    void decode() { checkDecoding(CrossTrainerDataParser(), EquipmentType::crossTrainer); }
};

QTEST_GUILESS_MAIN(TestCrossTrainerDataParser)
#include "tst_crosstrainerdataparser.moc"
