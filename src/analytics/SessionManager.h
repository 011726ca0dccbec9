// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "analytics/TelemetryManagerConfiguration.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>

#include <optional>

class QTimer;

namespace tallyfin::analytics {

// One stored session: when it began and how long the application was active in it.
struct StoredSession {
    QDateTime startedAt;
    qint64 durationInSeconds = 0;

    bool operator==(const StoredSession& other) const = default;

    // A JSON array of {"startedAt": whole seconds since 1970, "durationInSeconds": seconds}.
    static QByteArray encodeList(const QList<StoredSession>& sessions);
    // None unless the data is such an array.
    static std::optional<QList<StoredSession>> decodeList(const QByteArray& data);
};

// Keeps the last 90 days of sessions in the client's preferences suite and derives the retention
// figures every signal carries. Lives on the main thread.
class SessionManager : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 retentionSeconds = 7'776'000;
    static constexpr qint64 lastMonthSeconds = 2'592'000;

    // The one session manager, built on first use.
    static SessionManager& shared();
    // Drops the shared instance, so that the next use loads the stored history again.
    static void resetShared();

    SessionManager();
    ~SessionManager() override;

    // Starts timing a new session; the first one after an empty history reports a new install.
    void startNewSession();
    // Adds the active time since the last update and stores the session once it reaches a second.
    void updateSessionDuration();

    void handleDidEnterBackgroundNotification();
    void handleWillEnterForegroundNotification();

    // The acquisition and retention entries of the default payload.
    Parameters retentionParameters() const;

    QList<StoredSession> recentSessions() const { return m_recentSessions; }
    // Active seconds of the running session; it is stored once this reaches one.
    double currentSessionDuration() const { return m_currentSessionDuration; }
    bool isTimerRunning() const;

    // Day text "yyyy-MM-dd" of the date in the local time zone.
    static QString dayText(const QDateTime& date);

private:
    void updateDistinctDaysUsed();
    void persistCurrentSession();
    void startSessionTimer();
    void stopSessionTimer();

    QList<StoredSession> m_recentSessions;
    QDateTime m_currentSessionStartedAt;
    double m_currentSessionDuration = 0;
    QTimer* m_sessionDurationUpdater = nullptr;
    std::optional<QDateTime> m_sessionDurationLastUpdatedAt;
};

} // namespace tallyfin::analytics
