// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "connection/Published.h"
#include "workout/Journal.h"
#include "workout/WorkoutBuilder.h"
#include "workout/WorkoutFiles.h"
#include "workout/WorkoutSummary.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tallyfin {

class FTMSManager;

// Records the connected machine's workout: one sample a second into a journal while the values
// come, the live summary for the views, and at the end (finish(), or a lost machine that did not
// come back within the resume window) the exported files. A reconnection to the same machine
// within the window continues the workout after a pause; another machine starts a new one. A
// machine the user disconnects ends the workout as soon as it is gone.
class WorkoutRecorder : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool recording READ isRecording NOTIFY recordingChanged)
    Q_PROPERTY(tallyfin::WorkoutSummary summary READ summary NOTIFY summaryChanged)
    Q_PROPERTY(QString folder READ folder WRITE setFolder NOTIFY folderChanged)
    Q_PROPERTY(bool autoExport READ autoExport WRITE setAutoExport NOTIFY autoExportChanged)
    // The formats written at the end, by their extensions ("fit", "tcx", "csv").
    Q_PROPERTY(QStringList formats READ formatNames WRITE setFormatNames NOTIFY formatsChanged)
    Q_PROPERTY(QString lastError READ lastError NOTIFY lastErrorChanged)

public:
    using Clock = std::function<QDateTime()>;

    WorkoutRecorder(FTMSManager& manager, QString journalFolder, Clock clock = {},
                    QObject* parent = nullptr);
    ~WorkoutRecorder() override;

    bool isRecording() const { return m_builder.has_value(); }
    const WorkoutSummary& summary() const { return m_summary; }
    QString folder() const { return m_folder; }
    void setFolder(const QString& folder);
    bool autoExport() const { return m_autoExport; }
    void setAutoExport(bool on);
    QList<WorkoutFormat> formats() const { return m_formats; }
    void setFormats(const QList<WorkoutFormat>& formats);
    QStringList formatNames() const;
    // Unknown names are ignored; an empty list keeps FIT.
    void setFormatNames(const QStringList& names);
    QString lastError() const { return m_lastError; }
    QString journalFolder() const { return m_journalFolder; }
    // The journal of the workout being recorded; empty when none is open.
    QString journalPath() const { return m_journal.isOpen() ? m_journal.path() : QString(); }
    // The workout so far; nullopt while none is being recorded.
    const Workout* workout() const { return m_builder ? &m_builder->workout() : nullptr; }

    // Injection points for tests and benchmarks.
    void setResumeWindow(std::chrono::milliseconds window) { m_resumeTimer.setInterval(window); }
    void setFlushInterval(std::chrono::milliseconds interval) {
        m_journal.setFlushInterval(interval.count());
    }

    // The result of finishing a workout.
    struct Finished {
        Workout workout;
        bool kept = false; // long enough to keep
        QStringList files; // exported (with autoExport)
        QString journal;   // the journal, if it is still there
        QString error;     // why the export failed
    };
    // Ends the workout now (quit, logout, a stop signal, or the resume window ran out). A kept
    // workout is exported when autoExport is on, and its journal removed once every file is
    // written; without autoExport the journal is left for the caller. Nothing happens without a
    // workout.
    std::optional<Finished> finish();
    // Takes a sample for the current second if the latest values are fresh: the one-second timer
    // calls it, tests may too.
    void tick();

Q_SIGNALS:
    void recordingChanged();
    // After every new sample, at most once a second.
    void summaryChanged();
    void folderChanged();
    void autoExportChanged();
    void formatsChanged();
    void lastErrorChanged();
    // A kept workout ended; `files` is empty when autoExport is off.
    void workoutFinished(const tallyfin::WorkoutSummary& summary, const QStringList& files);
    // A workout ended before it was a minute long; nothing is kept.
    void workoutDiscarded();
    // Writing the journal or exporting failed; the message names the file and the reason.
    void failed(const QString& message);

private:
    void onMetrics(const FitnessMetrics& metrics);
    void onConnectedChanged(bool connected);
    void begin(const FitnessMetrics& metrics, const QDateTime& now);
    void take(const QList<WorkoutSample>& samples, const QDateTime& now);
    void setError(const QString& message);

    FTMSManager& m_manager;
    QString m_journalFolder;
    Clock m_clock;
    QString m_folder;
    bool m_autoExport = true;
    QList<WorkoutFormat> m_formats{WorkoutFormat::fit};
    QString m_lastError;
    std::optional<WorkoutBuilder> m_builder;
    WorkoutSummary m_summary;
    journal::Writer m_journal;
    bool m_journalFailed = false;
    QString m_deviceId;       // the machine connected now, or last
    bool m_linkLost = false;  // the machine is gone and may come back within the window
    bool m_endOnLoss = false; // the user let go of the machine: its loss ends the workout
    QDateTime m_lostAt;
    QTimer m_tickTimer;
    QTimer m_resumeTimer;
    std::vector<std::shared_ptr<Subscription>> m_subscriptions;
};

} // namespace tallyfin
