// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "bluetooth/simulated/FTMSEncoder.h"
#include "ftms/FTMSDataParser.h"

#include <QMetaProperty>
#include <QTest>

using namespace tallyfin;
using namespace tallyfin::bluetooth::simulated;

Q_DECLARE_METATYPE(std::uint32_t)

namespace {

// Values that survive each field's quantisation exactly, all distinct and none zero, some at the
// edges of their encoding.
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

QByteArray encode(EquipmentType type, std::uint32_t flags, const FitnessMetrics& m) {
    switch (type) {
    case EquipmentType::bike:
        return encodeIndoorBikeData(std::uint16_t(flags), m);
    case EquipmentType::rower:
        return encodeRowerData(std::uint16_t(flags), m);
    case EquipmentType::treadmill:
        return encodeTreadmillData(std::uint16_t(flags), m);
    default:
        return encodeCrossTrainerData(flags, m);
    }
}

struct Kind {
    EquipmentType type;
    int flagBits;   // bits that announce fields
    int fieldCount; // fields the decoder keeps when every one is announced
};
constexpr Kind kinds[] = {{EquipmentType::bike, 13, 8},
                          {EquipmentType::rower, 13, 9},
                          {EquipmentType::treadmill, 13, 7},
                          {EquipmentType::crossTrainer, 15, 10}};

} // namespace

class TestFTMSEncoder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data() {
        QTest::addColumn<EquipmentType>("type");
        QTest::addColumn<std::uint32_t>("flags");
        QTest::addColumn<int>("fieldCount"); // -1: not checked
        for (const Kind& kind : kinds) {
            const char* name = QMetaEnum::fromType<EquipmentType>().valueToKey(int(kind.type));
            const std::uint32_t all = (1U << kind.flagBits) - 1;
            // Bit 0 clear announces the first field: everything present.
            QTest::addRow("%s everything", name) << kind.type << (all & ~1U) << kind.fieldCount;
            QTest::addRow("%s nothing", name) << kind.type << 1U << 0;
            QList<std::uint32_t> flagSets{0, all};
            for (int bit = 1; bit < kind.flagBits; ++bit) {
                flagSets << (1U << bit) << ((1U << bit) | 1U);
            }
            for (const std::uint32_t flags : flagSets) {
                QTest::addRow("%s %04x", name, flags) << kind.type << flags << -1;
            }
        }
    }

    // Whatever the flags announce, the decoder reads back the encoded values and nothing else: a
    // field of the wrong width, order or sense throws every later field off, and no source value
    // is zero.
    void roundTrip() {
        QFETCH(EquipmentType, type);
        QFETCH(std::uint32_t, flags);
        QFETCH(int, fieldCount);
        const FitnessMetrics values = source(type);
        FitnessMetrics decoded;
        dataParserFor(type)->parse(encode(type, flags, values), decoded);
        int kept = 0;
        const QMetaObject& meta = FitnessMetrics::staticMetaObject;
        for (int i = meta.propertyOffset() + 1; i < meta.propertyCount(); ++i) {
            const double got = meta.property(i).readOnGadget(&decoded).toDouble();
            const double sent = meta.property(i).readOnGadget(&values).toDouble();
            QVERIFY2(got == 0 || qAbs(got - sent) < 1e-9,
                     qPrintable(QLatin1String(meta.property(i).name()) +
                                QStringLiteral(": %1").arg(got)));
            kept += got == 0 ? 0 : 1;
        }
        if (fieldCount >= 0) {
            QCOMPARE(kept, fieldCount);
        }
    }
};

QTEST_GUILESS_MAIN(TestFTMSEncoder)
#include "tst_FTMSEncoder.moc"
