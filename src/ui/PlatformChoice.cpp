#include "PlatformChoice.h"

#include <cstring>

namespace tallyfin::ui {

namespace {

bool platformChosen(const Environment& environment, int argc, const char* const* argv) {
    if (!environment("QT_QPA_PLATFORM").isEmpty()) {
        return true;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0 ||
            std::strncmp(argv[i], "-platform=", 10) == 0) {
            return true;
        }
    }
    return false;
}

bool waylandSession(const Environment& environment) {
    return environment("XDG_SESSION_TYPE") == "wayland" ||
           !environment("WAYLAND_DISPLAY").isEmpty();
}

} // namespace

bool shouldUseXWayland(const Environment& environment, int argc, const char* const* argv) {
    // XWayland needs an X display to talk to.
    return !platformChosen(environment, argc, argv) && waylandSession(environment) &&
           !environment("DISPLAY").isEmpty();
}

std::optional<QString> displayProblem(const Environment& environment, int argc,
                                      const char* const* argv,
                                      const std::function<bool(const QByteArray&)>& displayOpens) {
    const QByteArray platform = environment("QT_QPA_PLATFORM");
    if (platformChosen(environment, argc, argv) && platform != "xcb") {
        return std::nullopt;
    }
    const QByteArray display = environment("DISPLAY");
    if (display.isEmpty() && platform.isEmpty() && waylandSession(environment)) {
        return QStringLiteral(
            "this Wayland session has no XWayland (DISPLAY is not set), which the panel needs to "
            "stay above other windows: enable XWayland, or set QT_QPA_PLATFORM=wayland to run "
            "without it");
    }
    if (display.isEmpty()) {
        return QStringLiteral("no X display (DISPLAY is not set): run tallyfin in a desktop "
                              "session, set DISPLAY, or run it under Xvfb (xvfb-run tallyfin)");
    }
    if (!displayOpens(display)) {
        return QStringLiteral("cannot open the X display \"%1\": check DISPLAY, or run tallyfin "
                              "under Xvfb (xvfb-run tallyfin)")
            .arg(QString::fromLocal8Bit(display));
    }
    return std::nullopt;
}

} // namespace tallyfin::ui
