// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "AnalyticsLogging.h"

namespace tallyfin::analytics {
Q_LOGGING_CATEGORY(lcAnalytics, "tallyfin.analytics", QtInfoMsg)
} // namespace tallyfin::analytics
