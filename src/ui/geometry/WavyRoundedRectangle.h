// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

namespace tallyfin::geometry {

// The outline a WavyRoundedRectangle draws in one rectangle: either the plain rounded rectangle
// (no points) or the closed polyline that carries the dent.
struct WavyOutline {
    // The rectangle after insetting; null when nothing is left to draw.
    QRectF rect;
    // The corner radius after clamping to half the shorter side.
    qreal cornerRadius = 0;
    // The closed polyline (wavyOutlinePointCount points) while the dent shows; empty at rest.
    QList<QPointF> points;

    bool isEmpty() const { return rect.isNull(); }
    bool isResting() const { return points.isEmpty(); }
    QPainterPath toPath() const;

    bool operator==(const WavyOutline&) const = default;
};

inline constexpr int wavyOutlinePointCount = 162;
// Steps of each quarter-circle corner and of each straight top or bottom edge.
inline constexpr int wavyArcSteps = 10;
inline constexpr int wavyEdgeSteps = 60;
// A dent this shallow or shallower is no dent.
inline constexpr qreal wavyNegligibleAmplitude = 0.01;

// A rounded rectangle whose top and bottom edges are pressed inward by a bell-shaped dent that
// travels from left to right as `phase` runs from 0 to `traverseRatio`; afterwards, or with a
// negligible amplitude, it is the plain rounded rectangle. All lengths in points.
struct WavyRoundedRectangle {
    qreal cornerRadius = 0;
    qreal phase = 0;
    qreal amplitude = 0;
    qreal traverseRatio = 0;
    qreal insetAmount = 0;

    // A copy drawn `amount` further inside the rectangle it is given.
    WavyRoundedRectangle inset(qreal amount) const;
    WavyOutline outline(const QRectF& rect) const;
    QPainterPath path(const QRectF& rect) const { return outline(rect).toPath(); }

    bool operator==(const WavyRoundedRectangle&) const = default;
};

// `wanted` limited to half the shorter side of `rect` (and never negative).
qreal clampedCornerRadius(qreal wanted, const QRectF& rect);

// Progress of the dent across the shape, phase / traverseRatio; infinite when traverseRatio is 0.
qreal dentProgress(qreal phase, qreal traverseRatio);

// Depth of the dent at horizontal offset `x` from the left edge of a shape `width` wide, for a
// dent at progress `t`: a Gaussian with sigma 0.08 * width whose centre runs from 0.4 * width
// left of the shape at t = 0 to 0.4 * width right of it at t = 1.
qreal dentDepth(qreal x, qreal width, qreal t, qreal amplitude);

} // namespace tallyfin::geometry
