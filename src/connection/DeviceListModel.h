// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "connection/DeviceAdvertisementInfo.h"

#include <QAbstractListModel>
#include <QSet>
#include <QTimer>

#include <algorithm>

namespace tallyfin {

class FTMSManager;

// The machines of the current scan for the device list: one row per discovered peripheral in
// order of first sighting, joined with its latest advertisement.
//
// A report changes only its own row, and reports that come together reach the views together, on
// the next turn of the event loop: new machines as one insertion at the end, new advertisements
// as one dataChanged per row. A new scan resets the model at once.
//
// The one-line chooser shows one row at a time and pages through them: the model keeps which.
class DeviceListModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    // The row the chooser shows: the chosen one, or the last while fewer rows are known; -1 while
    // the list is empty.
    Q_PROPERTY(int shownRow READ shownRow NOTIFY shownChanged)
    // The shown row's entry as get() gives it; notified when another row is shown or its
    // advertisement changes.
    Q_PROPERTY(QVariantMap shown READ shown NOTIFY shownChanged)

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
    // The row's name alone (what get() gives as "name"), cheaper to read on every advertisement.
    Q_INVOKABLE QString nameAt(int row) const;

    int shownRow() const { return m_count == 0 ? -1 : std::min(m_count - 1, m_chosen); }
    QVariantMap shown() const { return get(shownRow()); }
    // Pages forward (direction > 0) or back (< 0) through the rows, wrapping round; nothing with
    // fewer than two rows. Counts from the chosen row as kept, which a new scan leaves as it was.
    Q_INVOKABLE void step(int direction);

Q_SIGNALS:
    void countChanged();
    void shownChanged();

private:
    void listChanged();
    void rowRecorded(qsizetype row);
    void flush();
    QVariant value(const DiscoveredDevice& device, int role) const;
    // Notifies shownChanged when another row is shown now, or always when `changed`.
    void updateShown(bool changed);

    FTMSManager& m_manager;
    // Rows the views know of: the first m_count entries of the manager's list.
    int m_count = 0;
    int m_chosen = 0;
    int m_lastShown = -1;
    QSet<int> m_changedRows;
    QTimer m_flush;
};

} // namespace tallyfin
