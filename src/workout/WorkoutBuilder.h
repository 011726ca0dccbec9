// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "model/FitnessMetrics.h"
#include "workout/Workout.h"

#include <optional>

namespace tallyfin {

// Turns the stream of live values into one sample a second. The recorder feeds it from the
// manager, the log import from the lines of a copied diagnostic log: both give the same workout
// for the same values at the same times.
//
// A second gets a sample while the latest values are fresh (at most `silenceLimit` old); a second
// or two without values between samples is filled with the previous sample's values, a longer
// silence is a pause. The machine's counters are taken relative to the first values; a counter
// that runs backwards (the machine restarted after a lost link) continues from where it was.
class WorkoutBuilder {
public:
    static constexpr qint64 silenceLimitMs = 3000;

    WorkoutBuilder(EquipmentType kind, QString machineName, QString deviceId, QDateTime start);

    // New values at `now`; returns the samples this adds (none, one, or a filled gap and one).
    QList<WorkoutSample> observe(const QDateTime& now, const FitnessMetrics& metrics);
    // The one-second tick: a sample for the current second while the latest values are fresh.
    QList<WorkoutSample> tick(const QDateTime& now);

    const Workout& workout() const { return m_workout; }

private:
    // A machine's running total taken from the workout's start.
    struct Counter {
        qint64 offset = 0;
        qint64 last = 0;
        bool started = false;
        qint64 next(qint64 raw);
    };

    WorkoutSample sampleAt(qint32 second);

    Workout m_workout;
    std::optional<FitnessMetrics> m_latest;
    QDateTime m_latestAt;
    Counter m_distance;
    Counter m_calories;
    Counter m_strokes;
    double m_ascentCm = 0;
};

} // namespace tallyfin
