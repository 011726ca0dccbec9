// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>

#include <optional>

namespace tallyfin::geometry {

// Signal level 0 to 4 of a machine from its advertised RSSI in dBm (0 when there is none, and for
// the "not available" value 127 or anything else above 0).
int signalLevel(std::optional<int> rssi);

// A row of rising bars used as a signal-strength indicator: `strength` bars lit from the left.
struct SignalBarsSpec {
    int strength = 0;
    int barCount = 4;
    qreal barWidth = 3;
    qreal spacing = 2;
    qreal maxHeight = 14;
};

inline constexpr qreal signalBarLitOpacity = 0.7;
inline constexpr qreal signalBarUnlitOpacity = 0.2;
inline constexpr qreal signalBarCornerRadius = 0.5;

struct SignalBar {
    QRectF rect;
    bool lit = false;
    qreal opacity = 0;

    bool operator==(const SignalBar&) const = default;
};

// Height of bar `index` (from 0): maxHeight * (index + 1) / barCount.
qreal signalBarHeight(int index, int barCount, qreal maxHeight);

// The size of the row: all bars and the gaps between them, as tall as the tallest bar.
QSizeF signalBarsSize(const SignalBarsSpec& spec);

// The bars left to right, bottom-aligned, with the row centred in `bounds`.
QList<SignalBar> signalBars(const SignalBarsSpec& spec, const QRectF& bounds);

} // namespace tallyfin::geometry
