// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// Fuzz target: BikeDataParser.
#include "DecoderFuzzing.h"

using namespace tallyfin::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzDecoder(tallyfin::BikeDataParser(), tallyfin::EquipmentType::bike,
                power | distance | speed | totalTime | calories | heartRate | cadence | resistance,
                data, size);
    return 0;
}
