// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// The stored-session decoder: any bytes either decode or are rejected, and whatever decodes
// survives being written and read back unchanged.

#include "analytics/SessionManager.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using tallyfin::analytics::StoredSession;
    const auto input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto sessions = StoredSession::decodeList(input);
    if (!sessions) {
        return 0;
    }
    const auto again = StoredSession::decodeList(StoredSession::encodeList(*sessions));
    if (!again || *again != *sessions) {
        std::abort();
    }
    return 0;
}
