// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// Fuzz target: HeartRateMeasurementParser, the heart rate of a strap.
#include "DecoderFuzzing.h"

using namespace tallyfin::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The record keeps the machine's kind, and the value is at most 16 bits.
    fuzzDecoder(tallyfin::HeartRateMeasurementParser(), tallyfin::EquipmentType::unknown, heartRate,
                data, size);
    tallyfin::FitnessMetrics metrics;
    tallyfin::HeartRateMeasurementParser().parse(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), metrics);
    check(metrics.heartRate >= 0 && metrics.heartRate <= 0xFFFF);
    return 0;
}
