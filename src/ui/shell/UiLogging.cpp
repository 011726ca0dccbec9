// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "UiLogging.h"

namespace tallyfin::ui {
Q_LOGGING_CATEGORY(lcUi, "tallyfin.ui", QtInfoMsg)
} // namespace tallyfin::ui
