// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "model/EquipmentType.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace tallyfin {

// One second of a workout, in the whole units the journal and the FIT file keep. Counters
// (distance, calories, strokes, ascent) count from the start of the workout, not of the machine.
struct WorkoutSample {
    qint32 time = 0;      // seconds since the workout's start
    qint64 distance = 0;  // centimetres
    qint32 speed = 0;     // millimetres per second
    qint32 rate = 0;      // cadence, stroke rate or step rate, per minute
    qint32 power = 0;     // watts
    qint32 heartRate = 0; // beats per minute; 0 while there is no reading
    qint32 calories = 0;  // kilocalories
    qint32 strokes = 0;   // strokes or strides
    qint32 ascent = 0;    // decimetres climbed
    qint32 incline = 0;   // tenths of a percent

    friend bool operator==(const WorkoutSample&, const WorkoutSample&) = default;
};

// A workout as recorded: the machine, the moment of its first second (UTC, whole seconds) and one
// sample for every second the machine sent values. Seconds without a sample are pauses.
struct Workout {
    EquipmentType kind = EquipmentType::unknown;
    QString machineName;
    QString deviceId;
    QDateTime start;
    QList<WorkoutSample> samples;

    // Two samples further apart than this are separated by a pause (the machine fell silent or the
    // link was lost); closer ones are one stretch of riding with a second or two missed.
    static constexpr qint32 pauseGap = 3;
    // Workouts shorter than this are not kept.
    static constexpr qint32 shortestKept = 60;

    static bool isPause(const WorkoutSample& before, const WorkoutSample& after) {
        return after.time - before.time > pauseGap;
    }
    // From the first sample to the last, pauses included.
    qint32 elapsedSeconds() const;
    // The same without the pauses: what a FIT file calls timer time.
    qint32 movingSeconds() const;
    bool isLongEnoughToKeep() const { return elapsedSeconds() >= shortestKept; }
    QDateTime timeOf(const WorkoutSample& sample) const { return start.addSecs(sample.time); }
};

} // namespace tallyfin
