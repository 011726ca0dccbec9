// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "OverlaySize.h"

namespace tallyfin::ui {

QString overlaySizeName(OverlaySize size) {
    switch (size) {
    case OverlaySize::small:
        return QStringLiteral("small");
    case OverlaySize::medium:
        return QStringLiteral("medium");
    case OverlaySize::large:
        return QStringLiteral("large");
    }
    return QStringLiteral("medium");
}

std::optional<OverlaySize> overlaySizeFromName(QStringView name) {
    for (const OverlaySize size : allOverlaySizes) {
        if (name == overlaySizeName(size)) {
            return size;
        }
    }
    return std::nullopt;
}

} // namespace tallyfin::ui
