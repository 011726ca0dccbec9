// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

// Small wrappers over raw xcb requests, shared by the X11 sources. Only the *_xcb.cpp files,
// built when xcb, xcb-shape and xcb-xfixes are found, include it.

#include <cstdlib>
#include <memory>
#include <optional>
#include <xcb/xcb.h>

namespace tallyfin::ui::x11 {

// An xcb reply, freed with the reply.
template<typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template<typename T>
Reply<T> reply(T* r) {
    return Reply<T>(r, &std::free);
}

xcb_atom_t atom(xcb_connection_t* c, const char* name);
// The screen `number` of the connection's setup, or null.
xcb_screen_t* screenOf(xcb_connection_t* c, int number);
std::optional<uint32_t> cardinal(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property);
// True when a compositing manager owns `selection` (the screen's _NET_WM_CM_S<number>).
bool compositorOwnsSelection(xcb_connection_t* c, xcb_atom_t selection);

} // namespace tallyfin::ui::x11
