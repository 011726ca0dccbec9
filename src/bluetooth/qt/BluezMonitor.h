// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "bluetooth/Central.h"

#include <QBluetoothAddress>
#include <QDBusMessage>
#include <QHash>
#include <QObject>
#include <QVariantMap>

#include <optional>

namespace tallyfin::bluetooth {

// What bluetoothd tells on the system bus that QtBluetooth drops or mixes up: the advertised
// transmit power and the own name of each device, and whether this user may talk to bluetoothd at
// all (QtBluetooth reports a refused bus policy as if there were no adapter). On systems without
// bluetoothd it stays empty.
//
// It also follows the adapter (present, powered) in place of QBluetoothLocalDevice, which watches
// every device bluetoothd knows with a bus match rule of its own: in a crowd those use up the
// bus's limit per connection (512 by default), and the rules the connection needs later are
// refused. Everything here takes a fixed number of rules, however many devices there are.
//
// And it watches the stack beneath the links, which QtBluetooth does not: bluetoothd leaving the
// bus (its links end with it, unreported), the adapter going away or off, and logind's end of a
// suspend.
class BluezMonitor final : public QObject {
    Q_OBJECT

public:
    explicit BluezMonitor(QObject* parent = nullptr);

    std::optional<int> txPowerLevel(const QBluetoothAddress& address) const;
    // The device's own name, BlueZ's "Name" (never its "Alias", which BlueZ fills with the
    // address of a device without a name): empty for a device without one, none for a device
    // bluetoothd has not told about.
    std::optional<QString> name(const QBluetoothAddress& address) const;
    // The bus refused our calls to bluetoothd.
    bool accessDenied() const { return m_accessDenied; }
    // bluetoothd has an adapter (the first it lists, as QtBluetooth's default), and it is on.
    bool adapterPresent() const { return !m_adapterPath.isEmpty(); }
    bool adapterPowered() const { return m_adapterPowered; }
    // bluetoothd was there and left the bus; false again once it is back.
    bool serviceGone() const { return m_serviceGone; }
    // Handed to QLowEnergyController, which otherwise looks the default adapter up through a
    // QBluetoothLocalDevice of its own (watching every known device for a moment).
    QBluetoothAddress adapterAddress() const { return m_adapterAddress; }

    // The address of a BlueZ device object path ("/org/bluez/hci0/dev_C0_FF_EE_00_00_01"), or a
    // null address for any other path.
    static QBluetoothAddress addressOfPath(const QString& path);
    // Whether a D-Bus error name means the caller is not allowed to use bluetoothd.
    static bool isAccessDenied(const QString& errorName);

Q_SIGNALS:
    // Once the first look at bluetoothd has been answered (or has failed), then whenever the
    // adapter appears, goes away, or is switched on or off.
    void changed();
    // The stack failed beneath every link (before the changed() that the fault brings).
    void stackFailed(tallyfin::bluetooth::StackFault fault);

private Q_SLOTS:
    void interfacesAdded(const QDBusMessage& message);
    void interfacesRemoved(const QDBusMessage& message);
    void propertiesChanged(const QDBusMessage& message);
    void prepareForSleep(bool start);

private:
    void probe();
    void serviceUnregistered();
    void forgetAdapter();
    void finishProbe(const QDBusMessage& reply);
    // `complete`: all of the device's properties, rather than those that changed.
    void record(const QString& path, const QVariantMap& deviceProperties, bool complete);
    void recordAdapter(const QString& path, const QVariantMap& adapterProperties);

    // By address as a number: QBluetoothAddress has no hash.
    QHash<quint64, int> m_txPower;
    QHash<quint64, QString> m_names;
    bool m_accessDenied = false;
    bool m_probed = false;
    QString m_adapterPath;
    QBluetoothAddress m_adapterAddress;
    bool m_adapterPowered = false;
    bool m_serviceGone = false;
};

} // namespace tallyfin::bluetooth
