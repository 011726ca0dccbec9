// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "analytics/TelemetryManagerConfiguration.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

namespace tallyfin::analytics {

// How "receivedAt" is written: text for the service, a number for the cache file.
enum class DateEncoding {
    // "yyyy-MM-dd'T'HH:mm:ssZ" in GMT, for example 2024-03-05T14:07:09+0000.
    UploadText,
    // Seconds since 2001-01-01 00:00:00 UTC, fractions kept.
    ReferenceSeconds,
};

// One signal as the service receives it.
struct SignalPostBody {
    QDateTime receivedAt;
    QString appID;
    QString clientUser;
    QString sessionID;
    QString type;
    std::optional<double> floatValue;
    Parameters payload;
    QString isTestMode;

    bool operator==(const SignalPostBody& other) const = default;

    QJsonObject toJson(DateEncoding dates) const;
    // None when a key is missing or has the wrong type.
    static std::optional<SignalPostBody> fromJson(const QJsonObject& object, DateEncoding dates);
    // The type name and every field with its value, in field order.
    QString description() const;
};

// The upload body: a JSON array of records with text dates.
QByteArray encodeUploadBody(const QList<SignalPostBody>& records);
// The cache file: a JSON array of records with numeric dates, one record a line.
QByteArray encodeCacheFile(const QList<SignalPostBody>& records);
// None unless the data is a JSON array of complete records with numeric dates.
std::optional<QList<SignalPostBody>> decodeCacheFile(const QByteArray& data);
// None unless the data is an upload body.
std::optional<QList<SignalPostBody>> decodeUploadBody(const QByteArray& data);

QString uploadDateText(const QDateTime& date);
std::optional<QDateTime> dateFromUploadText(const QString& text);
double referenceSeconds(const QDateTime& date);
std::optional<QDateTime> dateFromReferenceSeconds(double seconds);

} // namespace tallyfin::analytics
