// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QIcon>

namespace tallyfin::ui {

// The application's icon for the window, the tray and the About box: the icon theme's, so that a
// theme may restyle it, else the drawing built into the program.
QIcon applicationIcon();

} // namespace tallyfin::ui
