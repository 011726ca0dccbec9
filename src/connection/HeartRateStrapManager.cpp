// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "HeartRateStrapManager.h"

#include "connection/ConnectionLogging.h"
#include "connection/DeviceAdvertisementInfo.h"
#include "connection/FTMSManager.h"
#include "ftms/FTMSDataParser.h"
#include "model/Localization.h"
#include "model/OutsideText.h"

#include <QRegularExpression>
#include <QSettings>

#include <algorithm>

namespace tallyfin {

using bluetooth::CentralState;
using bluetooth::CharacteristicPtr;
using bluetooth::PeripheralPtr;
using bluetooth::ServicePtr;

const QBluetoothUuid HeartRateStrapManager::heartRateServiceUUID{quint16(0x180D)};
const QBluetoothUuid HeartRateStrapManager::heartRateMeasurementUUID{quint16(0x2A37)};

namespace {

QString idText(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces);
}

} // namespace

// The list

int HeartRateStrapListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant HeartRateStrapListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const HeardStrap& strap = m_straps.at(index.row());
    switch (role) {
    case IdRole:
        return idText(strap.id);
    case NameRole:
        return strap.name;
    case RssiRole:
        return strap.rssi ? QVariant(*strap.rssi) : QVariant();
    case ChosenRole:
        return m_chosen == strap.id;
    default:
        return {};
    }
}

QHash<int, QByteArray> HeartRateStrapListModel::roleNames() const {
    return {{IdRole, "strapId"}, {NameRole, "name"}, {RssiRole, "rssi"}, {ChosenRole, "chosen"}};
}

const HeardStrap* HeartRateStrapListModel::find(const QUuid& id) const {
    const auto it = std::find_if(m_straps.cbegin(), m_straps.cend(),
                                 [&](const HeardStrap& strap) { return strap.id == id; });
    return it == m_straps.cend() ? nullptr : &*it;
}

void HeartRateStrapListModel::record(const HeardStrap& strap) {
    const HeardStrap* known = find(strap.id);
    if (known) {
        const int row = static_cast<int>(known - m_straps.constData());
        m_straps[row] = strap;
        Q_EMIT dataChanged(index(row), index(row));
        return;
    }
    beginInsertRows({}, count(), count());
    m_straps.append(strap);
    endInsertRows();
    Q_EMIT countChanged();
}

void HeartRateStrapListModel::reset(const std::optional<HeardStrap>& chosen, bool forget) {
    beginResetModel();
    QList<HeardStrap> straps;
    if (chosen) {
        const HeardStrap* heard = find(chosen->id);
        straps.append(heard ? *heard : *chosen);
        straps.first().name = chosen->name;
    }
    for (const HeardStrap& strap : std::as_const(m_straps)) {
        if (!forget && (!chosen || strap.id != chosen->id)) {
            straps.append(strap);
        }
    }
    m_straps = std::move(straps);
    m_chosen = chosen ? std::optional<QUuid>(chosen->id) : std::nullopt;
    endResetModel();
    Q_EMIT countChanged();
}

// The strap

HeartRateStrapManager::HeartRateStrapManager(FTMSManager& manager)
    : m_manager(manager) {}

HeartRateStrapManager::~HeartRateStrapManager() {
    if (m_strap) {
        m_strap->setDelegate(nullptr);
    }
}

bluetooth::Central* HeartRateStrapManager::central() const {
    return m_manager.centralManager();
}

void HeartRateStrapManager::setSettings(QSettings* settings) {
    m_settings = settings;
    if (!m_settings || !m_settings->contains(QLatin1String(strapKey))) {
        return;
    }
    const QString stored = m_settings->value(QLatin1String(strapKey)).toString();
    const QUuid id(stored);
    if (id.isNull()) {
        qCWarning(lcConnection).noquote() << "stored heart-rate strap" << stored
                                          << "is no identifier; using the machine's heart rate";
        return;
    }
    // Stored by an earlier version, or by hand: made safe like a name just heard.
    HeardStrap chosen{
        id, sanitizedName(m_settings->value(QLatin1String(strapNameKey)).toString()), {}, {}};
    if (chosen.name.isEmpty()) {
        chosen.name = unknownDeviceName();
    }
    m_chosen = chosen;
    m_list.reset(m_chosen, false);
    Q_EMIT choiceChanged();
    reconsider();
}

QString HeartRateStrapManager::chosenId() const {
    return m_chosen ? idText(m_chosen->id) : QString();
}

bool HeartRateStrapManager::owns(const PeripheralPtr& peripheral) const {
    if (!peripheral) {
        return false;
    }
    return (m_strap && m_strap->identifier() == peripheral->identifier()) || isLeaving(peripheral);
}

bool HeartRateStrapManager::isLeaving(const PeripheralPtr& peripheral) const {
    return std::any_of(m_leaving.cbegin(), m_leaving.cend(), [&](const PeripheralPtr& leaving) {
        return leaving->identifier() == peripheral->identifier();
    });
}

bool HeartRateStrapManager::choose(const QString& id) {
    if (id.isEmpty()) {
        if (!m_chosen) {
            return true;
        }
        const bool delivered = m_valueSeen;
        m_chosen.reset();
        if (m_settings) {
            m_settings->remove(QLatin1String(strapKey));
            m_settings->remove(QLatin1String(strapNameKey));
        }
        release();
        m_list.reset(std::nullopt, false);
        Q_EMIT choiceChanged();
        if (delivered) {
            //: Status when the user chose the machine's own heart rate instead of a strap's
            //% "Heart rate from the machine"
            m_manager.setStatus(qtTrId("strap.machineChosen"));
        }
        reconsider();
        return true;
    }
    const HeardStrap* heard = m_list.find(QUuid(id));
    if (!heard) {
        qCWarning(lcConnection) << "no heart-rate strap heard with identifier" << id;
        return false;
    }
    if (m_chosen && m_chosen->id == heard->id) {
        return true;
    }
    const HeardStrap strap = *heard;
    release();
    m_chosen = strap;
    if (m_settings) {
        m_settings->setValue(QLatin1String(strapKey), idText(strap.id));
        m_settings->setValue(QLatin1String(strapNameKey), strap.name);
    }
    m_list.reset(m_chosen, false);
    Q_EMIT choiceChanged();
    if (strap.peripheral && m_machineStreaming) {
        connectStrap(strap);
    } else {
        reconsider();
    }
    return true;
}

void HeartRateStrapManager::setListWanted(bool wanted) {
    m_listWanted = wanted;
    reconsider();
}

void HeartRateStrapManager::reconsider() {
    const bool settled = m_link == Link::none || (m_link == Link::connected && m_valueSeen);
    const bool wanted = m_listWanted || (m_chosen && m_link == Link::none);
    const bool listen = m_machineStreaming && settled && wanted && central() &&
                        central()->state() == CentralState::poweredOn;
    if (listen == m_listening) {
        return;
    }
    m_listening = listen;
    qCDebug(lcConnection) << (listen ? "listening for heart-rate straps" : "no longer listening");
    if (listen) {
        central()->scanForPeripherals({heartRateServiceUUID});
    } else if (central()) {
        central()->stopScan();
    }
}

void HeartRateStrapManager::machineStreaming() {
    if (std::exchange(m_machineStreaming, true)) {
        return;
    }
    reconsider();
}

void HeartRateStrapManager::machineGone() {
    m_machineStreaming = false;
    release();
    m_delivered = false;
    m_list.reset(m_chosen, true);
    Q_EMIT linkChanged();
    reconsider();
}

void HeartRateStrapManager::centralStateChanged(CentralState /*state*/) {
    reconsider();
}

void HeartRateStrapManager::didDiscover(const PeripheralPtr& peripheral,
                                        const QVariantMap& /*advertisement*/, int rssi) {
    const PeripheralPtr& machine = m_manager.connectedPeripheral();
    if (!peripheral || !m_listening ||
        (machine && machine->identifier() == peripheral->identifier())) {
        return;
    }
    const HeardStrap strap{peripheral->identifier(), deviceName(*peripheral), rssi, peripheral};
    m_list.record(strap);
    if (!m_chosen || m_chosen->id != strap.id) {
        return;
    }
    if (m_chosen->name != strap.name && m_settings) {
        m_settings->setValue(QLatin1String(strapNameKey), strap.name);
    }
    m_chosen = strap;
    if (m_link == Link::none) {
        // Not from inside the central's report: connecting stops listening.
        QMetaObject::invokeMethod(
            this,
            [this, id = strap.id] {
                const HeardStrap* heard = m_list.find(id);
                if (heard && m_chosen && m_chosen->id == id && m_link == Link::none &&
                    m_machineStreaming) {
                    connectStrap(*heard);
                }
            },
            Qt::QueuedConnection);
    }
}

void HeartRateStrapManager::connectStrap(const HeardStrap& strap) {
    m_strap = strap.peripheral;
    m_link = Link::connecting;
    m_valueSeen = false;
    // Listening ends before the connection is asked for.
    reconsider();
    m_strap->setDelegate(this);
    qCInfo(lcConnection) << "connecting to the heart-rate strap" << strap.name;
    // The stack drops a connection asked for while the strap's disconnection is still pending:
    // a strap still being let go of is connected once it is gone (see connectReturning).
    if (central() && !isLeaving(m_strap)) {
        central()->connect(m_strap);
    }
    Q_EMIT linkChanged();
}

void HeartRateStrapManager::connectReturning(const PeripheralPtr& peripheral) {
    if (m_strap && m_link == Link::connecting &&
        m_strap->identifier() == peripheral->identifier() && central()) {
        central()->connect(m_strap);
    }
}

void HeartRateStrapManager::release() {
    if (!m_strap) {
        return;
    }
    const bool delivered = m_valueSeen;
    const PeripheralPtr strap = m_strap;
    m_leaving.append(strap);
    finishLink();
    if (central()) {
        central()->cancelConnection(strap);
    }
    if (delivered) {
        m_manager.setStrapHeartRate(std::nullopt);
    }
}

void HeartRateStrapManager::didConnect(const PeripheralPtr& peripheral) {
    if (peripheral != m_strap || m_link != Link::connecting) {
        return;
    }
    m_link = Link::connected;
    const QString name = deviceName(*peripheral);
    const HeardStrap* heard = m_list.find(peripheral->identifier());
    m_manager.appendLog(
        connectedLogLine(u"STRAP CONNECTED: ", *peripheral, heard ? heard->rssi : std::nullopt));
    m_manager.sendUsageSignal(QStringLiteral("heartRateStrapConnected"),
                              {{QStringLiteral("strapModel"), modelName(name)}});
    Q_EMIT linkChanged();
    peripheral->discoverServices({heartRateServiceUUID});
}

void HeartRateStrapManager::didDiscoverServices(const PeripheralPtr& peripheral,
                                                const std::optional<QString>& /*error*/) {
    if (!peripheral || peripheral != m_strap) {
        return;
    }
    const auto services = peripheral->services();
    for (const ServicePtr& service : services.value_or(QList<ServicePtr>())) {
        if (service && service->uuid == heartRateServiceUUID) {
            peripheral->discoverCharacteristics({heartRateMeasurementUUID}, service);
        }
    }
}

void HeartRateStrapManager::didDiscoverCharacteristics(const PeripheralPtr& peripheral,
                                                       const ServicePtr& service,
                                                       const std::optional<QString>& /*error*/) {
    if (!peripheral || peripheral != m_strap || !service || !service->characteristics) {
        return;
    }
    for (const CharacteristicPtr& characteristic : *service->characteristics) {
        if (characteristic && characteristic->uuid == heartRateMeasurementUUID) {
            peripheral->setNotifyValue(true, characteristic);
            return;
        }
    }
    qCWarning(lcConnection) << "the heart-rate strap" << deviceName(*peripheral)
                            << "offers no Heart Rate Measurement";
}

void HeartRateStrapManager::didUpdateValue(const PeripheralPtr& peripheral,
                                           const CharacteristicPtr& characteristic,
                                           const std::optional<QString>& /*error*/) {
    if (!peripheral || peripheral != m_strap || !characteristic || !characteristic->value ||
        characteristic->uuid != heartRateMeasurementUUID) {
        return;
    }
    m_manager.logRawData(*characteristic->value, FTMSManager::label(characteristic->uuid));
    FitnessMetrics decoded;
    decoded.heartRate = m_heartRate;
    heartRateMeasurementParser().parse(*characteristic->value, decoded);
    m_heartRate = decoded.heartRate;
    m_manager.setStrapHeartRate(m_heartRate);
    if (!std::exchange(m_valueSeen, true)) {
        m_delivered = true;
        //: Status once a heart-rate strap sends its values (%1 is the strap's name)
        //% "Heart rate from %1"
        m_manager.setStatus(formatted(qtTrId("strap.connected"), deviceName(*peripheral)));
        Q_EMIT linkChanged();
        reconsider();
    }
}

void HeartRateStrapManager::didDisconnect(const PeripheralPtr& peripheral) {
    const QString name = deviceName(*peripheral);
    if (forgetLeaving(peripheral)) {
        m_manager.appendLog(u"STRAP DISCONNECTED: " + name);
        Q_EMIT linkChanged();
        connectReturning(peripheral);
        return;
    }
    const bool delivered = m_valueSeen;
    finishLink();
    m_manager.appendLog(u"STRAP LOST: " + name);
    if (delivered) {
        m_manager.setStrapHeartRate(std::nullopt);
    }
    m_manager.setStatus(
        m_manager.machineFeatures().heartRateMeasurementSupported
            //: Status when a strap goes away and the machine's heart rate shows again
            //% "%1 lost: heart rate from the machine"
            ? formatted(qtTrId("strap.lost"), name)
            //: Status when a strap goes away and the machine measures no heart rate
            //% "%1 lost"
            : formatted(qtTrId("strap.lostWithoutMachineHeartRate"), name));
    reconsider();
}

void HeartRateStrapManager::didFailToConnect(const PeripheralPtr& peripheral,
                                             const std::optional<QString>& errorDescription) {
    if (forgetLeaving(peripheral)) {
        Q_EMIT linkChanged();
        connectReturning(peripheral);
        return;
    }
    m_manager.appendLog(u"STRAP CONNECTION FAILED: " + deviceName(*peripheral) + u": " +
                        escapedText(errorDescription.value_or(QString())));
    finishLink();
    reconsider();
}

bool HeartRateStrapManager::forgetLeaving(const PeripheralPtr& peripheral) {
    return m_leaving.removeIf([&](const PeripheralPtr& leaving) {
        return leaving->identifier() == peripheral->identifier();
    }) > 0;
}

void HeartRateStrapManager::finishLink() {
    if (m_strap) {
        m_strap->setDelegate(nullptr);
    }
    m_strap.reset();
    m_link = Link::none;
    m_valueSeen = false;
    m_heartRate = 0;
    Q_EMIT linkChanged();
}

QString HeartRateStrapManager::modelName(const QString& name) {
    // Trailing words of hexadecimal digits (and dashes or colons) with at least four characters
    // and a digit, after a space, colon, underscore or dash: serial numbers and addresses, not
    // models such as "H10" or "S2".
    static const QRegularExpression serial(
        QStringLiteral("(?:[\\s:_-]+(?=[0-9A-Fa-f:-]*[0-9])[0-9A-Fa-f:-]{4,})+$"));
    QString model = name;
    model.remove(serial);
    return model.trimmed();
}

} // namespace tallyfin
