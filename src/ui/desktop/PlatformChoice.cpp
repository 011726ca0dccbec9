// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

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

std::optional<DisplayProblem>
displayProblem(const Environment& environment, int argc, const char* const* argv,
               const std::function<bool(const QByteArray&)>& displayOpens) {
    const QByteArray platform = environment("QT_QPA_PLATFORM");
    if (platformChosen(environment, argc, argv) && platform != "xcb") {
        return std::nullopt;
    }
    const QByteArray display = environment("DISPLAY");
    if (display.isEmpty() && platform.isEmpty() && waylandSession(environment)) {
        return DisplayProblem{DisplayProblem::Kind::noXWayland, {}};
    }
    if (display.isEmpty()) {
        return DisplayProblem{DisplayProblem::Kind::noDisplay, {}};
    }
    if (!displayOpens(display)) {
        return DisplayProblem{DisplayProblem::Kind::displayDoesNotOpen, display};
    }
    return std::nullopt;
}

QString DisplayProblem::message() const {
    switch (kind) {
    case Kind::noXWayland:
        //: Start-up error in a Wayland session without XWayland
        return qtTrId("platform.noXWayland");
    case Kind::displayDoesNotOpen:
        //: Start-up error; %1 is the value of DISPLAY
        return qtTrId("platform.displayDoesNotOpen").arg(QString::fromLocal8Bit(display));
    case Kind::noDisplay:
        break;
    }
    //: Start-up error when DISPLAY is not set
    return qtTrId("platform.noDisplay");
}

} // namespace tallyfin::ui
