// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QBluetoothUuid>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QUuid>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

namespace tallyfin::bluetooth {

// The Bluetooth LE central as the manager uses it: exactly the requests, properties and
// callbacks it needs, nothing more. One backend talks to the real stack (QtBluetooth), another
// simulates machines; the manager only ever sees these interfaces. Every callback is delivered
// on the main thread.

enum class CentralState { unknown, resetting, unsupported, unauthorized, poweredOff, poweredOn };

// The stack failing beneath every link at once, whatever the machines do: its service leaving
// (bluetoothd restarted or crashed: the central is resetting until it is back), the adapter going
// away (a dongle pulled: unsupported) or being switched off, or the computer resuming from sleep
// (links do not survive a suspend, although the stack may not say so).
enum class StackFault { serviceGone, adapterRemoved, adapterPoweredOff, resumedFromSleep };

// How the diagnostic log names a fault: "bluetoothd left the bus", "adapter removed", ...
QString describe(StackFault fault);

// A characteristic of a discovered service. Its value is the latest one read or notified.
struct GattCharacteristic {
    QBluetoothUuid uuid;
    std::optional<QByteArray> value;
};
using CharacteristicPtr = std::shared_ptr<GattCharacteristic>;

// A discovered service; `characteristics` stays nullopt until they have been discovered.
struct GattService {
    QBluetoothUuid uuid;
    std::optional<QList<CharacteristicPtr>> characteristics;
};
using ServicePtr = std::shared_ptr<GattService>;

class Peripheral;
using PeripheralPtr = std::shared_ptr<Peripheral>;

// Keys of the advertisement map handed to CentralDelegate::didDiscover. A value is present only
// when the advertisement carried it; the manager checks each value's kind itself.
namespace advertisement {
inline constexpr char localName[] = "localName";               // QString
inline constexpr char manufacturerData[] = "manufacturerData"; // QByteArray
inline constexpr char txPowerLevel[] = "txPowerLevel";         // int
} // namespace advertisement

class PeripheralDelegate {
public:
    virtual ~PeripheralDelegate() = default;
    virtual void didDiscoverServices(const PeripheralPtr& peripheral,
                                     const std::optional<QString>& error) = 0;
    virtual void didDiscoverCharacteristics(const PeripheralPtr& peripheral,
                                            const ServicePtr& service,
                                            const std::optional<QString>& error) = 0;
    // Read responses and notifications both arrive here; the new value is in the characteristic.
    virtual void didUpdateValue(const PeripheralPtr& peripheral,
                                const CharacteristicPtr& characteristic,
                                const std::optional<QString>& error) = 0;
};

// A remote machine. Handles are shared: the same machine is always the same handle within one
// central, so handles may be compared by identifier.
class Peripheral {
public:
    virtual ~Peripheral() = default;

    // Stable for this machine on this host.
    virtual QUuid identifier() const = 0;
    virtual std::optional<QString> name() const = 0;
    // nullopt until services have been discovered.
    virtual std::optional<QList<ServicePtr>> services() const = 0;

    // The delegate is held weakly: it must outlive the peripheral or be reset to nullptr.
    virtual void setDelegate(PeripheralDelegate* delegate) = 0;
    virtual void discoverServices(const QList<QBluetoothUuid>& serviceUuids) = 0;
    virtual void discoverCharacteristics(const QList<QBluetoothUuid>& characteristicUuids,
                                         const ServicePtr& service) = 0;
    virtual void readValue(const CharacteristicPtr& characteristic) = 0;
    virtual void setNotifyValue(bool enabled, const CharacteristicPtr& characteristic) = 0;
};

class CentralDelegate {
public:
    virtual ~CentralDelegate() = default;
    virtual void centralDidUpdateState(CentralState state) = 0;
    virtual void didDiscover(const PeripheralPtr& peripheral, const QVariantMap& advertisement,
                             int rssi) = 0;
    virtual void didConnect(const PeripheralPtr& peripheral) = 0;
    virtual void didDisconnect(const PeripheralPtr& peripheral,
                               const std::optional<QString>& error) = 0;
    // `errorDescription` is the stack's localized description, when it gave one.
    virtual void didFailToConnect(const PeripheralPtr& peripheral,
                                  const std::optional<QString>& errorDescription) = 0;
    // The stack failed: every connection of this central is over. Reported before the
    // didDisconnect (connected) or didFailToConnect (connecting) of each peripheral it took, and
    // after the state report it brings, if any. A scan that ran stops unless the state stays
    // powered on, in which case the central resumes it by itself.
    virtual void centralDidFail(StackFault /*fault*/) {}
};

class Central {
public:
    virtual ~Central() = default;

    virtual CentralState state() const = 0;
    // Duplicate reports are not requested; the stack decides how often a machine is reported.
    virtual void scanForPeripherals(const QList<QBluetoothUuid>& serviceUuids) = 0;
    virtual void stopScan() = 0;
    virtual void connect(const PeripheralPtr& peripheral) = 0;
    virtual void cancelConnection(const PeripheralPtr& peripheral) = 0;
};

// Builds a central that reports to `delegate` (held weakly; it outlives the central). The
// program picks the backend where it is wired; the manager is handed only this factory.
using CentralFactory = std::function<std::unique_ptr<Central>(CentralDelegate& delegate)>;

// The canonical text of a UUID as the log shows it: "2AD2" for a Bluetooth SIG 16-bit UUID,
// otherwise the full upper-case form without braces.
QString canonicalText(const QBluetoothUuid& uuid);

} // namespace tallyfin::bluetooth
