// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "PanelGeometry.h"

#include "MetricsDimensions.h"

#include <algorithm>
#include <cmath>

namespace tallyfin::ui::panel {

namespace {

int topFor(const QRect& visibleArea, int height) {
    // QRect::bottom() is the last row inside; the area ends one row below it.
    return visibleArea.y() + visibleArea.height() - bottomGap - height;
}

// As JavaScript's Math.round: halves go up, negative ones too.
int roundHalfUp(double value) {
    return static_cast<int>(std::floor(value + 0.5));
}

} // namespace

double connectedWidthFraction(OverlaySize size) {
    switch (size) {
    case OverlaySize::small:
        return 0.82;
    case OverlaySize::medium:
        return 0.93;
    case OverlaySize::large:
        return 1.0;
    }
    return 0.93;
}

QRect initialFrame(const QRect& visibleArea) {
    const int midX = visibleArea.x() + visibleArea.width() / 2;
    return {midX - disconnectedWidth / 2, topFor(visibleArea, initialHeight), disconnectedWidth,
            initialHeight};
}

QRect disconnectedFrame(const QRect& screen, const QRect& visibleArea, int height) {
    const int midX = screen.x() + screen.width() / 2;
    return {midX - disconnectedWidth / 2, topFor(visibleArea, height), disconnectedWidth, height};
}

int tileShare(OverlaySize size) {
    switch (size) {
    case OverlaySize::small:
        return 210;
    case OverlaySize::medium:
        return 240;
    case OverlaySize::large:
        return 280;
    }
    return 240;
}

QRect connectedFrame(const QRect& screen, const QRect& visibleArea, OverlaySize size, int height,
                     int tiles) {
    int width = static_cast<int>(std::lround(connectedWidthFraction(size) * screen.width()));
    if (tiles > 0) {
        // Padding, the two buttons with the information button's own padding, the divider and
        // the spacing around it.
        const MetricsDimensions d = metricsDimensions(size);
        const double fixed = 2 * d.horizontalPadding + 2 * d.buttonIconSize +
                             d.infoTrailingPadding + 1 + 3 * d.spacing;
        width = std::min(width, static_cast<int>(std::ceil(fixed)) + tiles * tileShare(size));
    }
    const int x = screen.x() + (screen.width() - width) / 2;
    return {x, topFor(visibleArea, height), width, height};
}

QRect keptInside(const QRect& frame, const QRect& area) {
    const int width = std::min(frame.width(), area.width());
    const int height = std::min(frame.height(), area.height());
    const int x = std::clamp(frame.x(), area.x(), area.x() + area.width() - width);
    const int y = std::clamp(frame.y(), area.y(), area.y() + area.height() - height);
    return {x, y, width, height};
}

QRect anchoredFrame(const QPoint& anchor, int width, int height, const QRect& area) {
    return keptInside({anchor.x() - width / 2, anchor.y() - height, width, height}, area);
}

QPoint anchorOf(const QRect& frame) {
    return {frame.x() + frame.width() / 2, frame.y() + frame.height()};
}

PopoverPlacement placePopover(const QRectF& button, const QSizeF& size, const QRect& screen) {
    const double tipX = button.x() + button.width() / 2;
    const int left = screen.x() + popoverScreenMargin;
    const int right = screen.x() + screen.width() - popoverScreenMargin - roundHalfUp(size.width());
    PopoverPlacement placement;
    placement.x = std::max(left, std::min(roundHalfUp(tipX - size.width() / 2), right));
    placement.arrowTipX = tipX - placement.x;

    const int screenTop = screen.y();
    const int screenEnd = screen.y() + screen.height();
    const int height = roundHalfUp(size.height());
    const int above = roundHalfUp(button.y() - size.height() - popoverButtonGap);
    const int below = roundHalfUp(button.y() + button.height() + popoverButtonGap);
    if (above >= screenTop) {
        placement.y = above;
    } else if (below + height <= screenEnd) {
        placement.y = below;
        placement.below = true;
    } else {
        placement.below = screenEnd - below > above + height - screenTop;
        placement.y =
            std::max(screenTop, std::min(placement.below ? below : above, screenEnd - height));
    }
    return placement;
}

} // namespace tallyfin::ui::panel
