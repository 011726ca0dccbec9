// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "MetricTileModel.h"

#include "MetricsDimensions.h"
#include "PanelPreferences.h"
#include "ui/geometry/Zones.h"

#include <algorithm>

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
                      qtTrId("metric.time.tooltip"), u"time"_s,
                      //% "Time"
                      //: Name of the elapsed-time tile in the menus and the popover
                      qtTrId("tile.time")});
    }
    if (f.totalDistanceSupported) {
        tiles.append({QStringLiteral("figure.walk"), distanceText(m, units),
                      distanceUnitText(distanceUnit(m, units)), qtTrId("metric.distance.tooltip"),
                      u"distance"_s,
                      //% "Distance"
                      //: Name of the distance tile in the menus and the popover
                      qtTrId("tile.distance")});
    }
    if (f.averageSpeedSupported || f.paceSupported) {
        const SpeedUnit unit = speedUnit(m, units);
        tiles.append({QStringLiteral("speedometer"), speedText(m, units), speedUnitText(unit),
                      speedTooltip(unit), u"speed"_s,
                      //% "Speed"
                      //: Name of the speed or pace tile in the menus and the popover
                      qtTrId("tile.speed")});
    }
    if (f.cadenceSupported || f.stepCountSupported) {
        tiles.append({QStringLiteral("metronome"), rateText(m), rateUnit(m.equipmentType),
                      rateTooltip(m), u"rate"_s,
                      //% "Cadence"
                      //: Name of the cadence, stroke or step rate tile in the menus and the popover
                      qtTrId("tile.rate")});
    }
    if (f.powerMeasurementSupported) {
        tiles.append({QStringLiteral("bolt.fill"), countText(m.power), QStringLiteral("W"),
                      qtTrId("metric.power.tooltip"), u"power"_s,
                      //% "Power"
                      //: Name of the power tile in the menus and the popover
                      qtTrId("tile.power")});
    }
    if (f.expendedEnergySupported) {
        tiles.append({QStringLiteral("flame.fill"), countText(m.calories), QStringLiteral("KCAL"),
                      qtTrId("metric.calories.tooltip"), u"calories"_s,
                      //% "Calories"
                      //: Name of the calories tile in the menus and the popover
                      qtTrId("tile.calories")});
    }
    if (f.heartRateMeasurementSupported || heartRateStrap) {
        tiles.append({QStringLiteral("heart.fill"), countText(m.heartRate), u"BPM"_s,
                      qtTrId("metric.heartRate.tooltip"), u"heartRate"_s,
                      //% "Heart Rate"
                      //: Name of the heart-rate tile in the menus and the popover
                      qtTrId("tile.heartRate")});
    }
    return tiles;
}

QList<MetricTile> shownTiles(QList<MetricTile> tiles, const QStringList& hidden) {
    if (tiles.isEmpty()) {
        return tiles;
    }
    const MetricTile first = tiles.first();
    tiles.removeIf([&hidden](const MetricTile& tile) { return hidden.contains(tile.key); });
    if (tiles.isEmpty()) {
        tiles.append(first);
    }
    return tiles;
}

const QStringList tileDropOrder{u"calories"_s, u"time"_s,      u"distance"_s, u"rate"_s,
                                u"speed"_s,    u"heartRate"_s, u"power"_s};

namespace {

// The strip's fonts are monospaced: each character advances this much of the font's size.
constexpr double advance = 0.6;

// The strip's width without its tiles, and the room each tile adds besides its own.
double fixedWidth(const MetricsDimensions& d) {
    return 2 * d.horizontalPadding + d.buttonIconSize + d.infoTrailingPadding + 1 +
           d.buttonIconSize + 2 * d.spacing;
}

double tilesWidth(const QList<MetricTile>& tiles, const QStringList& kept, OverlaySize size,
                  double spacing) {
    // The tiles share the strip equally: each takes the widest one's width.
    double widest = 0;
    qsizetype count = 0;
    for (const MetricTile& tile : tiles) {
        if (kept.contains(tile.key)) {
            widest = std::max(widest, tileWidth(tile, size));
            ++count;
        }
    }
    return static_cast<double>(count) * (widest + spacing);
}

} // namespace

double tileWidth(const MetricTile& tile, OverlaySize size) {
    const MetricsDimensions d = metricsDimensions(size);
    double width = d.tileIconSize + d.tileSpacing +
                   advance * d.valueFontSize * static_cast<double>(tile.value.size());
    if (!tile.unit.isEmpty()) {
        width += d.tileSpacing + advance * d.unitFontSize * static_cast<double>(tile.unit.size());
    }
    if (tile.zone > 0) { // the zone's badge after the unit, two bold characters
        width += 2 + 2 * 0.65 * (d.unitFontSize - 2);
    }
    return width;
}

StripFit stripFit(double stripWidth, const QList<MetricTile>& tiles, OverlaySize size) {
    StripFit fit{size, {}};
    for (const MetricTile& tile : tiles) {
        fit.kept.append(tile.key);
    }
    if (stripWidth <= 0) {
        return fit;
    }
    const MetricsDimensions strip = metricsDimensions(size);
    const double room = stripWidth - fixedWidth(strip);
    for (auto step = static_cast<int>(size); step >= 0; --step) {
        fit.fontSize = allOverlaySizes[static_cast<std::size_t>(step)];
        if (tilesWidth(tiles, fit.kept, fit.fontSize, strip.spacing) <= room) {
            return fit;
        }
    }
    for (const QString& key : tileDropOrder) {
        if (fit.kept.size() <= 1) {
            break;
        }
        fit.kept.removeOne(key);
        if (tilesWidth(tiles, fit.kept, fit.fontSize, strip.spacing) <= room) {
            break;
        }
    }
    return fit;
}

void MetricTileModel::setStripWidth(double width) {
    if (width != m_stripWidth) {
        m_stripWidth = width;
        refit();
    }
}

void MetricTileModel::setSizeIndex(int index) {
    const OverlaySize size = index >= 0 && index < static_cast<int>(allOverlaySizes.size())
                                 ? allOverlaySizes[static_cast<std::size_t>(index)]
                                 : OverlaySize::medium;
    if (size != m_size) {
        m_size = size;
        refit();
    }
}

bool MetricTileModel::refit(bool announce) {
    StripFit fit = m_includeHidden ? StripFit{m_size, {}} : stripFit(m_stripWidth, m_tiles, m_size);
    if (fit == m_fit) {
        return false;
    }
    const bool keptChanged = fit.kept != m_fit.kept;
    m_fit = std::move(fit);
    if (announce) {
        if (keptChanged && !m_tiles.isEmpty()) {
            Q_EMIT dataChanged(index(0), index(static_cast<int>(m_tiles.size()) - 1), {FitsRole});
        }
        Q_EMIT fitChanged();
    }
    return true;
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

void MetricTileModel::setPreferences(PanelPreferences* preferences) {
    if (preferences == m_preferences) {
        return;
    }
    if (m_preferences) {
        QObject::disconnect(m_preferences, nullptr, this, nullptr);
    }
    m_preferences = preferences;
    if (m_preferences) {
        QObject::connect(m_preferences, &PanelPreferences::hiddenTilesChanged, this,
                         &MetricTileModel::refresh);
        QObject::connect(m_preferences, &PanelPreferences::zonesChanged, this,
                         &MetricTileModel::refresh);
    }
    refresh();
    Q_EMIT preferencesChanged();
}

void MetricTileModel::setIncludeHidden(bool include) {
    if (include != m_includeHidden) {
        m_includeHidden = include;
        refresh();
        Q_EMIT includeHiddenChanged();
    }
}

bool MetricTileModel::canHide(const QString& key) const {
    QStringList hidden = m_hidden;
    hidden.append(key);
    const QList<MetricTile> all = metricTiles(m_metrics, m_features, m_units, m_heartRateStrap);
    return std::any_of(all.cbegin(), all.cend(),
                       [&hidden](const MetricTile& tile) { return !hidden.contains(tile.key); });
}

bool MetricTileModel::setTileShown(const QString& key, bool shown) {
    if (!m_preferences || (!shown && !canHide(key))) {
        return false;
    }
    m_preferences->setTileHidden(m_metrics.equipmentType, key, !shown);
    return true;
}

void MetricTileModel::refresh() {
    QList<MetricTile> next = metricTiles(m_metrics, m_features, m_units, m_heartRateStrap);
    QStringList hidden =
        m_preferences ? m_preferences->hiddenTiles(m_metrics.equipmentType) : QStringList();
    const bool hiddenChanged = hidden != m_hidden;
    m_hidden = std::move(hidden);
    const int ftp = m_preferences ? m_preferences->ftp() : 0;
    const int maxHeartRate = m_preferences ? m_preferences->maxHeartRate() : 0;
    for (MetricTile& tile : next) {
        if (tile.key == u"power") {
            tile.zone = powerZone(static_cast<int>(m_metrics.power), ftp);
        } else if (tile.key == u"heartRate") {
            tile.zone = heartRateZone(static_cast<int>(m_metrics.heartRate), maxHeartRate);
        }
    }
    if (!m_includeHidden) {
        next = shownTiles(std::move(next), m_hidden);
    }
    bool sameRows = next.size() == m_tiles.size();
    for (qsizetype i = 0; sameRows && i < next.size(); ++i) {
        sameRows = next.at(i).key == m_tiles.at(i).key;
    }
    if (!sameRows) {
        beginResetModel();
        m_tiles = std::move(next);
        const bool fitChanged = refit(false);
        endResetModel();
        Q_EMIT countChanged();
        if (fitChanged) {
            Q_EMIT this->fitChanged();
        }
        return;
    }
    for (qsizetype i = 0; i < next.size(); ++i) {
        if (next.at(i) != m_tiles.at(i)) {
            m_tiles[i] = next.at(i);
            const QModelIndex changed = index(static_cast<int>(i));
            Q_EMIT dataChanged(changed, changed);
        }
    }
    // A switch changes with the hidden list, not with its tile.
    if (m_includeHidden && hiddenChanged && !m_tiles.isEmpty()) {
        Q_EMIT dataChanged(index(0), index(static_cast<int>(m_tiles.size()) - 1), {ShownRole});
    }
    refit();
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
    case KeyRole:
        return tile.key;
    case NameRole:
        return tile.name;
    case ShownRole:
        return !m_includeHidden || !m_hidden.contains(tile.key);
    case ZoneRole:
        return tile.zone;
    case ZoneColorRole:
        return tile.key == u"heartRate" ? heartRateZoneColor(tile.zone) : powerZoneColor(tile.zone);
    case FitsRole:
        return m_includeHidden || m_fit.kept.contains(tile.key);
    default:
        return {};
    }
}

QHash<int, QByteArray> MetricTileModel::roleNames() const {
    return {{IconRole, "icon"},       {ValueRole, "value"}, {UnitRole, "unit"},
            {TooltipRole, "tooltip"}, {KeyRole, "key"},     {NameRole, "name"},
            {ShownRole, "shown"},     {ZoneRole, "zone"},   {ZoneColorRole, "zoneColor"},
            {FitsRole, "fits"}};
}

} // namespace tallyfin::ui
