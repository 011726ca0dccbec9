// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "FTMSManager.h"

#include "connection/ConnectionLogging.h"
#include "connection/DeviceListModel.h"
#include "connection/HeartRateStrapManager.h"
#include "connection/LogTime.h"
#include "ftms/FeatureDecoder.h"
#include "model/Localization.h"
#include "model/OutsideText.h"

#include <QSysInfo>

#include <array>
#include <utility>

namespace tallyfin {

using bluetooth::CentralState;
using bluetooth::CharacteristicPtr;
using bluetooth::PeripheralPtr;
using bluetooth::ServicePtr;

const QBluetoothUuid FTMSManager::ftmsServiceUUID{quint16(0x1826)};
const QBluetoothUuid FTMSManager::rowerDataUUID{quint16(0x2AD1)};
const QBluetoothUuid FTMSManager::indoorBikeDataUUID{quint16(0x2AD2)};
const QBluetoothUuid FTMSManager::treadmillDataUUID{quint16(0x2ACD)};
const QBluetoothUuid FTMSManager::crossTrainerDataUUID{quint16(0x2ACE)};
const QBluetoothUuid FTMSManager::fitnessMachineFeatureUUID{quint16(0x2ACC)};
const QBluetoothUuid FTMSManager::fitnessControlPointUUID{quint16(0x2AD9)};

namespace {

QString readyText() {
    //: Ready to scan
    return qtTrId("connection.ready");
}
QString scanningText() {
    //: Scanning...
    return qtTrId("connection.scanning");
}
QString scanStoppedText() {
    //: Scan stopped
    return qtTrId("connection.scanStopped");
}
QString connectingText(const QString& name) {
    //: Connecting to...
    return formatted(qtTrId("connection.connecting"), name);
}
QString connectedText(const QString& name) {
    //: Connected to...
    return formatted(qtTrId("connection.connected"), name);
}
QString disconnectedText() {
    //: Disconnected
    return qtTrId("connection.disconnected");
}
QString connectionFailedText(const QString& error) {
    //: Connection failed
    return formatted(qtTrId("connection.connectionFailed"), error);
}
QString noDataText(const QString& name) {
    //: Connected, but the machine sends no values (%1 is the machine's name)
    //% "No values from %1"
    return formatted(qtTrId("connection.noData"), name);
}
QString awaitingText(const QString& name) {
    //: Status while a machine lost without the user asking is awaited (%1 is its name)
    //% "%1 lost: connecting again when it is heard"
    return formatted(qtTrId("connection.awaitingReturn"), name);
}
QString reconnectingText(const QString& name) {
    //: Status when a lost machine is heard again and connected anew (%1 is its name)
    //% "Reconnecting to %1"
    return formatted(qtTrId("connection.reconnecting"), name);
}
QString simulationStoppedText() {
    //: Simulation stopped status
    return qtTrId("simulation.stopped");
}

// The status a state report or a scan attempt shows; nullopt for unknown and resetting, which
// scanning treats as "not yet".
std::optional<QString> unavailableText(CentralState state) {
    switch (state) {
    case CentralState::unsupported:
        //: Bluetooth unsupported
        return qtTrId("bluetooth.unsupported");
    case CentralState::unauthorized:
        //: Bluetooth unauthorized
        return qtTrId("bluetooth.unauthorized");
    case CentralState::poweredOff:
        //: Bluetooth powered off
        return qtTrId("bluetooth.poweredOff");
    case CentralState::unknown:
    case CentralState::resetting:
    case CentralState::poweredOn:
        break;
    }
    return std::nullopt;
}

struct DetectionRow {
    const QBluetoothUuid* uuid;
    EquipmentType type;
    QString (*status)();
};

// Tested against each characteristic in this order.
const std::array<DetectionRow, 4>& detectionTable() {
    static const std::array<DetectionRow, 4> rows{{
        {&FTMSManager::rowerDataUUID, EquipmentType::rower,
         [] {
             //: Rower detected
             return qtTrId("equipment.detected.rower");
         }},
        {&FTMSManager::indoorBikeDataUUID, EquipmentType::bike,
         [] {
             //: Bike detected
             return qtTrId("equipment.detected.bike");
         }},
        {&FTMSManager::crossTrainerDataUUID, EquipmentType::crossTrainer,
         [] {
             //: Cross trainer detected
             return qtTrId("equipment.detected.crossTrainer");
         }},
        {&FTMSManager::treadmillDataUUID, EquipmentType::treadmill,
         [] {
             //: Treadmill detected
             return qtTrId("equipment.detected.treadmill");
         }},
    }};
    return rows;
}

// Appends the bytes as "%02X" texts joined with single spaces.
void appendHex(QString& text, QByteArrayView bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0) {
            text.append(QLatin1Char(' '));
        }
        const auto byte = quint8(bytes[i]);
        text.append(QLatin1Char(digits[byte >> 4])).append(QLatin1Char(digits[byte & 0x0F]));
    }
}

} // namespace

FTMSManager::FTMSManager(const bluetooth::CentralFactory& centralFactory,
                         ApplicationInfo applicationInfo, SignalSender sendSignal, QObject* parent)
    : QObject(parent)
    , m_isScanning(
          false, [this] { Q_EMIT objectWillChange(); }, [this] { Q_EMIT isScanningChanged(); })
    , m_isConnected(
          false, [this] { Q_EMIT objectWillChange(); }, [this] { Q_EMIT isConnectedChanged(); })
    , m_metrics(
          FitnessMetrics{}, [this] { Q_EMIT objectWillChange(); },
          [this] { notifyViews(&FTMSManager::metricsChanged); })
    , m_machineFeatures(
          FitnessMachineFeature{}, [this] { Q_EMIT objectWillChange(); },
          [this] { Q_EMIT machineFeaturesChanged(); })
    , m_statusMessage(
          readyText(), [this] { Q_EMIT objectWillChange(); },
          [this] { Q_EMIT statusMessageChanged(); })
    , m_discoveredDevices(
          {}, [this] { Q_EMIT objectWillChange(); }, [this] { Q_EMIT discoveredDevicesChanged(); })
    , m_deviceInfos({}, [this] { Q_EMIT objectWillChange(); })
    , m_powerHistory(
          {}, [this] { Q_EMIT objectWillChange(); },
          [this] { notifyViews(&FTMSManager::powerHistoryChanged); })
    , m_isSimulating(
          false, [this] { Q_EMIT objectWillChange(); }, [this] { Q_EMIT isSimulatingChanged(); })
    , m_valuesStale(
          false, [this] { Q_EMIT objectWillChange(); }, [this] { Q_EMIT valuesStaleChanged(); })
    , m_applicationInfo(std::move(applicationInfo))
    , m_sendSignal(std::move(sendSignal))
    , m_clock([] { return QDateTime::currentDateTime(); }) {
    m_noDataTimer.setSingleShot(true);
    m_noDataTimer.setInterval(std::chrono::seconds(5));
    QObject::connect(&m_noDataTimer, &QTimer::timeout, this, &FTMSManager::reportNoData);
    m_scanRetry.setSingleShot(true);
    QObject::connect(&m_scanRetry, &QTimer::timeout, this, &FTMSManager::startScanning);
    QObject::connect(&m_reconnect, &ReconnectWatch::enabledChanged, this,
                     &FTMSManager::autoReconnectChanged);
    QObject::connect(&m_reconnect, &ReconnectWatch::awaitingChanged, this,
                     &FTMSManager::awaitingReturnChanged);
    QObject::connect(&m_reconnect, &ReconnectWatch::gaveUp, this, [this](const QString& name) {
        appendLog(u"RECONNECT GIVEN UP: " + name + u" not heard within " +
                  QString::number(double(m_reconnect.window().count()) / 1000.0) + u" s");
        if (m_isScanning && !m_connectedPeripheral) {
            setStatus(scanningText());
        }
    });
    m_viewTimer.setSingleShot(true);
    QObject::connect(&m_viewTimer, &QTimer::timeout, this, [this] {
        if (!m_pendingViewSignals.isEmpty()) {
            flushViews();
            // Whatever changes during the next interval waits for its end.
            m_viewTimer.start(m_viewInterval);
        }
    });
    m_deviceList = new DeviceListModel(*this, this);
    m_straps = std::make_unique<HeartRateStrapManager>(*this);
    if (centralFactory) {
        m_centralManager = centralFactory(*this);
    }
    logVersionInfo();
}

FTMSManager::~FTMSManager() {
    // Peripherals hold their delegate weakly and may outlive us inside the central's caches.
    if (m_connectedPeripheral) {
        m_connectedPeripheral->setDelegate(nullptr);
    }
    m_straps.reset();
    m_centralManager.reset();
}

template<typename F>
void FTMSManager::later(F&& step) {
    QMetaObject::invokeMethod(this, std::forward<F>(step), Qt::QueuedConnection);
}

QString FTMSManager::logText() const {
    return m_logBuffer.join(QLatin1Char('\n'));
}

DiscoveredDevice FTMSManager::discoveredDevice(qsizetype index) const {
    const PeripheralPtr& peripheral = m_discoveredDevices.value().at(index);
    DiscoveredDevice device;
    device.id = peripheral->identifier();
    device.name = deviceName(*peripheral);
    device.peripheral = peripheral;
    const auto info = m_deviceInfos.value().constFind(device.id);
    if (info != m_deviceInfos.value().constEnd()) {
        device.rssi = info->rssi;
        device.manufacturerData = info->manufacturerData;
        device.txPowerLevel = info->txPowerLevel;
    }
    return device;
}

// Scanning

void FTMSManager::startScanning() {
    if (!m_centralManager) {
        return;
    }
    m_scanWanted = true;
    const CentralState state = m_centralManager->state();
    if (const auto text = unavailableText(state)) {
        setStatus(*text);
        return;
    }
    if (state == CentralState::poweredOn) {
        m_discoveredIndex.clear();
        m_discoveredDevices.set({});
        m_isScanning.set(true);
        setStatus(m_reconnect.isAwaiting() ? awaitingText(m_reconnect.name()) : scanningText());
        m_centralManager->scanForPeripherals({ftmsServiceUUID});
        return;
    }
    // Unknown or resetting: the stack has not told us yet, so ask again shortly.
    m_scanRetry.start(m_scanRetryInterval);
}

void FTMSManager::stopScanning() {
    m_scanWanted = false;
    m_scanRetry.stop();
    if (m_centralManager) {
        m_centralManager->stopScan();
    }
    m_isScanning.set(false);
    setStatus(scanStoppedText());
}

void FTMSManager::centralDidUpdateState(CentralState state) {
    m_straps->centralStateChanged(state);
    if (state != m_bluetoothState) {
        m_bluetoothState = state;
        Q_EMIT bluetoothStateChanged();
    }
    if (const auto text = unavailableText(state)) {
        setStatus(*text);
    } else if (state == CentralState::poweredOn) {
        //: Bluetooth ready
        setStatus(qtTrId("bluetooth.ready"));
    } else {
        //: Bluetooth unavailable
        setStatus(qtTrId("bluetooth.unavailable"));
    }
    // Back after being off or gone: the scan the views (or a lost machine) want goes on. A retry
    // still pending starts it by itself.
    if (state == CentralState::poweredOn && m_scanWanted && !m_connectedPeripheral &&
        !m_scanRetry.isActive()) {
        startScanning();
    }
}

void FTMSManager::centralDidFail(bluetooth::StackFault fault) {
    appendLog(u"BLUETOOTH FAULT: " + bluetooth::describe(fault));
}

void FTMSManager::didDiscover(const PeripheralPtr& peripheral, const QVariantMap& advertisement,
                              int rssi) {
    if (!peripheral) {
        return;
    }
    // While a machine is connected the central listens for straps only.
    if (!m_isScanning && m_straps->isListening()) {
        m_straps->didDiscover(peripheral, advertisement, rssi);
        return;
    }
    const auto info = DeviceAdvertisementInfo::fromAdvertisement(advertisement, rssi);
    later([this, peripheral, info] { recordAdvertisement(peripheral, info); });
}

void FTMSManager::recordAdvertisement(const PeripheralPtr& peripheral,
                                      const DeviceAdvertisementInfo& info) {
    // The same work however many machines are known: a crowd reports hundreds a second.
    const QUuid id = peripheral->identifier();
    m_deviceInfos.modify([&](auto& infos) { infos.insert(id, info); });
    qsizetype index = m_discoveredIndex.value(id, -1);
    if (index < 0) {
        index = m_discoveredDevices.value().size();
        m_discoveredIndex.insert(id, index);
        m_discoveredDevices.modify([&](auto& list) { list.append(peripheral); });
    }
    Q_EMIT advertisementRecorded(index);
    if (m_reconnect.awaits(id) && !m_connectedPeripheral) {
        reconnect(peripheral);
    }
}

// Connection

void FTMSManager::connect(const PeripheralPtr& peripheral) {
    if (!peripheral) {
        qCWarning(lcConnection) << "connect without a peripheral ignored";
        return;
    }
    // The user's choice ends any wait for a lost machine.
    m_reconnect.clear();
    m_reconnecting = false;
    connectPeripheral(peripheral, connectingText(deviceName(*peripheral)));
}

void FTMSManager::reconnect(const PeripheralPtr& peripheral) {
    const QString name = deviceName(*peripheral);
    appendLog(u"RECONNECTING: " + name + u" [" +
              peripheral->identifier().toString(QUuid::WithoutBraces).toUpper() + u']');
    m_reconnecting = true;
    connectPeripheral(peripheral, reconnectingText(name));
}

void FTMSManager::awaitReturn() {
    if (m_isScanning) {
        setStatus(awaitingText(m_reconnect.name()));
    } else {
        startScanning();
    }
}

void FTMSManager::connectPeripheral(const PeripheralPtr& peripheral, const QString& status) {
    stopScanning();
    setStatus(status);
    m_disconnectRequested = false;
    m_connectedPeripheral = peripheral;
    peripheral->setDelegate(this);
    if (m_centralManager) {
        m_centralManager->connect(peripheral);
    }
}

bool FTMSManager::connectDevice(const QString& id) {
    const QUuid uuid(id);
    for (const auto& peripheral : m_discoveredDevices.value()) {
        if (peripheral->identifier() == uuid) {
            connect(peripheral);
            return true;
        }
    }
    qCWarning(lcConnection) << "no discovered machine with identifier" << id;
    return false;
}

QString FTMSManager::machineName() const {
    return m_isConnected && m_connectedPeripheral ? deviceName(*m_connectedPeripheral) : QString();
}

void FTMSManager::disconnect() {
    m_reconnect.clear();
    if (m_connectedPeripheral) {
        m_disconnectRequested = true;
        Q_EMIT disconnectRequested();
        if (m_centralManager) {
            m_centralManager->cancelConnection(m_connectedPeripheral);
        }
        m_detectedEquipmentType = EquipmentType::unknown;
    } else if (m_isSimulating) {
        stopSimulation();
    }
}

void FTMSManager::didConnect(const PeripheralPtr& peripheral) {
    if (m_straps->owns(peripheral)) {
        m_straps->didConnect(peripheral);
        return;
    }
    if (!peripheral) {
        return;
    }
    const QString name = deviceName(*peripheral);
    const auto info = m_deviceInfos.value().constFind(peripheral->identifier());
    appendLog(connectedLogLine(u"CONNECTED: ", *peripheral,
                               info != m_deviceInfos.value().constEnd()
                                   ? std::optional<qint64>(info->rssi)
                                   : std::nullopt));
    sendUsageSignal(QStringLiteral("deviceConnected"), {{QStringLiteral("deviceName"), name}});
    const bool reconnected = std::exchange(m_reconnecting, false);
    if (reconnected) {
        m_reconnect.clear();
    }
    later([this, name, reconnected] {
        m_reconnected = reconnected;
        m_isConnected.set(true);
        setStatus(connectedText(name));
    });
    peripheral->discoverServices({ftmsServiceUUID});
}

void FTMSManager::sendUsageSignal(const QString& name, const QMap<QString, QString>& parameters) {
    if (m_applicationInfo.contains(ApplicationInfo::analyticsAppIdKey) && m_sendSignal) {
        m_sendSignal(name, parameters);
    }
}

void FTMSManager::didDisconnect(const PeripheralPtr& peripheral,
                                const std::optional<QString>& /*error*/) {
    if (m_straps->owns(peripheral)) {
        m_straps->didDisconnect(peripheral);
        return;
    }
    m_noDataTimer.stop();
    m_reconnecting = false;
    // Anything but the user's own disconnect() is a loss: said in the log, and the machine is
    // awaited.
    if (!std::exchange(m_disconnectRequested, false) && peripheral) {
        const QString name = deviceName(*peripheral);
        appendLog(u"LOST: " + name);
        if (m_reconnect.await(peripheral->identifier(), name)) {
            qCInfo(lcConnection) << "awaiting" << name << "for" << m_reconnect.window().count()
                                 << "ms";
        }
    }
    later([this] {
        // The strap goes with the machine, before the views see the machine gone.
        m_straps->machineGone();
        m_machineHeartRate = 0;
        m_strapHeartRate.reset();
        if (m_valuesStale) {
            m_valuesStale.set(false);
        }
        m_reconnected = false;
        m_isConnected.set(false);
        m_connectedPeripheral.reset();
        m_detectedEquipmentType = EquipmentType::unknown;
        m_metrics.set(FitnessMetrics{});
        m_powerHistory.set({});
        setStatus(disconnectedText());
        if (m_reconnect.isAwaiting() && !m_connectedPeripheral) {
            awaitReturn();
        }
    });
}

void FTMSManager::didFailToConnect(const PeripheralPtr& peripheral,
                                   const std::optional<QString>& errorDescription) {
    if (m_straps->owns(peripheral)) {
        m_straps->didFailToConnect(peripheral, errorDescription);
        return;
    }
    // The stack's text may carry what the device or bluetoothd said: shown, printed, never raw.
    const QString error = escapedText(errorDescription.value_or(QString()));
    qCInfo(lcConnection) << "connection failed:" << error;
    if (std::exchange(m_reconnecting, false) && m_reconnect.isAwaiting()) {
        // The machine is still awaited: listen for it again.
        m_connectedPeripheral.reset();
        later([this, error] {
            setStatus(connectionFailedText(error));
            if (m_reconnect.isAwaiting() && !m_connectedPeripheral) {
                awaitReturn();
            }
        });
        return;
    }
    later([this, error] {
        setStatus(connectionFailedText(error));
        Q_EMIT connectionFailed(error);
    });
}

void FTMSManager::didDiscoverServices(const PeripheralPtr& peripheral,
                                      const std::optional<QString>& /*error*/) {
    if (!peripheral) {
        return;
    }
    const auto services = peripheral->services();
    if (!services) {
        return;
    }
    for (const ServicePtr& service : *services) {
        if (service && service->uuid == ftmsServiceUUID) {
            peripheral->discoverCharacteristics({fitnessMachineFeatureUUID, rowerDataUUID,
                                                 indoorBikeDataUUID, treadmillDataUUID,
                                                 crossTrainerDataUUID},
                                                service);
        }
    }
}

void FTMSManager::didDiscoverCharacteristics(const PeripheralPtr& peripheral,
                                             const ServicePtr& service,
                                             const std::optional<QString>& /*error*/) {
    if (!peripheral || !service || !service->characteristics ||
        service->characteristics->isEmpty()) {
        return;
    }
    const QList<CharacteristicPtr>& characteristics = *service->characteristics;
    const QString name = deviceName(*peripheral);

    for (const CharacteristicPtr& characteristic : characteristics) {
        if (characteristic && characteristic->uuid == fitnessMachineFeatureUUID) {
            peripheral->readValue(characteristic);
            break;
        }
    }

    for (const CharacteristicPtr& characteristic : characteristics) {
        if (!characteristic) {
            continue;
        }
        for (const DetectionRow& row : detectionTable()) {
            if (characteristic->uuid != *row.uuid) {
                continue;
            }
            m_detectedEquipmentType = row.type;
            m_currentParser = dataParserFor(row.type);
            peripheral->setNotifyValue(true, characteristic);
            // A subscription the stack accepted but that brings nothing must not go unnoticed.
            m_subscribedLabel = label(characteristic->uuid);
            m_noDataReported = false;
            m_valueSeen = false;
            m_noDataTimer.start();
            later([this, name, status = row.status] {
                m_machineFeatures.modify([&](auto& features) { features.deviceName = name; });
                setStatus(status());
            });
            return;
        }
    }
}

void FTMSManager::didUpdateValue(const PeripheralPtr& /*peripheral*/,
                                 const CharacteristicPtr& characteristic,
                                 const std::optional<QString>& /*error*/) {
    if (!characteristic || !characteristic->value) {
        return;
    }
    const QByteArray value = *characteristic->value;
    const QBluetoothUuid& uuid = characteristic->uuid;
    logRawData(value, label(uuid));
    if (uuid == fitnessMachineFeatureUUID) {
        handleFeatureData(value);
        return;
    }
    if (uuid == rowerDataUUID || uuid == indoorBikeDataUUID || uuid == crossTrainerDataUUID ||
        uuid == treadmillDataUUID) {
        m_valueSeen = true;
        if (m_connectedPeripheral) {
            m_noDataTimer.start();
        }
        if (std::exchange(m_noDataReported, false)) {
            later([this] { valuesReturned(); });
        }
        // The spine: logged above, decoded into a copy, published on a later turn. The copy
        // decodes over the machine's own heart rate, and shows a strap's when one sends it.
        FitnessMetrics copy = m_metrics;
        copy.heartRate = m_machineHeartRate;
        if (m_currentParser) {
            m_currentParser->parse(value, copy);
        }
        m_machineHeartRate = copy.heartRate;
        later([this, copy]() mutable {
            copy.heartRate = m_strapHeartRate.value_or(copy.heartRate);
            publishMetrics(copy);
        });
        m_straps->machineStreaming();
        return;
    }
    qCDebug(lcConnection) << "value of an unexpected characteristic"
                          << bluetooth::canonicalText(uuid);
}

void FTMSManager::reportNoData() {
    if (!m_connectedPeripheral || m_noDataReported) {
        return;
    }
    // Once per silence: the timer starts again only with the next value.
    m_noDataReported = true;
    const QString seconds = QString::number(m_noDataTimer.interval() / 1000.0);
    qCWarning(lcConnection) << "no value of" << m_subscribedLabel << "for" << seconds << "s";
    const QString when = m_valueSeen ? QString(u" for " + seconds + u" s")
                                     : QString(u" within " + seconds + u" s of subscribing");
    appendLog(u"NO DATA: no " + m_subscribedLabel + when);
    m_statusBeforeSilence = m_statusMessage;
    setStatus(noDataText(deviceName(*m_connectedPeripheral)));
    m_valuesStale.set(true);
    m_straps->machineStreaming();
}

void FTMSManager::valuesReturned() {
    // Unless the machine was let go meanwhile.
    if (m_detectedEquipmentType == EquipmentType::unknown || !m_connectedPeripheral) {
        return;
    }
    m_valuesStale.set(false);
    // Unless something else has been said since.
    if (m_statusMessage.value() == noDataText(deviceName(*m_connectedPeripheral))) {
        setStatus(m_statusBeforeSilence);
    }
}

void FTMSManager::setStrapHeartRate(std::optional<qint64> heartRate) {
    m_strapHeartRate = heartRate;
    const qint64 shown = heartRate.value_or(m_machineHeartRate);
    if (shown != m_metrics.value().heartRate) {
        m_metrics.modify([shown](FitnessMetrics& metrics) { metrics.heartRate = shown; });
    }
}

void FTMSManager::notifyViews(void (FTMSManager::*changed)()) {
    if (!m_pendingViewSignals.contains(changed)) {
        m_pendingViewSignals.append(changed);
    }
    if (!m_viewTimer.isActive()) {
        // After a quiet interval, on the next turn of the event loop (with whatever else changes
        // in this one).
        m_viewTimer.start(0);
    }
}

void FTMSManager::flushViews() {
    const auto pending = std::exchange(m_pendingViewSignals, {});
    for (const auto changed : pending) {
        Q_EMIT(this->*changed)();
    }
}

void FTMSManager::publishMetrics(const FitnessMetrics& metrics) {
    m_metrics.set(metrics);
    updatePowerHistory();
    Q_EMIT objectWillChange();
}

void FTMSManager::updatePowerHistory() {
    const qint64 power = m_metrics.value().power;
    m_powerHistory.modify([power](auto& history) {
        history.append(power);
        if (history.size() > powerHistoryMaxCount) {
            history.removeFirst();
        }
    });
}

// Machine features

void FTMSManager::handleFeatureData(QByteArrayView value) {
    const std::optional<FeatureBits> bits = readFeatureBits(value);
    if (!bits) {
        qCInfo(lcConnection) << "feature value too short:" << value.size() << "bytes";
        return;
    }
    later([this, bits = *bits] { applyFeatures(bits.machineBits, bits.targetBits); });
}

void FTMSManager::applyFeatures(quint32 machineBits, quint32 targetBits) {
    const FeatureBits bits{machineBits, targetBits};
    // Each flag is its own change of the record, so observers see one notification per flag.
    for (const FeatureFlag& flag : featureFlags()) {
        const bool set = flag.isSet(bits);
        m_machineFeatures.modify([&](auto& features) { features.*flag.member = set; });
    }
    appendLog(featuresLogLine(m_machineFeatures.value()));
}

// Simulation

void FTMSManager::stopSimulation() {
    if (m_simulationTimer) {
        m_simulationTimer->stop();
        m_simulationTimer->deleteLater();
    }
    m_simulationTimer = nullptr;
    m_straps->machineGone();
    m_isSimulating.set(false);
    if (m_valuesStale) {
        m_valuesStale.set(false);
    }
    m_isConnected.set(false);
    m_detectedEquipmentType = EquipmentType::unknown;
    m_metrics.set(FitnessMetrics{});
    m_machineFeatures.set(FitnessMachineFeature{});
    m_powerHistory.set({});
    m_simulationStartTime.reset();
    setStatus(simulationStoppedText());
    appendLog(QStringLiteral("SIMULATION STOPPED"));
}

// Diagnostic log

void FTMSManager::appendLog(const QString& line) {
    m_logBuffer.append(line);
    if (m_logBuffer.size() > logBufferMaxCount) {
        m_logBuffer.removeFirst();
    }
    Q_EMIT logBufferChanged();
}

void FTMSManager::logVersionInfo() {
    appendLog(QStringLiteral("Tallyfin v") +
              m_applicationInfo.textOrUnknown(ApplicationInfo::shortVersionKey) +
              QStringLiteral(" (") +
              m_applicationInfo.textOrUnknown(ApplicationInfo::buildVersionKey) +
              QStringLiteral(") \u2014 ") + QSysInfo::prettyProductName());
}

void FTMSManager::logRawData(QByteArrayView data, const QString& label) {
    const QString time = mediumTimeText(m_clock().time());
    QString line;
    line.reserve(time.size() + label.size() + 5 + data.size() * 3);
    line.append(QLatin1Char('[')).append(time).append(QLatin1String("] ")).append(label);
    line.append(QLatin1String(": "));
    appendHex(line, data);
    appendLog(line);
}

QStringList FTMSManager::hexBytes(QByteArrayView data) {
    QStringList result;
    result.reserve(data.size());
    for (const char byte : data) {
        QString text;
        appendHex(text, QByteArrayView(&byte, 1));
        result.append(text);
    }
    return result;
}

QString FTMSManager::label(const QBluetoothUuid& characteristic) {
    if (characteristic == fitnessMachineFeatureUUID) {
        return QStringLiteral("Fitness Machine Feature (0x2ACC)");
    }
    if (characteristic == rowerDataUUID) {
        return QStringLiteral("Rower Data (0x2AD1)");
    }
    if (characteristic == indoorBikeDataUUID) {
        return QStringLiteral("Indoor Bike Data (0x2AD2)");
    }
    if (characteristic == crossTrainerDataUUID) {
        return QStringLiteral("Cross Trainer Data (0x2ACE)");
    }
    if (characteristic == treadmillDataUUID) {
        return QStringLiteral("Treadmill Data (0x2ACD)");
    }
    if (characteristic == HeartRateStrapManager::heartRateMeasurementUUID) {
        return QStringLiteral("Heart Rate Measurement (0x2A37)");
    }
    return QStringLiteral("Unknown Characteristic (") + bluetooth::canonicalText(characteristic) +
           QLatin1Char(')');
}

} // namespace tallyfin
