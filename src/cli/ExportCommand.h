// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "workout/Workout.h"
#include "workout/WorkoutSummary.h"

#include <QDate>
#include <QJsonObject>
#include <QTextStream>

#include <optional>

namespace tallyfin::cli {

// The workout in a diagnostic log copied from the overlay: its value lines decoded as the manager
// does (a strap's heart rate in place of the machine's) and sampled once a second at the times of
// the lines, on `date` (the log carries only times; a time earlier than the one before is on the
// next day). nullopt with `error` when the log holds no machine's values.
std::optional<Workout> workoutFromLog(QTextStream& in, QDate date, QString& error);

// A workout's summary as JSON, with the file it went to.
QJsonObject summaryJson(const WorkoutSummary& summary, const QString& file);

} // namespace tallyfin::cli
