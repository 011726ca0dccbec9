// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "cli/Commands.h"
#include "cli/HexArgument.h"
#include "cli/JsonOutput.h"
#include "ftms/FTMSDataParser.h"

#include <QJsonObject>
#include <QList>

namespace tallyfin::cli {

namespace {

constexpr QStringView name = u"decode";
constexpr QStringView kinds = u"bike, rower, treadmill, crossTrainer or heartRate";

// The decoder for a kind of machine, or for a heart-rate strap's Heart Rate Measurement.
const FTMSDataParsing* parserFor(const QString& kind) {
    if (kind == u"heartRate") {
        return &heartRateMeasurementParser();
    }
    const auto type = equipmentTypeFromCaseName(kind);
    return type ? dataParserFor(*type) : nullptr;
}

} // namespace

int runDecode(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    if (arguments.isEmpty()) {
        return usageError(err, name, u"missing MACHINE (" % kinds % u')');
    }
    const QString& machine = arguments.first();
    const FTMSDataParsing* parser = parserFor(machine);
    if (!parser) {
        return usageError(err, name,
                          u"unknown MACHINE '" % machine % u"' (expected " % kinds % u')');
    }
    if (arguments.size() < 2) {
        return usageError(err, name,
                          QStringLiteral("missing VALUE (hex bytes, e.g. \"40 00 64 00\")"));
    }

    // Check every value before decoding any, so bad input prints nothing.
    QList<QByteArray> values;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString error;
        const auto bytes = parseHexBytes(arguments[i], error);
        if (!bytes) {
            return usageError(
                err, name, u"VALUE " % QString::number(i) % u" '" % arguments[i] % u"': " % error);
        }
        values.append(*bytes);
    }

    // Merged in order, exactly as notifications are merged into the live record.
    FitnessMetrics metrics;
    for (const QByteArray& value : values) {
        parser->parse(value, metrics);
    }
    writeJsonLine(out, metricsJson(metrics));
    return exitOk;
}

} // namespace tallyfin::cli
