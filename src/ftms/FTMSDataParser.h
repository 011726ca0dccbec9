// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "model/FitnessMetrics.h"

#include <QByteArrayView>

#include <cstdint>
#include <optional>

namespace tallyfin {

// What the manager asks of a decoder: merge one characteristic value into the caller's record.
// Never fails; a short or malformed value simply updates fewer fields.
class FTMSDataParsing {
public:
    virtual ~FTMSDataParsing() = default;
    virtual void parse(QByteArrayView data, FitnessMetrics& metrics) const = 0;
};

// Base of the four decoders: bounded little-endian readers that return nullopt instead of reading
// past the end. Its own parse does nothing.
class FTMSDataParser : public FTMSDataParsing {
public:
    void parse(QByteArrayView data, FitnessMetrics& metrics) const override;

protected:
    static std::optional<std::uint8_t> readUInt8(QByteArrayView data, qsizetype offset);
    static std::optional<std::uint16_t> readUInt16(QByteArrayView data, qsizetype offset);
    static std::optional<std::uint32_t> readUInt24(QByteArrayView data, qsizetype offset);
    // A sint16 field: read as uint16, then taken as two's complement.
    static std::optional<std::int16_t> readSInt16(QByteArrayView data, qsizetype offset);

    // Stores a uint16 speed field (0.01 km/h) as metres per second; returns the bytes consumed.
    static qsizetype readSpeed(QByteArrayView data, qsizetype offset, FitnessMetrics& metrics);
    // Stores Total Energy of the 5-byte Expended Energy field; returns the bytes consumed.
    static qsizetype readExpendedEnergy(QByteArrayView data, qsizetype offset,
                                        FitnessMetrics& metrics);
    // Stores a uint24 Total Distance field in metres; returns the bytes consumed.
    static qsizetype readDistance(QByteArrayView data, qsizetype offset, FitnessMetrics& metrics);
    // Stores a sint16 field in steps of 0.1 into `target`; returns the bytes consumed.
    static qsizetype readTenths(QByteArrayView data, qsizetype offset, double& target);
    // Stores a sint16 Instantaneous Power field in watts; returns the bytes consumed.
    static qsizetype readPower(QByteArrayView data, qsizetype offset, FitnessMetrics& metrics);
    // Stores a uint8 Heart Rate field; returns the bytes consumed.
    static qsizetype readHeartRate(QByteArrayView data, qsizetype offset, FitnessMetrics& metrics);
    // Stores a uint16 Elapsed Time field in seconds; returns the bytes consumed.
    static qsizetype readElapsedTime(QByteArrayView data, qsizetype offset,
                                     FitnessMetrics& metrics);
};

// Indoor Bike Data (0x2AD2).
class BikeDataParser final : public FTMSDataParser {
public:
    void parse(QByteArrayView data, FitnessMetrics& metrics) const override;
};

// Rower Data (0x2AD1).
class RowerDataParser final : public FTMSDataParser {
public:
    void parse(QByteArrayView data, FitnessMetrics& metrics) const override;
};

// Treadmill Data (0x2ACD).
class TreadmillDataParser final : public FTMSDataParser {
public:
    void parse(QByteArrayView data, FitnessMetrics& metrics) const override;
};

// Cross Trainer Data (0x2ACE).
class CrossTrainerDataParser final : public FTMSDataParser {
public:
    void parse(QByteArrayView data, FitnessMetrics& metrics) const override;
};

// Heart Rate Measurement (0x2A37) of a heart-rate strap (Heart Rate service, 0x180D): a flags byte,
// then the heart rate as uint8 (flags bit 0 clear) or uint16 (set). Bits 1 and 2 tell the
// sensor's skin contact; a strap that reports lost contact sends no heart rate, so the value is
// stored as 0 (no value). Energy Expended (bit 3) and the RR intervals (bit 4) follow the heart
// rate; the record has no place for them and they are not read. Only `heartRate` ever changes:
// the record stays that of the machine it is merged into.
class HeartRateMeasurementParser final : public FTMSDataParser {
public:
    void parse(QByteArrayView data, FitnessMetrics& metrics) const override;
};

// The shared, stateless decoder for a kind of machine; nullptr for `unknown`.
const FTMSDataParsing* dataParserFor(EquipmentType type);
// The shared, stateless decoder for a heart-rate strap's Heart Rate Measurement.
const FTMSDataParsing& heartRateMeasurementParser();

} // namespace tallyfin
