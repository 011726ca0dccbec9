// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "bluetooth/simulated/SimulatedCentral.h"
#include "connection/FTMSManager.h"
#include "workout/WorkoutRecorder.h"

#include <QCoreApplication>

#include <chrono>
#include <memory>

namespace tallyfin::test {

// One simulated machine of `kind`, a manager and a recorder on a manual clock that starts at
// 2026-03-01 07:30 local time.
struct DemoRide {
    std::shared_ptr<bluetooth::simulated::ManualScheduler> scheduler =
        std::make_shared<bluetooth::simulated::ManualScheduler>();
    QDateTime base = QDateTime(QDate(2026, 3, 1), QTime(7, 30));
    std::unique_ptr<FTMSManager> manager;
    std::unique_ptr<WorkoutRecorder> recorder;
    bluetooth::PeripheralPtr machine;

    DemoRide(EquipmentType kind, const QString& journalFolder) {
        QList<bluetooth::simulated::VirtualMachine> machines;
        for (const auto& m : bluetooth::simulated::VirtualMachine::standardMachines()) {
            if (m.type == kind) {
                machines.append(m);
            }
        }
        const auto clock = [this] { return now(); };
        manager = std::make_unique<FTMSManager>(
            bluetooth::simulated::simulatedCentralFactory(scheduler, machines), ApplicationInfo());
        manager->setClock(clock);
        manager->setScanRetryInterval(std::chrono::milliseconds(0));
        recorder = std::make_unique<WorkoutRecorder>(*manager, journalFolder, clock);
    }
    QDateTime now() const { return base.addMSecs(scheduler->now()); }

    // Moves the manual clock in 10 ms steps and lets queued steps run in between.
    void run(std::chrono::milliseconds duration) {
        for (auto t = std::chrono::milliseconds(0); t < duration;
             t += std::chrono::milliseconds(10)) {
            scheduler->advance(std::chrono::milliseconds(10));
            QCoreApplication::processEvents();
        }
    }
    // Scans, connects to the machine and waits for its first values.
    void connect() {
        if (!machine) {
            manager->startScanning();
            for (int i = 0; i < 300 && manager->discoveredDevices().isEmpty(); ++i) {
                run(std::chrono::milliseconds(10));
            }
            machine = manager->discoveredDevices().value(0);
        }
        if (machine) {
            manager->stopScanning();
            manager->connect(machine);
            run(std::chrono::seconds(2));
        }
    }
    // The link is lost (the user did not ask): the machine may come back. Connecting again is
    // left to the ride.
    void disconnect() {
        manager->setAutoReconnect(false);
        manager->centralManager()->cancelConnection(manager->connectedPeripheral());
        run(std::chrono::milliseconds(500));
    }
};

} // namespace tallyfin::test
