// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "model/FitnessMetrics.h"

#include <random>

namespace tallyfin::bluetooth::simulated {

// A training session on one kind of machine as its sensors would see it: a warm-up, then hard and
// easy intervals, then a steady block. Effort follows the plan with some lag; power, cadence
// (or stroke or step rate), speed and heart rate move with it, and distance, strokes, strides,
// energy and time accumulate. Deterministic for a given seed.
class Workout {
public:
    Workout(EquipmentType type, unsigned seed);

    // Moves the session forward by `seconds` of training.
    void advance(double seconds);
    // The sensor values now, in the units of FitnessMetrics.
    const FitnessMetrics& metrics() const { return m_metrics; }
    double elapsed() const { return m_elapsed; }
    // The heart rate as a chest strap measures it: without the noise of the machine's grips.
    double heartRate() const { return m_heartRate; }
    // The planned effort at a moment of the session, 0 (rest) to 1 (threshold).
    static double plannedEffort(double elapsedSeconds);

private:
    double noise(double spread);
    void updateValues(double seconds);

    EquipmentType m_type;
    std::mt19937 m_random;
    double m_elapsed = 0;
    double m_effort = 0.3;
    double m_heartRate = 80;
    double m_energy = 0; // kilocalories, unrounded
    double m_strokes = 0;
    double m_strides = 0;
    FitnessMetrics m_metrics;
};

} // namespace tallyfin::bluetooth::simulated
