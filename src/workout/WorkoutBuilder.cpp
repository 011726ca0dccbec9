// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#include "workout/WorkoutBuilder.h"

#include <algorithm>
#include <cmath>

namespace tallyfin {

namespace {

qint32 clampedInt(double value) {
    return qint32(std::clamp(std::llround(value), 0LL, qint64(1) << 30));
}

// The kind's rate: pedalling cadence, strokes or steps a minute (a treadmill sends none).
qint64 rateOf(const FitnessMetrics& metrics) {
    switch (metrics.equipmentType) {
    case EquipmentType::rower:
        return metrics.strokeRate;
    case EquipmentType::crossTrainer:
        return metrics.stepRate;
    case EquipmentType::bike:
        return metrics.cadence;
    case EquipmentType::treadmill:
    case EquipmentType::unknown:
        break;
    }
    return 0;
}

} // namespace

qint64 WorkoutBuilder::Counter::next(qint64 raw) {
    if (!started) {
        started = true;
        offset = -raw;
    } else if (raw < last) {
        offset += last;
    }
    last = raw;
    return offset + raw;
}

WorkoutBuilder::WorkoutBuilder(EquipmentType kind, QString machineName, QString deviceId,
                               QDateTime start) {
    m_workout.kind = kind;
    m_workout.machineName = std::move(machineName);
    m_workout.deviceId = std::move(deviceId);
    const QDateTime utc = start.toUTC();
    m_workout.start = QDateTime::fromSecsSinceEpoch(utc.toSecsSinceEpoch(), Qt::UTC);
}

QList<WorkoutSample> WorkoutBuilder::observe(const QDateTime& now, const FitnessMetrics& metrics) {
    m_latest = metrics;
    m_latestAt = now;
    return tick(now);
}

QList<WorkoutSample> WorkoutBuilder::tick(const QDateTime& now) {
    if (!m_latest || m_latestAt.msecsTo(now) > silenceLimitMs) {
        return {};
    }
    const qint64 second = m_workout.start.secsTo(now);
    QList<WorkoutSample> added;
    auto& samples = m_workout.samples;
    if (second < 0 || (!samples.isEmpty() && second <= samples.last().time)) {
        return added;
    }
    if (!samples.isEmpty() && second - samples.last().time <= Workout::pauseGap) {
        // A missed second or two while the machine kept sending: hold the previous values.
        for (qint32 t = samples.last().time + 1; t < second; ++t) {
            WorkoutSample held = samples.last();
            held.time = t;
            samples.append(held);
            added.append(held);
        }
    }
    const WorkoutSample sample = sampleAt(qint32(second));
    samples.append(sample);
    added.append(sample);
    return added;
}

WorkoutSample WorkoutBuilder::sampleAt(qint32 second) {
    const FitnessMetrics& m = *m_latest;
    WorkoutSample sample;
    sample.time = second;
    sample.distance = std::max<qint64>(0, m_distance.next(std::llround(m.distance * 100)));
    sample.speed = clampedInt(m.speed * 1000);
    sample.rate = clampedInt(double(rateOf(m)));
    sample.power = clampedInt(double(m.power));
    sample.heartRate = clampedInt(double(m.heartRate));
    sample.calories = qint32(std::max<qint64>(0, m_calories.next(m.calories)));
    const qint64 strokes =
        m.equipmentType == EquipmentType::crossTrainer ? m.strideCount : m.strokeCount;
    sample.strokes = qint32(std::max<qint64>(0, m_strokes.next(strokes)));
    sample.incline = qint32(std::llround(m.incline * 10));
    const auto& samples = m_workout.samples;
    const qint64 climbed = samples.isEmpty() ? 0 : sample.distance - samples.last().distance;
    if (climbed > 0 && sample.incline > 0) {
        m_ascentCm += double(climbed) * sample.incline / 1000.0;
    }
    sample.ascent = qint32(m_ascentCm / 10);
    return sample;
}

} // namespace tallyfin
