// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "Workout.h"

#include <algorithm>
#include <cmath>

namespace tallyfin::bluetooth::simulated {

namespace {

constexpr double warmUpSeconds = 180;
constexpr double hardSeconds = 60;
constexpr double easySeconds = 90;
constexpr int intervals = 4;
// Human efficiency turns mechanical work into about four times the food energy.
constexpr double kcalPerJoule = 1.0 / 4184.0 / 0.24;

} // namespace

Workout::Workout(EquipmentType type, unsigned seed)
    : m_type(type)
    , m_random(seed) {
    m_metrics.equipmentType = type;
    updateValues(0);
}

double Workout::plannedEffort(double t) {
    if (t < warmUpSeconds) {
        return 0.35 + 0.25 * t / warmUpSeconds;
    }
    const double intervalTime = t - warmUpSeconds;
    const double period = hardSeconds + easySeconds;
    if (intervalTime < intervals * period) {
        return std::fmod(intervalTime, period) < hardSeconds ? 0.95 : 0.5;
    }
    return 0.7;
}

double Workout::noise(double spread) {
    std::normal_distribution<double> distribution(0.0, spread);
    return distribution(m_random);
}

void Workout::advance(double seconds) {
    if (seconds <= 0) {
        return;
    }
    m_elapsed += seconds;
    // Riders do not jump to a new effort: follow the plan with a few seconds of lag.
    const double follow = 1.0 - std::exp(-seconds / 4.0);
    m_effort += (plannedEffort(m_elapsed) - m_effort) * follow;
    // The heart lags much more than the legs.
    const double heartTarget = 85 + 95 * m_effort;
    m_heartRate += (heartTarget - m_heartRate) * (1.0 - std::exp(-seconds / 25.0));
    updateValues(seconds);
}

void Workout::updateValues(double seconds) {
    FitnessMetrics& m = m_metrics;
    const double effort = std::max(0.05, m_effort * (1.0 + noise(0.03)));
    const bool hard = plannedEffort(m_elapsed) > 0.9;
    double power = 0;
    switch (m_type) {
    case EquipmentType::bike:
        power = 230 * effort;
        m.cadence = std::lround(68 + 30 * effort + noise(1.5));
        m.speed = 5.5 * std::cbrt(power) / 3.6;
        m.resistance = hard ? 14.0 : 8.0;
        break;
    case EquipmentType::rower: {
        power = 240 * effort;
        m.strokeRate = std::lround(17 + 14 * effort + noise(0.7));
        // The erg's own formula: watts = 2.80 / pace³, pace in seconds per metre.
        m.speed = std::cbrt(power / 2.80);
        m.resistance = 5.0;
        m_strokes += double(m.strokeRate) * seconds / 60.0;
        m.strokeCount = std::llround(std::floor(m_strokes));
        break;
    }
    case EquipmentType::treadmill:
        m.speed = (6.0 + 7.0 * effort) / 3.6;
        m.incline = hard ? 2.0 : 1.0;
        // Walking and running cost about 1 kJ per kilogram and kilometre; 75 kg runner.
        power = 75 * m.speed * (1.0 + m.incline / 10.0) * 1.1;
        break;
    case EquipmentType::crossTrainer:
        power = 190 * effort;
        m.stepRate = std::lround(100 + 60 * effort + noise(1.5));
        m.speed = (5.0 + 7.0 * effort) / 3.6;
        m.resistance = hard ? 12.0 : 7.0;
        m.incline = 4.0;
        m_strides += double(m.stepRate) * seconds / 60.0 / 2.0;
        m.strideCount = std::llround(std::floor(m_strides));
        break;
    case EquipmentType::unknown:
        break;
    }
    m.power = std::lround(power);
    m.heartRate = std::lround(m_heartRate + noise(0.6));
    m.distance += m.speed * seconds;
    m_energy += power * seconds * kcalPerJoule;
    m.calories = std::llround(std::floor(m_energy));
    m.totalTime = std::floor(m_elapsed);
}

} // namespace tallyfin::bluetooth::simulated
