// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>

namespace tallyfin::geometry {

// Share of the height the tallest bar reaches; the top stays empty.
inline constexpr qreal sparklinePlotShare = 0.7;
// Every sample shows, even zero or negative ones.
inline constexpr qreal sparklineMinimumBarHeight = 1;

// What the samples are divided by: the largest sample when it is above 1, otherwise 1.
qreal sparklineScale(const QList<int>& dataPoints);

// Width of each bar when `width` is divided into `maxBarCount` slots with `barSpacing` between
// bars (never negative).
qreal sparklineBarWidth(qreal width, int maxBarCount, qreal barSpacing);

// The bars of a power chart in a `size` area, oldest sample at the left, growing up from the
// bottom to at most 70 % of the height. Fewer than two samples draw nothing. The width holds
// `maxBarCount` slots whatever the number of samples, so a short history fills only the left.
QList<QRectF> sparklineBars(const QList<int>& dataPoints, int maxBarCount, qreal barSpacing,
                            const QSizeF& size);

} // namespace tallyfin::geometry
