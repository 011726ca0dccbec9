// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/TelemetryError.h"

namespace tallyfin::analytics {

using namespace Qt::StringLiterals;

TelemetryError TelemetryError::fromStatusCode(int statusCode) {
    switch (statusCode) {
    case 401:
        return {Kind::Unauthorised, 0};
    case 403:
        return {Kind::Forbidden, 0};
    case 413:
        return {Kind::PayloadTooLarge, 0};
    default:
        return {Kind::InvalidStatusCode, statusCode};
    }
}

QString TelemetryError::description() const {
    switch (kind) {
    case Kind::InvalidStatusCode:
        return u"Invalid status code "_s + QString::number(statusCode);
    case Kind::Unauthorised:
        return u"Unauthorized (401)"_s;
    case Kind::Forbidden:
        return u"Forbidden (403)"_s;
    case Kind::PayloadTooLarge:
        return u"Payload is too large (413)"_s;
    case Kind::InvalidEndpointUrl:
        return u"Invalid endpoint URL"_s;
    }
    return {};
}

QString TelemetryError::debugDescription() const {
    switch (kind) {
    case Kind::InvalidStatusCode:
        return u"invalidStatusCode(statusCode: "_s + QString::number(statusCode) + u')';
    case Kind::Unauthorised:
        return u"unauthorised"_s;
    case Kind::Forbidden:
        return u"forbidden"_s;
    case Kind::PayloadTooLarge:
        return u"payloadTooLarge"_s;
    case Kind::InvalidEndpointUrl:
        return u"invalidEndpointUrl"_s;
    }
    return {};
}

} // namespace tallyfin::analytics
