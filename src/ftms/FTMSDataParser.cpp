// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "ftms/FTMSDataParser.h"

namespace tallyfin {

void FTMSDataParser::parse(QByteArrayView /*data*/, FitnessMetrics& /*metrics*/) const {}

std::optional<std::uint8_t> FTMSDataParser::readUInt8(QByteArrayView data, qsizetype offset) {
    if (offset < 0 || offset >= data.size()) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(data[offset]);
}

std::optional<std::uint16_t> FTMSDataParser::readUInt16(QByteArrayView data, qsizetype offset) {
    if (offset < 0 || offset + 1 >= data.size()) {
        return std::nullopt;
    }
    const auto low = static_cast<std::uint8_t>(data[offset]);
    const auto high = static_cast<std::uint8_t>(data[offset + 1]);
    return static_cast<std::uint16_t>(low | (high << 8));
}

std::optional<std::uint32_t> FTMSDataParser::readUInt24(QByteArrayView data, qsizetype offset) {
    if (offset < 0 || offset + 2 >= data.size()) {
        return std::nullopt;
    }
    const auto b0 = static_cast<std::uint32_t>(static_cast<std::uint8_t>(data[offset]));
    const auto b1 = static_cast<std::uint32_t>(static_cast<std::uint8_t>(data[offset + 1]));
    const auto b2 = static_cast<std::uint32_t>(static_cast<std::uint8_t>(data[offset + 2]));
    return b0 | (b1 << 8) | (b2 << 16);
}

std::optional<std::int16_t> FTMSDataParser::readSInt16(QByteArrayView data, qsizetype offset) {
    const auto raw = readUInt16(data, offset);
    if (!raw) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(*raw);
}

qsizetype FTMSDataParser::readSpeed(QByteArrayView data, qsizetype offset,
                                    FitnessMetrics& metrics) {
    const auto raw = readUInt16(data, offset);
    if (!raw) {
        return 0;
    }
    // Two divisions in this order: hundredths of km/h to km/h, then km/h to m/s.
    metrics.speed = static_cast<double>(*raw) / 100.0 / 3.6;
    return 2;
}

qsizetype FTMSDataParser::readExpendedEnergy(QByteArrayView data, qsizetype offset,
                                             FitnessMetrics& metrics) {
    const auto total = readUInt16(data, offset);
    if (!total) {
        return 0;
    }
    // Energy per hour and per minute follow; they are passed over unread.
    metrics.calories = *total;
    return 5;
}

qsizetype FTMSDataParser::readDistance(QByteArrayView data, qsizetype offset,
                                       FitnessMetrics& metrics) {
    const auto raw = readUInt24(data, offset);
    if (!raw) {
        return 0;
    }
    metrics.distance = static_cast<double>(*raw);
    return 3;
}

qsizetype FTMSDataParser::readTenths(QByteArrayView data, qsizetype offset, double& target) {
    const auto raw = readSInt16(data, offset);
    if (!raw) {
        return 0;
    }
    target = static_cast<double>(*raw) * 0.1;
    return 2;
}

qsizetype FTMSDataParser::readPower(QByteArrayView data, qsizetype offset,
                                    FitnessMetrics& metrics) {
    const auto raw = readSInt16(data, offset);
    if (!raw) {
        return 0;
    }
    metrics.power = *raw;
    return 2;
}

qsizetype FTMSDataParser::readHeartRate(QByteArrayView data, qsizetype offset,
                                        FitnessMetrics& metrics) {
    const auto raw = readUInt8(data, offset);
    if (!raw) {
        return 0;
    }
    metrics.heartRate = *raw;
    return 1;
}

qsizetype FTMSDataParser::readElapsedTime(QByteArrayView data, qsizetype offset,
                                          FitnessMetrics& metrics) {
    const auto raw = readUInt16(data, offset);
    if (!raw) {
        return 0;
    }
    metrics.totalTime = *raw;
    return 2;
}

const FTMSDataParsing* dataParserFor(EquipmentType type) {
    static const BikeDataParser bike;
    static const RowerDataParser rower;
    static const TreadmillDataParser treadmill;
    static const CrossTrainerDataParser crossTrainer;
    switch (type) {
    case EquipmentType::bike:
        return &bike;
    case EquipmentType::rower:
        return &rower;
    case EquipmentType::treadmill:
        return &treadmill;
    case EquipmentType::crossTrainer:
        return &crossTrainer;
    case EquipmentType::unknown:
        break;
    }
    return nullptr;
}

const FTMSDataParsing& heartRateMeasurementParser() {
    static const HeartRateMeasurementParser heartRate;
    return heartRate;
}

} // namespace tallyfin
