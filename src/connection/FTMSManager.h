// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "bluetooth/Central.h"
#include "connection/DeviceAdvertisementInfo.h"
#include "connection/Published.h"
#include "connection/ReconnectWatch.h"
#include "ftms/FTMSDataParser.h"
#include "model/ApplicationInfo.h"
#include "model/EquipmentType.h"
#include "model/FitnessMachineFeature.h"
#include "model/FitnessMetrics.h"

#include <QBluetoothUuid>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace tallyfin {

class DeviceListModel;
class HeartRateStrapManager;

// The one manager object: owns the Bluetooth central, scans, connects, detects the machine,
// routes every received value to the diagnostic log and the machine's decoder, and publishes the
// live state the overlay shows. It only ever reads from machines.
//
// Published fields notify in two ways: objectWillChange() before every assignment (also of an
// equal value, also once per changed member of a record), and a stream per field through its
// Published<T> (subscribe() calls back at once with the current value). QML reads the same fields
// as properties whose NOTIFY signal follows each assignment, except for the live values
// (`metrics`, `powerHistory`): a fast machine notifies more often than a screen shows frames, so
// their NOTIFY signals come at most once per view interval, after the latest assignment. Every
// value still goes through the streams, the log and the history.
class FTMSManager : public QObject,
                    public bluetooth::CentralDelegate,
                    public bluetooth::PeripheralDelegate {
    Q_OBJECT
    Q_MOC_INCLUDE("connection/DeviceListModel.h")
    Q_MOC_INCLUDE("connection/HeartRateStrapManager.h")
    Q_PROPERTY(bool isScanning READ isScanning NOTIFY isScanningChanged)
    Q_PROPERTY(bool isConnected READ isConnected NOTIFY isConnectedChanged)
    Q_PROPERTY(bool isSimulating READ isSimulating NOTIFY isSimulatingChanged)
    Q_PROPERTY(tallyfin::FitnessMetrics metrics READ metrics NOTIFY metricsChanged)
    Q_PROPERTY(tallyfin::FitnessMachineFeature machineFeatures READ machineFeatures NOTIFY
                   machineFeaturesChanged)
    Q_PROPERTY(QString statusMessage READ statusMessage NOTIFY statusMessageChanged)
    Q_PROPERTY(QList<qint64> powerHistory READ powerHistory NOTIFY powerHistoryChanged)
    Q_PROPERTY(int powerHistoryMaxCount READ powerHistoryMaxCountValue CONSTANT)
    Q_PROPERTY(QStringList logBuffer READ logBuffer NOTIFY logBufferChanged)
    Q_PROPERTY(QString logText READ logText NOTIFY logBufferChanged)
    Q_PROPERTY(tallyfin::DeviceListModel* deviceList READ deviceList CONSTANT)
    Q_PROPERTY(tallyfin::HeartRateStrapManager* heartRateStraps READ heartRateStraps CONSTANT)
    // Connected, but the machine has sent nothing for the no-data time: the values shown are old.
    Q_PROPERTY(bool valuesStale READ valuesStale NOTIFY valuesStaleChanged)
    // Connect again to a machine lost without the user asking when it is heard within a few
    // minutes (kept in the settings, on by default).
    Q_PROPERTY(
        bool autoReconnect READ autoReconnect WRITE setAutoReconnect NOTIFY autoReconnectChanged)
    // A lost machine is being awaited.
    Q_PROPERTY(bool awaitingReturn READ awaitingReturn NOTIFY awaitingReturnChanged)
    // The connection continues the one lost before it (same machine, connected again on its
    // own); set before isConnected turns true, so a workout can carry on rather than start anew.
    Q_PROPERTY(bool reconnected READ reconnected NOTIFY isConnectedChanged)
    // The connected machine's name as the device list shows it; empty while none is connected.
    Q_PROPERTY(QString machineName READ machineName NOTIFY isConnectedChanged)
    // What the central last said of Bluetooth (bluetooth::CentralState as a number), so that the
    // views can say why nothing is found.
    Q_PROPERTY(int bluetoothState READ bluetoothStateValue NOTIFY bluetoothStateChanged)

public:
    // Sends one analytics signal: its name and its parameters.
    using SignalSender =
        std::function<void(const QString& name, const QMap<QString, QString>& parameters)>;
    using Clock = std::function<QDateTime()>;

    static constexpr int logBufferMaxCount = 500;
    static constexpr int powerHistoryMaxCount = 120;

    static const QBluetoothUuid ftmsServiceUUID;
    static const QBluetoothUuid rowerDataUUID;
    static const QBluetoothUuid indoorBikeDataUUID;
    static const QBluetoothUuid treadmillDataUUID;
    static const QBluetoothUuid crossTrainerDataUUID;
    static const QBluetoothUuid fitnessMachineFeatureUUID;
    // Known so that it is never mistaken for a data characteristic; never used.
    static const QBluetoothUuid fitnessControlPointUUID;

    // Creates the central through `centralFactory`; `sendSignal` may be empty (nothing is sent).
    FTMSManager(const bluetooth::CentralFactory& centralFactory, ApplicationInfo applicationInfo,
                SignalSender sendSignal = {}, QObject* parent = nullptr);
    ~FTMSManager() override;

    // Read access to the published fields.
    bool isScanning() const { return m_isScanning; }
    bool isConnected() const { return m_isConnected; }
    bool isSimulating() const { return m_isSimulating; }
    const FitnessMetrics& metrics() const { return m_metrics; }
    const FitnessMachineFeature& machineFeatures() const { return m_machineFeatures; }
    const QString& statusMessage() const { return m_statusMessage; }
    const QList<bluetooth::PeripheralPtr>& discoveredDevices() const { return m_discoveredDevices; }
    const QMap<QUuid, DeviceAdvertisementInfo>& deviceInfos() const { return m_deviceInfos; }
    const QList<qint64>& powerHistory() const { return m_powerHistory; }
    bool valuesStale() const { return m_valuesStale; }
    bluetooth::CentralState bluetoothState() const { return m_bluetoothState; }
    int bluetoothStateValue() const { return static_cast<int>(m_bluetoothState); }

    // The streams of the published fields. They are writable like the fields of any observable
    // object; an assignment through them notifies exactly as the manager's own do. Only
    // `discoveredDevices` is read-only: the manager keeps an index of its entries.
    Published<bool>& isScanningPublisher() { return m_isScanning; }
    Published<bool>& isConnectedPublisher() { return m_isConnected; }
    Published<bool>& isSimulatingPublisher() { return m_isSimulating; }
    Published<FitnessMetrics>& metricsPublisher() { return m_metrics; }
    Published<FitnessMachineFeature>& machineFeaturesPublisher() { return m_machineFeatures; }
    Published<QString>& statusMessagePublisher() { return m_statusMessage; }
    const Published<QList<bluetooth::PeripheralPtr>>& discoveredDevicesPublisher() const {
        return m_discoveredDevices;
    }
    Published<QMap<QUuid, DeviceAdvertisementInfo>>& deviceInfosPublisher() {
        return m_deviceInfos;
    }
    Published<QList<qint64>>& powerHistoryPublisher() { return m_powerHistory; }
    Published<bool>& valuesStalePublisher() { return m_valuesStale; }

    // Unpublished state.
    const QStringList& logBuffer() const { return m_logBuffer; }
    // The log as the overlay copies it: lines joined with a newline.
    QString logText() const;
    EquipmentType detectedEquipmentType() const { return m_detectedEquipmentType; }
    const bluetooth::PeripheralPtr& connectedPeripheral() const { return m_connectedPeripheral; }
    const FTMSDataParsing* currentParser() const { return m_currentParser; }
    bluetooth::Central* centralManager() const { return m_centralManager.get(); }
    const QTimer* simulationTimer() const { return m_simulationTimer; }
    std::optional<QDateTime> simulationStartTime() const { return m_simulationStartTime; }
    DeviceListModel* deviceList() const { return m_deviceList; }
    // The heart-rate strap beside the machine.
    HeartRateStrapManager* heartRateStraps() const { return m_straps.get(); }
    // A connected strap's heart rate, which `metrics` shows in place of the machine's own.
    std::optional<qint64> strapHeartRate() const { return m_strapHeartRate; }
    bool autoReconnect() const { return m_reconnect.isEnabled(); }
    void setAutoReconnect(bool enabled) { m_reconnect.setEnabled(enabled); }
    bool awaitingReturn() const { return m_reconnect.isAwaiting(); }
    bool reconnected() const { return m_reconnected; }
    QString machineName() const;
    // Where "autoReconnect" is kept (not owned; it must outlive the manager); read at once.
    void setSettings(QSettings* settings) { m_reconnect.setSettings(settings); }
    // The device list's entry for the peripheral at `index` of `discoveredDevices` (which must
    // exist).
    DiscoveredDevice discoveredDevice(qsizetype index) const;

    // Injection points for tests and benchmarks.
    void setScanRetryInterval(std::chrono::milliseconds interval) {
        m_scanRetryInterval = interval;
    }
    std::chrono::milliseconds scanRetryInterval() const { return m_scanRetryInterval; }
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // How long a silent machine goes unreported, after subscribing or mid-stream (5 s).
    void setNoDataTimeout(std::chrono::milliseconds timeout) { m_noDataTimer.setInterval(timeout); }
    // How long a lost machine is awaited (5 minutes).
    void setReconnectWindow(std::chrono::milliseconds window) { m_reconnect.setWindow(window); }
    // The shortest time between two NOTIFY signals of the live values (16 ms, one frame at 60 Hz).
    void setViewInterval(std::chrono::milliseconds interval) {
        m_viewInterval = interval;
        if (m_viewTimer.isActive()) {
            m_viewTimer.start(interval);
        }
    }

    // Scanning.
    Q_INVOKABLE void startScanning();
    Q_INVOKABLE void stopScanning();

    // Connection. `connect` hides QObject::connect inside this class on purpose: it is the
    // operation the device list calls; code here spells QObject::connect in full.
    void connect(const bluetooth::PeripheralPtr& peripheral);
    // For QML: connects to the discovered peripheral with this identifier text. False when no
    // discovered peripheral has it.
    Q_INVOKABLE bool connectDevice(const QString& id);
    Q_INVOKABLE void disconnect();
    Q_INVOKABLE void stopSimulation();

    // Diagnostic log.
    void appendLog(const QString& line);
    void logVersionInfo();
    void logRawData(QByteArrayView data, const QString& label);
    static QStringList hexBytes(QByteArrayView data);
    // The label of a raw-data line for a characteristic.
    static QString label(const QBluetoothUuid& characteristic);

    // Main-queue steps, public so that the spine can be driven without a radio.
    void publishMetrics(const FitnessMetrics& metrics);
    void updatePowerHistory();
    void recordAdvertisement(const bluetooth::PeripheralPtr& peripheral,
                             const DeviceAdvertisementInfo& info);
    // A strap's heart rate replaces the machine's in `metrics` at once; nullopt gives the machine's
    // own back. The power history takes no sample for it.
    void setStrapHeartRate(std::optional<qint64> heartRate);
    void handleFeatureData(QByteArrayView value);
    void applyFeatures(quint32 machineBits, quint32 targetBits);

    // CentralDelegate.
    void centralDidUpdateState(bluetooth::CentralState state) override;
    void didDiscover(const bluetooth::PeripheralPtr& peripheral, const QVariantMap& advertisement,
                     int rssi) override;
    void didConnect(const bluetooth::PeripheralPtr& peripheral) override;
    void didDisconnect(const bluetooth::PeripheralPtr& peripheral,
                       const std::optional<QString>& error) override;
    void didFailToConnect(const bluetooth::PeripheralPtr& peripheral,
                          const std::optional<QString>& errorDescription) override;
    void centralDidFail(bluetooth::StackFault fault) override;

    // PeripheralDelegate.
    void didDiscoverServices(const bluetooth::PeripheralPtr& peripheral,
                             const std::optional<QString>& error) override;
    void didDiscoverCharacteristics(const bluetooth::PeripheralPtr& peripheral,
                                    const bluetooth::ServicePtr& service,
                                    const std::optional<QString>& error) override;
    void didUpdateValue(const bluetooth::PeripheralPtr& peripheral,
                        const bluetooth::CharacteristicPtr& characteristic,
                        const std::optional<QString>& error) override;

Q_SIGNALS:
    // Before every assignment of a published field.
    void objectWillChange();
    // After the assignment of the named field.
    void isScanningChanged();
    void isConnectedChanged();
    void isSimulatingChanged();
    void metricsChanged();
    void machineFeaturesChanged();
    void statusMessageChanged();
    void discoveredDevicesChanged();
    void powerHistoryChanged();
    void valuesStaleChanged();
    void bluetoothStateChanged();
    void autoReconnectChanged();
    void awaitingReturnChanged();
    // The user asked to let go of the connected machine (disconnect()): its loss that follows is
    // the end of the session, not a link to wait for.
    void disconnectRequested();
    // After each line appended to the log.
    void logBufferChanged();
    // After recordAdvertisement, with the index of the peripheral's entry in discoveredDevices.
    void advertisementRecorded(qsizetype index);
    // With the failed status, for callers that act on a failed attempt (the status already
    // shows it). `errorText` is the stack's description, or empty.
    void connectionFailed(const QString& errorText);

private:
    friend class HeartRateStrapManager;

    int powerHistoryMaxCountValue() const { return powerHistoryMaxCount; }
    // Sends an analytics signal when the build carries an application identifier.
    void sendUsageSignal(const QString& name, const QMap<QString, QString>& parameters);
    // Runs `step` on a later turn of the event loop, unless this manager is gone by then.
    template<typename F>
    void later(F&& step);
    void setStatus(const QString& text) { m_statusMessage.set(text); }
    void reportNoData();
    // The first value after a silence: live again.
    void valuesReturned();
    void connectPeripheral(const bluetooth::PeripheralPtr& peripheral, const QString& status);
    // Connects the awaited machine, just heard again.
    void reconnect(const bluetooth::PeripheralPtr& peripheral);
    // Scans for the awaited machine (unless a scan runs), saying whom it waits for.
    void awaitReturn();
    // NOTIFY of a live value for the views, on the next view interval.
    void notifyViews(void (FTMSManager::*changed)());
    void flushViews();

    // Field order follows the order in which they are initialised.
    QStringList m_logBuffer;
    std::unique_ptr<bluetooth::Central> m_centralManager;
    bluetooth::PeripheralPtr m_connectedPeripheral;
    EquipmentType m_detectedEquipmentType = EquipmentType::unknown;
    // One of the shared, stateless decoders; never owned.
    const FTMSDataParsing* m_currentParser = nullptr;
    Published<bool> m_isScanning;
    Published<bool> m_isConnected;
    Published<FitnessMetrics> m_metrics;
    Published<FitnessMachineFeature> m_machineFeatures;
    Published<QString> m_statusMessage;
    Published<QList<bluetooth::PeripheralPtr>> m_discoveredDevices;
    Published<QMap<QUuid, DeviceAdvertisementInfo>> m_deviceInfos;
    Published<QList<qint64>> m_powerHistory;
    Published<bool> m_isSimulating;
    Published<bool> m_valuesStale;
    bluetooth::CentralState m_bluetoothState = bluetooth::CentralState::unknown;
    QPointer<QTimer> m_simulationTimer;
    std::optional<QDateTime> m_simulationStartTime;

    ApplicationInfo m_applicationInfo;
    SignalSender m_sendSignal;
    std::chrono::milliseconds m_scanRetryInterval{500};
    Clock m_clock;
    DeviceListModel* m_deviceList = nullptr;
    // Where each identifier stands in discoveredDevices.
    QHash<QUuid, qsizetype> m_discoveredIndex;
    // Runs from the subscription, and again from each value of the data characteristic.
    QTimer m_noDataTimer;
    QString m_subscribedLabel;
    // The status a silence replaced, shown again when values return.
    QString m_statusBeforeSilence;
    bool m_noDataReported = false;
    // A value arrived since the subscription.
    bool m_valueSeen = false;
    // The views asked for a scan and have not stopped it: it resumes when Bluetooth is back.
    bool m_scanWanted = false;
    QTimer m_scanRetry;
    // The user's disconnect() is under way: its disconnection is no loss.
    bool m_disconnectRequested = false;
    // The connection being set up is the awaited machine's.
    bool m_reconnecting = false;
    bool m_reconnected = false;
    ReconnectWatch m_reconnect;
    // The machine's own heart rate, shown whenever no strap's is.
    qint64 m_machineHeartRate = 0;
    std::optional<qint64> m_strapHeartRate;
    std::unique_ptr<HeartRateStrapManager> m_straps;
    QTimer m_viewTimer;
    std::chrono::milliseconds m_viewInterval{16};
    QList<void (FTMSManager::*)()> m_pendingViewSignals;
};

} // namespace tallyfin
