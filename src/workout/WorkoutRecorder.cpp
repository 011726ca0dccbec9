// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#include "workout/WorkoutRecorder.h"

#include "connection/FTMSManager.h"
#include "workout/WorkoutLogging.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace tallyfin {

WorkoutRecorder::WorkoutRecorder(FTMSManager& manager, QString journalFolder, Clock clock,
                                 QObject* parent)
    : QObject(parent)
    , m_manager(manager)
    , m_journalFolder(std::move(journalFolder))
    , m_clock(std::move(clock))
    , m_folder(defaultWorkoutsFolder()) {
    if (!m_clock) {
        m_clock = [] { return QDateTime::currentDateTimeUtc(); };
    }
    m_tickTimer.setInterval(1s);
    QObject::connect(&m_tickTimer, &QTimer::timeout, this, &WorkoutRecorder::tick);
    // A machine that stays away longer than this ends the workout.
    m_resumeTimer.setInterval(5min);
    m_resumeTimer.setSingleShot(true);
    QObject::connect(&m_resumeTimer, &QTimer::timeout, this, [this] { finish(); });
    QObject::connect(&manager, &FTMSManager::disconnectRequested, this,
                     [this] { m_endOnLoss = true; });
    m_subscriptions.push_back(
        std::make_shared<Subscription>(manager.isConnectedPublisher().subscribe(
            [this](bool connected) { onConnectedChanged(connected); })));
    // Every update, not the views' NOTIFY signal: each second needs the values of that second.
    m_subscriptions.push_back(std::make_shared<Subscription>(
        manager.metricsPublisher().subscribe([this](const FitnessMetrics& m) { onMetrics(m); })));
}

WorkoutRecorder::~WorkoutRecorder() {
    m_subscriptions.clear();
}

void WorkoutRecorder::setFolder(const QString& folder) {
    if (folder != m_folder) {
        m_folder = folder;
        Q_EMIT folderChanged();
    }
}

void WorkoutRecorder::setAutoExport(bool on) {
    if (on != m_autoExport) {
        m_autoExport = on;
        Q_EMIT autoExportChanged();
    }
}

void WorkoutRecorder::setFormats(const QList<WorkoutFormat>& formats) {
    const QList<WorkoutFormat> chosen =
        formats.isEmpty() ? QList<WorkoutFormat>{WorkoutFormat::fit} : formats;
    if (chosen != m_formats) {
        m_formats = chosen;
        Q_EMIT formatsChanged();
    }
}

QStringList WorkoutRecorder::formatNames() const {
    QStringList names;
    for (const WorkoutFormat format : m_formats) {
        names.append(extension(format));
    }
    return names;
}

void WorkoutRecorder::setFormatNames(const QStringList& names) {
    QList<WorkoutFormat> formats;
    for (const QString& name : names) {
        if (const auto format = formatForPath(u"."_s + name);
            format && !formats.contains(*format)) {
            formats.append(*format);
        }
    }
    setFormats(formats);
}

void WorkoutRecorder::onConnectedChanged(bool connected) {
    if (!connected) {
        if (std::exchange(m_endOnLoss, false)) {
            finish();
            return;
        }
        if (m_builder && !m_linkLost) {
            m_linkLost = true;
            m_lostAt = m_clock();
            m_tickTimer.stop();
            m_journal.flush();
            m_resumeTimer.start();
        }
        return;
    }
    const auto& peripheral = m_manager.connectedPeripheral();
    const QString id =
        peripheral ? peripheral->identifier().toString(QUuid::WithoutBraces) : QString();
    // Another machine, or the same one after the window (the timer may not have run yet while
    // the system slept): the last workout is over.
    const auto window = std::chrono::milliseconds(m_resumeTimer.interval());
    if (m_builder && m_linkLost &&
        (id != m_deviceId || m_lostAt.msecsTo(m_clock()) > window.count())) {
        finish();
    }
    m_deviceId = id;
    m_linkLost = false;
    m_resumeTimer.stop();
    if (m_builder) {
        qCInfo(lcWorkout) << "the machine is back: the workout continues";
        m_tickTimer.start();
    }
}

void WorkoutRecorder::onMetrics(const FitnessMetrics& metrics) {
    // The record reset at a disconnection carries no kind and no values.
    if (!m_manager.isConnected() || metrics.equipmentType == EquipmentType::unknown) {
        return;
    }
    const QDateTime now = m_clock();
    if (m_builder && m_builder->workout().kind != metrics.equipmentType) {
        finish();
    }
    if (!m_builder) {
        begin(metrics, now);
    }
    take(m_builder->observe(now, metrics), now);
}

void WorkoutRecorder::tick() {
    if (m_builder && !m_linkLost) {
        const QDateTime now = m_clock();
        take(m_builder->tick(now), now);
    }
}

void WorkoutRecorder::begin(const FitnessMetrics& metrics, const QDateTime& now) {
    m_builder.emplace(metrics.equipmentType, m_manager.machineFeatures().deviceName, m_deviceId,
                      now);
    m_summary = {};
    m_journalFailed = false;
    const QString path = QDir(m_journalFolder).filePath(journalFileName(m_builder->workout()));
    if (!m_journal.open(path, m_builder->workout())) {
        setError(m_journal.errorString());
        m_journalFailed = true;
    } else {
        qCInfo(lcWorkout).noquote() << "recording a workout into" << path;
    }
    m_tickTimer.start();
    Q_EMIT recordingChanged();
}

void WorkoutRecorder::take(const QList<WorkoutSample>& samples, const QDateTime& now) {
    if (samples.isEmpty()) {
        return;
    }
    const auto& all = m_builder->workout().samples;
    for (qsizetype i = all.size() - samples.size(); i < all.size(); ++i) {
        m_summary.add(all[i], i > 0 ? &all[i - 1] : nullptr);
    }
    if (m_journal.isOpen() && !m_journal.append(samples, now.toMSecsSinceEpoch()) &&
        !m_journalFailed) {
        m_journalFailed = true; // reported once; every sample is still kept in memory
        setError(m_journal.errorString());
    }
    Q_EMIT summaryChanged();
}

std::optional<WorkoutRecorder::Finished> WorkoutRecorder::finish() {
    if (!m_builder) {
        return std::nullopt;
    }
    m_tickTimer.stop();
    m_resumeTimer.stop();
    m_linkLost = false;
    Finished finished;
    finished.workout = m_builder->workout();
    finished.kept = finished.workout.isLongEnoughToKeep();
    const QString journalPath = m_journal.path();
    const bool journalWritten = m_journal.isOpen();
    if (journalWritten && !m_journal.flush()) {
        setError(m_journal.errorString());
    }
    m_journal.close();
    m_builder.reset();
    const WorkoutSummary summary = std::exchange(m_summary, WorkoutSummary{});
    if (journalWritten) {
        finished.journal = journalPath;
    }
    const auto dropJournal = [&] {
        if (!finished.journal.isEmpty() && QFile::remove(finished.journal)) {
            finished.journal.clear();
        }
    };
    if (!finished.kept) {
        qCInfo(lcWorkout) << "workout shorter than a minute: not kept";
        dropJournal();
        Q_EMIT recordingChanged();
        Q_EMIT workoutDiscarded();
        return finished;
    }
    if (m_autoExport) {
        const ExportResult exported = exportWorkout(finished.workout, m_folder, m_formats);
        finished.files = exported.files;
        if (exported.ok()) {
            qCInfo(lcWorkout).noquote() << "workout written to" << exported.files.join(u", "_s);
            dropJournal();
        } else {
            finished.error = exported.error;
            setError(exported.error + (finished.journal.isEmpty()
                                           ? QString()
                                           : u"; the journal "_s + finished.journal +
                                                 u" stays for a later export"_s));
        }
    }
    Q_EMIT recordingChanged();
    Q_EMIT workoutFinished(summary, finished.files);
    return finished;
}

void WorkoutRecorder::setError(const QString& message) {
    qCWarning(lcWorkout).noquote() << message;
    m_lastError = message;
    Q_EMIT lastErrorChanged();
    Q_EMIT failed(message);
}

} // namespace tallyfin
