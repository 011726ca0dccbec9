// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// Fuzz target: the Fitness Machine Feature decoding and its log line.
#include "ftms/FeatureDecoder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tallyfin;
    const QByteArrayView value(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto bits = readFeatureBits(value);
    if (bits.has_value() != (size >= 8)) {
        std::abort();
    }
    if (!bits) {
        return 0;
    }
    FitnessMachineFeature features;
    features.deviceName = QStringLiteral("fuzz");
    features = applyFeatureBits(features, *bits);
    const QString line = featuresLogLine(features);
    if (!line.startsWith(u"FEATURES: ") || features.deviceName != u"fuzz" ||
        features.supportedMetricNames().size() > 11 ||
        features.controlCapabilityNames().size() > 5) {
        std::abort();
    }
    return 0;
}
