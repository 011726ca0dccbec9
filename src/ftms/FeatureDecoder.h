// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "model/FitnessMachineFeature.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <span>

namespace tallyfin {

// The two words of a Fitness Machine Feature value (0x2ACC).
struct FeatureBits {
    std::uint32_t machineBits = 0; // Fitness Machine Features
    std::uint32_t targetBits = 0;  // Target Setting Features
};

// One of the twenty capability flags and the bit it is copied from.
struct FeatureFlag {
    enum class Word { machine, target };

    QStringView name; // the member's name, as in JSON and QML
    bool FitnessMachineFeature::*member;
    Word word;
    int bit;

    bool isSet(FeatureBits bits) const;
};

// The twenty flags in declaration order: the fifteen machine flags, then the five target flags.
std::span<const FeatureFlag, 20> featureFlags();

// The two little-endian words of the first 8 bytes; nullopt for a shorter value. Bytes after the
// eighth are ignored.
std::optional<FeatureBits> readFeatureBits(QByteArrayView value);

// `features` with every one of the twenty flags set from its bit; deviceName is kept.
FitnessMachineFeature applyFeatureBits(FitnessMachineFeature features, FeatureBits bits);

// The log line that records a decoded feature value: "FEATURES: " and the supported metrics.
QString featuresLogLine(const FitnessMachineFeature& features);

} // namespace tallyfin
