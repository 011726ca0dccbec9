// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "ftms/FTMSDataParser.h"

namespace tallyfin {

namespace {

enum BikeFlag : std::uint16_t {
    moreData = 1u << 0, // inverted: Instantaneous Speed is present when clear
    averageSpeed = 1u << 1,
    instantaneousCadence = 1u << 2,
    averageCadence = 1u << 3,
    totalDistance = 1u << 4,
    resistanceLevel = 1u << 5,
    instantaneousPower = 1u << 6,
    averagePower = 1u << 7,
    expendedEnergy = 1u << 8,
    heartRate = 1u << 9,
    metabolicEquivalent = 1u << 10,
    elapsedTime = 1u << 11,
};

} // namespace

void BikeDataParser::parse(QByteArrayView data, FitnessMetrics& metrics) const {
    metrics.equipmentType = EquipmentType::bike;
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
    if (flags & instantaneousCadence) {
        if (const auto raw = readUInt16(data, offset)) {
            // Half revolutions are dropped.
            metrics.cadence = static_cast<qint64>(static_cast<double>(*raw) * 0.5);
            offset += 2;
        }
    }
    if (flags & averageCadence) {
        offset += 2;
    }
    if (flags & totalDistance) {
        offset += readDistance(data, offset, metrics);
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
    // Remaining Time (bit 12) is the last field and is not read.
}

} // namespace tallyfin
