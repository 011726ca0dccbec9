// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "bluetooth/Central.h"

#include <QAbstractListModel>
#include <QBluetoothUuid>
#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>

#include <optional>

class QSettings;

namespace tallyfin {

class FTMSManager;

// A heart-rate strap heard nearby: its identifier, its name and the signal strength of its latest
// advertisement.
struct HeardStrap {
    QUuid id;
    QString name;
    std::optional<int> rssi;
    bluetooth::PeripheralPtr peripheral;
};

// The straps to choose from, for the machine information popover: the chosen one first (also
// while it is not heard, with the name it was chosen under), then the others in order of first
// sighting. New straps are inserted, new advertisements change their row only.
class HeartRateStrapListModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role {
        IdRole = Qt::UserRole + 1, // identifier text, without braces
        NameRole,
        RssiRole,   // int, or undefined while not heard
        ChosenRole, // bool
    };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;
    int count() const { return static_cast<int>(m_straps.size()); }

    const QList<HeardStrap>& straps() const { return m_straps; }
    const HeardStrap* find(const QUuid& id) const;
    // Adds the strap or updates its row.
    void record(const HeardStrap& strap);
    // Puts `chosen` (none: no strap) first and marks it; forgets the other straps when `forget`.
    void reset(const std::optional<HeardStrap>& chosen, bool forget);

Q_SIGNALS:
    void countChanged();

private:
    QList<HeardStrap> m_straps;
    std::optional<QUuid> m_chosen;
};

// A heart-rate strap beside the machine. While a machine is connected and streaming it listens for
// advertisements of the Heart Rate service (as long as the popover asks for the list, or while the
// chosen strap is away), connects the chosen strap whenever it is heard, subscribes to its Heart
// Rate Measurement and hands every heart rate to the manager, whose `metrics` then show it in place
// of the machine's own. The choice is kept in the settings by the strap's identifier, so the strap
// is connected again in later runs; choosing the machine forgets it. Like the rest of the program
// it only reads: the one write is the stack's own enabling of notifications.
//
// Listening and connecting never overlap: a connection is requested only once listening has
// stopped, and listening starts only after the machine's first value (or its silence) and while
// no strap connection is being set up. On BlueZ, discovery holds a bus match rule per device it
// sees until it stops; this way every connection sets up its own rules with none of discovery's
// in the way, however crowded the air.
class HeartRateStrapManager : public QObject, public bluetooth::PeripheralDelegate {
    Q_OBJECT
    // Identifier text of the chosen strap, empty for the machine's own heart rate.
    Q_PROPERTY(QString chosenId READ chosenId NOTIFY choiceChanged)
    Q_PROPERTY(QString chosenName READ chosenName NOTIFY choiceChanged)
    // The chosen strap is connected.
    Q_PROPERTY(bool isConnected READ isConnected NOTIFY linkChanged)
    // A strap has sent its heart rate since the machine connected: the heart-rate tile stays.
    Q_PROPERTY(bool hasDelivered READ hasDelivered NOTIFY linkChanged)
    Q_PROPERTY(tallyfin::HeartRateStrapListModel* straps READ straps CONSTANT)

public:
    static const QBluetoothUuid heartRateServiceUUID;
    static const QBluetoothUuid heartRateMeasurementUUID;
    // Settings keys of the chosen strap.
    static constexpr char strapKey[] = "heartRateStrap";
    static constexpr char strapNameKey[] = "heartRateStrapName";

    explicit HeartRateStrapManager(FTMSManager& manager);
    ~HeartRateStrapManager() override;

    // Where the choice is kept (not owned; it must outlive this object); the stored choice is read
    // at once. Without settings the choice lasts for this run.
    void setSettings(QSettings* settings);

    QString chosenId() const;
    QString chosenName() const { return m_chosen ? m_chosen->name : QString(); }
    bool isConnected() const { return m_link == Link::connected; }
    bool hasDelivered() const { return m_delivered; }
    bool isListening() const { return m_listening; }
    // A strap connection exists or is being set up or taken down.
    bool hasLink() const { return m_strap || !m_leaving.isEmpty(); }
    bool owns(const bluetooth::PeripheralPtr& peripheral) const;
    HeartRateStrapListModel* straps() { return &m_list; }

    // The user's choice: a strap by its identifier text, or the machine for an empty text.
    Q_INVOKABLE bool choose(const QString& id);
    // The popover shows the list from its opening to its closing.
    Q_INVOKABLE void setListWanted(bool wanted);

    // The manager's side.
    void machineStreaming();
    void machineGone();
    void centralStateChanged(bluetooth::CentralState state);
    void didDiscover(const bluetooth::PeripheralPtr& peripheral, const QVariantMap& advertisement,
                     int rssi);
    void didConnect(const bluetooth::PeripheralPtr& peripheral);
    void didDisconnect(const bluetooth::PeripheralPtr& peripheral);
    void didFailToConnect(const bluetooth::PeripheralPtr& peripheral,
                          const std::optional<QString>& errorDescription);

    // PeripheralDelegate.
    void didDiscoverServices(const bluetooth::PeripheralPtr& peripheral,
                             const std::optional<QString>& error) override;
    void didDiscoverCharacteristics(const bluetooth::PeripheralPtr& peripheral,
                                    const bluetooth::ServicePtr& service,
                                    const std::optional<QString>& error) override;
    void didUpdateValue(const bluetooth::PeripheralPtr& peripheral,
                        const bluetooth::CharacteristicPtr& characteristic,
                        const std::optional<QString>& error) override;

    // A strap's name without the serial number many straps add to it ("Polar H10 8A2B3C4D" is a
    // "Polar H10"): what the analytics signal may tell about it.
    static QString modelName(const QString& name);

Q_SIGNALS:
    void choiceChanged();
    void linkChanged();

private:
    enum class Link { none, connecting, connected };

    void connectStrap(const HeardStrap& strap);
    // Lets go of the strap without calling it lost; its disconnection is awaited in m_leaving.
    void release();
    // Connects the peripheral, now gone, if it was chosen again while it was being let go of.
    void connectReturning(const bluetooth::PeripheralPtr& peripheral);
    // The strap is gone: the link and what it delivered are reset.
    void finishLink();
    bool isLeaving(const bluetooth::PeripheralPtr& peripheral) const;
    // True when the peripheral was let go of; it is forgotten.
    bool forgetLeaving(const bluetooth::PeripheralPtr& peripheral);
    // Starts or stops listening as the state asks.
    void reconsider();
    bluetooth::Central* central() const;

    FTMSManager& m_manager;
    QSettings* m_settings = nullptr;
    std::optional<HeardStrap> m_chosen;
    HeartRateStrapListModel m_list;
    // The chosen strap while it is being connected or is connected.
    bluetooth::PeripheralPtr m_strap;
    Link m_link = Link::none;
    // Straps let go of whose disconnection has not been reported yet.
    QList<bluetooth::PeripheralPtr> m_leaving;
    qint64 m_heartRate = 0;
    // The strap has sent a value on this connection; since the machine connected.
    bool m_valueSeen = false;
    bool m_delivered = false;
    bool m_machineStreaming = false;
    bool m_listWanted = false;
    bool m_listening = false;
};

} // namespace tallyfin
