#pragma once

#include <QBluetoothAddress>
#include <QDBusMessage>
#include <QHash>
#include <QObject>
#include <QVariantMap>

#include <optional>

namespace tallyfin::bluetooth {

// What bluetoothd knows about an advertisement that QBluetoothDeviceInfo does not carry: the
// advertised transmit power. It follows the devices of org.bluez on the system bus; on systems
// without bluetoothd it simply stays empty.
class BluezAdvertisementCache final : public QObject {
    Q_OBJECT

public:
    explicit BluezAdvertisementCache(QObject* parent = nullptr);

    std::optional<int> txPowerLevel(const QBluetoothAddress& address) const;

    // The address of a BlueZ device object path ("/org/bluez/hci0/dev_C0_FF_EE_00_00_01"), or a
    // null address for any other path.
    static QBluetoothAddress addressOfPath(const QString& path);

private Q_SLOTS:
    void interfacesAdded(const QDBusMessage& message);
    void propertiesChanged(const QDBusMessage& message);

private:
    void record(const QString& path, const QVariantMap& deviceProperties);

    // By address as a number: QBluetoothAddress has no hash.
    QHash<quint64, int> m_txPower;
};

} // namespace tallyfin::bluetooth
