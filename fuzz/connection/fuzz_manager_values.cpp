// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// Fuzz target: values arriving at the manager. The first byte picks the data characteristic the
// machine is detected by; then each record is [characteristic selector][length][bytes] and is
// delivered as a value of that characteristic (one of the five known ones or another UUID),
// with the event loop turned after each. The log and the power history must stay bounded.
#include "connection/FTMSManager.h"

#include <QCoreApplication>

#include <array>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace tallyfin;
using namespace tallyfin::bluetooth;

class SilentPeripheral final : public Peripheral {
public:
    QUuid identifier() const override { return {}; }
    std::optional<QString> name() const override { return std::nullopt; }
    std::optional<QList<ServicePtr>> services() const override { return std::nullopt; }
    void setDelegate(PeripheralDelegate*) override {}
    void discoverServices(const QList<QBluetoothUuid>&) override {}
    void discoverCharacteristics(const QList<QBluetoothUuid>&, const ServicePtr&) override {}
    void readValue(const CharacteristicPtr&) override {}
    void setNotifyValue(bool, const CharacteristicPtr&) override {}
};

const std::array<quint16, 6> characteristics{0x2ACC, 0x2AD1, 0x2AD2, 0x2ACD, 0x2ACE, 0x2AD9};

CharacteristicPtr characteristic(std::uint8_t selector) {
    auto c = std::make_shared<GattCharacteristic>();
    c->uuid = QBluetoothUuid(characteristics[selector % characteristics.size()]);
    return c;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_manager_values";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    if (size == 0) {
        return 0;
    }
    FTMSManager manager{CentralFactory(), ApplicationInfo()};
    auto peripheral = std::make_shared<SilentPeripheral>();
    auto service = std::make_shared<GattService>();
    service->uuid = FTMSManager::ftmsServiceUUID;
    service->characteristics = QList<CharacteristicPtr>{characteristic(data[0])};
    manager.didDiscoverCharacteristics(peripheral, service, std::nullopt);

    std::size_t offset = 1;
    while (offset + 2 <= size) {
        auto target = characteristic(data[offset]);
        const std::size_t length = std::min<std::size_t>(data[offset + 1], size - offset - 2);
        target->value = QByteArray(reinterpret_cast<const char*>(data + offset + 2),
                                   static_cast<qsizetype>(length));
        manager.didUpdateValue(peripheral, target, std::nullopt);
        QCoreApplication::processEvents();
        offset += 2 + length;
    }
    QCoreApplication::processEvents();
    if (manager.logBuffer().size() > FTMSManager::logBufferMaxCount ||
        manager.powerHistory().size() > FTMSManager::powerHistoryMaxCount) {
        std::abort();
    }
    return 0;
}
