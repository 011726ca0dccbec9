// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "OverlaySize.h"

#include <QObject>
#include <QRect>
#include <QRectF>
#include <QSizeF>

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
// Width a tile takes in the strip at each size, its share of the spacing included: enough for the
// widest value a tile shows.
int tileShare(OverlaySize size);
// While connected: as wide as the buttons, the divider and `tiles` tiles need, at most the size's
// fraction of the full screen width (also while no tile is known yet), centred on the screen.
QRect connectedFrame(const QRect& screen, const QRect& visibleArea, OverlaySize size, int height,
                     int tiles = 0);

// Narrowed and moved just enough to lie inside `area` (a screen's visible area): a frame wider
// than the area takes its width, one past an edge comes back to it.
QRect keptInside(const QRect& frame, const QRect& area);
// Where the panel goes once the user has placed it: `width` × `height`, centred on `anchor`'s x,
// its bottom edge on `anchor`'s y, kept inside `area`.
QRect anchoredFrame(const QPoint& anchor, int width, int height, const QRect& area);
// The point anchoredFrame() keeps for `frame`: its bottom centre.
QPoint anchorOf(const QRect& frame);

} // namespace panel

// Where a popover window opens at its button.
struct PopoverPlacement {
    Q_GADGET
    Q_PROPERTY(int x MEMBER x CONSTANT)
    Q_PROPERTY(int y MEMBER y CONSTANT)
    Q_PROPERTY(double arrowTipX MEMBER arrowTipX CONSTANT)
    Q_PROPERTY(bool below MEMBER below CONSTANT)

public:
    // The window's top left corner.
    int x = 0;
    int y = 0;
    // Where the arrow's tip is, in the window's coordinates.
    double arrowTipX = 0;
    // Opened below the button, the arrow on its top edge pointing up.
    bool below = false;

    friend bool operator==(const PopoverPlacement&, const PopoverPlacement&) = default;
};

namespace panel {

inline constexpr int popoverScreenMargin = 4;
inline constexpr int popoverButtonGap = 2;

// Centred over the middle of `button`'s top edge, its arrow's tip 2 points above it, and 4 points
// clear of the sides of `screen` (the arrow then points off centre). Where the screen has no room
// above the button it opens 2 points below the button's bottom instead; where it has room on
// neither side it takes the roomier one and stays on the screen. Rectangles are global.
PopoverPlacement placePopover(const QRectF& button, const QSizeF& size, const QRect& screen);

} // namespace panel
} // namespace tallyfin::ui
