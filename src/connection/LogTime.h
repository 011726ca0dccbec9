// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QLocale>
#include <QString>
#include <QTime>

namespace tallyfin {

// The time of a raw-data log line: the locale's time with hours, minutes and seconds but without
// the time zone ("14:03:07" in German, "2:03:07 PM" in American English).
QString mediumTimeText(QTime time, const QLocale& locale = QLocale());
// The time of such a line read back, in `locale` or else in the 24-hour or English 12-hour form
// ("14:03:07", "2:03:07 PM"); invalid when it is none of them.
QTime timeFromMediumText(const QString& text, const QLocale& locale = QLocale());

} // namespace tallyfin
