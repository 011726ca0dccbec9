// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "BluezMonitor.h"

#include "QtBluetoothLogging.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QMap>
#include <QRegularExpression>

namespace tallyfin::bluetooth {

namespace {

const QString bluezService = QStringLiteral("org.bluez");
const QString adapterInterface = QStringLiteral("org.bluez.Adapter1");
const QString deviceInterface = QStringLiteral("org.bluez.Device1");
const QString objectManagerInterface = QStringLiteral("org.freedesktop.DBus.ObjectManager");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString txPowerProperty = QStringLiteral("TxPower");
const QString nameProperty = QStringLiteral("Name");
// bluetoothd answers at once; a name that has to be activated first may take a moment.
constexpr int probeTimeoutMs = 5000;

using InterfaceMap = QMap<QString, QVariantMap>;

} // namespace

BluezMonitor::BluezMonitor(QObject* parent)
    : QObject(parent) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        qCDebug(lcBluetoothQt) << "no system bus: nothing to learn from bluetoothd";
        QMetaObject::invokeMethod(
            this, [this] { finishProbe(QDBusMessage()); }, Qt::QueuedConnection);
        return;
    }
    bus.connect(bluezService, QStringLiteral("/"), objectManagerInterface,
                QStringLiteral("InterfacesAdded"), this, SLOT(interfacesAdded(QDBusMessage)));
    bus.connect(bluezService, QStringLiteral("/"), objectManagerInterface,
                QStringLiteral("InterfacesRemoved"), this, SLOT(interfacesRemoved(QDBusMessage)));
    // One rule per interface, not per object: a crowd of devices must not use up the bus's rules.
    for (const QString& interface : {deviceInterface, adapterInterface}) {
        bus.connect(bluezService, QString(), propertiesInterface,
                    QStringLiteral("PropertiesChanged"), {interface}, QString(), this,
                    SLOT(propertiesChanged(QDBusMessage)));
    }
    // bluetoothd restarting or crashing takes every link with it, and QtBluetooth hears nothing
    // of it; when it is back, it is asked again what it has.
    auto* watcher = new QDBusServiceWatcher(bluezService, bus,
                                            QDBusServiceWatcher::WatchForRegistration |
                                                QDBusServiceWatcher::WatchForUnregistration,
                                            this);
    QObject::connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this,
                     &BluezMonitor::serviceUnregistered);
    QObject::connect(watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] {
        qCInfo(lcBluetoothQt) << "bluetoothd is on the bus";
        probe();
    });
    bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
                this, SLOT(prepareForSleep(bool)));
    probe();
}

void BluezMonitor::probe() {
    // The adapter and the devices bluetoothd already knows, and whether we may ask it at all.
    const QDBusMessage call =
        QDBusMessage::createMethodCall(bluezService, QStringLiteral("/"), objectManagerInterface,
                                       QStringLiteral("GetManagedObjects"));
    auto* watcher = new QDBusPendingCallWatcher(
        QDBusConnection::systemBus().asyncCall(call, probeTimeoutMs), this);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, this,
                     [this](QDBusPendingCallWatcher* finished) {
                         finished->deleteLater();
                         finishProbe(finished->reply());
                     });
}

void BluezMonitor::serviceUnregistered() {
    qCWarning(lcBluetoothQt) << "bluetoothd left the bus";
    m_serviceGone = true;
    forgetAdapter();
    Q_EMIT stackFailed(StackFault::serviceGone);
    Q_EMIT changed();
}

void BluezMonitor::prepareForSleep(bool start) {
    if (!start) {
        qCInfo(lcBluetoothQt) << "resumed from sleep";
        Q_EMIT stackFailed(StackFault::resumedFromSleep);
    }
}

void BluezMonitor::forgetAdapter() {
    m_adapterPath.clear();
    m_adapterAddress.clear();
    m_adapterPowered = false;
}

void BluezMonitor::finishProbe(const QDBusMessage& reply) {
    if (reply.type() == QDBusMessage::ErrorMessage) {
        qCInfo(lcBluetoothQt) << "bluetoothd did not answer:" << reply.errorName()
                              << reply.errorMessage();
        m_accessDenied = isAccessDenied(reply.errorName());
    } else if (m_serviceGone) {
        // Back, maybe with another adapter or none: only what it says now counts.
        m_serviceGone = false;
        forgetAdapter();
    }
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
        QMap<QDBusObjectPath, InterfaceMap> objects;
        reply.arguments().constFirst().value<QDBusArgument>() >> objects;
        for (auto it = objects.cbegin(); it != objects.cend(); ++it) {
            if (it.value().contains(deviceInterface)) {
                record(it.key().path(), it.value().value(deviceInterface), true);
            }
            const auto adapter = it.value().constFind(adapterInterface);
            if (adapter != it.value().cend()) {
                recordAdapter(it.key().path(), *adapter);
            }
        }
    }
    m_probed = true;
    Q_EMIT changed();
}

void BluezMonitor::recordAdapter(const QString& path, const QVariantMap& adapterProperties) {
    // The first adapter in path order, as QtBluetooth picks its default ("hci0").
    if (adapterPresent() && path != m_adapterPath) {
        return;
    }
    const bool wasPowered = m_adapterPowered && path == m_adapterPath;
    m_adapterPath = path;
    m_adapterPowered = adapterProperties.value(QStringLiteral("Powered")).toBool();
    if (wasPowered && !m_adapterPowered) {
        qCWarning(lcBluetoothQt) << "adapter" << path << "switched off";
        Q_EMIT stackFailed(StackFault::adapterPoweredOff);
    }
    const auto address = adapterProperties.constFind(QStringLiteral("Address"));
    if (address != adapterProperties.cend()) {
        m_adapterAddress = QBluetoothAddress(address->toString());
    }
    if (m_probed) {
        Q_EMIT changed();
    }
}

bool BluezMonitor::isAccessDenied(const QString& errorName) {
    return errorName == QLatin1String("org.freedesktop.DBus.Error.AccessDenied") ||
           errorName == QLatin1String("org.bluez.Error.NotAuthorized") ||
           errorName == QLatin1String("org.bluez.Error.NotPermitted");
}

std::optional<QString> BluezMonitor::name(const QBluetoothAddress& address) const {
    const auto it = m_names.constFind(address.toUInt64());
    if (it == m_names.cend()) {
        return std::nullopt;
    }
    return *it;
}

std::optional<int> BluezMonitor::txPowerLevel(const QBluetoothAddress& address) const {
    const auto it = m_txPower.constFind(address.toUInt64());
    if (it == m_txPower.cend()) {
        return std::nullopt;
    }
    return *it;
}

QBluetoothAddress BluezMonitor::addressOfPath(const QString& path) {
    static const QRegularExpression devicePath(
        QStringLiteral("^/org/bluez/[^/]+/dev_((?:[0-9A-Fa-f]{2}_){5}[0-9A-Fa-f]{2})$"));
    const QRegularExpressionMatch match = devicePath.match(path);
    if (!match.hasMatch()) {
        return {};
    }
    return QBluetoothAddress(match.captured(1).replace(QLatin1Char('_'), QLatin1Char(':')));
}

void BluezMonitor::record(const QString& path, const QVariantMap& deviceProperties, bool complete) {
    const QBluetoothAddress address = addressOfPath(path);
    if (address.isNull()) {
        return;
    }
    if (const auto name = deviceProperties.constFind(nameProperty);
        name != deviceProperties.cend()) {
        m_names.insert(address.toUInt64(), name->toString());
    } else if (complete) {
        m_names.insert(address.toUInt64(), QString());
    }
    const auto it = deviceProperties.constFind(txPowerProperty);
    if (it == deviceProperties.cend()) {
        return;
    }
    bool ok = false;
    const int txPower = it->toInt(&ok);
    if (ok) {
        m_txPower.insert(address.toUInt64(), txPower);
    }
}

void BluezMonitor::interfacesAdded(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() < 2) {
        return;
    }
    InterfaceMap interfaces;
    arguments.at(1).value<QDBusArgument>() >> interfaces;
    const QString path = arguments.at(0).value<QDBusObjectPath>().path();
    if (interfaces.contains(deviceInterface)) {
        record(path, interfaces.value(deviceInterface), true);
    }
    const auto adapter = interfaces.constFind(adapterInterface);
    if (adapter != interfaces.cend()) {
        recordAdapter(path, *adapter);
    }
}

void BluezMonitor::interfacesRemoved(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() < 2 || arguments.at(0).value<QDBusObjectPath>().path() != m_adapterPath ||
        !arguments.at(1).toStringList().contains(adapterInterface)) {
        return;
    }
    qCWarning(lcBluetoothQt) << "adapter" << m_adapterPath << "removed";
    forgetAdapter();
    Q_EMIT stackFailed(StackFault::adapterRemoved);
    if (m_probed) {
        Q_EMIT changed();
    }
}

void BluezMonitor::propertiesChanged(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() < 2) {
        return;
    }
    // QtDBus hands a{sv} over already converted, but be ready for the raw form.
    QVariantMap changed;
    if (arguments.at(1).userType() == qMetaTypeId<QDBusArgument>()) {
        arguments.at(1).value<QDBusArgument>() >> changed;
    } else {
        changed = arguments.at(1).toMap();
    }
    const QString interface = arguments.at(0).toString();
    if (interface == deviceInterface) {
        record(message.path(), changed, false);
    } else if (interface == adapterInterface && message.path() == m_adapterPath &&
               changed.contains(QStringLiteral("Powered"))) {
        recordAdapter(message.path(), changed);
    }
}

} // namespace tallyfin::bluetooth
