#include "DeviceListModel.h"

#include "connection/FTMSManager.h"

namespace tallyfin {

namespace {

template<typename T>
QVariant optionalVariant(const std::optional<T>& value) {
    return value ? QVariant::fromValue(*value) : QVariant();
}

} // namespace

DeviceListModel::DeviceListModel(FTMSManager& manager, QObject* parent)
    : QAbstractListModel(parent)
    , m_manager(manager) {
    QObject::connect(&m_manager, &FTMSManager::discoveredDevicesChanged, this,
                     &DeviceListModel::refresh);
    QObject::connect(&m_manager, &FTMSManager::deviceInfosChanged, this, &DeviceListModel::refresh);
    refresh();
}

int DeviceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_devices.size());
}

QVariant DeviceListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const DiscoveredDevice& device = m_devices.at(index.row());
    switch (role) {
    case IdRole:
        return device.id.toString(QUuid::WithoutBraces);
    case Qt::DisplayRole:
    case NameRole:
        return device.name;
    case RssiRole:
        return device.rssi ? QVariant(int(*device.rssi)) : QVariant();
    case ManufacturerDataRole:
        return optionalVariant(device.manufacturerData);
    case TxPowerLevelRole:
        return device.txPowerLevel ? QVariant(int(*device.txPowerLevel)) : QVariant();
    default:
        return {};
    }
}

QHash<int, QByteArray> DeviceListModel::roleNames() const {
    return {{IdRole, "id"},
            {NameRole, "name"},
            {RssiRole, "rssi"},
            {ManufacturerDataRole, "manufacturerData"},
            {TxPowerLevelRole, "txPowerLevel"}};
}

QVariantMap DeviceListModel::get(int row) const {
    QVariantMap result;
    if (row < 0 || row >= count()) {
        return result;
    }
    const QHash<int, QByteArray> roles = roleNames();
    for (auto it = roles.cbegin(); it != roles.cend(); ++it) {
        result.insert(QString::fromLatin1(it.value()), data(index(row), it.key()));
    }
    return result;
}

void DeviceListModel::refresh() {
    QList<DiscoveredDevice> devices = m_manager.devices();
    const bool sameRows = devices.size() == m_devices.size() &&
                          std::equal(devices.cbegin(), devices.cend(), m_devices.cbegin(),
                                     [](const auto& a, const auto& b) { return a.id == b.id; });
    if (sameRows) {
        // Only advertisements changed (signal strength drifts): keep the rows, refresh values.
        m_devices = std::move(devices);
        if (!m_devices.isEmpty()) {
            Q_EMIT dataChanged(index(0), index(int(m_devices.size()) - 1));
        }
        return;
    }
    const bool appended = devices.size() > m_devices.size() &&
                          std::equal(m_devices.cbegin(), m_devices.cend(), devices.cbegin(),
                                     [](const auto& a, const auto& b) { return a.id == b.id; });
    if (appended) {
        const int first = int(m_devices.size());
        beginInsertRows({}, first, int(devices.size()) - 1);
        m_devices = std::move(devices);
        endInsertRows();
        if (first > 0) {
            Q_EMIT dataChanged(index(0), index(first - 1));
        }
    } else {
        beginResetModel();
        m_devices = std::move(devices);
        endResetModel();
    }
    Q_EMIT countChanged();
}

} // namespace tallyfin
