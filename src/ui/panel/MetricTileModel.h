// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "model/FitnessMachineFeature.h"
#include "model/FitnessMetrics.h"
#include "ui/panel/OverlaySize.h"
#include "ui/panel/PanelPreferences.h"

#include <QAbstractListModel>
#include <QList>

namespace tallyfin::ui {

// One metric tile: a symbol name, the value, its unit (may be empty) and the hover help; which
// metric it is (a fixed key, "power") and that metric's name for the menus; the training zone
// of its value (0: none).
struct MetricTile {
    QString icon;
    QString value;
    QString unit;
    QString tooltip;
    QString key = {};
    QString name = {};
    int zone = 0;

    bool operator==(const MetricTile&) const = default;
};

// The tiles the machine's declared features call for, in display order, with their texts. A
// heart-rate strap brings the heart-rate tile also to a machine that measures none.
QList<MetricTile> metricTiles(const FitnessMetrics& metrics, const FitnessMachineFeature& features,
                              UnitSystem units = UnitSystem::metric, bool heartRateStrap = false);

// The tiles that show: those not in `hidden`, or the first one when all of them are.
QList<MetricTile> shownTiles(QList<MetricTile> tiles, const QStringList& hidden);

// How the shown tiles fit a strip `stripWidth` points wide at `size`: the size whose fonts and
// tile dimensions they take (the largest, not above `size`, at which every tile fits at its
// natural width) and the keys of the tiles kept. When even the smallest fonts are too wide, tiles
// go in `tileDropOrder` until the rest fit; one tile always stays. A width of 0 or
// less sets no limit.
struct StripFit {
    OverlaySize fontSize = OverlaySize::medium;
    QStringList kept;

    bool operator==(const StripFit&) const = default;
};
StripFit stripFit(double stripWidth, const QList<MetricTile>& tiles, OverlaySize size);
// The tiles' keys, the first to go on a narrow strip first.
extern const QStringList tileDropOrder;
// A tile's natural width (points) with the dimensions of `size`.
double tileWidth(const MetricTile& tile, OverlaySize size);

// The metrics strip's tiles as a list model. Rows come and go only when the feature flags change
// which tiles exist; new values update the rows in place so each tile can animate its value.
class MetricTileModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(tallyfin::FitnessMetrics metrics READ metrics WRITE setMetrics NOTIFY metricsChanged)
    Q_PROPERTY(tallyfin::FitnessMachineFeature features READ features WRITE setFeatures NOTIFY
                   featuresChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    // 0 metric, 1 imperial, as OverlaySizeManager publishes it.
    Q_PROPERTY(
        int unitSystem READ unitSystemIndex WRITE setUnitSystemIndex NOTIFY unitSystemChanged)
    // A strap has sent a heart rate since the machine connected.
    Q_PROPERTY(bool heartRateStrap READ heartRateStrap WRITE setHeartRateStrap NOTIFY
                   heartRateStrapChanged)
    // Which tiles the user hides and the zone references; without them every tile shows, in no
    // zone.
    Q_PROPERTY(tallyfin::ui::PanelPreferences* preferences READ preferences WRITE setPreferences
                   NOTIFY preferencesChanged)
    // Hidden tiles stay as rows too, with `shown` false (the popover's switches).
    Q_PROPERTY(
        bool includeHidden READ includeHidden WRITE setIncludeHidden NOTIFY includeHiddenChanged)
    // The strip's width and overlay size (an OverlaySize index) the tiles are fitted to; the
    // size whose fonts they take, and the `fits` role, follow (see stripFit()).
    Q_PROPERTY(double stripWidth READ stripWidth WRITE setStripWidth NOTIFY fitChanged)
    Q_PROPERTY(int size READ sizeIndex WRITE setSizeIndex NOTIFY fitChanged)
    Q_PROPERTY(int fontSize READ fontSizeIndex NOTIFY fitChanged)

public:
    enum Role {
        IconRole = Qt::UserRole + 1,
        ValueRole,
        UnitRole,
        TooltipRole,
        KeyRole,
        NameRole,
        ShownRole,
        ZoneRole,
        ZoneColorRole,
        FitsRole
    };

    using QAbstractListModel::QAbstractListModel;

    const FitnessMetrics& metrics() const { return m_metrics; }
    void setMetrics(const FitnessMetrics& metrics);
    const FitnessMachineFeature& features() const { return m_features; }
    void setFeatures(const FitnessMachineFeature& features);
    int count() const { return static_cast<int>(m_tiles.size()); }
    int unitSystemIndex() const { return static_cast<int>(m_units); }
    void setUnitSystemIndex(int index);
    bool heartRateStrap() const { return m_heartRateStrap; }
    void setHeartRateStrap(bool strap);
    const QList<MetricTile>& tiles() const { return m_tiles; }
    PanelPreferences* preferences() const { return m_preferences; }
    void setPreferences(PanelPreferences* preferences);
    bool includeHidden() const { return m_includeHidden; }
    void setIncludeHidden(bool include);

    // Shows or hides the tile `key` on machines of the current kind. Hiding the last tile that
    // shows is refused (false).
    double stripWidth() const { return m_stripWidth; }
    void setStripWidth(double width);
    int sizeIndex() const { return static_cast<int>(m_size); }
    void setSizeIndex(int index);
    int fontSizeIndex() const { return static_cast<int>(m_fit.fontSize); }

    Q_INVOKABLE bool setTileShown(const QString& key, bool shown);
    // Whether hiding `key` is allowed: another of the machine's tiles still shows.
    Q_INVOKABLE bool canHide(const QString& key) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

Q_SIGNALS:
    void metricsChanged();
    void featuresChanged();
    void countChanged();
    void unitSystemChanged();
    void heartRateStrapChanged();
    void preferencesChanged();
    void includeHiddenChanged();
    void fitChanged();

private:
    void refresh();
    // Fits the tiles to the strip again; whether anything changed. Signals it when `announce`.
    bool refit(bool announce = true);

    FitnessMetrics m_metrics;
    FitnessMachineFeature m_features;
    UnitSystem m_units = UnitSystem::metric;
    bool m_heartRateStrap = false;
    PanelPreferences* m_preferences = nullptr;
    bool m_includeHidden = false;
    QList<MetricTile> m_tiles;
    QStringList m_hidden;
    double m_stripWidth = 0;
    OverlaySize m_size = OverlaySize::medium;
    StripFit m_fit;
};

} // namespace tallyfin::ui
