// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "PanelLogging.h"

namespace tallyfin::ui {
Q_LOGGING_CATEGORY(lcPanel, "tallyfin.ui.panel", QtInfoMsg)
} // namespace tallyfin::ui
