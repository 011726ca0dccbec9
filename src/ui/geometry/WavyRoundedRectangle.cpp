// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "WavyRoundedRectangle.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace tallyfin::geometry {

namespace {

constexpr qreal sigmaPerWidth = 0.08;
constexpr qreal reachPerSigma = 5.0;

} // namespace

QPainterPath WavyOutline::toPath() const {
    QPainterPath path;
    if (isEmpty()) {
        return path;
    }
    if (isResting()) {
        // Circular corners: the dented polyline uses circular arcs too, so the outline does not
        // jump when the dent fades out.
        path.addRoundedRect(rect, cornerRadius, cornerRadius);
        return path;
    }
    path.moveTo(points.constFirst());
    for (qsizetype i = 1; i < points.size(); ++i) {
        path.lineTo(points.at(i));
    }
    path.closeSubpath();
    return path;
}

WavyRoundedRectangle WavyRoundedRectangle::inset(qreal amount) const {
    WavyRoundedRectangle copy = *this;
    copy.insetAmount += amount;
    return copy;
}

qreal clampedCornerRadius(qreal wanted, const QRectF& rect) {
    return std::max<qreal>(0, std::min(wanted, std::min(rect.width(), rect.height()) / 2));
}

qreal dentProgress(qreal phase, qreal traverseRatio) {
    if (traverseRatio == 0) {
        return phase == 0 ? std::numeric_limits<qreal>::quiet_NaN()
                          : std::copysign(std::numeric_limits<qreal>::infinity(), phase);
    }
    return phase / traverseRatio;
}

qreal dentDepth(qreal x, qreal width, qreal t, qreal amplitude) {
    const qreal sigma = sigmaPerWidth * width;
    if (sigma <= 0) {
        return 0;
    }
    const qreal reach = reachPerSigma * sigma;
    const qreal centre = t * (width + 2 * reach) - reach;
    const qreal d = x - centre;
    return amplitude * std::exp(-(d * d) / (2 * sigma * sigma));
}

WavyOutline WavyRoundedRectangle::outline(const QRectF& bounds) const {
    const QRectF r = bounds.adjusted(insetAmount, insetAmount, -insetAmount, -insetAmount);
    WavyOutline result;
    if (!(r.width() > 0 && r.height() > 0)) {
        return result; // nothing left to draw, for example after insetting past the middle
    }
    result.rect = r;
    const qreal w = r.width();
    const qreal cr = clampedCornerRadius(cornerRadius, r);
    result.cornerRadius = cr;

    const qreal t = dentProgress(phase, traverseRatio);
    if (!(t < 1) || amplitude <= wavyNegligibleAmplitude) {
        return result;
    }

    const qreal minX = r.left();
    const qreal minY = r.top();
    const qreal maxX = r.right();
    const qreal maxY = r.bottom();
    const auto dent = [&](qreal x) { return dentDepth(x, w, t, amplitude); };
    constexpr qreal pi = std::numbers::pi_v<qreal>;

    QList<QPointF>& points = result.points;
    points.reserve(wavyOutlinePointCount);
    // Corners move only vertically, weighted by |sin θ|, so they stay joined to the plain sides.
    const auto arc = [&](QPointF centre, qreal startAngle, qreal direction) {
        for (int i = 1; i <= wavyArcSteps; ++i) {
            const qreal theta = startAngle + (qreal(i) / wavyArcSteps) * (pi / 2);
            const qreal px = centre.x() + cr * std::cos(theta);
            const qreal py = centre.y() + cr * std::sin(theta);
            points.append({px, py + direction * std::abs(std::sin(theta)) * dent(px - minX)});
        }
    };

    points.append({minX, minY + cr});
    arc({minX + cr, minY + cr}, pi, +1);
    for (int i = 1; i <= wavyEdgeSteps; ++i) {
        const qreal x = cr + (w - 2 * cr) * i / wavyEdgeSteps;
        points.append({minX + x, minY + dent(x)});
    }
    arc({maxX - cr, minY + cr}, 3 * pi / 2, +1);
    points.append({maxX, maxY - cr});
    arc({maxX - cr, maxY - cr}, 0, -1);
    for (int i = 1; i <= wavyEdgeSteps; ++i) {
        const qreal x = (w - cr) - (w - 2 * cr) * i / wavyEdgeSteps;
        points.append({minX + x, maxY - dent(x)});
    }
    arc({minX + cr, maxY - cr}, pi / 2, -1);
    return result;
}

} // namespace tallyfin::geometry
