// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "FrameStats.h"

#include "UiLogging.h"
#include "connection/FTMSManager.h"

#include <QFile>
#include <QQuickWindow>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <sys/resource.h>

namespace tallyfin::ui {

namespace {

qint64 processCpuUs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto us = [](const timeval& t) { return qint64(t.tv_sec) * 1000000 + t.tv_usec; };
    return us(usage.ru_utime) + us(usage.ru_stime);
}

qint64 peakRssKib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double percentileMs(QList<qint64> sortedNs, double fraction) {
    if (sortedNs.isEmpty()) {
        return 0;
    }
    const auto index = qsizetype(fraction * double(sortedNs.size() - 1) + 0.5);
    return double(sortedNs.at(index)) / 1e6;
}

} // namespace

FrameStats* FrameStats::fromEnvironment(QQuickWindow& window, QObject* parent) {
    const QString file = qEnvironmentVariable(fileVariable);
    if (file.isEmpty()) {
        return nullptr;
    }
    qint64 warmUpMs = 5000;
    qint64 seconds = 30;
    const QStringList parts = qEnvironmentVariable(windowVariable).split(QLatin1Char(','));
    if (parts.size() == 2) {
        warmUpMs = parts.at(0).toLongLong();
        seconds = parts.at(1).toLongLong();
    }
    return new FrameStats(window, file, warmUpMs, seconds * 1000, parent);
}

FrameStats::FrameStats(QQuickWindow& window, QString file, qint64 warmUpMs, qint64 durationMs,
                       QObject* parent)
    : QObject(parent)
    , m_file(std::move(file)) {
    m_clock.start();
    // The render thread (if any) reports its frames; the GUI thread is blocked while it syncs.
    QObject::connect(
        &window, &QQuickWindow::beforeSynchronizing, this, [this] { beforeSync(); },
        Qt::DirectConnection);
    QObject::connect(
        &window, &QQuickWindow::frameSwapped, this, [this] { frameSwapped(); },
        Qt::DirectConnection);
    QTimer::singleShot(warmUpMs, this, [this] { start(); });
    QTimer::singleShot(warmUpMs + durationMs, this, [this] { finish(); });
}

FrameStats::~FrameStats() {
    finish();
}

void FrameStats::watch(const FTMSManager& manager) {
    const QStringList dataLabels = {
        FTMSManager::label(FTMSManager::rowerDataUUID),
        FTMSManager::label(FTMSManager::indoorBikeDataUUID),
        FTMSManager::label(FTMSManager::crossTrainerDataUUID),
        FTMSManager::label(FTMSManager::treadmillDataUUID),
    };
    QObject::connect(&manager, &FTMSManager::logBufferChanged, this, [this, &manager, dataLabels] {
        const QString& line = manager.logBuffer().constLast();
        if (std::any_of(dataLabels.begin(), dataLabels.end(),
                        [&](const QString& label) { return line.contains(label); })) {
            valueArrived();
        }
    });
    QObject::connect(&manager, &FTMSManager::metricsChanged, this, &FrameStats::valuesPublished);
}

void FrameStats::start() {
    const QMutexLocker lock(&m_mutex);
    m_cpuAtStartUs = processCpuUs();
    m_startNs = nowNs();
    m_counting = true;
}

void FrameStats::valueArrived() {
    const QMutexLocker lock(&m_mutex);
    if (!m_counting) {
        return;
    }
    ++m_values;
    if (m_arrivedNs >= 0) {
        ++m_superseded; // replaced before the views were told
    }
    m_arrivedNs = nowNs();
}

void FrameStats::valuesPublished() {
    const QMutexLocker lock(&m_mutex);
    if (m_arrivedNs < 0) {
        return;
    }
    if (m_publishedNs >= 0) {
        ++m_superseded; // replaced before a frame took it
    }
    m_publishedNs = std::exchange(m_arrivedNs, -1);
}

void FrameStats::beforeSync() {
    const QMutexLocker lock(&m_mutex);
    if (m_publishedNs >= 0) {
        m_inFrameNs = std::exchange(m_publishedNs, -1);
    }
}

void FrameStats::frameSwapped() {
    const QMutexLocker lock(&m_mutex);
    if (!m_counting) {
        return;
    }
    ++m_frames;
    if (m_inFrameNs >= 0) {
        m_delaysNs.append(nowNs() - std::exchange(m_inFrameNs, -1));
    }
}

void FrameStats::finish() {
    const QMutexLocker lock(&m_mutex);
    if (m_written || !m_counting) {
        return;
    }
    m_written = true;
    m_counting = false;
    const double seconds = double(nowNs() - m_startNs) / 1e9;
    const double cpu = double(processCpuUs() - m_cpuAtStartUs) / 1e6;
    std::sort(m_delaysNs.begin(), m_delaysNs.end());

    QFile out(m_file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        qCWarning(lcUi) << "cannot write the frame figures to" << m_file;
        return;
    }
    QTextStream stream(&out);
    stream << "seconds " << seconds << '\n'
           << "cpu_seconds " << cpu << '\n'
           << "cpu_percent " << 100 * cpu / seconds << '\n'
           << "frames " << m_frames << '\n'
           << "frames_per_second " << double(m_frames) / seconds << '\n'
           << "peak_rss_mib " << double(peakRssKib()) / 1024 << '\n'
           << "values " << m_values << '\n'
           << "values_superseded " << m_superseded << '\n'
           << "values_drawn " << m_delaysNs.size() << '\n'
           << "value_to_frame_median_ms " << percentileMs(m_delaysNs, 0.5) << '\n'
           << "value_to_frame_p99_ms " << percentileMs(m_delaysNs, 0.99) << '\n';
    out.close();
    qCInfo(lcUi) << "frame figures written to" << m_file;
    QMetaObject::invokeMethod(this, &FrameStats::finished, Qt::QueuedConnection);
}

} // namespace tallyfin::ui
