// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "ftms/FTMSDataParser.h"

namespace tallyfin {

namespace {

enum RowerFlag : std::uint16_t {
    moreData = 1u << 0, // inverted: Stroke Rate and Stroke Count are present when clear
    averageStrokeRate = 1u << 1,
    totalDistance = 1u << 2,
    instantaneousPace = 1u << 3,
    averagePace = 1u << 4,
    instantaneousPower = 1u << 5,
    averagePower = 1u << 6,
    resistanceLevel = 1u << 7,
    expendedEnergy = 1u << 8,
    heartRate = 1u << 9,
    metabolicEquivalent = 1u << 10,
    elapsedTime = 1u << 11,
};

} // namespace

void RowerDataParser::parse(QByteArrayView data, FitnessMetrics& metrics) const {
    metrics.equipmentType = EquipmentType::rower;
    const auto flagsField = readUInt16(data, 0);
    if (!flagsField) {
        return;
    }
    const std::uint16_t flags = *flagsField;
    qsizetype offset = 2;

    if (!(flags & moreData)) {
        // Rate and count are one unit: both are written or neither.
        const auto rate = readUInt8(data, offset);
        const auto count = readUInt16(data, offset + 1);
        if (rate && count) {
            metrics.strokeRate = static_cast<qint64>(static_cast<double>(*rate) * 0.5);
            metrics.strokeCount = *count;
            offset += 3;
        }
    }
    if (flags & averageStrokeRate) {
        offset += 1;
    }
    if (flags & totalDistance) {
        offset += readDistance(data, offset, metrics);
    }
    if (flags & instantaneousPace) {
        if (const auto pace = readUInt16(data, offset)) {
            // Seconds per 500 m; a pace of 0 means standing still, not infinitely fast.
            metrics.speed = *pace == 0 ? 0.0 : 500.0 / static_cast<double>(*pace);
            offset += 2;
        }
    }
    if (flags & averagePace) {
        offset += 2;
    }
    if (flags & instantaneousPower) {
        offset += readPower(data, offset, metrics);
    }
    if (flags & averagePower) {
        offset += 2;
    }
    if (flags & resistanceLevel) {
        offset += readTenths(data, offset, metrics.resistance);
    }
    if (flags & expendedEnergy) {
        offset += readExpendedEnergy(data, offset, metrics);
    }
    if (flags & heartRate) {
        offset += readHeartRate(data, offset, metrics);
    }
    if (flags & metabolicEquivalent) {
        offset += 1;
    }
    if (flags & elapsedTime) {
        readElapsedTime(data, offset, metrics);
    }
    // Remaining Time (bit 12) is the last field and is not read.
}

} // namespace tallyfin
