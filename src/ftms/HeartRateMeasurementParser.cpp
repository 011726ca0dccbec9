// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "ftms/FTMSDataParser.h"

namespace tallyfin {

namespace {

enum HeartRateFlag : std::uint8_t {
    valueIsUInt16 = 1u << 0,
    // Bits 1 and 2: 0 or 1 contact not supported, 2 supported but not detected, 3 detected.
    contactSupported = 1u << 2,
    contactDetected = 1u << 1,
};

} // namespace

void HeartRateMeasurementParser::parse(QByteArrayView data, FitnessMetrics& metrics) const {
    const auto flags = readUInt8(data, 0);
    if (!flags) {
        return;
    }
    std::optional<qint64> value;
    if (*flags & valueIsUInt16) {
        value = readUInt16(data, 1);
    } else {
        value = readUInt8(data, 1);
    }
    if (!value) {
        return; // cut short: the heart rate stays as it was
    }
    const bool contactLost = (*flags & contactSupported) && !(*flags & contactDetected);
    metrics.heartRate = contactLost ? 0 : *value;
}

} // namespace tallyfin
