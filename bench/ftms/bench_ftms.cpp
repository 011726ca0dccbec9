// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// Notifications decoded per second: each decoder on a value that announces and carries every
// field it knows (the slowest path), the bike also on a typical trainer value and on a value cut
// short, and the feature decoding. Items per second in the output are notifications per second.

#include "ftms/FTMSDataParser.h"
#include "ftms/FeatureDecoder.h"

#include <QByteArray>

#include <benchmark/benchmark.h>

namespace {

using namespace tallyfin;

// Flags 0x0FFE: every field from Instantaneous Speed to Elapsed Time.
const QByteArray bikeEveryField =
    QByteArray::fromHex("FE0F 2900 1111 B500 2222 40E201 0700 9CFF 3333 2C01000000 8C 05 3C00");
// Speed, cadence and power: what most trainers send.
const QByteArray bikeTypical = QByteArray::fromHex("4400C409B400F401");
// Every field announced, the value ends inside the speed field.
const QByteArray bikeTruncated = QByteArray::fromHex("FE0F29");
// Flags 0x0FFE: strokes to Elapsed Time.
const QByteArray rowerEveryField =
    QByteArray::fromHex("FE0F 2D1000 11 102700 F000 2222 C800 3333 0C00 2C01000000 8C 05 3C00");
// Flags 0x1FFE: speed to Force on Belt and Power Output.
const QByteArray treadmillEveryField = QByteArray::fromHex(
    "FE1F 2900 1111 102700 F1FF 0000 1111 2222 01 02 2C01000000 8C 05 3C00 AAAA 1111 38FF");
// Flags 0x003FFE: speed to Elapsed Time.
const QByteArray crossTrainerEveryField = QByteArray::fromHex(
    "FE3F00 2900 1111 102700 3C00 3700 E803 1111 2222 F1FF 0000 0C00 9CFF 1111 2C01000000 8C 05 "
    "3C00");
const QByteArray featureValue = QByteArray::fromHex("864000000C000000");

void decode(benchmark::State& state, const FTMSDataParsing& parser, const QByteArray& value) {
    FitnessMetrics metrics;
    for (auto _ : state) {
        parser.parse(value, metrics);
        benchmark::DoNotOptimize(metrics);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_BikeEveryField(benchmark::State& state) {
    decode(state, BikeDataParser(), bikeEveryField);
}
void BM_BikeTypical(benchmark::State& state) {
    decode(state, BikeDataParser(), bikeTypical);
}
void BM_BikeTruncated(benchmark::State& state) {
    decode(state, BikeDataParser(), bikeTruncated);
}
void BM_RowerEveryField(benchmark::State& state) {
    decode(state, RowerDataParser(), rowerEveryField);
}
void BM_TreadmillEveryField(benchmark::State& state) {
    decode(state, TreadmillDataParser(), treadmillEveryField);
}
void BM_CrossTrainerEveryField(benchmark::State& state) {
    decode(state, CrossTrainerDataParser(), crossTrainerEveryField);
}

// Through the manager's path: the decoder picked at run time behind the interface.
void BM_BikeEveryFieldThroughInterface(benchmark::State& state) {
    const FTMSDataParsing* parser = dataParserFor(EquipmentType::bike);
    benchmark::DoNotOptimize(parser);
    decode(state, *parser, bikeEveryField);
}

void BM_FeatureBits(benchmark::State& state) {
    for (auto _ : state) {
        const auto bits = readFeatureBits(featureValue);
        FitnessMachineFeature features = applyFeatureBits({}, *bits);
        benchmark::DoNotOptimize(features);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_FeatureBitsWithLogLine(benchmark::State& state) {
    for (auto _ : state) {
        const auto bits = readFeatureBits(featureValue);
        const QString line = featuresLogLine(applyFeatureBits({}, *bits));
        benchmark::DoNotOptimize(line);
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(BM_BikeEveryField);
BENCHMARK(BM_BikeTypical);
BENCHMARK(BM_BikeTruncated);
BENCHMARK(BM_RowerEveryField);
BENCHMARK(BM_TreadmillEveryField);
BENCHMARK(BM_CrossTrainerEveryField);
BENCHMARK(BM_BikeEveryFieldThroughInterface);
BENCHMARK(BM_FeatureBits);
BENCHMARK(BM_FeatureBitsWithLogLine);

BENCHMARK_MAIN();
