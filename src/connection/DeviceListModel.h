#pragma once

#include "connection/DeviceAdvertisementInfo.h"

#include <QAbstractListModel>
#include <QList>

namespace tallyfin {

class FTMSManager;

// The machines of the current scan for the device list: one row per discovered peripheral in
// order of first sighting, joined with its latest advertisement.
class DeviceListModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role {
        IdRole = Qt::UserRole + 1, // identifier text, without braces
        NameRole,
        RssiRole,             // int, or undefined without an advertisement
        ManufacturerDataRole, // QByteArray, or undefined
        TxPowerLevelRole,     // int, or undefined
    };
    Q_ENUM(Role)

    explicit DeviceListModel(FTMSManager& manager, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return int(m_devices.size()); }
    const QList<DiscoveredDevice>& devices() const { return m_devices; }
    // The row's entry as a map of its role names, for QML; empty outside the list.
    Q_INVOKABLE QVariantMap get(int row) const;

Q_SIGNALS:
    void countChanged();

private:
    void refresh();

    FTMSManager& m_manager;
    QList<DiscoveredDevice> m_devices;
};

} // namespace tallyfin
