// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "workout/Workout.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tallyfin {

enum class WorkoutFormat { fit, tcx, csv };

// The format a file name's extension names (".fit", ".tcx", ".csv", any case); nullopt otherwise.
std::optional<WorkoutFormat> formatForPath(const QString& path);
QString extension(WorkoutFormat format); // "fit"
QByteArray encodeWorkout(const Workout& workout, WorkoutFormat format);

// Where journals of workouts being recorded live: "tallyfin/journal" in the XDG data folder
// (~/.local/share/tallyfin/journal), the same for the overlay and the command-line tool.
QString defaultJournalFolder();
// Where finished workouts go unless the user chose otherwise: "Tallyfin" in the user's documents
// folder (`xdg-user-dir DOCUMENTS`, or Qt's documents location where that tool is missing).
QString defaultWorkoutsFolder();
// "2026-12-06_19-05-10_bike.fit": the start in local time and the machine's kind.
QString workoutFileName(const Workout& workout, WorkoutFormat format);
// The journal's name for a workout: its start in UTC and its kind.
QString journalFileName(const Workout& workout);

// Writes the file atomically (nothing is replaced unless all of it was written). False with a
// message naming the file and the reason when the folder cannot be made or written, or the disk
// is full.
bool writeWorkoutFile(const Workout& workout, const QString& path, WorkoutFormat format,
                      QString* error);

struct ExportResult {
    QStringList files; // written, in the order of the formats
    QString error;     // the first failure; empty when every file was written
    bool ok() const { return error.isEmpty(); }
};
// Writes the workout into `folder` in each format, named by workoutFileName.
ExportResult exportWorkout(const Workout& workout, const QString& folder,
                           const QList<WorkoutFormat>& formats);

// A journal found at start-up, left by a recording that never finished (a crash, a power cut).
struct RecoveredJournal {
    QString journal;
    QStringList files; // what was written from it
    QString error;     // why it stays (empty when it was exported or too short to keep)
    bool removed = false;
};
// Exports every journal in `journalFolder` but `skip` (the one being recorded now) and those
// another process records (they are locked), and removes each journal only once its files were
// written, or when its workout was too short to keep. A journal with damaged lines other than a cut
// last sample stays, with the reason in `error`, for a later export by hand (tallyfin-cli export).
// Each outcome is logged.
QList<RecoveredJournal> recoverJournals(const QString& journalFolder, const QString& folder,
                                        const QList<WorkoutFormat>& formats,
                                        const QString& skip = {});

} // namespace tallyfin
