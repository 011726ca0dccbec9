// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/LogHandler.h"

#include "analytics/AnalyticsLogging.h"

namespace tallyfin::analytics {

std::optional<LogLevel> logLevelFromRawValue(int rawValue) {
    switch (rawValue) {
    case 0:
        return LogLevel::Debug;
    case 1:
        return LogLevel::Info;
    case 2:
        return LogLevel::Error;
    default:
        return std::nullopt;
    }
}

QString logLevelDescription(LogLevel level) {
    switch (level) {
    case LogLevel::Debug:
        return QStringLiteral("DEBUG");
    case LogLevel::Info:
        return QStringLiteral("INFO");
    case LogLevel::Error:
        return QStringLiteral("ERROR");
    }
    return {};
}

void LogHandler::log(LogLevel level, const QString& message) const {
    if (static_cast<int>(level) >= static_cast<int>(logLevel) && handler) {
        handler(level, message);
    }
}

LogHandler LogHandler::standard(LogLevel level) {
    return LogHandler{level, [](LogLevel messageLevel, const QString& message) {
                          const QString line = u"[TelemetryDeck: " %
                                               logLevelDescription(messageLevel) % u"] " % message;
                          switch (messageLevel) {
                          case LogLevel::Debug:
                              qCDebug(lcAnalytics).noquote() << line;
                              break;
                          case LogLevel::Info:
                              qCInfo(lcAnalytics).noquote() << line;
                              break;
                          case LogLevel::Error:
                              qCWarning(lcAnalytics).noquote() << line;
                              break;
                          }
                      }};
}

} // namespace tallyfin::analytics
