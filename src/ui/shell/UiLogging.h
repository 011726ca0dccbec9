// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QLoggingCategory>

namespace tallyfin::ui {
// The overlay application: start-up, menu, command line and screenshots.
Q_DECLARE_LOGGING_CATEGORY(lcUi)
} // namespace tallyfin::ui
