// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>

namespace tallyfin::analytics {

// Why the service did not take a batch.
struct TelemetryError {
    enum class Kind {
        InvalidStatusCode,
        Unauthorised,
        Forbidden,
        PayloadTooLarge,
        InvalidEndpointUrl
    };

    Kind kind = Kind::InvalidStatusCode;
    int statusCode = 0;

    // The error for a non-2xx HTTP status.
    static TelemetryError fromStatusCode(int statusCode);

    // "Invalid status code 500", "Unauthorized (401)", ...
    QString description() const;
    // The case name with its value, as logged: "invalidStatusCode(statusCode: 500)".
    QString debugDescription() const;

    bool operator==(const TelemetryError& other) const = default;
};

} // namespace tallyfin::analytics
