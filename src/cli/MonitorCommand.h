// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "bluetooth/Central.h"

#include <QDateTime>
#include <QIODevice>
#include <QObject>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <memory>
#include <optional>

namespace tallyfin {
class FTMSManager;
class WorkoutRecorder;
} // namespace tallyfin

namespace tallyfin::cli {

struct MonitorOptions {
    bool demo = false;
    QString name;               // connect to the first machine whose name contains this
    std::optional<int> seconds; // stop after this long; until interrupted without it
    QString logFile;            // where the diagnostic log goes, line by line; none when empty
    QString record;             // the workout's file (.fit, .tcx, .csv); empty: not recorded
};

// The options of `monitor`, or nullopt with `error` set.
std::optional<MonitorOptions> parseMonitorArguments(const QStringList& arguments, QString& error);

// Ends the recording and writes its workout to `file` (the format by its extension), then removes
// the journal. Returns the exit status: 1 with a message on `err` when the workout was shorter
// than a minute or the file could not be written (the journal then stays).
int finishRecording(WorkoutRecorder& recorder, const QString& file, QTextStream& err);

// One monitoring run over a manager: scans, connects to the first matching machine and writes
// one JSON line per published metrics update to `out`; every status change goes to `err`. A
// machine lost on its own is connected again when it is heard within the manager's reconnect
// window. finished() reports the exit status: 0 after a clean stop, 1 when the run could not go
// on.
class MonitorSession : public QObject {
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;

    MonitorSession(const bluetooth::CentralFactory& centralFactory, QString nameFilter,
                   QTextStream& out, QTextStream& err, Clock clock = {});
    ~MonitorSession() override;

    FTMSManager& manager() { return *m_manager; }
    // Writes the diagnostic log to `log` as the overlay copies it, from its first line (the
    // version line) on, each line as it comes and ended by a newline. Call before start().
    void writeLogTo(QIODevice& log);
    void start();
    // Disconnects cleanly; finished(0) follows once the machine is released.
    void stop();

Q_SIGNALS:
    void finished(int exitStatus);

private:
    void onDevicesChanged();
    void onStatus(const QString& status);
    void onConnectedChanged(bool connected);
    void onMetrics();
    void writeLogLine(const QString& line);
    void finish(int exitStatus);

    std::unique_ptr<FTMSManager> m_manager;
    QString m_nameFilter;
    QTextStream& m_out;
    QTextStream& m_err;
    Clock m_clock;
    QIODevice* m_log = nullptr;
    bool m_chosen = false;
    bool m_wasConnected = false;
    bool m_stopping = false;
    bool m_finished = false;
    QList<std::shared_ptr<void>> m_subscriptions;
};

} // namespace tallyfin::cli
