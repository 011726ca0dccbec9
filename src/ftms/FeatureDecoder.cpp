// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "ftms/FeatureDecoder.h"

#include <array>

namespace tallyfin {

namespace {

using Word = FeatureFlag::Word;
using F = FitnessMachineFeature;

constexpr std::array<FeatureFlag, 20> flagTable{{
    {u"averageSpeedSupported", &F::averageSpeedSupported, Word::machine, 0},
    {u"cadenceSupported", &F::cadenceSupported, Word::machine, 1},
    {u"totalDistanceSupported", &F::totalDistanceSupported, Word::machine, 2},
    {u"inclinationSupported", &F::inclinationSupported, Word::machine, 3},
    {u"elevationGainSupported", &F::elevationGainSupported, Word::machine, 4},
    {u"paceSupported", &F::paceSupported, Word::machine, 5},
    {u"stepCountSupported", &F::stepCountSupported, Word::machine, 6},
    {u"resistanceLevelSupported", &F::resistanceLevelSupported, Word::machine, 7},
    {u"strideCountSupported", &F::strideCountSupported, Word::machine, 8},
    {u"expendedEnergySupported", &F::expendedEnergySupported, Word::machine, 9},
    {u"heartRateMeasurementSupported", &F::heartRateMeasurementSupported, Word::machine, 10},
    {u"metabolicEquivalentSupported", &F::metabolicEquivalentSupported, Word::machine, 11},
    {u"elapsedTimeSupported", &F::elapsedTimeSupported, Word::machine, 12},
    {u"remainingTimeSupported", &F::remainingTimeSupported, Word::machine, 13},
    {u"powerMeasurementSupported", &F::powerMeasurementSupported, Word::machine, 14},
    {u"speedTargetSettingSupported", &F::speedTargetSettingSupported, Word::target, 0},
    {u"inclinationTargetSettingSupported", &F::inclinationTargetSettingSupported, Word::target, 1},
    {u"resistanceTargetSettingSupported", &F::resistanceTargetSettingSupported, Word::target, 2},
    {u"powerTargetSettingSupported", &F::powerTargetSettingSupported, Word::target, 3},
    {u"heartRateTargetSettingSupported", &F::heartRateTargetSettingSupported, Word::target, 4},
}};

std::uint32_t readUInt32(QByteArrayView value, qsizetype offset) {
    std::uint32_t word = 0;
    for (int i = 3; i >= 0; --i) {
        word = (word << 8) | static_cast<std::uint8_t>(value[offset + i]);
    }
    return word;
}

} // namespace

bool FeatureFlag::isSet(FeatureBits bits) const {
    const std::uint32_t source = word == Word::machine ? bits.machineBits : bits.targetBits;
    return (source >> bit) & 1u;
}

std::span<const FeatureFlag, 20> featureFlags() {
    return flagTable;
}

std::optional<FeatureBits> readFeatureBits(QByteArrayView value) {
    if (value.size() < 8) {
        return std::nullopt;
    }
    return FeatureBits{readUInt32(value, 0), readUInt32(value, 4)};
}

FitnessMachineFeature applyFeatureBits(FitnessMachineFeature features, FeatureBits bits) {
    for (const FeatureFlag& flag : flagTable) {
        features.*flag.member = flag.isSet(bits);
    }
    return features;
}

QString featuresLogLine(const FitnessMachineFeature& features) {
    return u"FEATURES: " % features.supportedMetricNames().join(u", ");
}

} // namespace tallyfin
