// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "QtBluetoothCentral.h"

#include "QtBluetoothLogging.h"
#include "QtBluetoothPeripheral.h"

#include <QBluetoothDeviceDiscoveryAgent>
#include <QtEndian>

#include <algorithm>
#include <utility>

#ifdef TALLYFIN_HAVE_BLUEZ
#include "BluezMonitor.h"
#else
#include <QBluetoothLocalDevice>
namespace tallyfin::bluetooth {
// Where the stack is not BlueZ, QtBluetooth tells all there is.
class BluezMonitor {
public:
    std::optional<int> txPowerLevel(const QBluetoothAddress&) const { return std::nullopt; }
    std::optional<QString> name(const QBluetoothAddress&) const { return std::nullopt; }
    QBluetoothAddress adapterAddress() const { return {}; }
    bool accessDenied() const { return m_accessDenied; }
    bool serviceGone() const { return false; }
    bool adapterPresent() const { return m_localDevice.isValid(); }
    bool adapterPowered() const {
        return m_localDevice.hostMode() != QBluetoothLocalDevice::HostPoweredOff;
    }
    template<typename F>
    void whenChanged(QObject* context, F changed) {
        QObject::connect(&m_localDevice, &QBluetoothLocalDevice::hostModeStateChanged, context,
                         changed);
        QObject::connect(&m_localDevice, &QBluetoothLocalDevice::errorOccurred, context,
                         [this, changed](QBluetoothLocalDevice::Error error) {
                             m_accessDenied |=
                                 error == QBluetoothLocalDevice::MissingPermissionsError;
                             changed();
                         });
        QMetaObject::invokeMethod(context, changed, Qt::QueuedConnection);
    }

private:
    QBluetoothLocalDevice m_localDevice;
    bool m_accessDenied = false;
};
} // namespace tallyfin::bluetooth
#endif

namespace tallyfin::bluetooth {

namespace {

// Namespace of the name-based identifiers of machines known only by their address.
const QUuid addressNamespace(QStringLiteral("{6f0c4a52-8f1e-4d5b-9a37-2c1d7e9b4f60}"));

// The report with the machine's own name: BlueZ's "Name" where bluetoothd told it (QtBluetooth
// reports the "Alias", a name the user gave or, for a machine without a name, its address), else
// the stack's name. An address is never a name.
QBluetoothDeviceInfo withOwnName(QBluetoothDeviceInfo info, const std::optional<QString>& name) {
    if (name) {
        info.setName(*name);
    } else if (QString(info.name())
                   .replace(QLatin1Char('-'), QLatin1Char(':'))
                   .compare(info.address().toString(), Qt::CaseInsensitive) == 0) {
        info.setName(QString());
    }
    return info;
}

} // namespace

CentralState centralStateFor(bool adapterValid, QBluetoothLocalDevice::HostMode hostMode,
                             bool permissionDenied) {
    // Without permission the stack cannot even tell whether there is an adapter.
    if (permissionDenied) {
        return CentralState::unauthorized;
    }
    if (!adapterValid) {
        return CentralState::unsupported;
    }
    if (hostMode == QBluetoothLocalDevice::HostPoweredOff) {
        return CentralState::poweredOff;
    }
    return CentralState::poweredOn;
}

QUuid peripheralIdentifier(const QBluetoothDeviceInfo& info) {
    if (!info.deviceUuid().isNull()) {
        return info.deviceUuid();
    }
    return QUuid::createUuidV5(addressNamespace, info.address().toString().toUpper());
}

QVariantMap advertisementFor(const QBluetoothDeviceInfo& info, std::optional<int> txPowerLevel) {
    QVariantMap advertisement;
    if (!info.name().isEmpty()) {
        advertisement.insert(QLatin1String(advertisement::localName), info.name());
    }
    QList<quint16> companies = info.manufacturerIds();
    if (!companies.isEmpty()) {
        std::sort(companies.begin(), companies.end());
        const quint16 company = companies.constFirst();
        QByteArray data(2, Qt::Uninitialized);
        qToLittleEndian(company, data.data());
        data += info.manufacturerData(company);
        advertisement.insert(QLatin1String(advertisement::manufacturerData), data);
    }
    if (txPowerLevel) {
        advertisement.insert(QLatin1String(advertisement::txPowerLevel), *txPowerLevel);
    }
    return advertisement;
}

QtBluetoothCentral::QtBluetoothCentral(CentralDelegate& delegate)
    : m_delegate(delegate) {
    m_bluez = std::make_unique<BluezMonitor>();
    // Like the stack on Apple platforms, the first state arrives after construction; with BlueZ
    // once we know whether bluetoothd lets us in.
#ifdef TALLYFIN_HAVE_BLUEZ
    QObject::connect(m_bluez.get(), &BluezMonitor::changed, &m_context, [this] { refreshState(); });
    QObject::connect(m_bluez.get(), &BluezMonitor::stackFailed, &m_context,
                     [this](StackFault fault) { handleStackFault(fault); });
#else
    m_bluez->whenChanged(&m_context, [this] { refreshState(); });
#endif
}

QtBluetoothCentral::~QtBluetoothCentral() {
    stopScan();
    for (const auto& peripheral : std::as_const(m_peripherals)) {
        peripheral->detach();
    }
}

void QtBluetoothCentral::refreshState() {
    // Until bluetoothd is back, nothing is known: the stack is resetting.
    const CentralState state =
        m_bluez->serviceGone()
            ? CentralState::resetting
            : centralStateFor(m_bluez->adapterPresent(),
                              m_bluez->adapterPowered() ? QBluetoothLocalDevice::HostConnectable
                                                        : QBluetoothLocalDevice::HostPoweredOff,
                              m_permissionDenied || m_bluez->accessDenied());
    if (m_stateReported && state == m_state) {
        return;
    }
    m_state = state;
    m_stateReported = true;
    static constexpr const char* names[] = {"unknown",      "resetting",  "unsupported",
                                            "unauthorized", "poweredOff", "poweredOn"};
    qCInfo(lcBluetoothQt) << "central state" << names[int(state)];
    m_delegate.centralDidUpdateState(state);
}

void QtBluetoothCentral::handleStackFault(StackFault fault) {
    refreshState();
    if (m_scanning) {
        if (m_state == CentralState::poweredOn) {
            scanForPeripherals(m_serviceFilter);
        } else {
            stopScan();
        }
    }
    m_delegate.centralDidFail(fault);
    const QString reason = describe(fault);
    // A copy: the delegate may ask for anything while it hears of each link.
    const auto peripherals = m_peripherals;
    for (const auto& peripheral : peripherals) {
        peripheral->loseLink(reason);
    }
}

void QtBluetoothCentral::scanForPeripherals(const QList<QBluetoothUuid>& serviceUuids) {
    // A new scan starts afresh, so that machines already seen are reported again.
    stopScan();
    m_serviceFilter = serviceUuids;
    m_scanning = true;
    // Each scan has an agent of its own, and nothing of it outlives the scan: whatever it holds
    // on the bus is released with it.
    m_agent = new QBluetoothDeviceDiscoveryAgent(&m_context);
    // Scan until told to stop, as the manager expects.
    m_agent->setLowEnergyDiscoveryTimeout(0);
    QObject::connect(m_agent, &QBluetoothDeviceDiscoveryAgent::deviceDiscovered, &m_context,
                     [this](const QBluetoothDeviceInfo& info) { handleReport(info); });
    QObject::connect(m_agent, &QBluetoothDeviceDiscoveryAgent::deviceUpdated, &m_context,
                     [this](const QBluetoothDeviceInfo& info) { handleReport(info); });
    QObject::connect(m_agent, &QBluetoothDeviceDiscoveryAgent::errorOccurred, &m_context,
                     [this](QBluetoothDeviceDiscoveryAgent::Error error) {
                         qCWarning(lcBluetoothQt)
                             << "scan failed:" << error << m_agent->errorString();
                         if (error == QBluetoothDeviceDiscoveryAgent::MissingPermissionsError) {
                             m_permissionDenied = true;
                         }
                         QMetaObject::invokeMethod(
                             &m_context, [this] { refreshState(); }, Qt::QueuedConnection);
                     });
    QObject::connect(m_agent, &QBluetoothDeviceDiscoveryAgent::finished, &m_context, [this] {
        if (m_scanning) {
            qCInfo(lcBluetoothQt) << "the stack ended the scan";
        }
    });
    qCInfo(lcBluetoothQt) << "scanning for" << serviceUuids;
    m_agent->start(QBluetoothDeviceDiscoveryAgent::LowEnergyMethod);
}

std::optional<int> QtBluetoothCentral::scanTimeoutMs() const {
    if (m_agent == nullptr) {
        return std::nullopt;
    }
    return m_agent->lowEnergyDiscoveryTimeout();
}

void QtBluetoothCentral::stopScan() {
    m_scanning = false;
    if (m_agent == nullptr) {
        return;
    }
    // Reports still on their way are dropped at delivery.
    m_agent->disconnect(&m_context);
    if (m_agent->isActive()) {
        m_agent->stop();
    }
    delete std::exchange(m_agent, nullptr);
}

void QtBluetoothCentral::handleReport(const QBluetoothDeviceInfo& info) {
    // The discovery agent reports from inside start() too, so the delegate hears of it later.
    // One advertisement can reach us twice (deviceDiscovered, then deviceUpdated): reports that
    // arrive before the delivery merge into the latest. A crowd reports in bursts; each burst is
    // delivered in one go, in order of arrival.
    const quint64 address = info.address().toUInt64();
    if (!m_pendingReports.contains(address)) {
        m_pendingOrder.append(address);
    }
    m_pendingReports.insert(address, info);
    if (m_pendingOrder.size() == 1 && m_pendingReports.size() == 1) {
        QMetaObject::invokeMethod(
            &m_context,
            [this] {
                for (const quint64 pending : std::exchange(m_pendingOrder, {})) {
                    deliverReport(m_pendingReports.take(pending));
                }
            },
            Qt::QueuedConnection);
    }
}

void QtBluetoothCentral::deliverReport(const QBluetoothDeviceInfo& report) {
    const QBluetoothDeviceInfo info = withOwnName(report, m_bluez->name(report.address()));
    if (!m_scanning ||
        !info.coreConfigurations().testFlag(QBluetoothDeviceInfo::LowEnergyCoreConfiguration)) {
        return;
    }
    // bluetoothd also lists machines it remembers from earlier scans; only those heard now carry
    // a signal strength (never 0 dBm in practice: that is the power of the transmitter itself).
    if (info.rssi() == 0) {
        return;
    }
    if (!m_serviceFilter.isEmpty()) {
        const QList<QBluetoothUuid> advertised = info.serviceUuids();
        const bool wanted =
            std::any_of(m_serviceFilter.cbegin(), m_serviceFilter.cend(),
                        [&](const auto& uuid) { return advertised.contains(uuid); });
        if (!wanted) {
            return;
        }
    }
    const QUuid identifier = peripheralIdentifier(info);
    std::shared_ptr<QtBluetoothPeripheral>& peripheral = m_peripherals[identifier];
    if (!peripheral) {
        peripheral = std::make_shared<QtBluetoothPeripheral>(info, identifier, m_delegate);
    } else {
        peripheral->updateInfo(info);
    }
    const QVariantMap advertisement = advertisementFor(info, m_bluez->txPowerLevel(info.address()));
    m_delegate.didDiscover(peripheral, advertisement, info.rssi());
}

std::shared_ptr<QtBluetoothPeripheral>
QtBluetoothCentral::ownPeripheral(const PeripheralPtr& peripheral) const {
    if (!peripheral) {
        return nullptr;
    }
    auto own = m_peripherals.value(peripheral->identifier());
    if (own.get() != peripheral.get()) {
        qCWarning(lcBluetoothQt) << "peripheral" << peripheral->identifier()
                                 << "was not found by this central";
        return nullptr;
    }
    return own;
}

void QtBluetoothCentral::connect(const PeripheralPtr& peripheral) {
    if (const auto own = ownPeripheral(peripheral)) {
        own->connectToDevice(m_bluez->adapterAddress());
    }
}

void QtBluetoothCentral::cancelConnection(const PeripheralPtr& peripheral) {
    if (const auto own = ownPeripheral(peripheral)) {
        own->cancelConnection();
    }
}

CentralFactory qtBluetoothCentralFactory() {
    return [](CentralDelegate& delegate) -> std::unique_ptr<Central> {
        return std::make_unique<QtBluetoothCentral>(delegate);
    };
}

} // namespace tallyfin::bluetooth
