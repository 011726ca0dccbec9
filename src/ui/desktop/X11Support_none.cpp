// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// Built where xcb is missing: Qt alone decides whether the display opens, and windows keep
// their rectangular shape.
#include "X11Support.h"

namespace tallyfin::ui::x11 {

bool displayOpens(const QByteArray& name) {
    Q_UNUSED(name)
    return true;
}

void setShape(QWindow& window, const std::optional<QRegion>& visible, const QRegion& input) {
    Q_UNUSED(window)
    Q_UNUSED(visible)
    Q_UNUSED(input)
}

bool serverIsXWayland() {
    return false;
}

} // namespace tallyfin::ui::x11
