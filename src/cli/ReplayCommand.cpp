#include "cli/ReplayCommand.h"

#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "connection/FTMSManager.h"
#include "connection/HeartRateStrapManager.h"
#include "ftms/FTMSDataParser.h"
#include "ftms/FeatureDecoder.h"

#include <QFile>
#include <QJsonObject>

#include <array>
#include <optional>

namespace tallyfin::cli {

namespace {

constexpr QStringView name = u"replay";

struct Kind {
    QString label;
    EquipmentType type;
};

const std::array<Kind, 4>& kinds() {
    static const std::array<Kind, 4> kinds{{
        {FTMSManager::label(FTMSManager::rowerDataUUID), EquipmentType::rower},
        {FTMSManager::label(FTMSManager::indoorBikeDataUUID), EquipmentType::bike},
        {FTMSManager::label(FTMSManager::crossTrainerDataUUID), EquipmentType::crossTrainer},
        {FTMSManager::label(FTMSManager::treadmillDataUUID), EquipmentType::treadmill},
    }};
    return kinds;
}

bool isFeatureLabel(QStringView label) {
    static const QString featureLabel = FTMSManager::label(FTMSManager::fitnessMachineFeatureUUID);
    return label == featureLabel;
}

constexpr QStringView unknownLabelStart = u"Unknown Characteristic (";

std::optional<QByteArray> parseHex(QStringView text) {
    QByteArray bytes;
    if (text.isEmpty()) {
        return bytes;
    }
    for (const QStringView pair : text.split(u' ')) {
        bool ok = false;
        const uint byte = pair.size() == 2 ? pair.toUInt(&ok, 16) : 0;
        if (!ok) {
            return std::nullopt;
        }
        bytes.append(char(byte));
    }
    return bytes;
}

// A feature value as JSON; only "decoded" when it is too short.
QJsonObject decodedFeaturesJson(QByteArrayView value) {
    const auto bits = readFeatureBits(value);
    QJsonObject object =
        bits ? featuresJson(applyFeatureBits(FitnessMachineFeature{}, *bits)) : QJsonObject{};
    object.insert(QStringLiteral("decoded"), bits.has_value());
    return object;
}

} // namespace

EquipmentType machineKind(QStringView label) {
    for (const Kind& kind : kinds()) {
        if (label == kind.label) {
            return kind.type;
        }
    }
    return EquipmentType::unknown;
}

// The labels are the manager's own, so a log it writes always reads back.
const FTMSDataParsing* dataParser(QStringView label) {
    static const QString heartRateLabel =
        FTMSManager::label(HeartRateStrapManager::heartRateMeasurementUUID);
    const EquipmentType kind = machineKind(label);
    if (kind != EquipmentType::unknown) {
        return dataParserFor(kind);
    }
    return label == heartRateLabel ? &heartRateMeasurementParser() : nullptr;
}

// Lines the manager writes that carry no value: nothing to replay, nothing wrong.
bool isEventLine(QStringView line) {
    return line.startsWith(u"Tallyfin v") || line.startsWith(u"CONNECTED: ") ||
           line.startsWith(u"FEATURES: ") || line.startsWith(u"NO DATA: ") ||
           line.startsWith(u"STRAP ") || line == u"SIMULATION STOPPED";
}

// Reads a raw-data line, or says why it cannot.
std::optional<ValueLine> parseValueLine(QStringView line, QString& error) {
    if (!line.startsWith(u'[')) {
        error = QStringLiteral("not a line of the diagnostic log");
        return std::nullopt;
    }
    const qsizetype timeEnd = line.indexOf(u"] ");
    if (timeEnd < 0) {
        error = QStringLiteral("no closing \"] \" after the time");
        return std::nullopt;
    }
    const qsizetype labelEnd = line.indexOf(u": ", timeEnd + 2);
    if (labelEnd < 0) {
        error = QStringLiteral("no \": \" after the label");
        return std::nullopt;
    }
    ValueLine result;
    result.time = line.mid(1, timeEnd - 1).toString();
    result.label = line.mid(timeEnd + 2, labelEnd - timeEnd - 2).toString();
    const bool knownLabel =
        dataParser(result.label) || isFeatureLabel(result.label) ||
        (result.label.startsWith(unknownLabelStart) && result.label.endsWith(u')'));
    if (!knownLabel) {
        error = u"unknown label '" % result.label % u"'";
        return std::nullopt;
    }
    const auto value = parseHex(line.mid(labelEnd + 2));
    if (!value) {
        error = QStringLiteral("the value is not hex bytes separated by single spaces");
        return std::nullopt;
    }
    result.value = *value;
    return result;
}

int replayLog(QTextStream& in, QTextStream& out, QTextStream& err) {
    FitnessMetrics metrics;
    int unreadable = 0;
    int number = 0;
    QString line;
    while (in.readLineInto(&line)) {
        ++number;
        if (line.endsWith(u'\r')) {
            line.chop(1); // pasted from a system with CRLF line ends
        }
        if (line.trimmed().isEmpty() || isEventLine(line)) {
            continue;
        }
        QString error;
        const auto parsed = parseValueLine(line, error);
        if (!parsed) {
            err << "tallyfin-cli replay: line " << number << ": " << error << '\n';
            ++unreadable;
            continue;
        }
        QJsonObject object;
        object.insert(QStringLiteral("line"), number);
        object.insert(QStringLiteral("time"), parsed->time);
        object.insert(QStringLiteral("label"), parsed->label);
        object.insert(QStringLiteral("value"),
                      QString::fromLatin1(parsed->value.toHex(' ').toUpper()));
        if (const FTMSDataParsing* parser = dataParser(parsed->label)) {
            parser->parse(parsed->value, metrics);
            object.insert(QStringLiteral("metrics"), metricsJson(metrics));
        } else if (isFeatureLabel(parsed->label)) {
            object.insert(QStringLiteral("features"), decodedFeaturesJson(parsed->value));
        }
        writeJsonLine(out, object);
    }
    out.flush();
    err.flush();
    return unreadable;
}

int runReplay(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    if (arguments.size() != 1) {
        return usageError(err, name,
                          arguments.isEmpty()
                              ? QStringLiteral("missing LOGFILE (a path, or - for standard input)")
                              : u"unexpected argument '" % arguments.at(1) % u"'");
    }
    const QString& path = arguments.first();
    QFile file;
    const bool opened =
        path == u"-" ? file.open(stdin, QIODevice::ReadOnly | QIODevice::Text)
                     : (file.setFileName(path), file.open(QIODevice::ReadOnly | QIODevice::Text));
    if (!opened) {
        err << "tallyfin-cli replay: cannot read '" << path << "': " << file.errorString() << '\n';
        return exitFailure;
    }
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    replayLog(in, out, err);
    return exitOk;
}

} // namespace tallyfin::cli
