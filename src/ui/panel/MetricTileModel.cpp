// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "MetricTileModel.h"

namespace tallyfin::ui {

namespace {

using namespace Qt::StringLiterals;

QString rateUnit(EquipmentType type) {
    switch (type) {
    case EquipmentType::rower:
    case EquipmentType::crossTrainer:
    case EquipmentType::treadmill:
        return u"SPM"_s;
    case EquipmentType::bike:
        return u"RPM"_s;
    case EquipmentType::unknown:
        break;
    }
    return {};
}

QString distanceUnitText(DistanceUnit unit) {
    switch (unit) {
    case DistanceUnit::kilometres:
        return u"KM"_s;
    case DistanceUnit::miles:
        return u"MI"_s;
    case DistanceUnit::feet:
        return u"FT"_s;
    case DistanceUnit::metres:
        break;
    }
    return u"M"_s;
}

// An unknown kind's m/s has no label of its own: its number carries the unit.
QString speedUnitText(SpeedUnit unit) {
    switch (unit) {
    case SpeedUnit::perFiveHundredMetres:
        return u"/500M"_s;
    case SpeedUnit::perMile:
        return u"/MI"_s;
    case SpeedUnit::milesPerHour:
        return u"MPH"_s;
    case SpeedUnit::kilometresPerHour:
    case SpeedUnit::metresPerSecond:
        break;
    }
    return u"KM/H"_s;
}

// Each machine's own: a rower's pace, a treadmill's pace per mile, anyone's speed.
QString speedTooltip(SpeedUnit unit) {
    switch (unit) {
    case SpeedUnit::perMile:
        //: Hover help of the pace tile of a treadmill shown in imperial units
        return qtTrId("metric.milePace.tooltip");
    case SpeedUnit::perFiveHundredMetres:
        //: Hover help of a rower's pace tile
        return qtTrId("metric.rowPace.tooltip");
    default:
        break;
    }
    //: Hover help of the speed tile
    return qtTrId("metric.speed.tooltip");
}

} // namespace

QList<MetricTile> metricTiles(const FitnessMetrics& m, const FitnessMachineFeature& f,
                              UnitSystem units, bool heartRateStrap) {
    QList<MetricTile> tiles;
    if (f.elapsedTimeSupported) {
        tiles.append({QStringLiteral("timer"),
                      m.totalTime > 0 ? m.formattedTime() : QStringLiteral("--:--"), QString(),
                      qtTrId("metric.time.tooltip")});
    }
    if (f.totalDistanceSupported) {
        tiles.append({QStringLiteral("figure.walk"), distanceText(m, units),
                      distanceUnitText(distanceUnit(m, units)), qtTrId("metric.distance.tooltip")});
    }
    if (f.averageSpeedSupported || f.paceSupported) {
        const SpeedUnit unit = speedUnit(m, units);
        tiles.append({QStringLiteral("speedometer"), speedText(m, units), speedUnitText(unit),
                      speedTooltip(unit)});
    }
    if (f.cadenceSupported || f.stepCountSupported) {
        tiles.append(
            {QStringLiteral("metronome"), rateText(m), rateUnit(m.equipmentType), rateTooltip(m)});
    }
    if (f.powerMeasurementSupported) {
        tiles.append({QStringLiteral("bolt.fill"), countText(m.power), QStringLiteral("W"),
                      qtTrId("metric.power.tooltip")});
    }
    if (f.expendedEnergySupported) {
        tiles.append({QStringLiteral("flame.fill"), countText(m.calories), QStringLiteral("KCAL"),
                      qtTrId("metric.calories.tooltip")});
    }
    if (f.heartRateMeasurementSupported || heartRateStrap) {
        tiles.append({QStringLiteral("heart.fill"), countText(m.heartRate), u"BPM"_s,
                      qtTrId("metric.heartRate.tooltip")});
    }
    return tiles;
}

void MetricTileModel::setMetrics(const FitnessMetrics& metrics) {
    m_metrics = metrics;
    refresh();
    Q_EMIT metricsChanged();
}

void MetricTileModel::setFeatures(const FitnessMachineFeature& features) {
    m_features = features;
    refresh();
    Q_EMIT featuresChanged();
}

void MetricTileModel::setUnitSystemIndex(int index) {
    const UnitSystem units =
        index == static_cast<int>(UnitSystem::imperial) ? UnitSystem::imperial : UnitSystem::metric;
    if (units == m_units) {
        return;
    }
    m_units = units;
    refresh();
    Q_EMIT unitSystemChanged();
}

void MetricTileModel::setHeartRateStrap(bool strap) {
    if (strap == m_heartRateStrap) {
        return;
    }
    m_heartRateStrap = strap;
    refresh();
    Q_EMIT heartRateStrapChanged();
}

void MetricTileModel::refresh() {
    QList<MetricTile> next = metricTiles(m_metrics, m_features, m_units, m_heartRateStrap);
    bool sameRows = next.size() == m_tiles.size();
    for (qsizetype i = 0; sameRows && i < next.size(); ++i) {
        sameRows = next.at(i).icon == m_tiles.at(i).icon;
    }
    if (!sameRows) {
        beginResetModel();
        m_tiles = std::move(next);
        endResetModel();
        Q_EMIT countChanged();
        return;
    }
    for (qsizetype i = 0; i < next.size(); ++i) {
        if (next.at(i) != m_tiles.at(i)) {
            m_tiles[i] = next.at(i);
            const QModelIndex changed = index(static_cast<int>(i));
            Q_EMIT dataChanged(changed, changed);
        }
    }
}

int MetricTileModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant MetricTileModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const MetricTile& tile = m_tiles.at(index.row());
    switch (role) {
    case IconRole:
        return tile.icon;
    case ValueRole:
        return tile.value;
    case UnitRole:
        return tile.unit;
    case TooltipRole:
        return tile.tooltip;
    default:
        return {};
    }
}

QHash<int, QByteArray> MetricTileModel::roleNames() const {
    return {{IconRole, "icon"}, {ValueRole, "value"}, {UnitRole, "unit"}, {TooltipRole, "tooltip"}};
}

} // namespace tallyfin::ui
