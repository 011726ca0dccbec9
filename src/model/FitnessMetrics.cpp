// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "model/FitnessMetrics.h"

#include "model/Localization.h"

#include <algorithm>
#include <cmath>

namespace tallyfin {

using namespace Qt::StringLiterals;

namespace {

// From here on the distance tile counts miles rather than feet.
constexpr double tenthOfAMile = metresPerMile / 10;

// Keeps a double's conversion to an integer defined for any value a record may hold.
qint64 truncatedToInteger(double value) {
    constexpr double limit = 1e15;
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<qint64>(std::clamp(value, -limit, limit));
}

// Seconds per `metres` as "M:SS", halves rounded away from zero; "--:--" without a speed.
QString pace(double speed, double metres) {
    if (!(speed > 0)) {
        return u"--:--"_s;
    }
    const qint64 seconds = truncatedToInteger(std::round(metres / speed));
    const qint64 minutes = seconds / 60;
    return QString::asprintf("%lld:%02lld", static_cast<long long>(minutes),
                             static_cast<long long>(seconds - minutes * 60));
}

// `speed` in metres per second as `unit` counts it, without the unit.
QString speedNumber(double speed, SpeedUnit unit) {
    switch (unit) {
    case SpeedUnit::perFiveHundredMetres:
        return pace(speed, 500);
    case SpeedUnit::perMile:
        return pace(speed, metresPerMile);
    case SpeedUnit::milesPerHour:
        return QString::asprintf("%.1f", speed * 3600 / metresPerMile);
    case SpeedUnit::kilometresPerHour:
        return QString::asprintf("%.1f", speed * 3.6);
    case SpeedUnit::metresPerSecond:
        break;
    }
    return QString::asprintf("%.1f", speed);
}

QString speedUnitSuffix(SpeedUnit unit) {
    switch (unit) {
    case SpeedUnit::perFiveHundredMetres:
        return u"/500m"_s;
    case SpeedUnit::perMile:
        return u"/mi"_s;
    case SpeedUnit::milesPerHour:
        return u"mph"_s;
    case SpeedUnit::kilometresPerHour:
        return u"km/h"_s;
    case SpeedUnit::metresPerSecond:
        break;
    }
    return u"m/s"_s;
}

} // namespace

QString FitnessMetrics::formattedTime() const {
    const qint64 t = truncatedToInteger(totalTime);
    const qint64 minutes = t / 60;
    const qint64 seconds = t - minutes * 60;
    return QString::asprintf("%02lld:%02lld", static_cast<long long>(minutes),
                             static_cast<long long>(seconds));
}

QString FitnessMetrics::formattedSpeed(UnitSystem units) const {
    const SpeedUnit unit = speedUnit(*this, units);
    return speedNumber(speed, unit) + u' ' + speedUnitSuffix(unit);
}

QString countText(qint64 value) {
    return value >= 1 ? QString::number(value) : u"--"_s;
}

DistanceUnit distanceUnit(const FitnessMetrics& metrics, UnitSystem units) {
    if (units == UnitSystem::imperial) {
        return metrics.distance >= tenthOfAMile ? DistanceUnit::miles : DistanceUnit::feet;
    }
    return metrics.distance >= 1000 ? DistanceUnit::kilometres : DistanceUnit::metres;
}

QString distanceText(const FitnessMetrics& metrics, UnitSystem units) {
    if (!(metrics.distance > 0)) {
        return u"--"_s;
    }
    switch (distanceUnit(metrics, units)) {
    case DistanceUnit::kilometres:
        return QString::asprintf("%.2f", metrics.distance / 1000);
    case DistanceUnit::miles:
        return QString::asprintf("%.2f", metrics.distance / metresPerMile);
    case DistanceUnit::feet:
        return QString::asprintf("%.0f", metrics.distance / metresPerFoot);
    case DistanceUnit::metres:
        break;
    }
    return QString::asprintf("%.0f", metrics.distance);
}

SpeedUnit speedUnit(const FitnessMetrics& metrics, UnitSystem units) {
    if (metrics.equipmentType == EquipmentType::rower) {
        // Rowers count 500 m splits in every country.
        return SpeedUnit::perFiveHundredMetres;
    }
    if (units == UnitSystem::imperial) {
        return metrics.equipmentType == EquipmentType::treadmill ? SpeedUnit::perMile
                                                                 : SpeedUnit::milesPerHour;
    }
    return metrics.equipmentType == EquipmentType::unknown ? SpeedUnit::metresPerSecond
                                                           : SpeedUnit::kilometresPerHour;
}

QString speedText(const FitnessMetrics& metrics, UnitSystem units) {
    if (!(metrics.speed > 0)) {
        return u"--"_s;
    }
    const SpeedUnit unit = speedUnit(metrics, units);
    // The tile has no label for m/s, so the number keeps its unit.
    return unit == SpeedUnit::metresPerSecond ? metrics.formattedSpeed(units)
                                              : speedNumber(metrics.speed, unit);
}

QString rateText(const FitnessMetrics& metrics) {
    qint64 rate = 0;
    switch (metrics.equipmentType) {
    case EquipmentType::rower:
        rate = metrics.strokeRate;
        break;
    case EquipmentType::bike:
        rate = metrics.cadence;
        break;
    case EquipmentType::crossTrainer:
    case EquipmentType::treadmill:
        rate = metrics.stepRate;
        break;
    case EquipmentType::unknown:
        return u"--"_s;
    }
    return countText(rate);
}

QString rateTooltip(const FitnessMetrics& metrics) {
    switch (metrics.equipmentType) {
    case EquipmentType::crossTrainer:
    case EquipmentType::treadmill:
        //: Step rate tooltip
        return qtTrId("metric.stepRate.tooltip");
    case EquipmentType::rower:
        //: Stroke rate tooltip
        return qtTrId("metric.strokeRate.tooltip");
    case EquipmentType::bike:
    case EquipmentType::unknown:
        break;
    }
    //: Cadence tooltip
    return qtTrId("metric.cadence.tooltip");
}

} // namespace tallyfin
