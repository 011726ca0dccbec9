// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// Built where xcb is missing: there is no X connection to watch, so there is never a keeper.
#include "X11StackKeeper.h"

namespace tallyfin::ui::x11 {

std::unique_ptr<StackKeeper> StackKeeper::create(QObject* parent) {
    Q_UNUSED(parent)
    return nullptr;
}

StackKeeper::~StackKeeper() = default;

void StackKeeper::restack() {}

} // namespace tallyfin::ui::x11
