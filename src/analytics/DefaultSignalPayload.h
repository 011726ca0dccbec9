// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "analytics/TelemetryManagerConfiguration.h"

#include <QDateTime>

namespace tallyfin::analytics {

// The parameters every signal carries: platform facts, calendar, retention figures.
class DefaultSignalPayload {
public:
    static constexpr auto sdkVersion = "2.11.0";

    // Computed afresh on each call; meant for the main thread.
    static Parameters parameters(const TelemetryManagerConfiguration& configuration);

    // The 48 base entries.
    static Parameters baseParameters(const TelemetryManagerConfiguration& configuration,
                                     const QDateTime& now);
    static Parameters calendarParameters(const QDateTime& now);

    // "UTC+5:30" for an offset of 19800 seconds.
    static QString timeZoneOffsetText(int offsetSeconds);
    // Shortest decimal text that reads back as the same number, with at least one fraction digit.
    static QString decimalText(double value);
};

} // namespace tallyfin::analytics
