// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "bluetooth/Central.h"
#include "bluetooth/simulated/Scheduler.h"
#include "bluetooth/simulated/VirtualMachine.h"

#include <chrono>
#include <memory>

namespace tallyfin::bluetooth::simulated {

// The delays of the simulated stack.
struct SimulationTiming {
    std::chrono::milliseconds stateReport{150};
    std::chrono::milliseconds advertisement{900};
    std::chrono::milliseconds connect{450};
    std::chrono::milliseconds disconnect{60};
    std::chrono::milliseconds discovery{40};
    std::chrono::milliseconds read{25};
    // Between the messages of one split record.
    std::chrono::milliseconds messageGap{15};
};

// A Bluetooth LE central with virtual machines in range instead of a radio. It behaves like a
// real stack: it reports its state shortly after creation, advertises the machines with a
// drifting signal strength while a scan runs, connects after a short delay, discovers services
// and characteristics, answers the feature read and notifies workout values at each machine's
// own rate until the connection is cancelled. All delays come from the scheduler.
class SimulatedCentral final : public Central {
public:
    using Timing = SimulationTiming;

    SimulatedCentral(CentralDelegate& delegate, std::shared_ptr<Scheduler> scheduler,
                     QList<VirtualMachine> machines = VirtualMachine::demoPeripherals(),
                     Timing timing = {}, unsigned seed = 1);
    ~SimulatedCentral() override;

    CentralState state() const override;
    void scanForPeripherals(const QList<QBluetoothUuid>& serviceUuids) override;
    void stopScan() override;
    void connect(const PeripheralPtr& peripheral) override;
    void cancelConnection(const PeripheralPtr& peripheral) override;

    bool isScanning() const;
    // The stack fails as `fault` makes a real one fail (see CentralDelegate::centralDidFail):
    // the state it brings is reported, then the fault, then the end of every link, all on the
    // next turn; `downtime` later the stack is back and powered on. For the demo and the tests.
    void failStack(StackFault fault, std::chrono::milliseconds downtime);
    // The handle of each virtual machine, in the order of the machine list.
    QList<PeripheralPtr> peripherals() const;

    struct Core;

private:
    std::shared_ptr<Core> m_core;
};

// The factory the program hands to the manager for --demo; without a scheduler, delays run on
// the Qt event loop.
CentralFactory
simulatedCentralFactory(std::shared_ptr<Scheduler> scheduler = nullptr,
                        QList<VirtualMachine> machines = VirtualMachine::demoPeripherals(),
                        SimulatedCentral::Timing timing = {});

} // namespace tallyfin::bluetooth::simulated
