// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "bluetooth/Central.h"

#include <QBluetoothDeviceInfo>
#include <QList>
#include <QLowEnergyController>
#include <QLowEnergyService>
#include <QObject>

#include <memory>

namespace tallyfin::bluetooth {

// One machine seen by the QtBluetooth central. It owns the machine's QLowEnergyController while a
// connection exists and turns the controller's and services' signals into delegate calls. Signals
// are taken through queued connections, so delegates are never called from inside a request.
class QtBluetoothPeripheral final : public Peripheral,
                                    public std::enable_shared_from_this<QtBluetoothPeripheral> {
public:
    QtBluetoothPeripheral(const QBluetoothDeviceInfo& info, QUuid identifier,
                          CentralDelegate& centralDelegate);
    ~QtBluetoothPeripheral() override;

    QtBluetoothPeripheral(const QtBluetoothPeripheral&) = delete;
    QtBluetoothPeripheral& operator=(const QtBluetoothPeripheral&) = delete;

    QUuid identifier() const override { return m_identifier; }
    std::optional<QString> name() const override;
    std::optional<QList<ServicePtr>> services() const override { return m_services; }

    void setDelegate(PeripheralDelegate* delegate) override { m_delegate = delegate; }
    void discoverServices(const QList<QBluetoothUuid>& serviceUuids) override;
    void discoverCharacteristics(const QList<QBluetoothUuid>& characteristicUuids,
                                 const ServicePtr& service) override;
    void readValue(const CharacteristicPtr& characteristic) override;
    void setNotifyValue(bool enabled, const CharacteristicPtr& characteristic) override;

    // Requests of the central.
    void updateInfo(const QBluetoothDeviceInfo& info);
    // Through the adapter with this address, or the default one when it is null.
    void connectToDevice(const QBluetoothAddress& adapter);
    void cancelConnection();
    // The stack failed beneath the link: it ends now, reported with `reason` as its error.
    void loseLink(const QString& reason);
    // The central is going away: drop the link without calling anyone.
    void detach();

private:
    enum class Link { idle, connecting, connected, disconnecting };

    // A characteristic handed out to the delegate and where it lives in QtBluetooth.
    struct Binding {
        CharacteristicPtr characteristic;
        QLowEnergyService* lowEnergyService = nullptr;
        QLowEnergyCharacteristic lowEnergyCharacteristic;
    };

    // Runs `step` on a later turn of the event loop if this link attempt is still the current
    // one and the peripheral still exists.
    template<typename F>
    void later(F&& step);
    void finishLink();
    void tearDown();
    void finishServiceDiscovery();
    void finishCharacteristicDiscovery(const ServicePtr& service);
    QLowEnergyService* lowEnergyService(const ServicePtr& service);
    const Binding* bindingFor(const CharacteristicPtr& characteristic) const;
    const Binding* bindingFor(const QLowEnergyService* service,
                              const QLowEnergyCharacteristic& characteristic) const;
    void deliverValue(QLowEnergyService* service, const QLowEnergyCharacteristic& characteristic,
                      const QByteArray& value, const std::optional<QString>& error);

    QBluetoothDeviceInfo m_info;
    const QUuid m_identifier;
    CentralDelegate* m_centralDelegate;
    PeripheralDelegate* m_delegate = nullptr;
    // Context of the connections to the controller and its services.
    QObject m_context;
    QLowEnergyController* m_controller = nullptr;
    // Counts link attempts; signals of an earlier attempt are ignored.
    quint64 m_generation = 0;
    Link m_link = Link::idle;
    std::optional<QString> m_linkError;
    QList<QBluetoothUuid> m_serviceFilter;
    bool m_servicesRequested = false;
    std::optional<QList<ServicePtr>> m_services;
    QList<std::pair<ServicePtr, QLowEnergyService*>> m_lowEnergyServices;
    QHash<const GattService*, QList<QBluetoothUuid>> m_characteristicFilters;
    QList<Binding> m_bindings;
    // Reads in flight per service, oldest first: a read error names no characteristic.
    QHash<const QLowEnergyService*, QList<CharacteristicPtr>> m_pendingReads;
};

} // namespace tallyfin::bluetooth
