// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "LogTime.h"

namespace tallyfin {

namespace {

// The locale's long time format minus its time-zone fields, which is what other platforms call
// the medium style. Quoted literal text is kept as it is.
QString mediumTimeFormat(const QLocale& locale) {
    const QString longFormat = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar c : longFormat) {
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
        } else if (!quoted && c == QLatin1Char('t')) {
            continue;
        }
        result.append(c);
    }
    return result.simplified();
}

} // namespace

QString mediumTimeText(QTime time, const QLocale& locale) {
    // Every received value writes a line, so the format is derived once per locale.
    thread_local QString cachedLocale;
    thread_local QString cachedFormat;
    const QString name = locale.bcp47Name();
    if (name != cachedLocale || cachedFormat.isEmpty()) {
        cachedLocale = name;
        cachedFormat = mediumTimeFormat(locale);
    }
    return locale.toString(time, cachedFormat);
}

QTime timeFromMediumText(const QString& text, const QLocale& locale) {
    const QString trimmed = text.simplified();
    QTime time = locale.toTime(trimmed, mediumTimeFormat(locale));
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    for (const QString& format : {QStringLiteral("H:mm:ss"), QStringLiteral("h:mm:ss AP")}) {
        if (!time.isValid()) {
            time = english.toTime(trimmed, format);
        }
    }
    return time;
}

} // namespace tallyfin
