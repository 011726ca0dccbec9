// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "model/EquipmentType.h"

#include <QBluetoothUuid>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QUuid>

#include <chrono>
#include <cstdint>

namespace tallyfin::bluetooth::simulated {

// What a virtual machine advertises and how it talks: its name, the characteristics it lists in
// its own order, its feature value, how often it sends and which flags each message of one
// record carries (several messages when a record is split with the More Data bit). A heart-rate
// strap is one too: it offers the Heart Rate service instead and its kind stays unknown.
struct VirtualMachine {
    QUuid identifier;
    QString name;
    EquipmentType type = EquipmentType::unknown;
    // The service it advertises and offers: Fitness Machine, or Heart Rate for a strap.
    QBluetoothUuid service{quint16(0x1826)};
    int baseRssi = -60; // dBm, the drift wanders around it
    QByteArray manufacturerData;
    int txPowerLevel = 0;
    // The service's characteristics as the machine lists them.
    QList<QBluetoothUuid> characteristics;
    std::uint32_t machineFeatureBits = 0;
    std::uint32_t targetFeatureBits = 0;
    std::chrono::milliseconds recordInterval{1000};
    // Flags of the messages of one record, sent in this order a few milliseconds apart.
    QList<std::uint32_t> messageFlags;

    // The characteristic whose notifications carry the live values.
    QBluetoothUuid dataCharacteristic() const;
    bool isHeartRateStrap() const;

    // An indoor bike (2 records per second), a rower (1 per second, split over two messages), a
    // treadmill (1 per second) and a cross trainer (4 per second).
    static QList<VirtualMachine> standardMachines();
    // A chest strap whose heart rate follows the effort of the workout on the connected machine.
    static VirtualMachine heartRateStrap();
    // What --demo brings: the standard machines and the strap.
    static QList<VirtualMachine> demoPeripherals();
};

} // namespace tallyfin::bluetooth::simulated
