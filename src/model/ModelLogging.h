// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QLoggingCategory>

namespace tallyfin {
// The shared vocabulary: string tables and presentation rules.
Q_DECLARE_LOGGING_CATEGORY(lcModel)
} // namespace tallyfin
