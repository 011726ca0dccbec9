// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#include "cli/ExportCommand.h"

#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "cli/ReplayCommand.h"
#include "connection/LogTime.h"
#include "ftms/FTMSDataParser.h"
#include "workout/Journal.h"
#include "workout/WorkoutBuilder.h"
#include "workout/WorkoutFiles.h"

#include <QFile>
#include <QMetaProperty>

using namespace Qt::StringLiterals;

namespace tallyfin::cli {

namespace {

constexpr QStringView name = u"export";

struct ExportOptions {
    QString input;
    QString output;
    WorkoutFormat format = WorkoutFormat::fit;
    std::optional<QDate> date;
};

std::optional<ExportOptions> parseExportArguments(const QStringList& arguments, QString& error) {
    ExportOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == u"--to" || argument == u"--date") {
            if (i + 1 >= arguments.size()) {
                error = argument + u" needs a value"_s;
                return std::nullopt;
            }
            const QString& value = arguments.at(++i);
            if (argument == u"--to") {
                const auto format = formatForPath(value);
                if (!format) {
                    error =
                        u"--to needs a file ending in .fit, .tcx or .csv, not '"_s + value + u"'"_s;
                    return std::nullopt;
                }
                options.output = value;
                options.format = *format;
            } else {
                options.date = QDate::fromString(value, Qt::ISODate);
                if (!options.date->isValid() || value.size() != 10) {
                    error = u"--date needs a day as YYYY-MM-DD, not '"_s + value + u"'"_s;
                    return std::nullopt;
                }
            }
        } else if (argument.startsWith(u'-') && argument != u"-") {
            error = u"unknown option '"_s + argument + u"'"_s;
            return std::nullopt;
        } else if (options.input.isEmpty()) {
            options.input = argument;
        } else {
            error = u"unexpected argument '"_s + argument + u"'"_s;
            return std::nullopt;
        }
    }
    if (options.input.isEmpty()) {
        error = u"missing INPUT (a journal or a diagnostic log, or - for standard input)"_s;
    } else if (options.output.isEmpty()) {
        error = u"missing --to FILE"_s;
    }
    return error.isEmpty() ? std::optional(options) : std::nullopt;
}

// "CONNECTED: name [identifier] RSSI: …": the machine's name and identifier.
void readConnectedLine(QStringView line, Workout& workout) {
    const QStringView rest = line.sliced(QStringView(u"CONNECTED: ").size());
    const qsizetype open = rest.lastIndexOf(u" [");
    const qsizetype close = rest.lastIndexOf(u"] RSSI");
    if (open >= 0 && close > open) {
        workout.machineName = rest.first(open).toString();
        workout.deviceId = rest.sliced(open + 2, close - open - 2).toString();
    }
}

} // namespace

std::optional<Workout> workoutFromLog(QTextStream& in, QDate date, QString& error) {
    std::optional<WorkoutBuilder> builder;
    Workout identity;
    FitnessMetrics metrics;
    std::optional<qint64> strapHeartRate;
    QDateTime previous;
    int lines = 0;
    QString line;
    while (in.readLineInto(&line)) {
        ++lines;
        if (line.startsWith(u"CONNECTED: ")) {
            readConnectedLine(line, identity);
            continue;
        }
        QString lineError;
        const auto value = isEventLine(line) ? std::nullopt : parseValueLine(line, lineError);
        const FTMSDataParsing* parser = value ? dataParser(value->label) : nullptr;
        if (!parser) {
            continue; // features, events and lines that are not the log's: no values
        }
        const QTime time = timeFromMediumText(value->time);
        if (!time.isValid()) {
            continue;
        }
        QDateTime now(date, time);
        if (previous.isValid() && now < previous) {
            now = now.addDays(1); // past midnight
            date = date.addDays(1);
        }
        previous = now;
        const EquipmentType kind = machineKind(value->label);
        if (kind == EquipmentType::unknown) {
            FitnessMetrics strap;
            parser->parse(value->value, strap);
            strapHeartRate = strap.heartRate;
        } else {
            parser->parse(value->value, metrics);
        }
        if (metrics.equipmentType == EquipmentType::unknown) {
            continue; // a strap's values before the machine's: nothing to record yet
        }
        if (!builder) {
            builder.emplace(metrics.equipmentType, identity.machineName, identity.deviceId, now);
        }
        FitnessMetrics shown = metrics;
        if (strapHeartRate && *strapHeartRate > 0) {
            shown.heartRate = *strapHeartRate;
        }
        builder->observe(now, shown);
    }
    if (!builder) {
        error = u"no values of a fitness machine in "_s + QString::number(lines) + u" lines"_s;
        return std::nullopt;
    }
    return builder->workout();
}

QJsonObject summaryJson(const WorkoutSummary& summary, const QString& file) {
    QJsonObject object;
    object.insert(u"file"_s, file);
    object.insert(u"samples"_s, summary.samples);
    const QMetaObject& meta = WorkoutSummary::staticMetaObject;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        object.insert(QString::fromLatin1(property.name()),
                      QJsonValue::fromVariant(property.readOnGadget(&summary)));
    }
    return object;
}

int runExport(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QString error;
    const auto options = parseExportArguments(arguments, error);
    if (!options) {
        return usageError(err, name, error);
    }
    QFile file;
    const bool opened = options->input == u"-"
                            ? file.open(stdin, QIODevice::ReadOnly)
                            : (file.setFileName(options->input), file.open(QIODevice::ReadOnly));
    if (!opened) {
        err << "tallyfin-cli export: cannot read '" << options->input << "': " << file.errorString()
            << '\n';
        return exitFailure;
    }
    const QByteArray bytes = file.readAll();
    std::optional<Workout> workout;
    if (journal::looksLikeJournal(bytes)) {
        const journal::ReadResult read = journal::parse(bytes);
        if (!read.workout) {
            err << "tallyfin-cli export: " << options->input << ": " << read.error << '\n';
            return exitFailure;
        }
        if (read.damagedLines > 0) {
            err << "tallyfin-cli export: " << options->input << ": " << read.error
                << "; exporting the other samples\n";
        }
        if (read.cutAtEnd) {
            err << "tallyfin-cli export: " << options->input
                << ": the last sample is cut off and left out\n";
        }
        workout = read.workout;
    } else {
        if (!options->date) {
            return usageError(err, name,
                              u"'"_s + options->input +
                                  u"' is no journal; a diagnostic log needs --date YYYY-MM-DD "
                                  u"(its lines carry only times)"_s);
        }
        QTextStream in(bytes);
        in.setEncoding(QStringConverter::Utf8);
        workout = workoutFromLog(in, *options->date, error);
        if (!workout) {
            err << "tallyfin-cli export: " << options->input << ": " << error << '\n';
            return exitFailure;
        }
    }
    if (!writeWorkoutFile(*workout, options->output, options->format, &error)) {
        err << "tallyfin-cli export: " << error << '\n';
        return exitFailure;
    }
    writeJsonLine(out, summaryJson(summarize(*workout), options->output));
    return exitOk;
}

} // namespace tallyfin::cli
