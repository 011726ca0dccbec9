// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>

class QQuickWindow;

namespace tallyfin {
class FTMSManager;
}

namespace tallyfin::ui {

// Figures for the overlay benchmarks over a fixed window of time: the frames a window shows, the
// CPU time of the whole process, its peak memory and, for each machine value, the time from its
// arrival to the first frame drawn after the views took it. Only a benchmark run creates one (the
// environment names a file); the figures are written there, one "name value" line each, when the
// window of time ends.
class FrameStats : public QObject {
    Q_OBJECT

public:
    static constexpr const char* fileVariable = "TALLYFIN_FRAME_STATS";
    // "WARMUP_MS,SECONDS": start-up and connection are left out; 5000,30 when not given.
    static constexpr const char* windowVariable = "TALLYFIN_FRAME_STATS_WINDOW";

    // Null unless the environment asks for figures.
    static FrameStats* fromEnvironment(QQuickWindow& window, QObject* parent = nullptr);

    FrameStats(QQuickWindow& window, QString file, qint64 warmUpMs, qint64 durationMs,
               QObject* parent = nullptr);
    ~FrameStats() override;

    // Follows the machine values of `manager`: each data value as its raw-data line is logged
    // (in the central's callback), and the views' notification of the live values.
    void watch(const FTMSManager& manager);

    // A value has reached the central (called at once, in its callback).
    void valueArrived();
    // The views have been told of the values that arrived so far.
    void valuesPublished();

Q_SIGNALS:
    // The figures have been written.
    void finished();

private:
    void start();
    void finish();
    void beforeSync();
    void frameSwapped();
    qint64 nowNs() const { return m_clock.nsecsElapsed(); }

    QString m_file;
    QElapsedTimer m_clock;
    qint64 m_cpuAtStartUs = 0;
    qint64 m_startNs = 0;
    bool m_written = false;

    QMutex m_mutex;
    bool m_counting = false;
    qint64 m_frames = 0;
    // Arrival of the newest value not yet published, published but not yet synchronised into a
    // frame, and synchronised into the frame being drawn (ns on m_clock, or -1).
    qint64 m_arrivedNs = -1;
    qint64 m_publishedNs = -1;
    qint64 m_inFrameNs = -1;
    qint64 m_values = 0;
    qint64 m_superseded = 0;
    QList<qint64> m_delaysNs;
};

} // namespace tallyfin::ui
