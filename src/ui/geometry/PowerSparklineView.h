// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "ui/geometry/SlicedPaintedItem.h"

#include <QColor>
#include <QList>

namespace tallyfin::ui {

// Paints recent power samples as a bar chart scaled to the largest sample, growing up from the
// bottom-left of the item. With `clipRadius` above 0 the bars are clipped to a rounded rectangle
// of that corner radius, so the chart can sit behind a rounded strip.
class PowerSparklineView : public tallyfin::ui::SlicedPaintedItem {
    Q_OBJECT
    Q_PROPERTY(QList<int> dataPoints READ dataPoints WRITE setDataPoints NOTIFY dataPointsChanged)
    Q_PROPERTY(int maxBarCount READ maxBarCount WRITE setMaxBarCount NOTIFY maxBarCountChanged)
    Q_PROPERTY(qreal barSpacing READ barSpacing WRITE setBarSpacing NOTIFY barSpacingChanged)
    // The secondary colour of the surroundings; bars are filled with it as given.
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(qreal clipRadius READ clipRadius WRITE setClipRadius NOTIFY clipRadiusChanged)
    // With a functional threshold power (watts, 0: none) each bar takes its power zone's colour,
    // at the colour's opacity.
    Q_PROPERTY(int ftp READ ftp WRITE setFtp NOTIFY ftpChanged)

public:
    explicit PowerSparklineView(QQuickItem* parent = nullptr);

    QList<int> dataPoints() const { return m_dataPoints; }
    void setDataPoints(const QList<int>& value);
    int maxBarCount() const { return m_maxBarCount; }
    void setMaxBarCount(int value);
    qreal barSpacing() const { return m_barSpacing; }
    void setBarSpacing(qreal value);
    QColor color() const { return m_color; }
    void setColor(const QColor& value);
    qreal clipRadius() const { return m_clipRadius; }
    void setClipRadius(qreal value);
    int ftp() const { return m_ftp; }
    void setFtp(int value);

    void paint(QPainter* painter) override;

Q_SIGNALS:
    void dataPointsChanged();
    void maxBarCountChanged();
    void barSpacingChanged();
    void colorChanged();
    void clipRadiusChanged();
    void ftpChanged();

private:
    QList<int> m_dataPoints;
    int m_maxBarCount = 120;
    qreal m_barSpacing = 1;
    QColor m_color = QColor(128, 128, 128, 128);
    qreal m_clipRadius = 0;
    int m_ftp = 0;
};

} // namespace tallyfin::ui
