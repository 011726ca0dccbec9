// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "FTMSEncoder.h"

#include <algorithm>
#include <cmath>

namespace tallyfin::bluetooth::simulated {

namespace {

// Appends little-endian fields, clamping each number to what its width can carry.
class Writer {
public:
    void uint8(double value) { put(clampU(value, 0xFF), 1); }
    void uint16(double value) { put(clampU(value, 0xFFFF), 2); }
    void uint24(double value) { put(clampU(value, 0xFFFFFF), 3); }
    void sint16(double value) {
        const auto clamped = std::clamp<long long>(std::llround(value), -32768, 32767);
        put(std::uint32_t(std::uint16_t(std::int16_t(clamped))), 2);
    }
    void put(std::uint32_t value, int width) {
        for (int i = 0; i < width; ++i) {
            m_bytes.append(char((value >> (8 * i)) & 0xFF));
        }
    }
    QByteArray bytes() const { return m_bytes; }

private:
    static std::uint32_t clampU(double value, std::uint32_t max) {
        if (!(value > 0)) {
            return 0;
        }
        return std::uint32_t(std::min<double>(std::llround(value), max));
    }
    QByteArray m_bytes;
};

bool has(std::uint32_t flags, int bit) {
    return (flags >> bit) & 1U;
}

double kmhHundredths(double metresPerSecond) {
    return metresPerSecond * 3.6 * 100.0;
}

// Total Energy, Energy per Hour, Energy per Minute.
void expendedEnergy(Writer& w, const FitnessMetrics& m) {
    w.uint16(double(m.calories));
    w.uint16(double(m.power) * 3.6 / 4.184 / 0.24);
    w.uint8(double(m.power) * 0.06 / 4.184 / 0.24);
}

} // namespace

QByteArray encodeIndoorBikeData(std::uint16_t flags, const FitnessMetrics& m) {
    Writer w;
    w.put(flags, 2);
    if (!has(flags, 0)) {
        w.uint16(kmhHundredths(m.speed));
    }
    if (has(flags, 1)) {
        w.uint16(kmhHundredths(m.speed));
    }
    if (has(flags, 2)) {
        w.uint16(double(m.cadence) * 2);
    }
    if (has(flags, 3)) {
        w.uint16(double(m.cadence) * 2);
    }
    if (has(flags, 4)) {
        w.uint24(m.distance);
    }
    if (has(flags, 5)) {
        w.sint16(m.resistance * 10);
    }
    if (has(flags, 6)) {
        w.sint16(double(m.power));
    }
    if (has(flags, 7)) {
        w.sint16(double(m.power));
    }
    if (has(flags, 8)) {
        expendedEnergy(w, m);
    }
    if (has(flags, 9)) {
        w.uint8(double(m.heartRate));
    }
    if (has(flags, 10)) {
        w.uint8(double(m.power) / 75.0 * 0.7 * 10); // metabolic equivalent, 0.1 MET
    }
    if (has(flags, 11)) {
        w.uint16(m.totalTime);
    }
    if (has(flags, 12)) {
        w.uint16(0); // remaining time
    }
    return w.bytes();
}

QByteArray encodeRowerData(std::uint16_t flags, const FitnessMetrics& m) {
    Writer w;
    w.put(flags, 2);
    const double pace = m.speed > 0 ? 500.0 / m.speed : 0;
    if (!has(flags, 0)) {
        w.uint8(double(m.strokeRate) * 2);
        w.uint16(double(m.strokeCount));
    }
    if (has(flags, 1)) {
        w.uint8(double(m.strokeRate) * 2);
    }
    if (has(flags, 2)) {
        w.uint24(m.distance);
    }
    if (has(flags, 3)) {
        w.uint16(pace);
    }
    if (has(flags, 4)) {
        w.uint16(pace);
    }
    if (has(flags, 5)) {
        w.sint16(double(m.power));
    }
    if (has(flags, 6)) {
        w.sint16(double(m.power));
    }
    if (has(flags, 7)) {
        w.sint16(m.resistance * 10);
    }
    if (has(flags, 8)) {
        expendedEnergy(w, m);
    }
    if (has(flags, 9)) {
        w.uint8(double(m.heartRate));
    }
    if (has(flags, 10)) {
        w.uint8(double(m.power) / 75.0 * 0.7 * 10);
    }
    if (has(flags, 11)) {
        w.uint16(m.totalTime);
    }
    if (has(flags, 12)) {
        w.uint16(0);
    }
    return w.bytes();
}

QByteArray encodeTreadmillData(std::uint16_t flags, const FitnessMetrics& m) {
    Writer w;
    w.put(flags, 2);
    if (!has(flags, 0)) {
        w.uint16(kmhHundredths(m.speed));
    }
    if (has(flags, 1)) {
        w.uint16(kmhHundredths(m.speed));
    }
    if (has(flags, 2)) {
        w.uint24(m.distance);
    }
    if (has(flags, 3)) {
        w.sint16(m.incline * 10);
        w.sint16(std::atan(m.incline / 100.0) * 180.0 / M_PI * 10); // ramp angle, 0.1 degree
    }
    if (has(flags, 4)) {
        w.uint16(m.distance * std::max(0.0, m.incline) / 100.0 * 10); // elevation gain, 0.1 m
        w.uint16(0);
    }
    if (has(flags, 5)) {
        w.uint8(m.speed * 3.6 * 10); // pace field in 0.1 km/min as some belts send it
    }
    if (has(flags, 6)) {
        w.uint8(m.speed * 3.6 * 10);
    }
    if (has(flags, 7)) {
        expendedEnergy(w, m);
    }
    if (has(flags, 8)) {
        w.uint8(double(m.heartRate));
    }
    if (has(flags, 9)) {
        w.uint8(double(m.power) / 75.0 * 0.7 * 10);
    }
    if (has(flags, 10)) {
        w.uint16(m.totalTime);
    }
    if (has(flags, 11)) {
        w.uint16(0);
    }
    if (has(flags, 12)) {
        w.sint16(m.speed > 0 ? double(m.power) / m.speed : 0); // force on belt, newtons
        w.sint16(double(m.power));
    }
    return w.bytes();
}

QByteArray encodeCrossTrainerData(std::uint32_t flags, const FitnessMetrics& m) {
    Writer w;
    w.put(flags & 0xFFFFFF, 3);
    if (!has(flags, 0)) {
        w.uint16(kmhHundredths(m.speed));
    }
    if (has(flags, 1)) {
        w.uint16(kmhHundredths(m.speed));
    }
    if (has(flags, 2)) {
        w.uint24(m.distance);
    }
    if (has(flags, 3)) {
        w.uint16(double(m.stepRate));
        w.uint16(double(m.stepRate));
    }
    if (has(flags, 4)) {
        w.uint16(double(m.strideCount));
    }
    if (has(flags, 5)) {
        w.uint16(0);
        w.uint16(0);
    }
    if (has(flags, 6)) {
        w.sint16(m.incline * 10);
        w.sint16(std::atan(m.incline / 100.0) * 180.0 / M_PI * 10);
    }
    if (has(flags, 7)) {
        w.sint16(m.resistance * 10);
    }
    if (has(flags, 8)) {
        w.sint16(double(m.power));
    }
    if (has(flags, 9)) {
        w.sint16(double(m.power));
    }
    if (has(flags, 10)) {
        expendedEnergy(w, m);
    }
    if (has(flags, 11)) {
        w.uint8(double(m.heartRate));
    }
    if (has(flags, 12)) {
        w.uint8(double(m.power) / 75.0 * 0.7 * 10);
    }
    if (has(flags, 13)) {
        w.uint16(m.totalTime);
    }
    if (has(flags, 14)) {
        w.uint16(0);
    }
    return w.bytes();
}

QByteArray encodeHeartRateMeasurement(std::uint8_t flags, const FitnessMetrics& m) {
    Writer w;
    w.put(flags, 1);
    if (has(flags, 0)) {
        w.uint16(double(m.heartRate));
    } else {
        w.uint8(double(m.heartRate));
    }
    if (has(flags, 3)) {
        w.uint16(double(m.calories) * 4.184);
    }
    if (has(flags, 4) && m.heartRate > 0) {
        w.uint16(60.0 * 1024.0 / double(m.heartRate));
    }
    return w.bytes();
}

QByteArray encodeFeature(std::uint32_t machineBits, std::uint32_t targetBits) {
    Writer w;
    w.put(machineBits, 4);
    w.put(targetBits, 4);
    return w.bytes();
}

} // namespace tallyfin::bluetooth::simulated
