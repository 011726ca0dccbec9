// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "PanelGeometry.h"

#include <cmath>

namespace tallyfin::ui::panel {

namespace {

int topFor(const QRect& visibleArea, int height) {
    // QRect::bottom() is the last row inside; the area ends one row below it.
    return visibleArea.y() + visibleArea.height() - bottomGap - height;
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

QRect connectedFrame(const QRect& screen, const QRect& visibleArea, OverlaySize size, int height) {
    const int width = static_cast<int>(std::lround(connectedWidthFraction(size) * screen.width()));
    const int x = screen.x() + (screen.width() - width) / 2;
    return {x, topFor(visibleArea, height), width, height};
}

} // namespace tallyfin::ui::panel
