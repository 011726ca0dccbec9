// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "ftms/FTMSDataParser.h"

namespace tallyfin {

namespace {

// Bits of the first two bytes of the 24-bit flags field; bits 14 to 23 are not acted on.
enum CrossTrainerFlag : std::uint32_t {
    moreData = 1u << 0, // inverted: Instantaneous Speed is present when clear
    averageSpeed = 1u << 1,
    totalDistance = 1u << 2,
    stepCountPair = 1u << 3, // Steps per Minute, then Average Step Rate
    strideCount = 1u << 4,
    elevationGain = 1u << 5,
    inclinationAndRampAngle = 1u << 6,
    resistanceLevel = 1u << 7,
    instantaneousPower = 1u << 8,
    averagePower = 1u << 9,
    expendedEnergy = 1u << 10,
    heartRate = 1u << 11,
    metabolicEquivalent = 1u << 12,
    elapsedTime = 1u << 13,
};

} // namespace

void CrossTrainerDataParser::parse(QByteArrayView data, FitnessMetrics& metrics) const {
    metrics.equipmentType = EquipmentType::crossTrainer;
    // The whole 24-bit flags field must be there.
    const auto flagsField = readUInt24(data, 0);
    if (!flagsField) {
        return;
    }
    const std::uint32_t flags = *flagsField;
    qsizetype offset = 3;

    if (!(flags & moreData)) {
        offset += readSpeed(data, offset, metrics);
    }
    if (flags & averageSpeed) {
        offset += 2;
    }
    if (flags & totalDistance) {
        offset += readDistance(data, offset, metrics);
    }
    if (flags & stepCountPair) {
        if (const auto raw = readUInt16(data, offset)) {
            metrics.stepRate = *raw;
            offset += 2;
        }
        offset += 2; // Average Step Rate, passed over in any case
    }
    if (flags & strideCount) {
        if (const auto raw = readUInt16(data, offset)) {
            metrics.strideCount = *raw;
            offset += 2;
        }
    }
    if (flags & elevationGain) {
        offset += 4; // positive and negative elevation gain
    }
    if (flags & inclinationAndRampAngle) {
        offset += readTenths(data, offset, metrics.incline);
        offset += 2; // Ramp Angle Setting, passed over in any case
    }
    if (flags & resistanceLevel) {
        offset += readTenths(data, offset, metrics.resistance);
    }
    if (flags & instantaneousPower) {
        offset += readPower(data, offset, metrics);
    }
    if (flags & averagePower) {
        offset += 2;
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
    // Remaining Time (bit 14) is not read; Movement Direction (bit 15) is a flag, not a field.
}

} // namespace tallyfin
