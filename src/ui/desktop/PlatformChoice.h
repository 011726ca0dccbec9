// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace tallyfin::ui {

using Environment = std::function<QByteArray(const char*)>;

// Qt cannot place a window or keep it above others on Wayland, so a Wayland session runs the
// panel through XWayland unless the user picked a platform (QT_QPA_PLATFORM or -platform).
// Returns true when QT_QPA_PLATFORM should be set to "xcb" before QApplication is built.
bool shouldUseXWayland(const Environment& environment, int argc, const char* const* argv);

// Why the panel cannot show.
struct DisplayProblem {
    enum class Kind { noDisplay, noXWayland, displayDoesNotOpen };
    Kind kind = Kind::noDisplay;
    QByteArray display;

    // One line for the terminal: what is missing and what to do (translated).
    QString message() const;
};

// Asked after shouldUseXWayland has been applied, before QApplication, which would abort without
// a display. A platform the user picked is left to Qt. `displayOpens` tries to connect to an X
// display by name.
std::optional<DisplayProblem>
displayProblem(const Environment& environment, int argc, const char* const* argv,
               const std::function<bool(const QByteArray&)>& displayOpens);

} // namespace tallyfin::ui
