// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// The signal cache file decoder: any bytes either decode or are rejected, and whatever decodes
// survives being written and read back unchanged.

#include "analytics/SignalPostBody.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto records = tallyfin::analytics::decodeCacheFile(input);
    if (!records) {
        return 0;
    }
    const auto again =
        tallyfin::analytics::decodeCacheFile(tallyfin::analytics::encodeCacheFile(*records));
    if (!again || *again != *records) {
        std::abort();
    }
    return 0;
}
