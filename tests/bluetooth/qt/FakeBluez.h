// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QStringList>

// Helpers shared by the end-to-end tests that run against fake_bluez.py on a private system bus
// (see with_fake_bluez.py).
namespace tallyfin::testing {

// Generous: the fake and the bus run on a loaded two-core machine.
inline constexpr int fakeBluezTimeoutMs = 30000;

// The fake's devices, as fake_bluez.py defines them.
struct FakeDevice {
    QString name;
    QString address;
};
inline const FakeDevice fakeBike{QStringLiteral("Tallyfin Test Bike"),
                                 QStringLiteral("C0:FF:EE:00:00:01")};
inline const FakeDevice fakeRower{QStringLiteral("Tallyfin Test Rower"),
                                  QStringLiteral("C0:FF:EE:00:00:02")};
inline const FakeDevice fakeUnreachableBike{QStringLiteral("Tallyfin Unreachable Bike"),
                                            QStringLiteral("C0:FF:EE:00:00:04")};
inline const FakeDevice fakeRememberedBike{QStringLiteral("Tallyfin Remembered Bike"),
                                           QStringLiteral("C0:FF:EE:00:00:06")};
inline const FakeDevice fakeStrap{QStringLiteral("Tallyfin Heart Strap"),
                                  QStringLiteral("C0:FF:EE:00:00:05")};

// The fake's control interface.
class FakeBluezControl {
public:
    bool isValid() const { return m_interface.isValid(); }
    bool setPowered(bool powered) { return call(QStringLiteral("SetPowered"), powered); }
    // A device the fake knows is heard again, with this signal strength.
    bool advertise(const FakeDevice& device, qint16 rssi) {
        return call(QStringLiteral("Advertise"), device.address, QVariant::fromValue(rssi));
    }
    // A bike named by a stranger, heard from the next scan on.
    bool addMachine(const FakeDevice& device) {
        return call(QStringLiteral("AddMachine"), device.address, device.name);
    }
    // The device ends its connection from its side.
    bool drop(const FakeDevice& device) { return call(QStringLiteral("Drop"), device.address); }
    // The stack falters for `ms` and recovers on its own: "bluetoothd" leaves the bus, "adapter"
    // is removed, "power" is switched off, "sleep" suspends, "silence" stops every notification.
    bool fail(const QString& what, uint ms) { return call(QStringLiteral("Fail"), what, ms); }

    // The BlueZ method calls the fake received after the first `from` ones ("Interface.Method
    // path [detail]"), those containing `text`.
    QStringList callsContaining(const QString& text, qsizetype from = 0) {
        const QDBusReply<QStringList> reply = m_interface.call(QStringLiteral("Calls"));
        return reply.isValid() ? reply.value().mid(from).filter(text)
                               : QStringList{QStringLiteral("<no reply>")};
    }

private:
    template<typename... Args>
    bool call(const QString& method, Args&&... args) {
        return QDBusReply<void>(m_interface.call(method, std::forward<Args>(args)...)).isValid();
    }

    QDBusInterface m_interface{
        QStringLiteral("org.tallyfin.FakeBluez"), QStringLiteral("/org/tallyfin/fake"),
        QStringLiteral("org.tallyfin.FakeBluez1"), QDBusConnection::systemBus()};
};

// How many match rules this process's system bus connection holds, from the bus's own statistics
// (dbus-daemon built with them, as Debian's is); -1 when it cannot tell.
inline int matchRulesOfThisProcess() {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus.Debug.Stats"), QStringLiteral("GetConnectionStats"));
    call << QDBusConnection::systemBus().baseService();
    const QDBusReply<QVariantMap> stats = QDBusConnection::systemBus().call(call);
    return stats.isValid() ? stats.value().value(QStringLiteral("MatchRules"), -1).toInt() : -1;
}

} // namespace tallyfin::testing
