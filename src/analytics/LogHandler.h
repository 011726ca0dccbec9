// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace tallyfin::analytics {

// Severity of a message of the analytics client.
enum class LogLevel { Debug = 0, Info = 1, Error = 2 };

// The level with the given raw value, none outside 0 to 2.
std::optional<LogLevel> logLevelFromRawValue(int rawValue);
// "DEBUG", "INFO" or "ERROR".
QString logLevelDescription(LogLevel level);

// Where the client's messages go: a sink and the least severe level it is given.
struct LogHandler {
    using Sink = std::function<void(LogLevel, const QString&)>;

    LogLevel logLevel = LogLevel::Info;
    Sink handler;

    // Passes the message on when its level is at least logLevel.
    void log(LogLevel level, const QString& message) const;

    // The one-line sink "[TelemetryDeck: LEVEL] message", written under the logging category
    // "tallyfin.analytics".
    static LogHandler standard(LogLevel level);
};

} // namespace tallyfin::analytics
