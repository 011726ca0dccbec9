// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QLoggingCategory>

// The X11 and desktop integration: stacking, shape, grabs, colour scheme, autostart.
namespace tallyfin::ui {
Q_DECLARE_LOGGING_CATEGORY(lcDesktop)
} // namespace tallyfin::ui
