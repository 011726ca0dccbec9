#include "bluetooth/simulated/FTMSEncoder.h"
#include "ftms/FTMSDataParser.h"

#include <QTest>

#include <random>

using namespace tallyfin;
using namespace tallyfin::bluetooth::simulated;

Q_DECLARE_METATYPE(std::uint32_t)

namespace {

// Values that survive each field's quantisation exactly, some at the edges of their encoding.
FitnessMetrics source(EquipmentType type) {
    FitnessMetrics m;
    m.equipmentType = type;
    m.power = -100;
    m.distance = 12345;
    m.speed = type == EquipmentType::rower ? 500.0 / 118 : 3250 / 100.0 / 3.6;
    m.totalTime = 3599;
    m.calories = 65535;
    m.heartRate = 171;
    m.strokeRate = 27;
    m.strokeCount = 815;
    m.cadence = 93;
    m.resistance = 12.3;
    m.stepRate = 142;
    m.strideCount = 2048;
    m.incline = -1.5;
    return m;
}

bool has(std::uint32_t flags, int bit) {
    return (flags >> bit) & 1U;
}

// What a decoder must make of the value: the fields the flags announce, nothing else.
FitnessMetrics expected(EquipmentType type, std::uint32_t flags, const FitnessMetrics& s) {
    FitnessMetrics m;
    m.equipmentType = type;
    switch (type) {
    case EquipmentType::bike:
        if (!has(flags, 0))
            m.speed = s.speed;
        if (has(flags, 2))
            m.cadence = s.cadence;
        if (has(flags, 4))
            m.distance = s.distance;
        if (has(flags, 5))
            m.resistance = s.resistance;
        if (has(flags, 6))
            m.power = s.power;
        if (has(flags, 8))
            m.calories = s.calories;
        if (has(flags, 9))
            m.heartRate = s.heartRate;
        if (has(flags, 11))
            m.totalTime = s.totalTime;
        break;
    case EquipmentType::rower:
        if (!has(flags, 0)) {
            m.strokeRate = s.strokeRate;
            m.strokeCount = s.strokeCount;
        }
        if (has(flags, 2))
            m.distance = s.distance;
        if (has(flags, 3))
            m.speed = s.speed;
        if (has(flags, 5))
            m.power = s.power;
        if (has(flags, 7))
            m.resistance = s.resistance;
        if (has(flags, 8))
            m.calories = s.calories;
        if (has(flags, 9))
            m.heartRate = s.heartRate;
        if (has(flags, 11))
            m.totalTime = s.totalTime;
        break;
    case EquipmentType::treadmill:
        if (!has(flags, 0))
            m.speed = s.speed;
        if (has(flags, 2))
            m.distance = s.distance;
        if (has(flags, 3))
            m.incline = s.incline;
        if (has(flags, 7))
            m.calories = s.calories;
        if (has(flags, 8))
            m.heartRate = s.heartRate;
        if (has(flags, 10))
            m.totalTime = s.totalTime;
        if (has(flags, 12))
            m.power = s.power;
        break;
    case EquipmentType::crossTrainer:
        if (!has(flags, 0))
            m.speed = s.speed;
        if (has(flags, 2))
            m.distance = s.distance;
        if (has(flags, 3))
            m.stepRate = s.stepRate;
        if (has(flags, 4))
            m.strideCount = s.strideCount;
        if (has(flags, 6))
            m.incline = s.incline;
        if (has(flags, 7))
            m.resistance = s.resistance;
        if (has(flags, 8))
            m.power = s.power;
        if (has(flags, 10))
            m.calories = s.calories;
        if (has(flags, 11))
            m.heartRate = s.heartRate;
        if (has(flags, 13))
            m.totalTime = s.totalTime;
        break;
    case EquipmentType::unknown:
        break;
    }
    return m;
}

void compareMetrics(const FitnessMetrics& actual, const FitnessMetrics& wanted) {
    const QMetaObject& meta = FitnessMetrics::staticMetaObject;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        const QVariant a = property.readOnGadget(&actual);
        const QVariant w = property.readOnGadget(&wanted);
        const bool same = property.metaType().id() == QMetaType::Double
                              ? qAbs(a.toDouble() - w.toDouble()) < 1e-9
                              : a == w;
        QVERIFY2(same, qPrintable(QString::fromLatin1(property.name()) + QStringLiteral(": ") +
                                  a.toString() + QStringLiteral(" != ") + w.toString()));
    }
}

} // namespace

class TestFTMSEncoder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data() {
        QTest::addColumn<EquipmentType>("type");
        QTest::addColumn<std::uint32_t>("flags");
        const std::pair<EquipmentType, int> kinds[] = {{EquipmentType::bike, 13},
                                                       {EquipmentType::rower, 13},
                                                       {EquipmentType::treadmill, 13},
                                                       {EquipmentType::crossTrainer, 15}};
        std::mt19937 random(7);
        for (const auto& [type, bits] : kinds) {
            const char* kind = QMetaEnum::fromType<EquipmentType>().valueToKey(int(type));
            const std::uint32_t all = (1U << bits) - 1;
            QList<std::uint32_t> flagSets{0, 1, all, all & ~1U};
            for (int bit = 1; bit < bits; ++bit) {
                flagSets << (1U << bit) << ((1U << bit) | 1U);
            }
            for (int i = 0; i < 40; ++i) {
                flagSets << (random() & all);
            }
            for (const std::uint32_t flags : flagSets) {
                QTest::addRow("%s %04x", kind, flags) << type << flags;
            }
        }
    }
    // Whatever the flags announce, the decoder reads back exactly the encoded fields: widths,
    // order, the inverted More Data bit and the passed-over fields all line up.
    void roundTrip() {
        QFETCH(EquipmentType, type);
        QFETCH(std::uint32_t, flags);
        const FitnessMetrics values = source(type);
        QByteArray encoded;
        std::unique_ptr<FTMSDataParsing> parser;
        switch (type) {
        case EquipmentType::bike:
            encoded = encodeIndoorBikeData(std::uint16_t(flags), values);
            parser = std::make_unique<BikeDataParser>();
            break;
        case EquipmentType::rower:
            encoded = encodeRowerData(std::uint16_t(flags), values);
            parser = std::make_unique<RowerDataParser>();
            break;
        case EquipmentType::treadmill:
            encoded = encodeTreadmillData(std::uint16_t(flags), values);
            parser = std::make_unique<TreadmillDataParser>();
            break;
        default:
            encoded = encodeCrossTrainerData(flags, values);
            parser = std::make_unique<CrossTrainerDataParser>();
            break;
        }
        FitnessMetrics decoded;
        parser->parse(encoded, decoded);
        compareMetrics(decoded, expected(type, flags, values));
    }

    void fieldsAreClampedToTheirWidth() {
        FitnessMetrics m;
        m.heartRate = 300; // uint8
        m.power = 40000;   // sint16
        m.distance = -5;   // uint24
        FitnessMetrics decoded;
        BikeDataParser().parse(encodeIndoorBikeData(0x0251, m), decoded);
        QCOMPARE(decoded.heartRate, 255);
        QCOMPARE(decoded.power, 32767);
        QCOMPARE(decoded.distance, 0.0);
    }

    void featureValue() {
        QCOMPARE(encodeFeature(0x00004086, 0x00000004), QByteArray::fromHex("8640000004000000"));
    }
};

QTEST_GUILESS_MAIN(TestFTMSEncoder)
#include "tst_FTMSEncoder.moc"
