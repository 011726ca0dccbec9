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

} // namespace

QString FitnessMetrics::formattedTime() const {
    const qint64 t = truncatedToInteger(totalTime);
    const qint64 minutes = t / 60;
    const qint64 seconds = t - minutes * 60;
    return QString::asprintf("%02lld:%02lld", static_cast<long long>(minutes),
                             static_cast<long long>(seconds));
}

QString FitnessMetrics::formattedSpeed(UnitSystem units) const {
    // Seconds per `metres` as "M:SS", halves rounded away from zero.
    auto pace = [this](double metres, QStringView per) -> QString {
        if (!(speed > 0)) {
            return u"--:-- "_s + per;
        }
        const qint64 seconds = truncatedToInteger(std::round(metres / speed));
        const qint64 minutes = seconds / 60;
        return QString::asprintf("%lld:%02lld ", static_cast<long long>(minutes),
                                 static_cast<long long>(seconds - minutes * 60)) +
               per;
    };
    if (equipmentType == EquipmentType::rower) {
        // Rowers count 500 m splits in every country.
        return pace(500, u"/500m");
    }
    if (units == UnitSystem::imperial) {
        if (equipmentType == EquipmentType::treadmill) {
            return pace(metresPerMile, u"/mi");
        }
        return QString::asprintf("%.1f mph", speed * 3600 / metresPerMile);
    }
    if (equipmentType == EquipmentType::unknown) {
        return QString::asprintf("%.1f m/s", speed);
    }
    return QString::asprintf("%.1f km/h", speed * 3.6);
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

QString speedText(const FitnessMetrics& metrics, UnitSystem units) {
    if (!(metrics.speed > 0)) {
        return u"--"_s;
    }
    const QString text = metrics.formattedSpeed(units);
    const bool pace =
        metrics.equipmentType == EquipmentType::rower ||
        (units == UnitSystem::imperial && metrics.equipmentType == EquipmentType::treadmill);
    const QStringView separator = pace                            ? QStringView(u" /")
                                  : units == UnitSystem::imperial ? QStringView(u" mph")
                                                                  : QStringView(u" km");
    const qsizetype at = text.indexOf(separator);
    return at < 0 ? text : text.left(at);
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
