// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QLoggingCategory>

namespace tallyfin::analytics {
Q_DECLARE_LOGGING_CATEGORY(lcAnalytics)
} // namespace tallyfin::analytics
