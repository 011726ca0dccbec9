// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// Fuzz target: CrossTrainerDataParser.
#include "DecoderFuzzing.h"

using namespace tallyfin::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzDecoder(tallyfin::CrossTrainerDataParser(), tallyfin::EquipmentType::crossTrainer,
                power | distance | speed | totalTime | calories | heartRate | stepRate |
                    strideCount | resistance | incline,
                data, size);
    return 0;
}
