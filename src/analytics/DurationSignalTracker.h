// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "analytics/TelemetryManagerConfiguration.h"

#include <QDateTime>
#include <QHash>
#include <QMutex>
#include <QObject>

#include <optional>

namespace tallyfin::analytics {

// Started duration signals by name. Time the application spends inactive is left out unless a
// signal asks for it. Safe to use from any thread.
class DurationSignalTracker : public QObject {
    Q_OBJECT

public:
    struct CachedData {
        QDateTime startTime;
        Parameters parameters;
        bool includeBackgroundTime = false;
    };
    struct Stopped {
        // Whole milliseconds, so the duration is already cut to three decimals.
        qint64 milliseconds = 0;
        Parameters parameters;
    };

    // The one tracker, following application activity.
    static DurationSignalTracker& shared();

    DurationSignalTracker();

    // A second start of the same name replaces the first.
    void startTracking(const QString& name, const Parameters& parameters,
                       bool includeBackgroundTime);
    // Removes the entry and gives its elapsed seconds and parameters; none when not running.
    std::optional<Stopped> stopTracking(const QString& name);
    // Forgets every started signal.
    void reset();

    void handleDidEnterBackgroundNotification();
    void handleWillEnterForegroundNotification();

    // 5 gives "5.0", 12.345 gives "12.345".
    static QString durationText(double seconds);

private:
    QMutex m_mutex;
    QHash<QString, CachedData> m_startedSignals;
    std::optional<QDateTime> m_lastEnteredBackground;
};

} // namespace tallyfin::analytics
