// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "analytics/TelemetryManagerConfiguration.h"

#include <QDateTime>
#include <QLocale>

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
    // In local time, with the week numbered by the locale's rules.
    static Parameters calendarParameters(const QDateTime& now,
                                         const QLocale& locale = QLocale::system());
    // The week of the year `date` falls in, by the locale's calendar rules: its first day of the
    // week, and the days the first week must hold of the new year, which Qt does not say: 4 (as
    // in ISO 8601) where weeks start on Monday, 1 (the rule of the United States) elsewhere. The
    // last days of December can be in week 1, the first days of January in the last week of the
    // year before.
    static int weekOfYear(QDate date, const QLocale& locale);

    // "UTC+5:30" for an offset of 19800 seconds.
    static QString timeZoneOffsetText(int offsetSeconds);
    // Shortest decimal text that reads back as the same number, with at least one fraction digit.
    static QString decimalText(double value);
};

} // namespace tallyfin::analytics
