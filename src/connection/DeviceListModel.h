// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "connection/DeviceAdvertisementInfo.h"

#include <QAbstractListModel>
#include <QSet>
#include <QTimer>

namespace tallyfin {

class FTMSManager;

// The machines of the current scan for the device list: one row per discovered peripheral in
// order of first sighting, joined with its latest advertisement.
//
// A report changes only its own row, and reports that come together reach the views together, on
// the next turn of the event loop: new machines as one insertion at the end, new advertisements
// as one dataChanged per row. A new scan resets the model at once.
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

    int count() const { return m_count; }
    // The row's entry as a map of its role names, for QML; empty outside the list.
    Q_INVOKABLE QVariantMap get(int row) const;

Q_SIGNALS:
    void countChanged();

private:
    void listChanged();
    void rowRecorded(qsizetype row);
    void flush();
    QVariant value(const DiscoveredDevice& device, int role) const;

    FTMSManager& m_manager;
    // Rows the views know of: the first m_count entries of the manager's list.
    int m_count = 0;
    QSet<int> m_changedRows;
    QTimer m_flush;
};

} // namespace tallyfin
