// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// Fuzz target: TreadmillDataParser.
#include "DecoderFuzzing.h"

using namespace tallyfin::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzDecoder(tallyfin::TreadmillDataParser(), tallyfin::EquipmentType::treadmill,
                power | distance | speed | totalTime | calories | heartRate | incline, data, size);
    return 0;
}
