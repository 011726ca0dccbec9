// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/SignalPostBody.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTimeZone>

#include <cmath>

namespace tallyfin::analytics {

using namespace Qt::StringLiterals;

namespace {

// 2001-01-01 00:00:00 UTC in milliseconds since 1970.
constexpr qint64 referenceEpochMSecs = 978'307'200'000;
// Dates outside ±100,000 years are not dates a client ever wrote.
constexpr double maximumReferenceSeconds = 3.2e12;

QJsonValue dateValue(const QDateTime& date, DateEncoding dates) {
    if (dates == DateEncoding::UploadText) {
        return uploadDateText(date);
    }
    return referenceSeconds(date);
}

std::optional<QDateTime> dateFrom(const QJsonValue& value, DateEncoding dates) {
    if (dates == DateEncoding::UploadText) {
        return value.isString() ? dateFromUploadText(value.toString()) : std::nullopt;
    }
    return value.isDouble() ? dateFromReferenceSeconds(value.toDouble()) : std::nullopt;
}

std::optional<QString> stringAt(const QJsonObject& object, QLatin1StringView key) {
    const QJsonValue value = object.value(key);
    if (!value.isString()) {
        return std::nullopt;
    }
    return value.toString();
}

QString quoted(const QString& text) {
    return u'"' % text % u'"';
}

std::optional<QList<SignalPostBody>> decodeArray(const QByteArray& data, DateEncoding dates) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) {
        return std::nullopt;
    }
    const QJsonArray array = document.array();
    QList<SignalPostBody> records;
    records.reserve(array.size());
    for (const QJsonValue& value : array) {
        if (!value.isObject()) {
            return std::nullopt;
        }
        auto record = SignalPostBody::fromJson(value.toObject(), dates);
        if (!record) {
            return std::nullopt;
        }
        records.append(std::move(*record));
    }
    return records;
}

QByteArray encodeArray(const QList<SignalPostBody>& records, DateEncoding dates) {
    QJsonArray array;
    for (const SignalPostBody& record : records) {
        array.append(record.toJson(dates));
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

} // namespace

QString uploadDateText(const QDateTime& date) {
    return date.toUTC().toString(u"yyyy-MM-dd'T'HH:mm:ss") % u"+0000";
}

std::optional<QDateTime> dateFromUploadText(const QString& text) {
    if (!text.endsWith(u"+0000")) {
        return std::nullopt;
    }
    QDateTime date = QDateTime::fromString(text.chopped(5), u"yyyy-MM-dd'T'HH:mm:ss");
    if (!date.isValid()) {
        return std::nullopt;
    }
    return QDateTime(date.date(), date.time(), QTimeZone::utc());
}

double referenceSeconds(const QDateTime& date) {
    return static_cast<double>(date.toMSecsSinceEpoch() - referenceEpochMSecs) / 1000.0;
}

std::optional<QDateTime> dateFromReferenceSeconds(double seconds) {
    if (!std::isfinite(seconds) || std::fabs(seconds) > maximumReferenceSeconds) {
        return std::nullopt;
    }
    const auto msecs = static_cast<qint64>(std::llround(seconds * 1000.0)) + referenceEpochMSecs;
    return QDateTime::fromMSecsSinceEpoch(msecs, QTimeZone::utc());
}

QJsonObject SignalPostBody::toJson(DateEncoding dates) const {
    QJsonObject payloadObject;
    for (auto it = payload.cbegin(); it != payload.cend(); ++it) {
        payloadObject.insert(it.key(), it.value());
    }
    QJsonObject object{
        {u"receivedAt"_s, dateValue(receivedAt, dates)},
        {u"appID"_s, appID},
        {u"clientUser"_s, clientUser},
        {u"sessionID"_s, sessionID},
        {u"type"_s, type},
        {u"payload"_s, payloadObject},
        {u"isTestMode"_s, isTestMode},
    };
    if (floatValue) {
        object.insert(u"floatValue"_s, *floatValue);
    }
    return object;
}

std::optional<SignalPostBody> SignalPostBody::fromJson(const QJsonObject& object,
                                                       DateEncoding dates) {
    SignalPostBody record;
    const auto receivedAt = dateFrom(object.value("receivedAt"_L1), dates);
    const auto appID = stringAt(object, "appID"_L1);
    const auto clientUser = stringAt(object, "clientUser"_L1);
    const auto sessionID = stringAt(object, "sessionID"_L1);
    const auto type = stringAt(object, "type"_L1);
    const auto isTestMode = stringAt(object, "isTestMode"_L1);
    const QJsonValue payload = object.value("payload"_L1);
    if (!receivedAt || !appID || !clientUser || !sessionID || !type || !isTestMode ||
        !payload.isObject()) {
        return std::nullopt;
    }
    const QJsonValue floatValue = object.value("floatValue"_L1);
    if (!floatValue.isUndefined() && !floatValue.isNull()) {
        if (!floatValue.isDouble()) {
            return std::nullopt;
        }
        record.floatValue = floatValue.toDouble();
    }
    const QJsonObject payloadObject = payload.toObject();
    for (auto it = payloadObject.begin(); it != payloadObject.end(); ++it) {
        if (!it.value().isString()) {
            return std::nullopt;
        }
        record.payload.insert(it.key(), it.value().toString());
    }
    record.receivedAt = *receivedAt;
    record.appID = *appID;
    record.clientUser = *clientUser;
    record.sessionID = *sessionID;
    record.type = *type;
    record.isTestMode = *isTestMode;
    return record;
}

QString SignalPostBody::description() const {
    QStringList entries;
    for (auto it = payload.cbegin(); it != payload.cend(); ++it) {
        entries.append(quoted(it.key()) % u": " % quoted(it.value()));
    }
    const QString number =
        floatValue ? u"Optional(" % QString::number(*floatValue, 'g', 17) % u')' : u"nil"_s;
    return u"SignalPostBody(receivedAt: " % receivedAt.toUTC().toString(Qt::ISODateWithMs) %
           u", appID: " % quoted(appID) % u", clientUser: " % quoted(clientUser) %
           u", sessionID: " % quoted(sessionID) % u", type: " % quoted(type) % u", floatValue: " %
           number % u", payload: [" % entries.join(u", ") % u"], isTestMode: " %
           quoted(isTestMode) % u')';
}

QByteArray encodeUploadBody(const QList<SignalPostBody>& records) {
    return encodeArray(records, DateEncoding::UploadText);
}

QByteArray encodeCacheFile(const QList<SignalPostBody>& records) {
    // One record a line, so that the newest records of a file too large to read whole can be
    // found from its end; no record is "[]".
    if (records.isEmpty()) {
        return QByteArrayLiteral("[]");
    }
    QByteArray data("[");
    for (qsizetype i = 0; i < records.size(); ++i) {
        data.append(i == 0 ? "\n" : ",\n");
        data.append(QJsonDocument(records.at(i).toJson(DateEncoding::ReferenceSeconds))
                        .toJson(QJsonDocument::Compact));
    }
    data.append("\n]\n");
    return data;
}

std::optional<QList<SignalPostBody>> decodeCacheFile(const QByteArray& data) {
    return decodeArray(data, DateEncoding::ReferenceSeconds);
}

std::optional<QList<SignalPostBody>> decodeUploadBody(const QByteArray& data) {
    return decodeArray(data, DateEncoding::UploadText);
}

} // namespace tallyfin::analytics
