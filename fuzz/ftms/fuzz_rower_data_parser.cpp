// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// Fuzz target: RowerDataParser.
#include "DecoderFuzzing.h"

using namespace tallyfin::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzDecoder(tallyfin::RowerDataParser(), tallyfin::EquipmentType::rower,
                power | distance | speed | totalTime | calories | heartRate | strokeRate |
                    strokeCount | resistance,
                data, size);
    return 0;
}
