#include "model/FitnessMetrics.h"

#include "model/Localization.h"

#include <algorithm>
#include <cmath>

namespace tallyfin {

namespace {

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

QString FitnessMetrics::formattedSpeed() const {
    switch (equipmentType) {
    case EquipmentType::rower: {
        if (!(speed > 0)) {
            return QStringLiteral("--:-- /500m");
        }
        // Seconds per 500 m, halves rounded away from zero.
        const qint64 pace = truncatedToInteger(std::round(500.0 / speed));
        const qint64 minutes = pace / 60;
        return QString::asprintf("%lld:%02lld /500m", static_cast<long long>(minutes),
                                 static_cast<long long>(pace - minutes * 60));
    }
    case EquipmentType::bike:
    case EquipmentType::crossTrainer:
    case EquipmentType::treadmill:
        return QString::asprintf("%.1f km/h", speed * 3.6);
    case EquipmentType::unknown:
        break;
    }
    return QString::asprintf("%.1f m/s", speed);
}

QString countText(qint64 value) {
    return value >= 1 ? QString::number(value) : QStringLiteral("--");
}

QString distanceText(const FitnessMetrics& metrics) {
    if (metrics.distance >= 1000) {
        return QString::asprintf("%.2f", metrics.distance / 1000);
    }
    if (metrics.distance > 0) {
        return QString::asprintf("%.0f", metrics.distance);
    }
    return QStringLiteral("--");
}

QString speedText(const FitnessMetrics& metrics) {
    if (!(metrics.speed > 0)) {
        return QStringLiteral("--");
    }
    const QString text = metrics.formattedSpeed();
    const QStringView separator =
        metrics.equipmentType == EquipmentType::rower ? QStringView(u" /") : QStringView(u" km");
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
        return QStringLiteral("--");
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
