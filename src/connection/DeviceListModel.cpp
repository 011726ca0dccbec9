// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

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
    m_flush.setSingleShot(true);
    m_flush.setInterval(0);
    QObject::connect(&m_flush, &QTimer::timeout, this, &DeviceListModel::flush);
    QObject::connect(&m_manager, &FTMSManager::discoveredDevicesChanged, this,
                     &DeviceListModel::listChanged);
    QObject::connect(&m_manager, &FTMSManager::advertisementRecorded, this,
                     &DeviceListModel::rowRecorded);
    listChanged();
}

int DeviceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_count;
}

QVariant DeviceListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    return value(m_manager.discoveredDevice(index.row()), role);
}

QVariant DeviceListModel::value(const DiscoveredDevice& device, int role) const {
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
    const DiscoveredDevice device = m_manager.discoveredDevice(row);
    const QHash<int, QByteArray> roles = roleNames();
    for (auto it = roles.cbegin(); it != roles.cend(); ++it) {
        result.insert(QString::fromLatin1(it.value()), value(device, it.key()));
    }
    return result;
}

QString DeviceListModel::nameAt(int row) const {
    return row < 0 || row >= count() ? QString()
                                     : deviceName(*m_manager.discoveredDevices().at(row));
}

void DeviceListModel::step(int direction) {
    const int n = m_count;
    if (n < 2 || direction == 0) {
        return;
    }
    m_chosen = direction > 0 ? (m_chosen + 1) % n : ((m_chosen - 1) % n + n) % n;
    updateShown(false);
}

void DeviceListModel::updateShown(bool changed) {
    const int now = shownRow();
    if (changed || now != m_lastShown) {
        m_lastShown = now;
        Q_EMIT shownChanged();
    }
}

void DeviceListModel::listChanged() {
    // The list only grows between scans; anything else starts the rows afresh.
    if (m_manager.discoveredDevices().size() < m_count) {
        beginResetModel();
        m_count = 0;
        m_changedRows.clear();
        endResetModel();
        Q_EMIT countChanged();
        updateShown(true);
    }
    if (m_manager.discoveredDevices().size() > m_count && !m_flush.isActive()) {
        m_flush.start();
    }
}

void DeviceListModel::rowRecorded(qsizetype row) {
    // New rows are announced by the flush as a whole.
    if (row < m_count) {
        m_changedRows.insert(int(row));
        if (!m_flush.isActive()) {
            m_flush.start();
        }
    }
}

void DeviceListModel::flush() {
    for (const int row : std::as_const(m_changedRows)) {
        Q_EMIT dataChanged(index(row), index(row));
    }
    const bool shownRowChanged = m_changedRows.contains(shownRow());
    m_changedRows.clear();
    const int size = int(m_manager.discoveredDevices().size());
    if (size > m_count) {
        beginInsertRows({}, m_count, size - 1);
        m_count = size;
        endInsertRows();
        Q_EMIT countChanged();
    }
    updateShown(shownRowChanged);
}

} // namespace tallyfin
