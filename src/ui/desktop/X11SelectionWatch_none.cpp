// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// Built where xcb is missing: there is no X connection to watch, so there is never a watch.
#include "X11SelectionWatch.h"

namespace tallyfin::ui::x11 {

std::unique_ptr<SelectionWatch> SelectionWatch::create(const QByteArray& prefix, QObject* parent) {
    Q_UNUSED(prefix)
    Q_UNUSED(parent)
    return nullptr;
}

SelectionWatch::~SelectionWatch() = default;

} // namespace tallyfin::ui::x11
