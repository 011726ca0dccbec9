#include "MetricTileModel.h"

namespace tallyfin::ui {

namespace {

QString rateUnit(EquipmentType type) {
    switch (type) {
    case EquipmentType::rower:
    case EquipmentType::crossTrainer:
    case EquipmentType::treadmill:
        return QStringLiteral("SPM");
    case EquipmentType::bike:
        return QStringLiteral("RPM");
    case EquipmentType::unknown:
        break;
    }
    return {};
}

} // namespace

QList<MetricTile> metricTiles(const FitnessMetrics& m, const FitnessMachineFeature& f) {
    QList<MetricTile> tiles;
    if (f.elapsedTimeSupported) {
        tiles.append({QStringLiteral("timer"),
                      m.totalTime > 0 ? m.formattedTime() : QStringLiteral("--:--"), QString(),
                      qtTrId("metric.time.tooltip")});
    }
    if (f.totalDistanceSupported) {
        tiles.append({QStringLiteral("figure.walk"), distanceText(m),
                      m.distance >= 1000 ? QStringLiteral("KM") : QStringLiteral("M"),
                      qtTrId("metric.distance.tooltip")});
    }
    if (f.averageSpeedSupported || f.paceSupported) {
        tiles.append({QStringLiteral("speedometer"), speedText(m),
                      m.equipmentType == EquipmentType::rower ? QStringLiteral("/500M")
                                                              : QStringLiteral("KM/H"),
                      qtTrId("metric.speed.tooltip")});
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
    if (f.heartRateMeasurementSupported) {
        tiles.append({QStringLiteral("heart.fill"), countText(m.heartRate), QStringLiteral("BPM"),
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

void MetricTileModel::refresh() {
    QList<MetricTile> next = metricTiles(m_metrics, m_features);
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
