// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "PowerSparkline.h"

#include <algorithm>

namespace tallyfin::geometry {

qreal sparklineScale(const QList<int>& dataPoints) {
    if (dataPoints.isEmpty()) {
        return 1;
    }
    const int peak = *std::max_element(dataPoints.cbegin(), dataPoints.cend());
    return peak > 1 ? qreal(peak) : 1;
}

qreal sparklineBarWidth(qreal width, int maxBarCount, qreal barSpacing) {
    if (maxBarCount <= 0) {
        return 0;
    }
    return std::max<qreal>(0, width / maxBarCount - barSpacing);
}

QList<QRectF> sparklineBars(const QList<int>& dataPoints, int maxBarCount, qreal barSpacing,
                            const QSizeF& size) {
    QList<QRectF> bars;
    if (dataPoints.size() < 2 || maxBarCount <= 0) {
        return bars;
    }
    const qreal scale = sparklineScale(dataPoints);
    const qreal barWidth = sparklineBarWidth(size.width(), maxBarCount, barSpacing);
    const qreal plotHeight = sparklinePlotShare * size.height();
    bars.reserve(dataPoints.size());
    qreal x = 0;
    for (const int sample : dataPoints) {
        const qreal height = std::max(sparklineMinimumBarHeight, sample / scale * plotHeight);
        bars.append(QRectF(x, size.height() - height, barWidth, height));
        x += barWidth + barSpacing;
    }
    return bars;
}

} // namespace tallyfin::geometry
