// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "VirtualMachine.h"

namespace tallyfin::bluetooth::simulated {

namespace {

const QBluetoothUuid feature{quint16(0x2ACC)};
const QBluetoothUuid rowerData{quint16(0x2AD1)};
const QBluetoothUuid bikeData{quint16(0x2AD2)};
const QBluetoothUuid treadmillData{quint16(0x2ACD)};
const QBluetoothUuid crossTrainerData{quint16(0x2ACE)};
const QBluetoothUuid controlPoint{quint16(0x2AD9)};
const QBluetoothUuid machineStatus{quint16(0x2ADA)};
const QBluetoothUuid supportedResistance{quint16(0x2AD6)};
const QBluetoothUuid heartRateService{quint16(0x180D)};
const QBluetoothUuid heartRateMeasurement{quint16(0x2A37)};
const QBluetoothUuid bodySensorLocation{quint16(0x2A38)};

constexpr std::uint32_t bit(int n) {
    return 1U << n;
}

// A company identifier from the range reserved for testing, then a model and serial number.
QByteArray makeManufacturerData(char model, std::uint16_t serial) {
    QByteArray bytes;
    bytes.append(char(0xFF)).append(char(0xFF)).append(model);
    bytes.append(char(serial & 0xFF)).append(char(serial >> 8));
    return bytes;
}

} // namespace

bool VirtualMachine::isHeartRateStrap() const {
    return service == heartRateService;
}

QBluetoothUuid VirtualMachine::dataCharacteristic() const {
    if (isHeartRateStrap()) {
        return heartRateMeasurement;
    }
    switch (type) {
    case EquipmentType::rower:
        return rowerData;
    case EquipmentType::bike:
        return bikeData;
    case EquipmentType::treadmill:
        return treadmillData;
    case EquipmentType::crossTrainer:
        return crossTrainerData;
    case EquipmentType::unknown:
        break;
    }
    return {};
}

QList<VirtualMachine> VirtualMachine::standardMachines() {
    QList<VirtualMachine> machines;

    VirtualMachine bike;
    bike.identifier = QUuid(QStringLiteral("{6b1c3f2a-0d5e-4c11-9a7e-3f2a1c0b5d01}"));
    bike.name = QStringLiteral("Indoor Bike IB-3F2A");
    bike.type = EquipmentType::bike;
    bike.baseRssi = -58;
    bike.manufacturerData = makeManufacturerData('B', 0x3F2A);
    bike.txPowerLevel = 4;
    bike.characteristics = {feature, bikeData, supportedResistance, controlPoint, machineStatus};
    // Speed, cadence, distance, resistance, energy, heart rate, elapsed time, power.
    bike.machineFeatureBits =
        bit(0) | bit(1) | bit(2) | bit(7) | bit(9) | bit(10) | bit(12) | bit(14);
    bike.targetFeatureBits = bit(2) | bit(3); // resistance and power targets
    bike.recordInterval = std::chrono::milliseconds(500);
    // Speed, cadence, distance, resistance, power, energy, heart rate, elapsed time.
    bike.messageFlags = {bit(2) | bit(4) | bit(5) | bit(6) | bit(8) | bit(9) | bit(11)};
    machines.append(bike);

    VirtualMachine rower;
    rower.identifier = QUuid(QStringLiteral("{6b1c3f2a-0d5e-4c11-9a7e-3f2a1c0b5d02}"));
    rower.name = QStringLiteral("Rower S4-2D7E");
    rower.type = EquipmentType::rower;
    rower.baseRssi = -71;
    rower.manufacturerData = makeManufacturerData('R', 0x2D7E);
    rower.txPowerLevel = 0;
    rower.characteristics = {feature, rowerData, controlPoint, machineStatus};
    // Cadence (stroke rate), distance, pace, resistance, energy, heart rate, time, power.
    rower.machineFeatureBits =
        bit(1) | bit(2) | bit(5) | bit(7) | bit(9) | bit(10) | bit(12) | bit(14);
    rower.recordInterval = std::chrono::milliseconds(1000);
    // Like many ergs it splits a record: distance, pace, power and resistance flagged More Data,
    // then stroke rate and count, energy, heart rate and elapsed time.
    rower.messageFlags = {bit(0) | bit(2) | bit(3) | bit(5) | bit(7), bit(8) | bit(9) | bit(11)};
    machines.append(rower);

    VirtualMachine treadmill;
    treadmill.identifier = QUuid(QStringLiteral("{6b1c3f2a-0d5e-4c11-9a7e-3f2a1c0b5d03}"));
    treadmill.name = QStringLiteral("Treadmill T8-91C4");
    treadmill.type = EquipmentType::treadmill;
    treadmill.baseRssi = -66;
    treadmill.manufacturerData = makeManufacturerData('T', 0x91C4);
    treadmill.txPowerLevel = -4;
    treadmill.characteristics = {feature, treadmillData, controlPoint, machineStatus};
    // Average speed, distance, inclination, energy, heart rate, elapsed time.
    treadmill.machineFeatureBits = bit(0) | bit(2) | bit(3) | bit(9) | bit(10) | bit(12);
    treadmill.targetFeatureBits = bit(0) | bit(1); // speed and inclination targets
    treadmill.recordInterval = std::chrono::milliseconds(1000);
    // Speed, distance, inclination, energy, heart rate, elapsed time.
    treadmill.messageFlags = {bit(2) | bit(3) | bit(7) | bit(8) | bit(10)};
    machines.append(treadmill);

    VirtualMachine crossTrainer;
    crossTrainer.identifier = QUuid(QStringLiteral("{6b1c3f2a-0d5e-4c11-9a7e-3f2a1c0b5d04}"));
    crossTrainer.name = QStringLiteral("Elliptical X5-0B6D");
    crossTrainer.type = EquipmentType::crossTrainer;
    crossTrainer.baseRssi = -77;
    crossTrainer.manufacturerData = makeManufacturerData('X', 0x0B6D);
    crossTrainer.txPowerLevel = 0;
    crossTrainer.characteristics = {feature, crossTrainerData, controlPoint};
    // Speed, distance, steps, resistance, strides, energy, heart rate, time, power.
    crossTrainer.machineFeatureBits =
        bit(0) | bit(2) | bit(6) | bit(7) | bit(8) | bit(9) | bit(10) | bit(12) | bit(14);
    crossTrainer.targetFeatureBits = bit(2);
    crossTrainer.recordInterval = std::chrono::milliseconds(250);
    // Speed, distance, step rate, stride count, resistance, power, energy, heart rate, time.
    crossTrainer.messageFlags = {bit(2) | bit(3) | bit(4) | bit(7) | bit(8) | bit(10) | bit(11) |
                                 bit(13)};
    machines.append(crossTrainer);

    return machines;
}

VirtualMachine VirtualMachine::heartRateStrap() {
    VirtualMachine strap;
    strap.identifier = QUuid(QStringLiteral("{6b1c3f2a-0d5e-4c11-9a7e-3f2a1c0b5d05}"));
    strap.name = QStringLiteral("HR Strap S2-5C1E");
    strap.service = heartRateService;
    strap.baseRssi = -52; // worn by the user, next to the computer
    strap.manufacturerData = makeManufacturerData('H', 0x5C1E);
    strap.characteristics = {heartRateMeasurement, bodySensorLocation};
    strap.recordInterval = std::chrono::milliseconds(1000);
    // Skin contact detected, one RR interval.
    strap.messageFlags = {bit(1) | bit(2) | bit(4)};
    return strap;
}

QList<VirtualMachine> VirtualMachine::demoPeripherals() {
    return standardMachines() << heartRateStrap();
}

} // namespace tallyfin::bluetooth::simulated
