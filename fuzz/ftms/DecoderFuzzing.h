// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

// What every decoder fuzz target checks beyond the sanitizers: the decoder marks its kind, leaves
// alone the fields it never writes, and stores only finite numbers.

#include "ftms/FTMSDataParser.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace tallyfin::fuzzing {

enum Field : unsigned {
    power = 1u << 0,
    distance = 1u << 1,
    speed = 1u << 2,
    totalTime = 1u << 3,
    calories = 1u << 4,
    heartRate = 1u << 5,
    strokeRate = 1u << 6,
    strokeCount = 1u << 7,
    cadence = 1u << 8,
    resistance = 1u << 9,
    stepRate = 1u << 10,
    strideCount = 1u << 11,
    incline = 1u << 12,
};

inline FitnessMetrics sentinelMetrics() {
    FitnessMetrics m;
    m.power = -1;
    m.distance = -1;
    m.speed = -1;
    m.totalTime = -1;
    m.calories = -1;
    m.heartRate = -1;
    m.strokeRate = -1;
    m.strokeCount = -1;
    m.cadence = -1;
    m.resistance = -1;
    m.stepRate = -1;
    m.strideCount = -1;
    m.incline = -1;
    return m;
}

// Fields outside `written` must keep their sentinel; abort() makes libFuzzer report the input.
inline void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

inline void fuzzDecoder(const FTMSDataParsing& parser, EquipmentType type, unsigned written,
                        const std::uint8_t* data, std::size_t size) {
    const QByteArrayView value(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    FitnessMetrics m = sentinelMetrics();
    parser.parse(value, m);
    check(m.equipmentType == type);
    const auto kept = [&](Field field, auto actual) { return (written & field) || actual == -1; };
    check(kept(power, m.power) && kept(distance, m.distance) && kept(speed, m.speed));
    check(kept(totalTime, m.totalTime) && kept(calories, m.calories));
    check(kept(heartRate, m.heartRate) && kept(strokeRate, m.strokeRate));
    check(kept(strokeCount, m.strokeCount) && kept(cadence, m.cadence));
    check(kept(resistance, m.resistance) && kept(stepRate, m.stepRate));
    check(kept(strideCount, m.strideCount) && kept(incline, m.incline));
    for (const double d : {m.distance, m.speed, m.totalTime, m.resistance, m.incline}) {
        check(std::isfinite(d));
    }
}

} // namespace tallyfin::fuzzing
