// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "bluetooth/Central.h"

#include <QList>
#include <QString>
#include <QStringList>

// A central whose state the test sets and which records every request. The test plays the stack
// by calling the manager's delegate callbacks itself.
namespace tallyfin::testing {

using namespace tallyfin::bluetooth;

class ScriptedPeripheral final : public Peripheral {
public:
    explicit ScriptedPeripheral(QUuid id, std::optional<QString> name = QStringLiteral("Machine"))
        : m_id(id)
        , m_name(std::move(name)) {}

    QUuid identifier() const override { return m_id; }
    std::optional<QString> name() const override { return m_name; }
    std::optional<QList<ServicePtr>> services() const override { return servicesList; }
    void setDelegate(PeripheralDelegate* d) override { delegate = d; }
    void discoverServices(const QList<QBluetoothUuid>&) override { ++serviceDiscoveries; }
    void discoverCharacteristics(const QList<QBluetoothUuid>&, const ServicePtr& service) override {
        characteristicDiscoveries.append(service);
    }
    void readValue(const CharacteristicPtr& characteristic) override {
        reads.append(characteristic);
    }
    void setNotifyValue(bool enabled, const CharacteristicPtr& characteristic) override {
        notifications.append({enabled, characteristic});
    }

    std::optional<QList<ServicePtr>> servicesList;
    PeripheralDelegate* delegate = nullptr;
    int serviceDiscoveries = 0;
    QList<ServicePtr> characteristicDiscoveries;
    QList<CharacteristicPtr> reads;
    QList<std::pair<bool, CharacteristicPtr>> notifications;

private:
    QUuid m_id;
    std::optional<QString> m_name;
};

class ScriptedCentral final : public Central {
public:
    CentralState state() const override {
        ++stateReads;
        return currentState;
    }
    void scanForPeripherals(const QList<QBluetoothUuid>&) override {
        requests.append(QStringLiteral("scan"));
    }
    void stopScan() override { requests.append(QStringLiteral("stop")); }
    void connect(const PeripheralPtr&) override { requests.append(QStringLiteral("connect")); }
    void cancelConnection(const PeripheralPtr& peripheral) override {
        requests.append(QStringLiteral("cancel"));
        cancelRequests.append(peripheral);
    }

    CentralState currentState = CentralState::unknown;
    mutable int stateReads = 0;
    // Every request but state reads, in order: "scan", "stop", "connect", "cancel".
    QStringList requests;
    QList<PeripheralPtr> cancelRequests;
};

inline std::shared_ptr<ScriptedPeripheral>
makePeripheral(int n, std::optional<QString> name = QStringLiteral("Machine")) {
    return std::make_shared<ScriptedPeripheral>(
        QUuid(QStringLiteral("{00000000-0000-4000-8000-%1}").arg(n, 12, 10, QLatin1Char('0'))),
        std::move(name));
}

inline CharacteristicPtr makeCharacteristic(quint16 uuid,
                                            std::optional<QByteArray> value = std::nullopt) {
    return std::make_shared<GattCharacteristic>(
        GattCharacteristic{QBluetoothUuid(uuid), std::move(value)});
}

inline ServicePtr makeService(quint16 uuid, std::optional<QList<CharacteristicPtr>> chars = {}) {
    return std::make_shared<GattService>(GattService{QBluetoothUuid(uuid), std::move(chars)});
}

} // namespace tallyfin::testing
