// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "bluetooth/Central.h"

#include <QBluetoothDeviceInfo>
#include <QBluetoothLocalDevice>
#include <QHash>
#include <QObject>
#include <QPointer>

#include <memory>
#include <optional>

class QBluetoothDeviceDiscoveryAgent;

namespace tallyfin::bluetooth {

class BluezMonitor;
class QtBluetoothPeripheral;

// The central's state from what the local adapter reports: a refused permission is
// "unauthorized", no valid adapter "unsupported", a switched-off adapter "powered off".
CentralState centralStateFor(bool adapterValid, QBluetoothLocalDevice::HostMode hostMode,
                             bool permissionDenied);

// The identifier the central gives a machine: the stack's own UUID where it has one (Apple
// platforms), otherwise a name-based UUID of the Bluetooth address, so that the same machine gets
// the same identifier on every run.
QUuid peripheralIdentifier(const QBluetoothDeviceInfo& info);

// The advertisement as the manager reads it (keys of namespace `advertisement`). Manufacturer
// data is the lowest company's entry with its little-endian company identifier in front, as it
// appears on the air.
QVariantMap advertisementFor(const QBluetoothDeviceInfo& info, std::optional<int> txPowerLevel);

// The central over QtBluetooth: QBluetoothDeviceDiscoveryAgent for scanning, the adapter's state
// from bluetoothd (QBluetoothLocalDevice elsewhere), one QLowEnergyController per connected
// peripheral. Several can be connected at once (a machine and a heart-rate strap), and a scan
// may run beside them. With BlueZ, a scan's agent watches each device it hears with a bus match
// rule of its own until the scan stops, so a crowd can use up the bus's rules for the connection
// while it runs: ask for a connection, and let it set up its notifications, while no scan runs
// (the manager does so), and stop the scan to give the rules back.
//
// It also watches the stack beneath the links (see BluezMonitor): when bluetoothd leaves the bus,
// the adapter goes or is switched off, or the computer resumes from sleep, every link is reported
// lost at once rather than whenever QtBluetooth notices (for a vanished bluetoothd: never).
//
// Create it on the main thread: every delegate call is made there, always from the event loop
// and never from inside a request, like the stack on Apple platforms does it.
//
// On Linux QtBluetooth reaches bluetoothd over D-Bus. Its LE controller uses D-Bus only when it
// believes bluetoothd is 5.42 or newer; it learns the version from the environment variable
// BLUETOOTH_FORCE_DBUS_LE_VERSION (for example "5.66") or else by running the executable that owns
// org.bluez with --version, which can block for a while inside sandboxes and fails where that
// executable is not bluetoothd. Set the variable when connecting does not work in a sandbox.
class QtBluetoothCentral final : public Central {
public:
    explicit QtBluetoothCentral(CentralDelegate& delegate);
    ~QtBluetoothCentral() override;

    QtBluetoothCentral(const QtBluetoothCentral&) = delete;
    QtBluetoothCentral& operator=(const QtBluetoothCentral&) = delete;

    CentralState state() const override { return m_state; }
    void scanForPeripherals(const QList<QBluetoothUuid>& serviceUuids) override;
    void stopScan() override;
    void connect(const PeripheralPtr& peripheral) override;
    void cancelConnection(const PeripheralPtr& peripheral) override;

    // How long the running scan lasts before the stack ends it by itself, in milliseconds: 0, a
    // scan lasts until it is stopped (QtBluetooth's own default would end it after 40 s, while
    // the chooser still says it is searching). None while no scan runs.
    std::optional<int> scanTimeoutMs() const;

private:
    void refreshState();
    // Every link ends at once, as the stack's failure leaves it.
    void handleStackFault(StackFault fault);
    void handleReport(const QBluetoothDeviceInfo& info);
    void deliverReport(const QBluetoothDeviceInfo& info);
    std::shared_ptr<QtBluetoothPeripheral> ownPeripheral(const PeripheralPtr& peripheral) const;

    CentralDelegate& m_delegate;
    // Context of every signal connection and queued call: they end with the central.
    QObject m_context;
    // Only while scanning.
    QBluetoothDeviceDiscoveryAgent* m_agent = nullptr;
    std::unique_ptr<BluezMonitor> m_bluez;
    CentralState m_state = CentralState::unknown;
    bool m_stateReported = false;
    bool m_permissionDenied = false;
    bool m_scanning = false;
    QList<QBluetoothUuid> m_serviceFilter;
    // Reports waiting for their delivery, by address as a number, and their order.
    QHash<quint64, QBluetoothDeviceInfo> m_pendingReports;
    QList<quint64> m_pendingOrder;
    // One handle per machine for the central's whole life.
    QHash<QUuid, std::shared_ptr<QtBluetoothPeripheral>> m_peripherals;
};

// The factory the program hands to the manager when it talks to real machines.
CentralFactory qtBluetoothCentralFactory();

} // namespace tallyfin::bluetooth
