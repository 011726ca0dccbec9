// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "model/FitnessMachineFeature.h"

#include <array>

namespace tallyfin {

namespace {

using F = FitnessMachineFeature;

struct NamedFlag {
    bool F::*flag;
    QStringView name;
};

// Display order, not field order: "Power" comes after "Resistance".
constexpr std::array<NamedFlag, 11> metricNames{{
    {&F::averageSpeedSupported, u"Speed"},
    {&F::cadenceSupported, u"Cadence"},
    {&F::totalDistanceSupported, u"Distance"},
    {&F::inclinationSupported, u"Incline"},
    {&F::paceSupported, u"Pace"},
    {&F::stepCountSupported, u"Steps"},
    {&F::resistanceLevelSupported, u"Resistance"},
    {&F::powerMeasurementSupported, u"Power"},
    {&F::expendedEnergySupported, u"Calories"},
    {&F::heartRateMeasurementSupported, u"Heart Rate"},
    {&F::elapsedTimeSupported, u"Time"},
}};

constexpr std::array<NamedFlag, 5> capabilityNames{{
    {&F::speedTargetSettingSupported, u"Speed"},
    {&F::inclinationTargetSettingSupported, u"Incline"},
    {&F::resistanceTargetSettingSupported, u"Resistance"},
    {&F::powerTargetSettingSupported, u"Power"},
    {&F::heartRateTargetSettingSupported, u"Heart Rate"},
}};

template<std::size_t N>
QStringList namesOfSetFlags(const F& features, const std::array<NamedFlag, N>& table) {
    QStringList names;
    for (const auto& [flag, name] : table) {
        if (features.*flag) {
            names.append(name.toString());
        }
    }
    return names;
}

} // namespace

QStringList FitnessMachineFeature::supportedMetricNames() const {
    return namesOfSetFlags(*this, metricNames);
}

QStringList FitnessMachineFeature::controlCapabilityNames() const {
    return namesOfSetFlags(*this, capabilityNames);
}

} // namespace tallyfin
