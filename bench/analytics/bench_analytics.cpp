// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// What a signal costs: on the caller's thread (with and without the cache file kept up to date),
// to build one record, to encode a full batch and to write the cache file.

#include "analytics/DefaultSignalPayload.h"
#include "analytics/SignalManager.h"
#include "analytics/SignalPostBody.h"
#include "analytics/TelemetryDeck.h"
#include "analytics/TelemetryManager.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThreadPool>

#include <benchmark/benchmark.h>

using namespace tallyfin::analytics;
using namespace Qt::StringLiterals;

namespace {

std::shared_ptr<TelemetryManagerConfiguration> quietConfiguration() {
    // Nothing listens on port 9 of the loopback address; the send timer never fires here.
    auto configuration = std::make_shared<TelemetryManagerConfiguration>(
        u"BENCH"_s, std::nullopt, QUrl(u"http://127.0.0.1:9"_s), std::nullopt);
    Timing timing;
    timing.sendInterval = std::chrono::hours(1);
    timing.sessionStartDelay = std::chrono::hours(1);
    configuration->setTiming(timing);
    configuration->setLogHandler(std::nullopt);
    return configuration;
}

const Parameters someParameters{{u"deviceName"_s, u"KICKR CORE 5A1B"_s},
                                {u"screen"_s, u"metrics"_s}};

// Drains the work a burst of signals left behind, so memory stays flat between rounds.
void drain() {
    QCoreApplication::processEvents();
    QThreadPool::globalInstance()->waitForDone();
    while (TelemetryManager::installed()->signalManager().signalCache().count() > 0) {
        TelemetryManager::installed()->signalManager().signalCache().pop();
    }
}

// Argument 1: the cache file is kept up to date (as in the application); 0: memory only.
void signalCallerSide(benchmark::State& state) {
    TelemetryManager::initialize(quietConfiguration(),
                                 state.range(0) == 1 ? SignalCache::defaultFilePath() : QString());
    int sent = 0;
    for (auto _ : state) {
        TelemetryDeck::signal(u"deviceConnected"_s, someParameters);
        if (++sent % 1000 == 0) {
            state.PauseTiming();
            drain();
            state.ResumeTiming();
        }
    }
    drain();
    TelemetryDeck::terminate();
}
BENCHMARK(signalCallerSide)->Arg(0)->Arg(1);

void buildOneRecord(benchmark::State& state) {
    TelemetryDeck::initialize(quietConfiguration());
    const auto configuration = TelemetryManager::installed()->configuration();
    for (auto _ : state) {
        const QString user = SignalManager::defaultUserIdentifier(*configuration);
        const Parameters defaults = DefaultSignalPayload::parameters(*configuration);
        benchmark::DoNotOptimize(SignalManager::buildRecord(u"deviceConnected"_s, someParameters,
                                                            std::nullopt, std::nullopt, user,
                                                            defaults, *configuration));
    }
    TelemetryDeck::terminate();
}
BENCHMARK(buildOneRecord);

void encodeFullBatch(benchmark::State& state) {
    TelemetryDeck::initialize(quietConfiguration());
    const auto configuration = TelemetryManager::installed()->configuration();
    const Parameters defaults = DefaultSignalPayload::parameters(*configuration);
    const SignalPostBody record =
        SignalManager::buildRecord(u"deviceConnected"_s, someParameters, 1.0, std::nullopt,
                                   u"user"_s, defaults, *configuration);
    const QList<SignalPostBody> batch(100, record);
    for (auto _ : state) {
        benchmark::DoNotOptimize(encodeUploadBody(batch));
    }
    state.SetItemsProcessed(state.iterations() * batch.size());
    TelemetryDeck::terminate();
}
BENCHMARK(encodeFullBatch);

// One write of the cache file holding N records, as the timer thread does it after a change.
void writeCacheFile(benchmark::State& state) {
    TelemetryDeck::initialize(quietConfiguration());
    const auto configuration = TelemetryManager::installed()->configuration();
    const SignalPostBody record = SignalManager::buildRecord(
        u"deviceConnected"_s, someParameters, std::nullopt, std::nullopt, u"user"_s,
        DefaultSignalPayload::parameters(*configuration), *configuration);
    TelemetryDeck::terminate();
    SignalCache cache(std::nullopt, SignalCache::defaultFilePath());
    const QList<SignalPostBody> others(state.range(0) - 1, record);
    for (auto _ : state) {
        state.PauseTiming();
        while (!cache.pop().isEmpty()) {
        }
        cache.push(others);
        state.ResumeTiming();
        cache.push(record);
        benchmark::DoNotOptimize(cache.persist());
    }
}
BENCHMARK(writeCacheFile)->Arg(10)->Arg(100)->Arg(1000);

} // namespace

int main(int argc, char** argv) {
    // Keep the benchmark's cache file and preferences out of the user's directories.
    QTemporaryDir home;
    qputenv("XDG_CACHE_HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
