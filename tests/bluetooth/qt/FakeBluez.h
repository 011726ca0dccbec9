#pragma once

#include "bluetooth/Central.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QStringList>
#include <QThread>

// Helpers shared by the end-to-end tests that run against fake_bluez.py on a private system bus
// (see with_fake_bluez.py).
namespace tallyfin::testing {

// Generous: the fake and the bus run on a loaded two-core machine.
inline constexpr int fakeBluezTimeoutMs = 30000;

// The fake's machines, as fake_bluez.py defines them.
inline QString bikeName() {
    return QStringLiteral("Tallyfin Test Bike");
}
inline QString rowerName() {
    return QStringLiteral("Tallyfin Test Rower");
}
inline QString fadingBikeName() {
    return QStringLiteral("Tallyfin Fading Bike");
}
inline QString unreachableBikeName() {
    return QStringLiteral("Tallyfin Unreachable Bike");
}
inline QString rememberedBikeName() {
    return QStringLiteral("Tallyfin Remembered Bike");
}
inline QString rememberedBikeAddress() {
    return QStringLiteral("C0:FF:EE:00:00:06");
}
inline QString heartStrapName() {
    return QStringLiteral("Tallyfin Heart Strap");
}
inline QString heartStrapAddress() {
    return QStringLiteral("C0:FF:EE:00:00:05");
}

// The fake's control interface.
class FakeBluezControl {
public:
    FakeBluezControl()
        : m_interface(QStringLiteral("org.bluez"), QStringLiteral("/org/tallyfin/fake"),
                      QStringLiteral("org.tallyfin.FakeBluez1"), QDBusConnection::systemBus()) {}

    bool isValid() const { return m_interface.isValid(); }

    bool setPowered(bool powered) {
        const QDBusReply<void> reply =
            m_interface.call(QStringLiteral("SetPowered"), QVariant::fromValue(powered));
        return reply.isValid();
    }

    bool advertise(const QString& address, qint16 rssi) {
        const QDBusReply<void> reply =
            m_interface.call(QStringLiteral("Advertise"), address, QVariant::fromValue(rssi));
        return reply.isValid();
    }

    // The device ends its connection from its side.
    bool drop(const QString& address) {
        return QDBusReply<void>(m_interface.call(QStringLiteral("Drop"), address)).isValid();
    }

    // Every BlueZ method call the fake received so far, "Interface.Method path [detail]".
    QStringList calls() {
        const QDBusReply<QStringList> reply = m_interface.call(QStringLiteral("Calls"));
        return reply.isValid() ? reply.value() : QStringList{QStringLiteral("<no reply>")};
    }

    // The calls received after the first `from` ones, containing `text`.
    QStringList callsContaining(const QString& text, qsizetype from = 0) {
        return calls().mid(from).filter(text);
    }

private:
    QDBusInterface m_interface;
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

inline bool onMainThread() {
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

} // namespace tallyfin::testing
