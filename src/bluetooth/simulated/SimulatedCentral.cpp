// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "SimulatedCentral.h"

#include "bluetooth/simulated/FTMSEncoder.h"
#include "bluetooth/simulated/Workout.h"

#include <QLoggingCategory>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>

Q_LOGGING_CATEGORY(lcSimulated, "tallyfin.bluetooth.simulated", QtInfoMsg)

namespace tallyfin::bluetooth::simulated {

namespace {

const QBluetoothUuid featureCharacteristic{quint16(0x2ACC)};
// A strap's heart rate while no machine is being used.
constexpr double restingHeartRate = 68;

QByteArray encodeMessage(EquipmentType type, std::uint32_t flags, const FitnessMetrics& metrics) {
    switch (type) {
    case EquipmentType::rower:
        return encodeRowerData(std::uint16_t(flags), metrics);
    case EquipmentType::bike:
        return encodeIndoorBikeData(std::uint16_t(flags), metrics);
    case EquipmentType::treadmill:
        return encodeTreadmillData(std::uint16_t(flags), metrics);
    case EquipmentType::crossTrainer:
        return encodeCrossTrainerData(flags, metrics);
    case EquipmentType::unknown:
        break;
    }
    return {};
}

bool wants(const QList<QBluetoothUuid>& filter, const QBluetoothUuid& uuid) {
    return filter.isEmpty() || filter.contains(uuid);
}

} // namespace

class SimulatedPeripheral;

struct SimulatedCentral::Core {
    CentralDelegate& delegate;
    std::shared_ptr<Scheduler> scheduler;
    Timing timing;
    std::mt19937 random;
    CentralState state = CentralState::unknown;
    bool scanning = false;
    unsigned scanGeneration = 0;
    QList<QBluetoothUuid> scanFilter;
    QList<std::shared_ptr<SimulatedPeripheral>> peripherals;

    Core(CentralDelegate& d, std::shared_ptr<Scheduler> s, Timing t, unsigned seed)
        : delegate(d)
        , scheduler(std::move(s))
        , timing(t)
        , random(seed) {}

    void after(std::chrono::milliseconds delay, std::function<void()> task) {
        scheduler->after(delay, std::move(task));
    }
    int jitter(int spread) { return std::uniform_int_distribution<int>(-spread, spread)(random); }
    void advertise(const std::weak_ptr<Core>& self, int index, unsigned generation);
    void startScan(const std::weak_ptr<Core>& self, const QList<QBluetoothUuid>& serviceUuids);
    void reportState(CentralState newState) {
        if (newState != state) {
            state = newState;
            delegate.centralDidUpdateState(state);
        }
    }
    // The heart of the person on the machine that is sending its workout.
    double heartRate() const;
};

// One virtual machine as the central sees it.
class SimulatedPeripheral final : public Peripheral,
                                  public std::enable_shared_from_this<SimulatedPeripheral> {
public:
    SimulatedPeripheral(std::weak_ptr<SimulatedCentral::Core> core, VirtualMachine machine,
                        unsigned seed)
        : m_core(std::move(core))
        , m_machine(std::move(machine))
        , m_seed(seed)
        , m_rssi(m_machine.baseRssi) {}

    QUuid identifier() const override { return m_machine.identifier; }
    std::optional<QString> name() const override {
        if (m_machine.name.isEmpty()) {
            return std::nullopt;
        }
        return m_machine.name;
    }
    std::optional<QList<ServicePtr>> services() const override { return m_services; }
    void setDelegate(PeripheralDelegate* delegate) override { m_delegate = delegate; }

    void discoverServices(const QList<QBluetoothUuid>& serviceUuids) override {
        withCore([&](SimulatedCentral::Core& core) {
            core.after(core.timing.discovery, guarded([serviceUuids](SimulatedPeripheral& self) {
                           if (!self.m_connected) {
                               return;
                           }
                           if (!self.m_service) {
                               self.m_service = std::make_shared<GattService>();
                               self.m_service->uuid = self.m_machine.service;
                           }
                           QList<ServicePtr> services;
                           if (wants(serviceUuids, self.m_machine.service)) {
                               services.append(self.m_service);
                           }
                           self.m_services = services;
                           if (self.m_delegate) {
                               self.m_delegate->didDiscoverServices(self.shared_from_this(),
                                                                    std::nullopt);
                           }
                       }));
        });
    }

    void discoverCharacteristics(const QList<QBluetoothUuid>& uuids,
                                 const ServicePtr& service) override {
        withCore([&](SimulatedCentral::Core& core) {
            core.after(core.timing.discovery, guarded([uuids, service](SimulatedPeripheral& self) {
                           if (!self.m_connected || service != self.m_service) {
                               return;
                           }
                           QList<CharacteristicPtr> list;
                           for (const QBluetoothUuid& uuid : self.m_machine.characteristics) {
                               if (wants(uuids, uuid)) {
                                   list.append(self.characteristic(uuid));
                               }
                           }
                           service->characteristics = list;
                           if (self.m_delegate) {
                               self.m_delegate->didDiscoverCharacteristics(self.shared_from_this(),
                                                                           service, std::nullopt);
                           }
                       }));
        });
    }

    void readValue(const CharacteristicPtr& characteristic) override {
        withCore([&](SimulatedCentral::Core& core) {
            core.after(core.timing.read, guarded([characteristic](SimulatedPeripheral& self) {
                           if (!self.m_connected || !characteristic) {
                               return;
                           }
                           std::optional<QString> error;
                           if (characteristic->uuid == featureCharacteristic) {
                               characteristic->value =
                                   encodeFeature(self.m_machine.machineFeatureBits,
                                                 self.m_machine.targetFeatureBits);
                           } else {
                               error = QStringLiteral("Reading is not permitted.");
                           }
                           if (self.m_delegate) {
                               self.m_delegate->didUpdateValue(self.shared_from_this(),
                                                               characteristic, error);
                           }
                       }));
        });
    }

    void setNotifyValue(bool enabled, const CharacteristicPtr& characteristic) override {
        if (!characteristic || characteristic->uuid != m_machine.dataCharacteristic()) {
            qCDebug(lcSimulated) << "notifications requested on a characteristic that does not "
                                    "notify";
            return;
        }
        ++m_notifyGeneration;
        m_notifying = enabled && m_connected;
        if (!m_notifying) {
            return;
        }
        withCore([&](SimulatedCentral::Core& core) {
            if (!m_machine.isHeartRateStrap()) {
                m_workout.emplace(m_machine.type, m_seed);
            }
            m_lastTick = core.scheduler->now();
            scheduleRecord(core, characteristic, m_notifyGeneration);
        });
    }

    // Central side.
    const VirtualMachine& machine() const { return m_machine; }
    // The workout it is sending, if it is.
    const Workout* workout() const { return m_notifying && m_workout ? &*m_workout : nullptr; }
    bool connected() const { return m_connected; }
    bool busy() const { return m_connected || m_connecting; }
    void beginConnecting() {
        m_connecting = true;
        ++m_linkGeneration;
    }
    unsigned linkGeneration() const { return m_linkGeneration; }
    bool finishConnecting(unsigned generation) {
        if (!m_connecting || generation != m_linkGeneration) {
            return false;
        }
        m_connecting = false;
        m_connected = true;
        return true;
    }
    void dropLink() {
        m_connecting = false;
        m_connected = false;
        m_notifying = false;
        ++m_linkGeneration;
        ++m_notifyGeneration;
    }
    int driftRssi(SimulatedCentral::Core& core) {
        m_rssi =
            std::clamp(m_rssi + core.jitter(2), m_machine.baseRssi - 8, m_machine.baseRssi + 8);
        return m_rssi;
    }

private:
    template<typename F>
    void withCore(F&& f) {
        if (auto core = m_core.lock()) {
            f(*core);
        }
    }
    // A task that runs only if this peripheral (and so its central) still exists.
    template<typename F>
    std::function<void()> guarded(F f) {
        return [weak = weak_from_this(), f = std::move(f)] {
            if (auto self = weak.lock(); self && !self->m_core.expired()) {
                f(*self);
            }
        };
    }

    CharacteristicPtr characteristic(const QBluetoothUuid& uuid) {
        for (const auto& existing : m_characteristics) {
            if (existing->uuid == uuid) {
                return existing;
            }
        }
        auto created = std::make_shared<GattCharacteristic>();
        created->uuid = uuid;
        m_characteristics.append(created);
        return created;
    }

    void scheduleRecord(SimulatedCentral::Core& core, const CharacteristicPtr& characteristic,
                        unsigned generation) {
        core.after(m_machine.recordInterval,
                   guarded([characteristic, generation](SimulatedPeripheral& self) {
                       self.sendRecord(characteristic, generation);
                   }));
    }

    void sendRecord(const CharacteristicPtr& characteristic, unsigned generation) {
        const bool strap = m_machine.isHeartRateStrap();
        if (!m_notifying || generation != m_notifyGeneration || (!m_workout && !strap)) {
            return;
        }
        withCore([&](SimulatedCentral::Core& core) {
            FitnessMetrics values;
            if (strap) {
                values.heartRate = std::lround(core.heartRate());
            } else {
                const qint64 now = core.scheduler->now();
                m_workout->advance(double(now - m_lastTick) / 1000.0);
                m_lastTick = now;
                values = m_workout->metrics();
            }
            std::chrono::milliseconds offset{0};
            for (const std::uint32_t flags : m_machine.messageFlags) {
                const QByteArray message =
                    strap ? encodeHeartRateMeasurement(std::uint8_t(flags), values)
                          : encodeMessage(m_machine.type, flags, values);
                core.after(offset, guarded([characteristic, generation,
                                            message](SimulatedPeripheral& self) {
                               if (!self.m_notifying || generation != self.m_notifyGeneration) {
                                   return;
                               }
                               characteristic->value = message;
                               if (self.m_delegate) {
                                   self.m_delegate->didUpdateValue(self.shared_from_this(),
                                                                   characteristic, std::nullopt);
                               }
                           }));
                offset += core.timing.messageGap;
            }
            scheduleRecord(core, characteristic, generation);
        });
    }

    std::weak_ptr<SimulatedCentral::Core> m_core;
    VirtualMachine m_machine;
    unsigned m_seed;
    int m_rssi;
    PeripheralDelegate* m_delegate = nullptr;
    std::optional<QList<ServicePtr>> m_services;
    ServicePtr m_service;
    QList<CharacteristicPtr> m_characteristics;
    bool m_connecting = false;
    bool m_connected = false;
    bool m_notifying = false;
    unsigned m_linkGeneration = 0;
    unsigned m_notifyGeneration = 0;
    std::optional<Workout> m_workout;
    qint64 m_lastTick = 0;
};

double SimulatedCentral::Core::heartRate() const {
    for (const auto& peripheral : peripherals) {
        if (const Workout* workout = peripheral->workout()) {
            return workout->heartRate();
        }
    }
    return restingHeartRate;
}

void SimulatedCentral::Core::advertise(const std::weak_ptr<Core>& self, int index,
                                       unsigned generation) {
    if (!scanning || generation != scanGeneration || index >= peripherals.size()) {
        return;
    }
    const auto& peripheral = peripherals.at(index);
    // A connected machine stops advertising, as real ones do.
    if (!peripheral->busy()) {
        const VirtualMachine& machine = peripheral->machine();
        QVariantMap advertisement;
        if (!machine.name.isEmpty()) {
            advertisement.insert(QLatin1String(advertisement::localName), machine.name);
        }
        if (!machine.manufacturerData.isEmpty()) {
            advertisement.insert(QLatin1String(advertisement::manufacturerData),
                                 machine.manufacturerData);
        }
        advertisement.insert(QLatin1String(advertisement::txPowerLevel), machine.txPowerLevel);
        delegate.didDiscover(peripheral, advertisement, peripheral->driftRssi(*this));
    }
    const auto next = timing.advertisement + std::chrono::milliseconds(jitter(80));
    after(next, [self, index, generation] {
        if (auto core = self.lock()) {
            core->advertise(self, index, generation);
        }
    });
}

SimulatedCentral::SimulatedCentral(CentralDelegate& delegate, std::shared_ptr<Scheduler> scheduler,
                                   QList<VirtualMachine> machines, Timing timing, unsigned seed)
    : m_core(std::make_shared<Core>(delegate, std::move(scheduler), timing, seed)) {
    unsigned machineSeed = seed;
    for (VirtualMachine& machine : machines) {
        m_core->peripherals.append(
            std::make_shared<SimulatedPeripheral>(m_core, std::move(machine), ++machineSeed));
    }
    std::weak_ptr<Core> weak = m_core;
    m_core->after(timing.stateReport, [weak] {
        if (auto core = weak.lock()) {
            core->state = CentralState::poweredOn;
            core->delegate.centralDidUpdateState(core->state);
        }
    });
}

SimulatedCentral::~SimulatedCentral() {
    for (const auto& peripheral : m_core->peripherals) {
        peripheral->dropLink();
    }
}

CentralState SimulatedCentral::state() const {
    return m_core->state;
}

bool SimulatedCentral::isScanning() const {
    return m_core->scanning;
}

QList<PeripheralPtr> SimulatedCentral::peripherals() const {
    QList<PeripheralPtr> result;
    for (const auto& peripheral : m_core->peripherals) {
        result.append(peripheral);
    }
    return result;
}

void SimulatedCentral::scanForPeripherals(const QList<QBluetoothUuid>& serviceUuids) {
    if (m_core->state != CentralState::poweredOn) {
        qCWarning(lcSimulated) << "scan requested before the central is powered on";
        return;
    }
    m_core->startScan(m_core, serviceUuids);
}

void SimulatedCentral::Core::startScan(const std::weak_ptr<Core>& self,
                                       const QList<QBluetoothUuid>& serviceUuids) {
    scanning = true;
    scanFilter = serviceUuids;
    const unsigned generation = ++scanGeneration;
    for (int i = 0; i < peripherals.size(); ++i) {
        if (!wants(serviceUuids, peripherals.at(i)->machine().service)) {
            continue;
        }
        // Machines are heard one after another, not all at the same instant.
        const auto first = std::chrono::milliseconds(120 + 140 * i + jitter(40));
        after(first, [self, i, generation] {
            if (auto core = self.lock()) {
                core->advertise(self, i, generation);
            }
        });
    }
}

void SimulatedCentral::failStack(StackFault fault, std::chrono::milliseconds downtime) {
    std::weak_ptr<Core> weak = m_core;
    m_core->after(std::chrono::milliseconds(0), [weak, fault] {
        auto core = weak.lock();
        if (!core) {
            return;
        }
        static constexpr CentralState during[] = {
            CentralState::resetting, CentralState::unsupported, CentralState::poweredOff,
            CentralState::poweredOn};
        core->reportState(during[int(fault)]);
        if (core->scanning) {
            if (core->state == CentralState::poweredOn) {
                core->startScan(weak, core->scanFilter);
            } else {
                core->scanning = false;
                ++core->scanGeneration;
            }
        }
        core->delegate.centralDidFail(fault);
        const QString reason = describe(fault);
        for (const auto& peripheral : QList(core->peripherals)) {
            const bool connected = peripheral->connected();
            if (!peripheral->busy()) {
                continue;
            }
            peripheral->dropLink();
            if (connected) {
                core->delegate.didDisconnect(peripheral, reason);
            } else {
                core->delegate.didFailToConnect(peripheral, reason);
            }
        }
    });
    m_core->after(downtime, [weak] {
        if (auto core = weak.lock()) {
            core->reportState(CentralState::poweredOn);
        }
    });
}

void SimulatedCentral::stopScan() {
    m_core->scanning = false;
    ++m_core->scanGeneration;
}

void SimulatedCentral::connect(const PeripheralPtr& peripheral) {
    const auto it = std::find(m_core->peripherals.cbegin(), m_core->peripherals.cend(), peripheral);
    if (it == m_core->peripherals.cend()) {
        qCWarning(lcSimulated) << "connect to a peripheral this central does not know";
        return;
    }
    std::shared_ptr<SimulatedPeripheral> target = *it;
    if (target->busy()) {
        return;
    }
    target->beginConnecting();
    const unsigned generation = target->linkGeneration();
    std::weak_ptr<Core> weak = m_core;
    std::weak_ptr<SimulatedPeripheral> weakTarget = target;
    m_core->after(m_core->timing.connect + std::chrono::milliseconds(m_core->jitter(100)),
                  [weak, weakTarget, generation] {
                      auto core = weak.lock();
                      auto p = weakTarget.lock();
                      if (core && p && p->finishConnecting(generation)) {
                          core->delegate.didConnect(p);
                      }
                  });
}

void SimulatedCentral::cancelConnection(const PeripheralPtr& peripheral) {
    const auto it = std::find(m_core->peripherals.cbegin(), m_core->peripherals.cend(), peripheral);
    if (it == m_core->peripherals.cend() || !(*it)->busy()) {
        return;
    }
    std::shared_ptr<SimulatedPeripheral> target = *it;
    target->dropLink();
    std::weak_ptr<Core> weak = m_core;
    std::weak_ptr<SimulatedPeripheral> weakTarget = target;
    m_core->after(m_core->timing.disconnect, [weak, weakTarget] {
        auto core = weak.lock();
        auto p = weakTarget.lock();
        if (core && p) {
            core->delegate.didDisconnect(p, std::nullopt);
        }
    });
}

CentralFactory simulatedCentralFactory(std::shared_ptr<Scheduler> scheduler,
                                       QList<VirtualMachine> machines,
                                       SimulatedCentral::Timing timing) {
    return [scheduler = std::move(scheduler), machines = std::move(machines),
            timing](CentralDelegate& delegate) -> std::unique_ptr<Central> {
        std::shared_ptr<Scheduler> chosen = scheduler;
        if (!chosen) {
            chosen = std::make_shared<EventLoopScheduler>();
        }
        return std::make_unique<SimulatedCentral>(delegate, chosen, machines, timing);
    };
}

} // namespace tallyfin::bluetooth::simulated
