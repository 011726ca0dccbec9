// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "TestHttpServer.h"
#include "analytics/SignalPostBody.h"
#include "analytics/TelemetryManagerConfiguration.h"

#include <QDateTime>
#include <QMutex>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// Shared set-up of the analytics tests: private cache and configuration directories, a clock the
// test moves by hand, and a log handler that keeps every line.
class AnalyticsTestEnvironment {
public:
    AnalyticsTestEnvironment();
    ~AnalyticsTestEnvironment();

    QString root() const { return m_root.path(); }

    QDateTime now() const;
    void advance(qint64 msecs);

    // Lines "LEVEL message" seen by the handler.
    QStringList logLines() const;
    QStringList errorLines() const;
    void clearLog();
    tallyfin::analytics::LogHandler
    logHandler(tallyfin::analytics::LogLevel level = tallyfin::analytics::LogLevel::Debug);

    // A configuration for the given base URL whose timers stay quiet unless the test asks.
    std::shared_ptr<tallyfin::analytics::TelemetryManagerConfiguration>
    configuration(const QUrl& baseUrl, const QString& appID = QStringLiteral("TEST-APP"),
                  const std::optional<QString>& salt = {},
                  const std::optional<QString>& nameSpace = {});

    // Installs a fresh manager and waits until its first (empty) send has happened.
    [[nodiscard]] bool
    install(std::shared_ptr<tallyfin::analytics::TelemetryManagerConfiguration> configuration);
    // Number of records waiting in the installed manager's cache.
    int cachedCount() const;
    // Waits until every signal sent so far is built (signals are counted as they are sent, so
    // none is missed), then takes the cached records.
    QList<tallyfin::analytics::SignalPostBody> take() const;

private:
    QTemporaryDir m_root;
    mutable QMutex m_mutex;
    QDateTime m_now;
    QStringList m_log;
};

// The types of the records, sorted.
QStringList typesOf(const QList<tallyfin::analytics::SignalPostBody>& records);
// A record as the signal path builds it, with a fraction of a second in its date.
tallyfin::analytics::SignalPostBody testRecord(const QString& type,
                                               std::optional<double> floatValue = {});
