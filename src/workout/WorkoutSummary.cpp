// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#include "workout/WorkoutSummary.h"

#include <algorithm>

namespace tallyfin {

void WorkoutSummary::add(const WorkoutSample& sample, const WorkoutSample* previous) {
    ++samples;
    if (previous) {
        elapsedSeconds += sample.time - previous->time;
        if (!Workout::isPause(*previous, sample)) {
            movingSeconds += sample.time - previous->time;
        }
    }
    distance = double(sample.distance) / 100;
    calories = sample.calories;
    ascent = double(sample.ascent) / 10;
    strokes = sample.strokes;
    hasPower = hasPower || sample.power > 0;
    hasSpeed = hasSpeed || sample.speed > 0;
    hasRate = hasRate || sample.rate > 0;
    hasIncline = hasIncline || sample.incline != 0;
    m_powerSum += sample.power;
    m_speedSum += sample.speed;
    m_rateSum += sample.rate;
    maximumPower = std::max(maximumPower, int(sample.power));
    maximumSpeed = std::max(maximumSpeed, double(sample.speed) / 1000);
    maximumRate = std::max(maximumRate, int(sample.rate));
    if (sample.heartRate > 0) {
        hasHeartRate = true;
        m_heartRateSum += sample.heartRate;
        ++m_heartRateCount;
        maximumHeartRate = std::max(maximumHeartRate, int(sample.heartRate));
        averageHeartRate = double(m_heartRateSum) / m_heartRateCount;
    }
    averagePower = hasPower ? double(m_powerSum) / samples : 0;
    averageSpeed = hasSpeed ? double(m_speedSum) / samples / 1000 : 0;
    averageRate = hasRate ? double(m_rateSum) / samples : 0;
}

WorkoutSummary summarize(const Workout& workout) {
    WorkoutSummary summary;
    const WorkoutSample* previous = nullptr;
    for (const WorkoutSample& sample : workout.samples) {
        summary.add(sample, previous);
        previous = &sample;
    }
    return summary;
}

} // namespace tallyfin
