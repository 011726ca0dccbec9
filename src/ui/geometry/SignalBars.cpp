// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "SignalBars.h"

#include <algorithm>

namespace tallyfin::geometry {

int signalLevel(std::optional<int> rssi) {
    if (!rssi || *rssi > 0) {
        return 0;
    }
    const int value = *rssi;
    if (value >= -50) {
        return 4;
    }
    if (value >= -60) {
        return 3;
    }
    if (value >= -70) {
        return 2;
    }
    if (value >= -80) {
        return 1;
    }
    return 0;
}

qreal signalBarHeight(int index, int barCount, qreal maxHeight) {
    if (barCount <= 0) {
        return 0;
    }
    return maxHeight * (index + 1) / barCount;
}

QSizeF signalBarsSize(const SignalBarsSpec& spec) {
    const int count = std::max(0, spec.barCount);
    if (count == 0) {
        return {0, 0};
    }
    return {count * spec.barWidth + (count - 1) * spec.spacing, std::max<qreal>(0, spec.maxHeight)};
}

QList<SignalBar> signalBars(const SignalBarsSpec& spec, const QRectF& bounds) {
    QList<SignalBar> bars;
    const int count = std::max(0, spec.barCount);
    const QSizeF size = signalBarsSize(spec);
    const qreal left = bounds.left() + (bounds.width() - size.width()) / 2;
    const qreal bottom = bounds.top() + (bounds.height() + size.height()) / 2;
    bars.reserve(count);
    for (int i = 0; i < count; ++i) {
        const qreal height = signalBarHeight(i, count, spec.maxHeight);
        const bool lit = i < spec.strength;
        bars.append({QRectF(left + i * (spec.barWidth + spec.spacing), bottom - height,
                            spec.barWidth, height),
                     lit, lit ? signalBarLitOpacity : signalBarUnlitOpacity});
    }
    return bars;
}

} // namespace tallyfin::geometry
