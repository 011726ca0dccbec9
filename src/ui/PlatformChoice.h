#pragma once

#include <QByteArray>
#include <QList>

#include <functional>

namespace tallyfin::ui {

// Qt cannot place a window or keep it above others on Wayland, so a Wayland session runs the
// panel through XWayland unless the user picked a platform (QT_QPA_PLATFORM or -platform).
// Returns true when QT_QPA_PLATFORM should be set to "xcb" before QApplication is built.
bool shouldUseXWayland(const std::function<QByteArray(const char*)>& environment, int argc,
                       const char* const* argv);

} // namespace tallyfin::ui
