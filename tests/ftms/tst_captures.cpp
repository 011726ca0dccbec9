#include "DecoderTesting.h"
#include "ftms/FeatureDecoder.h"

#include <QFile>

using namespace tallyfin;
using namespace tallyfin::testing;
using namespace Qt::StringLiterals;

namespace {

struct Capture {
    int line = 0;
    QString uuid;
    QByteArray value;
    QString model;
};

QList<Capture> readCaptures() {
    QList<Capture> captures;
    QFile file(QStringLiteral(TALLYFIN_TEST_DATA_DIR "/ftms-captures.tsv"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return captures;
    }
    int line = 0;
    while (!file.atEnd()) {
        const QList<QByteArray> columns = file.readLine().trimmed().split('\t');
        ++line;
        if (line == 1 || columns.size() < 3) {
            continue; // header
        }
        captures.append({line, QString::fromLatin1(columns[0]), QByteArray::fromHex(columns[1]),
                         QString::fromUtf8(columns[2])});
    }
    return captures;
}

std::optional<EquipmentType> typeOfCharacteristic(const QString& uuid) {
    if (uuid == u"0x2AD2") {
        return EquipmentType::bike;
    }
    if (uuid == u"0x2AD1") {
        return EquipmentType::rower;
    }
    if (uuid == u"0x2ACD") {
        return EquipmentType::treadmill;
    }
    if (uuid == u"0x2ACE") {
        return EquipmentType::crossTrainer;
    }
    return std::nullopt;
}

// Fields a decoder never writes, whatever the value says.
QStringList fieldsNeverWritten(EquipmentType type) {
    switch (type) {
    case EquipmentType::bike:
        return {u"strokeRate"_s, u"strokeCount"_s, u"stepRate"_s, u"strideCount"_s, u"incline"_s};
    case EquipmentType::rower:
        return {u"cadence"_s, u"stepRate"_s, u"strideCount"_s, u"incline"_s};
    case EquipmentType::treadmill:
        return {u"cadence"_s,  u"strokeRate"_s,  u"strokeCount"_s,
                u"stepRate"_s, u"strideCount"_s, u"resistance"_s};
    case EquipmentType::crossTrainer:
        return {u"cadence"_s, u"strokeRate"_s, u"strokeCount"_s};
    case EquipmentType::unknown:
        break;
    }
    return {};
}

} // namespace

// Every value of the capture file, as real machines sent them, through the decoder its
// characteristic names.
class TestCaptures : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyCaptureDecodes() {
        const QList<Capture> captures = readCaptures();
        QCOMPARE(captures.size(), 114);
        int features = 0;
        for (const Capture& capture : captures) {
            const QString where =
                u"line "_s + QString::number(capture.line) + u" (" + capture.model + u')';
            if (capture.uuid == u"0x2ACC") {
                QVERIFY2(readFeatureBits(capture.value), qPrintable(where));
                ++features;
                continue;
            }
            const auto type = typeOfCharacteristic(capture.uuid);
            QVERIFY2(type, qPrintable(where + u": unknown characteristic " + capture.uuid));
            FitnessMetrics metrics = seededMetrics();
            dataParserFor(*type)->parse(capture.value, metrics);
            QVERIFY2(metrics.equipmentType == *type, qPrintable(where));

            const FitnessMetrics seeded = seededMetrics();
            for (const QString& field : fieldsNeverWritten(*type)) {
                const QMetaProperty property = FitnessMetrics::staticMetaObject.property(
                    FitnessMetrics::staticMetaObject.indexOfProperty(field.toLatin1().constData()));
                QVERIFY2(property.readOnGadget(&metrics) == property.readOnGadget(&seeded),
                         qPrintable(where + u": wrote " + field));
            }
        }
        QCOMPARE(features, 3);
    }

    void handComputed_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<EquipmentType>("type");
        QTest::addColumn<Changes>("changes");

        QTest::newRow("Zwift Hub: resistance and power after skipped averages")
            << 2 << EquipmentType::bike
            << Changes{{"speed", kmhHundredthsToMps(2969)}, {"cadence", 89}, {"distance", 247.0},
                       {"resistance", tenths(20)},          {"power", 70},   {"heartRate", 0}};
        QTest::newRow("Viking Pro V: strokes, pace, power, resistance")
            << 32 << EquipmentType::rower
            << Changes{{"strokeRate", 19},
                       {"strokeCount", 11},
                       {"speed", 500.0 / 199.0},
                       {"power", 44},
                       {"resistance", tenths(2)}};
        QTest::newRow("MyRun: energy then metabolic equivalent then time")
            << 105 << EquipmentType::treadmill
            << Changes{{"speed", kmhHundredthsToMps(590)}, {"calories", 2}, {"totalTime", 39.0}};
        QTest::newRow("cross trainer: every pair and group")
            << 114 << EquipmentType::crossTrainer
            << Changes{{"speed", kmhHundredthsToMps(1190)},
                       {"distance", 531.0},
                       {"stepRate", 128},
                       {"strideCount", 1708},
                       {"incline", tenths(0)},
                       {"resistance", tenths(10)},
                       {"power", 22},
                       {"calories", 12},
                       {"heartRate", 89},
                       {"totalTime", 172.0}};
    }

    void handComputed() {
        QFETCH(int, line);
        QFETCH(EquipmentType, type);
        QFETCH(Changes, changes);
        const QList<Capture> captures = readCaptures();
        const auto it = std::find_if(captures.begin(), captures.end(),
                                     [&](const Capture& c) { return c.line == line; });
        QVERIFY(it != captures.end());
        QCOMPARE(typeOfCharacteristic(it->uuid), std::optional(type));

        FitnessMetrics metrics = seededMetrics();
        dataParserFor(type)->parse(it->value, metrics);
        FitnessMetrics expected = withChanges(seededMetrics(), changes);
        expected.equipmentType = type;
        QString difference;
        QVERIFY2(sameRecord(metrics, expected, difference), qPrintable(difference));
    }

    void handComputedFeatures() {
        const QList<Capture> captures = readCaptures();
        const auto it = std::find_if(captures.begin(), captures.end(),
                                     [](const Capture& c) { return c.line == 42; });
        QVERIFY(it != captures.end());
        const auto bits = readFeatureBits(it->value);
        QVERIFY(bits);
        const FitnessMachineFeature features = applyFeatureBits({}, *bits);
        QCOMPARE(featuresLogLine(features), u"FEATURES: Distance, Power"_s);
        QCOMPARE(features.controlCapabilityNames(), (QStringList{u"Resistance"_s, u"Power"_s}));
    }
};

QTEST_GUILESS_MAIN(TestCaptures)
#include "tst_captures.moc"
