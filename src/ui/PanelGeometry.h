// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "OverlaySize.h"

#include <QRect>

namespace tallyfin::ui {

// Where the overlay panel sits. Screen rectangles are in the window system's coordinates with y
// growing downwards, so "above the bottom of the visible area" means a smaller y.
namespace panel {

inline constexpr int disconnectedWidth = 580;
inline constexpr int initialHeight = 80;
inline constexpr int bottomGap = 20;

// Fraction of the full screen width the panel takes while connected.
double connectedWidthFraction(OverlaySize size);

// At launch: 580 × 80, centred on the visible area, 20 points above its bottom.
QRect initialFrame(const QRect& visibleArea);
// While disconnected: 580 wide, centred on the full screen, 20 points above the visible bottom.
QRect disconnectedFrame(const QRect& screen, const QRect& visibleArea, int height);
// While connected: the size's fraction of the full screen width, centred on it.
QRect connectedFrame(const QRect& screen, const QRect& visibleArea, OverlaySize size, int height);

} // namespace panel
} // namespace tallyfin::ui
