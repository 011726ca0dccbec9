#include "model/FitnessMachineFeature.h"

#include <array>

namespace tallyfin {

namespace {

using F = FitnessMachineFeature;

struct NamedFlag {
    bool F::*flag;
    QStringView name;
    const char* id; // of the name in the string table
};

// Display order, not field order: "Power" comes after "Resistance".
constexpr std::array<NamedFlag, 11> metricNames{{
    //: Measured value or accepted target in the machine information popover
    {&F::averageSpeedSupported, u"Speed", QT_TRID_NOOP("metric.name.speed")},
    //: Measured value: pedal revolutions, strokes or steps per minute
    {&F::cadenceSupported, u"Cadence", QT_TRID_NOOP("metric.name.cadence")},
    //: Measured value in the machine information popover
    {&F::totalDistanceSupported, u"Distance", QT_TRID_NOOP("metric.name.distance")},
    //: Measured value or accepted target: the treadmill's slope
    {&F::inclinationSupported, u"Incline", QT_TRID_NOOP("metric.name.incline")},
    //: Measured value: time per distance
    {&F::paceSupported, u"Pace", QT_TRID_NOOP("metric.name.pace")},
    //: Measured value: number of steps
    {&F::stepCountSupported, u"Steps", QT_TRID_NOOP("metric.name.steps")},
    //: Measured value or accepted target: the resistance level
    {&F::resistanceLevelSupported, u"Resistance", QT_TRID_NOOP("metric.name.resistance")},
    //: Measured value or accepted target: power in watts
    {&F::powerMeasurementSupported, u"Power", QT_TRID_NOOP("metric.name.power")},
    //: Measured value: energy burned
    {&F::expendedEnergySupported, u"Calories", QT_TRID_NOOP("metric.name.calories")},
    //: Measured value or accepted target
    {&F::heartRateMeasurementSupported, u"Heart Rate", QT_TRID_NOOP("metric.name.heartRate")},
    //: Measured value: elapsed time
    {&F::elapsedTimeSupported, u"Time", QT_TRID_NOOP("metric.name.time")},
}};

constexpr std::array<NamedFlag, 5> capabilityNames{{
    {&F::speedTargetSettingSupported, u"Speed", "metric.name.speed"},
    {&F::inclinationTargetSettingSupported, u"Incline", "metric.name.incline"},
    {&F::resistanceTargetSettingSupported, u"Resistance", "metric.name.resistance"},
    {&F::powerTargetSettingSupported, u"Power", "metric.name.power"},
    {&F::heartRateTargetSettingSupported, u"Heart Rate", "metric.name.heartRate"},
}};

template<std::size_t N>
QStringList namesOfSetFlags(const F& features, const std::array<NamedFlag, N>& table,
                            bool localized) {
    QStringList names;
    for (const auto& [flag, name, id] : table) {
        if (features.*flag) {
            names.append(localized ? qtTrId(id) : name.toString());
        }
    }
    return names;
}

} // namespace

QStringList FitnessMachineFeature::supportedMetricNames() const {
    return namesOfSetFlags(*this, metricNames, false);
}

QStringList FitnessMachineFeature::controlCapabilityNames() const {
    return namesOfSetFlags(*this, capabilityNames, false);
}

QStringList FitnessMachineFeature::localizedMetricNames() const {
    return namesOfSetFlags(*this, metricNames, true);
}

QStringList FitnessMachineFeature::localizedCapabilityNames() const {
    return namesOfSetFlags(*this, capabilityNames, true);
}

} // namespace tallyfin
