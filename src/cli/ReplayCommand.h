// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "ftms/FTMSDataParser.h"

#include <QByteArray>
#include <QString>
#include <QTextStream>

#include <optional>

namespace tallyfin::cli {

// A raw-data line of the log: "[time] label: hex bytes".
struct ValueLine {
    QString time;
    QString label;
    QByteArray value;
};

// Reads a raw-data line, or says why it cannot.
std::optional<ValueLine> parseValueLine(QStringView line, QString& error);
// The decoder a label names: a machine's, or a strap's heart rate; nullptr for the feature and
// unknown labels.
const FTMSDataParsing* dataParser(QStringView label);
// The kind of machine whose data a label names; unknown for every other label.
EquipmentType machineKind(QStringView label);
// Lines the manager writes that carry no value.
bool isEventLine(QStringView line);

// Replays a diagnostic log read from `in`: one JSON line on `out` per value line, unreadable
// lines reported on `err` with their number. Returns the number of unreadable lines.
int replayLog(QTextStream& in, QTextStream& out, QTextStream& err);

} // namespace tallyfin::cli
