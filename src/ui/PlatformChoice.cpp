#include "PlatformChoice.h"

#include <cstring>

namespace tallyfin::ui {

bool shouldUseXWayland(const std::function<QByteArray(const char*)>& environment, int argc,
                       const char* const* argv) {
    if (!environment("QT_QPA_PLATFORM").isEmpty()) {
        return false;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0 ||
            std::strncmp(argv[i], "-platform=", 10) == 0) {
            return false;
        }
    }
    const bool waylandSession =
        environment("XDG_SESSION_TYPE") == "wayland" || !environment("WAYLAND_DISPLAY").isEmpty();
    // XWayland needs an X display to talk to.
    return waylandSession && !environment("DISPLAY").isEmpty();
}

} // namespace tallyfin::ui
