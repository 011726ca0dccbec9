// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
//
// Recording: one published metrics update of a machine sending four times a second, through the
// recorder's subscription, its one-second sampling, the live summary and the journal (flushed to
// the disk every five seconds, in a temporary folder). Items per second are updates.
// Export: a three-hour workout's FIT file encoded and written atomically.
// Journal: the bytes a second of a three-hour ride adds, as the counter "journal_bytes_per_s".

#include "connection/FTMSManager.h"
#include "workout/Journal.h"
#include "workout/WorkoutFiles.h"
#include "workout/WorkoutRecorder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

using namespace tallyfin;

FitnessMetrics ride(int second) {
    FitnessMetrics m;
    m.equipmentType = EquipmentType::bike;
    m.power = 180 + (second * 7) % 90;
    m.speed = 8.3 + std::sin(second / 30.0);
    m.distance = second * 8.3;
    m.cadence = 85 + second % 10;
    m.heartRate = 120 + (second / 20) % 40;
    m.calories = second / 4;
    m.totalTime = second;
    return m;
}

// Three hours of riding, one sample a second.
Workout threeHours() {
    Workout workout;
    workout.kind = EquipmentType::bike;
    workout.machineName = QStringLiteral("Bench Bike");
    workout.start = QDateTime(QDate(2026, 3, 1), QTime(7, 0), Qt::UTC);
    for (int t = 0; t < 3 * 3600; ++t) {
        const FitnessMetrics m = ride(t);
        workout.samples.append({t, qint64(m.distance * 100), qint32(m.speed * 1000),
                                qint32(m.cadence), qint32(m.power), qint32(m.heartRate),
                                qint32(m.calories), 0, 0, 0});
    }
    return workout;
}

void recordUpdate(benchmark::State& state) {
    QTemporaryDir folder;
    FTMSManager manager{bluetooth::CentralFactory(), ApplicationInfo()};
    QDateTime now(QDate(2026, 3, 1), QTime(7, 0), Qt::UTC);
    WorkoutRecorder recorder(manager, folder.path(), [&] { return now; });
    manager.isConnectedPublisher().set(true);
    int update = 0;
    for (auto _ : state) {
        now = now.addMSecs(250);
        manager.metricsPublisher().set(ride(update++ / 4));
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["samples"] = double(recorder.workout() ? recorder.workout()->samples.size() : 0);
}
BENCHMARK(recordUpdate);

void writeThreeHourFit(benchmark::State& state) {
    QTemporaryDir folder;
    const Workout workout = threeHours();
    const QString path = folder.filePath(QStringLiteral("ride.fit"));
    for (auto _ : state) {
        QString error;
        if (!writeWorkoutFile(workout, path, WorkoutFormat::fit, &error)) {
            state.SkipWithError(qPrintable(error));
        }
    }
    state.counters["bytes"] = double(QFileInfo(path).size());
}
BENCHMARK(writeThreeHourFit)->Unit(benchmark::kMillisecond);

void journalSize(benchmark::State& state) {
    const Workout workout = threeHours();
    qsizetype bytes = 0;
    for (auto _ : state) {
        bytes = journal::headerLine(workout).size();
        for (const WorkoutSample& sample : workout.samples) {
            bytes += journal::sampleLine(sample).size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["journal_bytes_per_s"] = double(bytes) / workout.samples.size();
}
BENCHMARK(journalSize)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
