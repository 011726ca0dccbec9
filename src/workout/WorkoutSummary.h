// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "workout/Workout.h"

#include <QObject>

namespace tallyfin {

// What a workout adds up to, computed from its samples: the numbers the overlay shows, the FIT
// session and lap carry, and the CSV's columns average to. Averages are over the recorded seconds
// (pauses have none); heart rate only over seconds with a reading. A `has…` flag is false when
// the machine never sent the value, and the average and maximum are then 0.
struct WorkoutSummary {
    Q_GADGET
    Q_PROPERTY(int elapsedSeconds MEMBER elapsedSeconds)
    Q_PROPERTY(int movingSeconds MEMBER movingSeconds)
    Q_PROPERTY(double distance MEMBER distance)
    Q_PROPERTY(int calories MEMBER calories)
    Q_PROPERTY(double ascent MEMBER ascent)
    Q_PROPERTY(int strokes MEMBER strokes)
    Q_PROPERTY(double averagePower MEMBER averagePower)
    Q_PROPERTY(int maximumPower MEMBER maximumPower)
    Q_PROPERTY(double averageSpeed MEMBER averageSpeed)
    Q_PROPERTY(double maximumSpeed MEMBER maximumSpeed)
    Q_PROPERTY(double averageRate MEMBER averageRate)
    Q_PROPERTY(int maximumRate MEMBER maximumRate)
    Q_PROPERTY(double averageHeartRate MEMBER averageHeartRate)
    Q_PROPERTY(int maximumHeartRate MEMBER maximumHeartRate)
    Q_PROPERTY(bool hasPower MEMBER hasPower)
    Q_PROPERTY(bool hasSpeed MEMBER hasSpeed)
    Q_PROPERTY(bool hasRate MEMBER hasRate)
    Q_PROPERTY(bool hasHeartRate MEMBER hasHeartRate)

public:
    int samples = 0;
    int elapsedSeconds = 0;
    int movingSeconds = 0;
    double distance = 0; // metres
    int calories = 0;    // kilocalories
    double ascent = 0;   // metres
    int strokes = 0;
    double averagePower = 0; // watts
    int maximumPower = 0;
    double averageSpeed = 0; // metres per second
    double maximumSpeed = 0;
    double averageRate = 0; // per minute
    int maximumRate = 0;
    double averageHeartRate = 0; // beats per minute
    int maximumHeartRate = 0;
    bool hasPower = false;
    bool hasSpeed = false;
    bool hasRate = false;
    bool hasHeartRate = false;
    bool hasIncline = false;

    // Adds the workout's next sample; `previous` is the one before it, if any.
    void add(const WorkoutSample& sample, const WorkoutSample* previous);

private:
    qint64 m_powerSum = 0;
    qint64 m_speedSum = 0;
    qint64 m_rateSum = 0;
    qint64 m_heartRateSum = 0;
    int m_heartRateCount = 0;
};

WorkoutSummary summarize(const Workout& workout);

} // namespace tallyfin

Q_DECLARE_METATYPE(tallyfin::WorkoutSummary)
