// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "DesktopLogging.h"

namespace tallyfin::ui {
Q_LOGGING_CATEGORY(lcDesktop, "tallyfin.ui.desktop", QtInfoMsg)
} // namespace tallyfin::ui
