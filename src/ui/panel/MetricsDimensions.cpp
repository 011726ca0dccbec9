// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "MetricsDimensions.h"

namespace tallyfin::ui {

MetricsDimensions metricsDimensions(OverlaySize size) {
    MetricsDimensions d;
    switch (size) {
    case OverlaySize::small:
        d = {8, 28, 10, 22, 20, 40, 18.4, 16, 26, 12, 6};
        break;
    case OverlaySize::medium:
        d = {10, 32, 8, 26, 22, 46, 20.8, 18, 30, 13, 8};
        break;
    case OverlaySize::large:
        d = {12, 36, 6, 28, 24, 50, 22.4, 20, 33, 14, 10};
        break;
    }
    return d;
}

MetricsDimensions DimensionTables::metrics(int size) const {
    if (size < 0 || size >= static_cast<int>(allOverlaySizes.size())) {
        return metricsDimensions(OverlaySize::medium);
    }
    return metricsDimensions(allOverlaySizes[static_cast<std::size_t>(size)]);
}

} // namespace tallyfin::ui
