// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "cli/ReplayCommand.h"

#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "connection/FTMSManager.h"
#include "connection/HeartRateStrapManager.h"
#include "ftms/FTMSDataParser.h"
#include "ftms/FeatureDecoder.h"
#include "model/OutsideText.h"

#include <QFile>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <optional>

namespace tallyfin::cli {

using namespace Qt::StringLiterals;

namespace {

constexpr QStringView name = u"replay";

// A raw-data line of the log: "[time] label: hex bytes".
struct ValueLine {
    QString time;
    QString label;
    QByteArray value;
};

// The decoder a label names: a machine's, or a strap's heart rate; nullptr for the feature and
// unknown labels. The labels are the manager's own, so a log it writes always reads back.
const FTMSDataParsing* dataParser(QStringView label) {
    static const QString heartRateLabel =
        FTMSManager::label(HeartRateStrapManager::heartRateMeasurementUUID);
    struct Kind {
        QString label;
        EquipmentType type;
    };
    static const std::array<Kind, 4> kinds{{
        {FTMSManager::label(FTMSManager::rowerDataUUID), EquipmentType::rower},
        {FTMSManager::label(FTMSManager::indoorBikeDataUUID), EquipmentType::bike},
        {FTMSManager::label(FTMSManager::crossTrainerDataUUID), EquipmentType::crossTrainer},
        {FTMSManager::label(FTMSManager::treadmillDataUUID), EquipmentType::treadmill},
    }};
    for (const Kind& kind : kinds) {
        if (label == kind.label) {
            return dataParserFor(kind.type);
        }
    }
    return label == heartRateLabel ? &heartRateMeasurementParser() : nullptr;
}

bool isFeatureLabel(QStringView label) {
    static const QString featureLabel = FTMSManager::label(FTMSManager::fitnessMachineFeatureUUID);
    return label == featureLabel;
}

// "Unknown Characteristic (2A37)", or with a 128-bit identifier in capitals.
bool isUnknownLabel(QStringView label) {
    static const QRegularExpression unknown(
        u"^Unknown Characteristic \\((?:[0-9A-F]{4}|[0-9A-F]{8}(?:-[0-9A-F]{4}){3}-[0-9A-F]{12})\\)$"_s);
    return unknown.match(label).hasMatch();
}

bool isKnownLabel(QStringView label) {
    return dataParser(label) || isFeatureLabel(label) || isUnknownLabel(label);
}

// Lines the manager writes that carry no value, each in the one shape the manager gives it:
// nothing to replay. A name may hold anything but a line break; a line that only starts like one
// of these (a name cut short by a line break, a forged event) is refused.
bool isEventLine(QStringView line) {
    static const std::array<QRegularExpression, 10> shapes{
        QRegularExpression(u"^Tallyfin v\\S+ \\(\\S+\\) \u2014 \\S.*$"_s),
        QRegularExpression(u"^(?:STRAP )?CONNECTED: .+ \\[[0-9A-F]{8}(?:-[0-9A-F]{4}){3}-"
                           u"[0-9A-F]{12}\\] RSSI: (?:-?[0-9]{1,4} dBm|\\?)$"_s),
        QRegularExpression(u"^FEATURES: (?:[A-Za-z ]+(?:, [A-Za-z ]+)*)?$"_s),
        QRegularExpression(u"^STRAP (?:DISCONNECTED|LOST): .+$"_s),
        QRegularExpression(u"^STRAP CONNECTION FAILED: .+: .*$"_s),
        QRegularExpression(u"^SIMULATION STOPPED$"_s),
        QRegularExpression(u"^BLUETOOTH FAULT: (?:bluetoothd left the bus|adapter removed|"
                           u"adapter switched off|resumed from sleep)$"_s),
        QRegularExpression(u"^LOST: .+$"_s),
        QRegularExpression(
            u"^RECONNECTING: .+ \\[[0-9A-F]{8}(?:-[0-9A-F]{4}){3}-[0-9A-F]{12}\\]$"_s),
        QRegularExpression(u"^RECONNECT GIVEN UP: .+ not heard within [0-9]+(?:\\.[0-9]+)? s$"_s),
    };
    static const QRegularExpression noData(
        u"^NO DATA: no (.+) (?:within [0-9]+(?:\\.[0-9]+)? s of subscribing|for "
        u"[0-9]+(?:\\.[0-9]+)? s)$"_s);
    if (const QRegularExpressionMatch match = noData.match(line); match.hasMatch()) {
        return isKnownLabel(match.capturedView(1));
    }
    return std::any_of(shapes.cbegin(), shapes.cend(), [line](const QRegularExpression& shape) {
        return shape.match(line).hasMatch();
    });
}

// "0F 27", the manager's "%02X" bytes joined with single spaces; empty for an empty value.
std::optional<QByteArray> parseHex(QStringView text) {
    static const QRegularExpression hex(u"^(?:[0-9A-F]{2}(?: [0-9A-F]{2})*)?$"_s);
    if (!hex.match(text).hasMatch()) {
        return std::nullopt;
    }
    return QByteArray::fromHex(text.toLatin1());
}

// Reads a raw-data line, or says why it cannot. The error quotes nothing of the line unescaped.
std::optional<ValueLine> parseValueLine(QStringView line, QString& error) {
    if (!line.startsWith(u'[')) {
        static const std::array<QStringView, 11> eventStarts{
            u"Tallyfin v", u"CONNECTED: ",    u"STRAP CONNECTED: ",   u"FEATURES: ",
            u"NO DATA: ",  u"STRAP ",         u"SIMULATION STOPPED",  u"BLUETOOTH FAULT: ",
            u"LOST: ",     u"RECONNECTING: ", u"RECONNECT GIVEN UP: "};
        const auto start =
            std::find_if(eventStarts.cbegin(), eventStarts.cend(),
                         [line](QStringView eventStart) { return line.startsWith(eventStart); });
        error = start == eventStarts.cend()
                    ? u"not a line of the diagnostic log"_s
                    : u"starts like a \""_s % start->trimmed() % u"\" line but is not one";
        return std::nullopt;
    }
    const qsizetype timeEnd = line.indexOf(u"] ");
    if (timeEnd < 0) {
        error = QStringLiteral("no closing \"] \" after the time");
        return std::nullopt;
    }
    // The locale's time of day: a few characters, at least one digit, no brackets.
    static const QRegularExpression time(u"^[^\\[\\]]*[0-9][^\\[\\]]*$"_s);
    const QStringView timeText = line.mid(1, timeEnd - 1);
    if (timeText.size() > 32 || !time.match(timeText).hasMatch()) {
        error = u"'"_s % escapedText(timeText) % u"' is not a time of day";
        return std::nullopt;
    }
    const qsizetype labelEnd = line.indexOf(u": ", timeEnd + 2);
    if (labelEnd < 0) {
        error = QStringLiteral("no \": \" after the label");
        return std::nullopt;
    }
    ValueLine result;
    result.time = timeText.toString();
    result.label = line.mid(timeEnd + 2, labelEnd - timeEnd - 2).toString();
    if (!isKnownLabel(result.label)) {
        error = u"unknown label '" % escapedText(result.label) % u"'";
        return std::nullopt;
    }
    const auto value = parseHex(line.mid(labelEnd + 2));
    if (!value) {
        error = QStringLiteral("the value is not hex bytes (two capital digits each) separated by "
                               "single spaces");
        return std::nullopt;
    }
    result.value = *value;
    return result;
}

// Why the line is not one of the log, or nothing when it is.
std::optional<QString> lineError(QStringView line) {
    const auto unsafe = std::find_if(line.cbegin(), line.cend(),
                                     [](QChar c) { return isUnsafeCharacter(c.unicode()); });
    if (unsafe != line.cend()) {
        // The manager never writes one; a pasted log that holds one is not the manager's.
        return u"holds the control character "_s % escapedText(QStringView(unsafe, 1)) %
               u" (the manager never writes one)";
    }
    return std::nullopt;
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
        if (line.trimmed().isEmpty()) {
            continue;
        }
        QString error = lineError(line).value_or(QString());
        if (error.isEmpty() && isEventLine(line)) {
            continue;
        }
        const auto parsed = error.isEmpty() ? parseValueLine(line, error) : std::nullopt;
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
    // Every readable line is replayed; a refused one makes the run fail.
    return replayLog(in, out, err) == 0 ? exitOk : exitFailure;
}

} // namespace tallyfin::cli
