#include "BluezAdvertisementCache.h"

#include "QtBluetoothLogging.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QMap>
#include <QRegularExpression>

namespace tallyfin::bluetooth {

namespace {

const QString bluezService = QStringLiteral("org.bluez");
const QString deviceInterface = QStringLiteral("org.bluez.Device1");
const QString txPowerProperty = QStringLiteral("TxPower");

using InterfaceMap = QMap<QString, QVariantMap>;

} // namespace

BluezAdvertisementCache::BluezAdvertisementCache(QObject* parent)
    : QObject(parent) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        qCDebug(lcBluetoothQt) << "no system bus: advertised transmit power unavailable";
        return;
    }
    bus.connect(bluezService, QStringLiteral("/"),
                QStringLiteral("org.freedesktop.DBus.ObjectManager"),
                QStringLiteral("InterfacesAdded"), this, SLOT(interfacesAdded(QDBusMessage)));
    bus.connect(bluezService, QString(), QStringLiteral("org.freedesktop.DBus.Properties"),
                QStringLiteral("PropertiesChanged"), {deviceInterface}, QString(), this,
                SLOT(propertiesChanged(QDBusMessage)));

    // Devices bluetoothd already knows before the first scan.
    const QDBusMessage call = QDBusMessage::createMethodCall(
        bluezService, QStringLiteral("/"), QStringLiteral("org.freedesktop.DBus.ObjectManager"),
        QStringLiteral("GetManagedObjects"));
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, this,
                     [this](QDBusPendingCallWatcher* finished) {
                         finished->deleteLater();
                         const QDBusMessage reply = finished->reply();
                         if (reply.type() != QDBusMessage::ReplyMessage ||
                             reply.arguments().isEmpty()) {
                             return;
                         }
                         QMap<QDBusObjectPath, InterfaceMap> objects;
                         reply.arguments().constFirst().value<QDBusArgument>() >> objects;
                         for (auto it = objects.cbegin(); it != objects.cend(); ++it) {
                             record(it.key().path(), it.value().value(deviceInterface));
                         }
                     });
}

std::optional<int> BluezAdvertisementCache::txPowerLevel(const QBluetoothAddress& address) const {
    const auto it = m_txPower.constFind(address.toUInt64());
    if (it == m_txPower.cend()) {
        return std::nullopt;
    }
    return *it;
}

QBluetoothAddress BluezAdvertisementCache::addressOfPath(const QString& path) {
    static const QRegularExpression devicePath(
        QStringLiteral("^/org/bluez/[^/]+/dev_((?:[0-9A-Fa-f]{2}_){5}[0-9A-Fa-f]{2})$"));
    const QRegularExpressionMatch match = devicePath.match(path);
    if (!match.hasMatch()) {
        return {};
    }
    return QBluetoothAddress(match.captured(1).replace(QLatin1Char('_'), QLatin1Char(':')));
}

void BluezAdvertisementCache::record(const QString& path, const QVariantMap& deviceProperties) {
    const auto it = deviceProperties.constFind(txPowerProperty);
    if (it == deviceProperties.cend()) {
        return;
    }
    const QBluetoothAddress address = addressOfPath(path);
    bool ok = false;
    const int txPower = it->toInt(&ok);
    if (!address.isNull() && ok) {
        m_txPower.insert(address.toUInt64(), txPower);
    }
}

void BluezAdvertisementCache::interfacesAdded(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() < 2) {
        return;
    }
    InterfaceMap interfaces;
    arguments.at(1).value<QDBusArgument>() >> interfaces;
    record(arguments.at(0).value<QDBusObjectPath>().path(), interfaces.value(deviceInterface));
}

void BluezAdvertisementCache::propertiesChanged(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() < 2 || arguments.at(0).toString() != deviceInterface) {
        return;
    }
    // QtDBus hands a{sv} over already converted, but be ready for the raw form.
    QVariantMap changed;
    if (arguments.at(1).userType() == qMetaTypeId<QDBusArgument>()) {
        arguments.at(1).value<QDBusArgument>() >> changed;
    } else {
        changed = arguments.at(1).toMap();
    }
    record(message.path(), changed);
}

} // namespace tallyfin::bluetooth
