#pragma once

class QWindow;

namespace tallyfin::ui::x11 {

// What Qt does not offer for X11 windows. Every function does nothing (or answers false) when
// the program does not run on the xcb platform.

// True when a compositing manager owns the _NET_WM_CM_Sn selection of the default screen, so
// that translucent windows really show what lies behind them.
bool compositorRunning();

// Shows `window` on every virtual desktop (_NET_WM_DESKTOP 0xFFFFFFFF, _NET_WM_STATE_STICKY) or
// keeps it on the current one only.
void setOnAllDesktops(QWindow& window, bool all);

} // namespace tallyfin::ui::x11
