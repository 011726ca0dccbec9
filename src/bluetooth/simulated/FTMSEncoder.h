// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "model/FitnessMetrics.h"

#include <QByteArray>

#include <cstdint>

namespace tallyfin::bluetooth::simulated {

// Encodes FTMS characteristic values the way a machine sends them: the flags as given, then
// every field the flags announce, in the standard's order and width, taken from `metrics`.
// The More Data bit (bit 0) keeps its inverted sense: when it is clear the first field is
// written. Fields the decoders pass over (averages, targets, energy rates) are written from the
// nearest live value so that the value stays a plausible message. Inverse of the decoders.
QByteArray encodeIndoorBikeData(std::uint16_t flags, const FitnessMetrics& metrics);
QByteArray encodeRowerData(std::uint16_t flags, const FitnessMetrics& metrics);
QByteArray encodeTreadmillData(std::uint16_t flags, const FitnessMetrics& metrics);
// Cross Trainer Data has a 24-bit flags field.
QByteArray encodeCrossTrainerData(std::uint32_t flags, const FitnessMetrics& metrics);

// A strap's Heart Rate Measurement (0x2A37): the flags, the heart rate (uint16 when bit 0 is
// set), Energy Expended in kJ (bit 3) and one RR interval of the heart rate, in 1/1024 s (bit 4).
QByteArray encodeHeartRateMeasurement(std::uint8_t flags, const FitnessMetrics& metrics);

// A Fitness Machine Feature value (0x2ACC): the two little-endian 32-bit words.
QByteArray encodeFeature(std::uint32_t machineBits, std::uint32_t targetBits);

} // namespace tallyfin::bluetooth::simulated
