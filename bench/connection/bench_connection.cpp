// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// The spine of the manager: a data value arriving in the Bluetooth callback (raw-data log line,
// copy, decode, scheduling) and the published update delivered on the next turn of the event
// loop to a stream subscriber and a NOTIFY connection, as the overlay observes it. Items per
// second are notifications per second. A second benchmark feeds 100,000 notifications and
// reports the heap in use before and after, with the log and history sizes. A third records
// advertisements among many known machines, as in a crowd.

#include "connection/FTMSManager.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

using namespace tallyfin;
using namespace tallyfin::bluetooth;

// A connected machine that needs nothing from the radio.
class QuietPeripheral final : public Peripheral {
public:
    QUuid identifier() const override {
        return QUuid(QStringLiteral("{5e2c0000-0000-4000-8000-000000000001}"));
    }
    std::optional<QString> name() const override { return QStringLiteral("Bench Bike"); }
    std::optional<QList<ServicePtr>> services() const override { return std::nullopt; }
    void setDelegate(PeripheralDelegate*) override {}
    void discoverServices(const QList<QBluetoothUuid>&) override {}
    void discoverCharacteristics(const QList<QBluetoothUuid>&, const ServicePtr&) override {}
    void readValue(const CharacteristicPtr&) override {}
    void setNotifyValue(bool, const CharacteristicPtr&) override {}
};

struct Spine {
    std::unique_ptr<FTMSManager> manager =
        std::make_unique<FTMSManager>(CentralFactory(), ApplicationInfo());
    std::shared_ptr<QuietPeripheral> peripheral = std::make_shared<QuietPeripheral>();
    CharacteristicPtr data = std::make_shared<GattCharacteristic>();
    qint64 delivered = 0;
    Subscription subscription;

    Spine() {
        data->uuid = FTMSManager::indoorBikeDataUUID;
        auto service = std::make_shared<GattService>();
        service->uuid = FTMSManager::ftmsServiceUUID;
        service->characteristics = QList<CharacteristicPtr>{data};
        manager->didDiscoverCharacteristics(peripheral, service, std::nullopt);
        QCoreApplication::processEvents();
        subscription = manager->metricsPublisher().subscribe(
            [this](const FitnessMetrics& metrics) { delivered += metrics.power >= 0; });
        QObject::connect(manager.get(), &FTMSManager::metricsChanged, manager.get(), [] {});
    }
    // Speed, cadence, power, heart rate and time: a typical trainer notification.
    void receive(int i) {
        QByteArray value = QByteArray::fromHex("440AC409B400F4014B3C00");
        value[6] = char(i & 0xFF);
        data->value = value;
        manager->didUpdateValue(peripheral, data, std::nullopt);
    }
};

void BM_ValueInCallback(benchmark::State& state) {
    Spine spine;
    int i = 0;
    for (auto _ : state) {
        spine.receive(i++);
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ValueInCallback);

void BM_ValueToPublishedUpdate(benchmark::State& state) {
    Spine spine;
    int i = 0;
    for (auto _ : state) {
        spine.receive(i++);
        QCoreApplication::processEvents();
    }
    if (spine.delivered < state.iterations()) {
        state.SkipWithError("an update was not delivered");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ValueToPublishedUpdate);

// A machine in a crowd, known only by its identifier.
class CrowdPeripheral final : public Peripheral {
public:
    explicit CrowdPeripheral(int n)
        : m_id(QStringLiteral("{5e2c0000-0000-4000-8000-%1}").arg(n, 12, 10, QLatin1Char('0'))) {}
    QUuid identifier() const override { return m_id; }
    std::optional<QString> name() const override { return QStringLiteral("Crowd Bike"); }
    std::optional<QList<ServicePtr>> services() const override { return std::nullopt; }
    void setDelegate(PeripheralDelegate*) override {}
    void discoverServices(const QList<QBluetoothUuid>&) override {}
    void discoverCharacteristics(const QList<QBluetoothUuid>&, const ServicePtr&) override {}
    void readValue(const CharacteristicPtr&) override {}
    void setNotifyValue(bool, const CharacteristicPtr&) override {}

private:
    QUuid m_id;
};

// One new advertisement of a known machine, with the device list model following it, when
// range(0) machines are known; each turn of the event loop carries one report.
void BM_AdvertisementAmongKnownMachines(benchmark::State& state) {
    FTMSManager manager{CentralFactory(), ApplicationInfo()};
    QList<PeripheralPtr> crowd;
    for (int i = 0; i < state.range(0); ++i) {
        crowd.append(std::make_shared<CrowdPeripheral>(i));
        manager.recordAdvertisement(crowd.last(), {-60, {}, {}, {}});
    }
    QCoreApplication::processEvents();
    int i = 0;
    for (auto _ : state) {
        manager.recordAdvertisement(crowd.at(i % crowd.size()), {-40 - i % 50, {}, {}, {}});
        QCoreApplication::processEvents();
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AdvertisementAmongKnownMachines)->Arg(10)->Arg(100)->Arg(1000)->Arg(2000);

std::size_t heapInUse() {
    return mallinfo2().uordblks;
}

void BM_Memory100kNotifications(benchmark::State& state) {
    for (auto _ : state) {
        Spine spine;
        for (int i = 0; i < 1000; ++i) { // fill the log and history first
            spine.receive(i);
            QCoreApplication::processEvents();
        }
        const std::size_t before = heapInUse();
        for (int i = 0; i < 100000; ++i) {
            spine.receive(i);
            QCoreApplication::processEvents();
        }
        const std::size_t after = heapInUse();
        state.counters["heap_KiB_after_1k"] = double(before) / 1024.0;
        state.counters["heap_KiB_after_101k"] = double(after) / 1024.0;
        state.counters["log_lines"] = double(spine.manager->logBuffer().size());
        state.counters["history"] = double(spine.manager->powerHistory().size());
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_Memory100kNotifications)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
