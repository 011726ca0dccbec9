// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "ftms/FTMSDataParser.h"

namespace tallyfin {

namespace {

enum TreadmillFlag : std::uint16_t {
    moreData = 1u << 0, // inverted: Instantaneous Speed is present when clear
    averageSpeed = 1u << 1,
    totalDistance = 1u << 2,
    inclinationAndRampAngle = 1u << 3,
    elevationGain = 1u << 4,
    instantaneousPace = 1u << 5,
    averagePace = 1u << 6,
    expendedEnergy = 1u << 7,
    heartRate = 1u << 8,
    metabolicEquivalent = 1u << 9,
    elapsedTime = 1u << 10,
    remainingTime = 1u << 11,
    forceOnBeltAndPowerOutput = 1u << 12,
};

} // namespace

void TreadmillDataParser::parse(QByteArrayView data, FitnessMetrics& metrics) const {
    metrics.equipmentType = EquipmentType::treadmill;
    const auto flagsField = readUInt16(data, 0);
    if (!flagsField) {
        return;
    }
    const std::uint16_t flags = *flagsField;
    qsizetype offset = 2;

    if (!(flags & moreData)) {
        offset += readSpeed(data, offset, metrics);
    }
    if (flags & averageSpeed) {
        offset += 2;
    }
    if (flags & totalDistance) {
        offset += readDistance(data, offset, metrics);
    }
    if (flags & inclinationAndRampAngle) {
        offset += readTenths(data, offset, metrics.incline);
        offset += 2; // Ramp Angle Setting, passed over whether or not the inclination was read
    }
    if (flags & elevationGain) {
        offset += 4; // positive and negative elevation gain
    }
    if (flags & instantaneousPace) {
        offset += 1;
    }
    if (flags & averagePace) {
        offset += 1;
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
        offset += readElapsedTime(data, offset, metrics);
    }
    if (flags & remainingTime) {
        offset += 2;
    }
    if (flags & forceOnBeltAndPowerOutput) {
        offset += 2; // Force on Belt
        readPower(data, offset, metrics);
    }
}

} // namespace tallyfin
