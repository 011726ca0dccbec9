#include "ProcessRun.h"
#include "tallyfin/BuildInfo.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <cstring>

using namespace Qt::StringLiterals;

namespace {

using Run = ProcessRun;

Run runCli(const QStringList& arguments) {
    return runProcess(QStringLiteral(TALLYFIN_CLI), arguments);
}

// The one JSON object a successful command prints, or an empty object (with a failure) if not.
QJsonObject jsonOf(const Run& run) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        qWarning() << "not one JSON object:" << run.out << error.errorString();
        return {};
    }
    return document.object();
}

bool bitwiseEqual(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

const QStringList metricKeys{u"equipmentType"_s, u"power"_s,    u"distance"_s,   u"speed"_s,
                             u"totalTime"_s,     u"calories"_s, u"heartRate"_s,  u"strokeRate"_s,
                             u"strokeCount"_s,   u"cadence"_s,  u"resistance"_s, u"stepRate"_s,
                             u"strideCount"_s,   u"incline"_s};

} // namespace

// The real tallyfin-cli binary, run as a user would.
class TestCli : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void help() {
        const Run run = runCli({u"--help"_s});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.isEmpty());
        QVERIFY(run.out.contains("decode MACHINE VALUE..."));
        QVERIFY(run.out.contains("features VALUE"));
    }

    void commandHelp() {
        const Run run = runCli({u"decode"_s, u"--help"_s});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.startsWith("Usage: tallyfin-cli decode MACHINE VALUE...\n"));
    }

    void version() {
        const Run run = runCli({u"--version"_s});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("tallyfin-cli ") + tallyfin::buildinfo::shortVersion + " (" +
                              tallyfin::buildinfo::buildVersion + ")\n");
    }

    void decode_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QVariantMap>("expected"); // fields that are not zero

        QTest::newRow("bike: speed present, power cut off")
            << QStringList{u"bike"_s, u"40:00:FA:00"_s}
            << QVariantMap{{u"equipmentType"_s, u"bike"_s}, {u"speed"_s, 250 / 100.0 / 3.6}};
        QTest::newRow("bike: two values merged, dashes and lower case")
            << QStringList{u"bike"_s, u"41-00-2c-01"_s, u"01 02 5a"_s}
            << QVariantMap{
                   {u"equipmentType"_s, u"bike"_s}, {u"power"_s, 300}, {u"heartRate"_s, 90}};
        QTest::newRow("bike: negative power, odd cadence")
            << QStringList{u"bike"_s, u"45003301 38FF"_s}
            << QVariantMap{
                   {u"equipmentType"_s, u"bike"_s}, {u"cadence"_s, 153}, {u"power"_s, -200}};
        QTest::newRow("bike: empty value marks the kind only")
            << QStringList{u"bike"_s, QString()} << QVariantMap{{u"equipmentType"_s, u"bike"_s}};
        QTest::newRow("rower: strokes") << QStringList{u"rower"_s, u"00 00 3D E8 03"_s}
                                        << QVariantMap{{u"equipmentType"_s, u"rower"_s},
                                                       {u"strokeRate"_s, 30},
                                                       {u"strokeCount"_s, 1000}};
        QTest::newRow("rower: pace")
            << QStringList{u"rower"_s, u"0900 8300"_s}
            << QVariantMap{{u"equipmentType"_s, u"rower"_s}, {u"speed"_s, 500.0 / 131.0}};
        QTest::newRow("treadmill: slow and downhill")
            << QStringList{u"treadmill"_s, u"08 00 64 00 E7 FF 00 00"_s}
            << QVariantMap{{u"equipmentType"_s, u"treadmill"_s},
                           {u"speed"_s, 100 / 100.0 / 3.6},
                           {u"incline"_s, -25 * 0.1}};
        QTest::newRow("crossTrainer: power, then time")
            << QStringList{u"crossTrainer"_s, u"010100D204"_s, u"012000 5802"_s}
            << QVariantMap{{u"equipmentType"_s, u"crossTrainer"_s},
                           {u"power"_s, 1234},
                           {u"totalTime"_s, 600.0}};
        QTest::newRow("crossTrainer: resistance in tenths")
            << QStringList{u"crossTrainer"_s, u"81 00 00 13 00"_s}
            << QVariantMap{{u"equipmentType"_s, u"crossTrainer"_s}, {u"resistance"_s, 19 * 0.1}};
        QTest::newRow("heartRate: a strap's values change the heart rate only")
            << QStringList{u"heartRate"_s, u"01 2C 01"_s, u"16 48"_s, u"01 2C"_s}
            << QVariantMap{{u"equipmentType"_s, u"unknown"_s}, {u"heartRate"_s, 72}};
    }

    void decode() {
        QFETCH(QStringList, arguments);
        QFETCH(QVariantMap, expected);
        const Run run = runCli(QStringList{u"decode"_s} + arguments);
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.isEmpty());
        QVERIFY(run.out.endsWith('\n'));
        QCOMPARE(run.out.count('\n'), 1);

        const QJsonObject json = jsonOf(run);
        QStringList keys = json.keys();
        QStringList wanted = metricKeys;
        keys.sort();
        wanted.sort();
        QCOMPARE(keys, wanted);
        for (const QString& key : metricKeys) {
            const QJsonValue value = json.value(key);
            if (key == u"equipmentType") {
                QCOMPARE(value.toString(), expected.value(key).toString());
                continue;
            }
            const QVariant want = expected.value(key, 0);
            QVERIFY2(value.isDouble(), qPrintable(key));
            QVERIFY2(bitwiseEqual(value.toDouble(), want.toDouble()),
                     qPrintable(key + u": "_s + QString::number(value.toDouble(), 'g', 17) +
                                u" != "_s + QString::number(want.toDouble(), 'g', 17)));
        }
    }

    // Integer fields are written as JSON integers, not as 300.0 or 3e2.
    void integersAreIntegers() {
        const Run run = runCli({u"decode"_s, u"bike"_s, u"41 02 2C 01 5A"_s});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains("\"power\":300") && run.out.contains("\"heartRate\":90") &&
                     run.out.contains("\"cadence\":0"),
                 run.out.constData());
    }

    // Speeds whose shortest decimal form needs all 17 digits still read back as the same double.
    void doublesRoundTrip_data() {
        QTest::addColumn<int>("raw");
        for (const int raw : {1, 41, 2969, 12345, 65535}) {
            QTest::newRow(QByteArray::number(raw).constData()) << raw;
        }
    }

    void doublesRoundTrip() {
        QFETCH(int, raw);
        const QString value = QString::asprintf("0000%02X%02X", raw & 0xFF, raw >> 8);
        const Run run = runCli({u"decode"_s, u"treadmill"_s, value});
        QCOMPARE(run.exitCode, 0);
        const double speed = jsonOf(run).value(u"speed"_s).toDouble();
        QVERIFY2(bitwiseEqual(speed, raw / 100.0 / 3.6), run.out.constData());
    }

    void features_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("decoded");
        QTest::addColumn<QStringList>("setFlags");
        QTest::addColumn<QStringList>("metrics");
        QTest::addColumn<QStringList>("capabilities");
        QTest::addColumn<QJsonValue>("logLine");

        QTest::newRow("rower with targets")
            << u"C6:00:00:00:09:00:00:00"_s << true << QStringList{u"cadenceSupported"_s,
                                                                   u"totalDistanceSupported"_s,
                                                                   u"stepCountSupported"_s,
                                                                   u"resistanceLevelSupported"_s,
                                                                   u"speedTargetSettingSupported"_s,
                                                                   u"powerTargetSettingSupported"_s}
            << QStringList{u"Cadence"_s, u"Distance"_s, u"Steps"_s, u"Resistance"_s}
            << QStringList{u"Speed"_s, u"Power"_s}
            << QJsonValue(u"FEATURES: Cadence, Distance, Steps, Resistance"_s);
        QTest::newRow("only unlisted bits, ten bytes")
            << u"0080000000000080FFFF"_s << true << QStringList{} << QStringList{} << QStringList{}
            << QJsonValue(u"FEATURES: "_s);
        QTest::newRow("three bytes: not decoded")
            << u"01-02-03"_s << false << QStringList{} << QStringList{} << QStringList{}
            << QJsonValue(QJsonValue::Null);
        QTest::newRow("empty: not decoded") << QString() << false << QStringList{} << QStringList{}
                                            << QStringList{} << QJsonValue(QJsonValue::Null);
    }

    void features() {
        QFETCH(QString, value);
        QFETCH(bool, decoded);
        QFETCH(QStringList, setFlags);
        QFETCH(QStringList, metrics);
        QFETCH(QStringList, capabilities);
        QFETCH(QJsonValue, logLine);

        const Run run = runCli({u"features"_s, value});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.isEmpty());
        const QJsonObject json = jsonOf(run);
        QCOMPARE(json.size(), 24);
        QCOMPARE(json.value(u"decoded"_s), QJsonValue(decoded));
        QStringList actualFlags;
        for (auto it = json.begin(); it != json.end(); ++it) {
            if (it.key().endsWith(u"Supported")) {
                QVERIFY(it.value().isBool());
                if (it.value().toBool()) {
                    actualFlags.append(it.key());
                }
            }
        }
        actualFlags.sort();
        setFlags.sort();
        QCOMPARE(actualFlags, setFlags);
        QCOMPARE(json.value(u"supportedMetrics"_s).toArray(), QJsonArray::fromStringList(metrics));
        QCOMPARE(json.value(u"controlCapabilities"_s).toArray(),
                 QJsonArray::fromStringList(capabilities));
        QCOMPARE(json.value(u"logLine"_s), logLine);
    }

    void badArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("named"); // what the error line must name

        QTest::newRow("no command") << QStringList{} << u"missing command"_s;
        QTest::newRow("unknown command") << QStringList{u"frobnicate"_s} << u"'frobnicate'"_s;
        QTest::newRow("unknown option") << QStringList{u"--bogus"_s} << u"'--bogus'"_s;
        QTest::newRow("decode: no machine") << QStringList{u"decode"_s} << u"MACHINE"_s;
        QTest::newRow("decode: no value") << QStringList{u"decode"_s, u"rower"_s} << u"VALUE"_s;
        QTest::newRow("decode: unknown machine")
            << QStringList{u"decode"_s, u"elliptical"_s, u"00"_s} << u"'elliptical'"_s;
        QTest::newRow("decode: unknown is no machine")
            << QStringList{u"decode"_s, u"unknown"_s, u"00"_s} << u"'unknown'"_s;
        QTest::newRow("decode: machine names are case-sensitive")
            << QStringList{u"decode"_s, u"Bike"_s, u"00"_s} << u"'Bike'"_s;
        QTest::newRow("decode: odd digits")
            << QStringList{u"decode"_s, u"bike"_s, u"4400C"_s} << u"'4400C'"_s;
        QTest::newRow("decode: separator inside a byte")
            << QStringList{u"decode"_s, u"bike"_s, u"4 4"_s} << u"'4 4'"_s;
        QTest::newRow("decode: bad second value, nothing printed for the first")
            << QStringList{u"decode"_s, u"bike"_s, u"4100C800"_s, u"12Z4"_s} << u"VALUE 2 '12Z4'"_s;
        QTest::newRow("decode: hex prefix")
            << QStringList{u"decode"_s, u"treadmill"_s, u"0x0000"_s} << u"'0x0000'"_s;
        QTest::newRow("features: no value") << QStringList{u"features"_s} << u"VALUE"_s;
        QTest::newRow("features: two values")
            << QStringList{u"features"_s, u"0000000000000000"_s, u"01"_s} << u"'01'"_s;
        QTest::newRow("features: not hex") << QStringList{u"features"_s, u"GG"_s} << u"'GG'"_s;
    }

    void badArguments() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, named);
        const Run run = runCli(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.out.isEmpty(), run.out.constData());
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY(run.err.endsWith('\n'));
        QVERIFY2(QString::fromUtf8(run.err).contains(named), run.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
