// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QLoggingCategory>

// The panel's own logic: sizes, tiles and frames.
namespace tallyfin::ui {
Q_DECLARE_LOGGING_CATEGORY(lcPanel)
} // namespace tallyfin::ui
