// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QByteArray>
#include <QRegion>

#include <optional>

class QWindow;

namespace tallyfin::ui::x11 {

// What Qt does not offer for X11 windows. Every function does nothing (or answers false) when
// the program does not run on the xcb platform.

// True when the X display `name` (DISPLAY's form, ":0") accepts a connection; also true in a
// build without xcb, where Qt alone decides.
bool displayOpens(const QByteArray& name);

// Cuts `window` with the X Shape extension: only `visible` shows (the whole window when not
// given) and only `input` takes the pointer; elsewhere clicks reach the windows below. Both
// regions are in the window's device pixels (logical ones times its devicePixelRatio).
void setShape(QWindow& window, const std::optional<QRegion>& visible, const QRegion& input);

// True when the X server is XWayland (it offers the XWAYLAND extension, or names its outputs
// XWAYLAND<n>): the windows of the Wayland desktop around it are not X windows at all.
bool serverIsXWayland();

} // namespace tallyfin::ui::x11
