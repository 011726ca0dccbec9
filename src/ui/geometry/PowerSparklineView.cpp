// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "PowerSparklineView.h"

#include "ui/geometry/PowerSparkline.h"
#include "ui/geometry/Zones.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace tallyfin::ui {

PowerSparklineView::PowerSparklineView(QQuickItem* parent)
    : SlicedPaintedItem(parent) {}

void PowerSparklineView::setDataPoints(const QList<int>& value) {
    if (m_dataPoints == value) {
        return;
    }
    // Fewer than two samples draw nothing either way.
    const bool visibleChange = m_dataPoints.size() >= 2 || value.size() >= 2;
    m_dataPoints = value;
    if (visibleChange) {
        update();
    }
    Q_EMIT dataPointsChanged();
}

void PowerSparklineView::setMaxBarCount(int value) {
    if (m_maxBarCount == value) {
        return;
    }
    m_maxBarCount = value;
    update();
    Q_EMIT maxBarCountChanged();
}

void PowerSparklineView::setBarSpacing(qreal value) {
    if (m_barSpacing == value) {
        return;
    }
    m_barSpacing = value;
    update();
    Q_EMIT barSpacingChanged();
}

void PowerSparklineView::setColor(const QColor& value) {
    if (m_color == value) {
        return;
    }
    m_color = value;
    update();
    Q_EMIT colorChanged();
}

void PowerSparklineView::setClipRadius(qreal value) {
    if (m_clipRadius == value) {
        return;
    }
    m_clipRadius = value;
    update();
    Q_EMIT clipRadiusChanged();
}

void PowerSparklineView::setFtp(int value) {
    if (m_ftp == value) {
        return;
    }
    m_ftp = value;
    update();
    Q_EMIT ftpChanged();
}

void PowerSparklineView::paint(QPainter* painter) {
    const auto bars = geometry::sparklineBars(m_dataPoints, m_maxBarCount, m_barSpacing,
                                              QSizeF(width(), height()));
    if (bars.isEmpty()) {
        return;
    }
    painter->setRenderHint(QPainter::Antialiasing, true);
    // The picture starts transparent and the bars, a gap apart, share no pixel, so copying them
    // in gives the pixels that blending would. Qt's raster engine blends the edges of a bar at a
    // fractional position span by span, through its thread pool; copying stays on this thread.
    if (m_barSpacing * painter->device()->devicePixelRatio() >= 1) {
        painter->setCompositionMode(QPainter::CompositionMode_Source);
    }
    if (m_clipRadius > 0) {
        QPainterPath clip;
        clip.addRoundedRect(QRectF(0, 0, width(), height()), m_clipRadius, m_clipRadius);
        painter->setClipPath(clip);
    }
    for (qsizetype i = 0; i < bars.size(); ++i) {
        QColor color = m_ftp > 0 ? powerZoneColor(powerZone(m_dataPoints.at(i), m_ftp)) : m_color;
        if (!color.isValid()) {
            color = m_color;
        } else if (m_ftp > 0) {
            color.setAlphaF(std::max(0.45f, m_color.alphaF()));
        }
        painter->fillRect(bars.at(i), color);
    }
}

} // namespace tallyfin::ui
