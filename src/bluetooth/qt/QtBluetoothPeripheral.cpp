// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "QtBluetoothPeripheral.h"

#include "QtBluetoothLogging.h"

#include <QLowEnergyDescriptor>

#include <utility>

namespace tallyfin::bluetooth {

QtBluetoothPeripheral::QtBluetoothPeripheral(const QBluetoothDeviceInfo& info, QUuid identifier,
                                             CentralDelegate& centralDelegate)
    : m_info(info)
    , m_identifier(identifier)
    , m_centralDelegate(&centralDelegate) {}

QtBluetoothPeripheral::~QtBluetoothPeripheral() {
    detach();
}

std::optional<QString> QtBluetoothPeripheral::name() const {
    const QString name = m_info.name();
    if (name.isEmpty()) {
        return std::nullopt;
    }
    return name;
}

void QtBluetoothPeripheral::updateInfo(const QBluetoothDeviceInfo& info) {
    m_info = info;
}

template<typename F>
void QtBluetoothPeripheral::later(F&& step) {
    const quint64 generation = m_generation;
    std::weak_ptr<QtBluetoothPeripheral> weakSelf = weak_from_this();
    QMetaObject::invokeMethod(
        &m_context,
        [weakSelf, generation, step = std::forward<F>(step)]() mutable {
            const auto self = weakSelf.lock();
            if (self && self->m_generation == generation) {
                step(*self);
            }
        },
        Qt::QueuedConnection);
}

void QtBluetoothPeripheral::connectToDevice(const QBluetoothAddress& adapter) {
    if (m_link != Link::idle || m_centralDelegate == nullptr) {
        qCDebug(lcBluetoothQt) << "connection to" << m_info.address().toString()
                               << "already requested";
        return;
    }
    ++m_generation;
    m_link = Link::connecting;
    m_linkError.reset();
    m_controller = QLowEnergyController::createCentral(m_info, adapter, &m_context);
    // By address only: the name is a stranger's text, and the manager logs it made safe.
    qCInfo(lcBluetoothQt) << "connecting to" << m_info.address().toString();

    // Every signal arrives through a later turn of the event loop and only while this attempt
    // is the current one.
    QObject::connect(m_controller, &QLowEnergyController::connected, &m_context, [this] {
        later([](QtBluetoothPeripheral& self) {
            if (self.m_link != Link::connecting) {
                return;
            }
            self.m_link = Link::connected;
            qCInfo(lcBluetoothQt) << "connected to" << self.m_info.address().toString();
            if (self.m_centralDelegate) {
                self.m_centralDelegate->didConnect(self.shared_from_this());
            }
        });
    });
    QObject::connect(m_controller, &QLowEnergyController::errorOccurred, &m_context,
                     [this](QLowEnergyController::Error error) {
                         const QString text = m_controller->errorString();
                         qCWarning(lcBluetoothQt)
                             << "link error with" << m_info.address().toString() << error << text;
                         later([text](QtBluetoothPeripheral& self) { self.m_linkError = text; });
                     });
    QObject::connect(m_controller, &QLowEnergyController::stateChanged, &m_context,
                     [this](QLowEnergyController::ControllerState state) {
                         if (state == QLowEnergyController::UnconnectedState) {
                             later([](QtBluetoothPeripheral& self) { self.finishLink(); });
                         }
                     });
    QObject::connect(m_controller, &QLowEnergyController::discoveryFinished, &m_context, [this] {
        later([](QtBluetoothPeripheral& self) { self.finishServiceDiscovery(); });
    });
    m_controller->connectToDevice();
}

void QtBluetoothPeripheral::cancelConnection() {
    if (m_link != Link::connecting && m_link != Link::connected) {
        return;
    }
    m_link = Link::disconnecting;
    qCInfo(lcBluetoothQt) << "disconnecting from" << m_info.address().toString();
    if (m_controller->state() == QLowEnergyController::UnconnectedState) {
        // Nothing will report the end of this link: report it ourselves.
        later([](QtBluetoothPeripheral& self) { self.finishLink(); });
        return;
    }
    m_controller->disconnectFromDevice();
}

void QtBluetoothPeripheral::loseLink(const QString& reason) {
    if (m_link == Link::idle) {
        return;
    }
    qCWarning(lcBluetoothQt) << "link to" << m_info.address().toString() << "lost:" << reason;
    m_linkError = reason;
    finishLink();
}

void QtBluetoothPeripheral::finishLink() {
    const Link link = std::exchange(m_link, Link::idle);
    const std::optional<QString> error = std::exchange(m_linkError, std::nullopt);
    tearDown();
    if (m_centralDelegate == nullptr) {
        return;
    }
    const auto self = shared_from_this();
    switch (link) {
    case Link::connecting:
        qCWarning(lcBluetoothQt) << "connection to" << m_info.address().toString()
                                 << "failed:" << error.value_or(QString());
        m_centralDelegate->didFailToConnect(self, error);
        break;
    case Link::connected:
        qCInfo(lcBluetoothQt) << "link to" << m_info.address().toString() << "lost";
        m_centralDelegate->didDisconnect(self, error);
        break;
    case Link::disconnecting:
        qCInfo(lcBluetoothQt) << "disconnected from" << m_info.address().toString();
        m_centralDelegate->didDisconnect(self, std::nullopt);
        break;
    case Link::idle:
        break;
    }
}

void QtBluetoothPeripheral::tearDown() {
    // Signals already queued for this attempt are ignored from here on.
    ++m_generation;
    for (const auto& [service, lowEnergyService] : std::as_const(m_lowEnergyServices)) {
        lowEnergyService->deleteLater();
    }
    m_lowEnergyServices.clear();
    m_bindings.clear();
    m_pendingReads.clear();
    m_characteristicFilters.clear();
    m_services.reset();
    m_servicesRequested = false;
    if (m_controller) {
        m_controller->disconnect(&m_context);
        m_controller->deleteLater();
        m_controller = nullptr;
    }
}

void QtBluetoothPeripheral::detach() {
    m_centralDelegate = nullptr;
    m_delegate = nullptr;
    m_link = Link::idle;
    // A controller still linked disconnects once as it is deleted. (A clean end waits for the
    // disconnection first: see cancelConnection.)
    QLowEnergyController* controller = m_controller;
    tearDown();
    delete controller;
}

void QtBluetoothPeripheral::discoverServices(const QList<QBluetoothUuid>& serviceUuids) {
    if (m_link != Link::connected) {
        qCWarning(lcBluetoothQt) << "service discovery requested without a connection to"
                                 << m_info.address().toString();
        return;
    }
    m_serviceFilter = serviceUuids;
    if (m_controller->state() == QLowEnergyController::DiscoveredState) {
        // The controller discovers once per connection; answer from what it found.
        later([](QtBluetoothPeripheral& self) { self.finishServiceDiscovery(); });
        return;
    }
    if (!m_servicesRequested) {
        m_servicesRequested = true;
        m_controller->discoverServices();
    }
}

void QtBluetoothPeripheral::finishServiceDiscovery() {
    QList<ServicePtr> services;
    for (const QBluetoothUuid& uuid : m_controller->services()) {
        if (!m_serviceFilter.isEmpty() && !m_serviceFilter.contains(uuid)) {
            continue;
        }
        // A service keeps its handle across repeated discoveries.
        ServicePtr service;
        for (const ServicePtr& known : m_services.value_or(QList<ServicePtr>())) {
            if (known->uuid == uuid) {
                service = known;
            }
        }
        if (!service) {
            service = std::make_shared<GattService>(GattService{uuid, std::nullopt});
        }
        services.append(service);
    }
    m_services = services;
    qCDebug(lcBluetoothQt) << "services of" << m_info.address().toString()
                           << "discovered:" << services.size();
    if (m_delegate) {
        m_delegate->didDiscoverServices(shared_from_this(), std::nullopt);
    }
}

QLowEnergyService* QtBluetoothPeripheral::lowEnergyService(const ServicePtr& service) {
    for (const auto& [known, lowEnergyService] : std::as_const(m_lowEnergyServices)) {
        if (known == service) {
            return lowEnergyService;
        }
    }
    QLowEnergyService* lowEnergyService = m_controller->createServiceObject(service->uuid);
    if (lowEnergyService == nullptr) {
        return nullptr;
    }
    m_lowEnergyServices.append({service, lowEnergyService});

    QObject::connect(lowEnergyService, &QLowEnergyService::stateChanged, &m_context,
                     [this, service](QLowEnergyService::ServiceState state) {
                         if (state == QLowEnergyService::RemoteServiceDiscovered) {
                             later([service](QtBluetoothPeripheral& self) {
                                 self.finishCharacteristicDiscovery(service);
                             });
                         }
                     });
    QObject::connect(
        lowEnergyService, &QLowEnergyService::characteristicChanged, &m_context,
        [this, lowEnergyService](const QLowEnergyCharacteristic& characteristic,
                                 const QByteArray& value) {
            later([lowEnergyService, characteristic, value](QtBluetoothPeripheral& self) {
                self.deliverValue(lowEnergyService, characteristic, value, std::nullopt);
            });
        });
    QObject::connect(
        lowEnergyService, &QLowEnergyService::characteristicRead, &m_context,
        [this, lowEnergyService](const QLowEnergyCharacteristic& characteristic,
                                 const QByteArray& value) {
            later([lowEnergyService, characteristic, value](QtBluetoothPeripheral& self) {
                auto& pending = self.m_pendingReads[lowEnergyService];
                const Binding* binding = self.bindingFor(lowEnergyService, characteristic);
                if (binding) {
                    pending.removeOne(binding->characteristic);
                }
                self.deliverValue(lowEnergyService, characteristic, value, std::nullopt);
            });
        });
    QObject::connect(
        lowEnergyService, &QLowEnergyService::errorOccurred, &m_context,
        [this, lowEnergyService, service](QLowEnergyService::ServiceError error) {
            qCWarning(lcBluetoothQt)
                << "service error on" << m_info.address().toString() << service->uuid << error;
            later([lowEnergyService, service, error](QtBluetoothPeripheral& self) {
                const QString text = QStringLiteral("GATT error %1").arg(int(error));
                if (error == QLowEnergyService::CharacteristicReadError) {
                    auto& pending = self.m_pendingReads[lowEnergyService];
                    if (!pending.isEmpty() && self.m_delegate) {
                        const CharacteristicPtr characteristic = pending.takeFirst();
                        self.m_delegate->didUpdateValue(self.shared_from_this(), characteristic,
                                                        text);
                    }
                } else if (lowEnergyService->state() == QLowEnergyService::RemoteService &&
                           !service->characteristics && self.m_delegate) {
                    // Discovery of the characteristics failed.
                    self.m_delegate->didDiscoverCharacteristics(self.shared_from_this(), service,
                                                                text);
                }
            });
        });
    return lowEnergyService;
}

void QtBluetoothPeripheral::discoverCharacteristics(
    const QList<QBluetoothUuid>& characteristicUuids, const ServicePtr& service) {
    if (m_link != Link::connected || !service || !m_services || !m_services->contains(service)) {
        qCWarning(lcBluetoothQt) << "characteristic discovery requested for a service not"
                                 << "discovered on" << m_info.address().toString();
        return;
    }
    m_characteristicFilters.insert(service.get(), characteristicUuids);
    QLowEnergyService* lowEnergyService = this->lowEnergyService(service);
    if (lowEnergyService == nullptr) {
        qCWarning(lcBluetoothQt) << "no service" << service->uuid << "on"
                                 << m_info.address().toString();
        return;
    }
    switch (lowEnergyService->state()) {
    case QLowEnergyService::RemoteService:
        // Values are not fetched: the one value the manager wants, it reads itself.
        lowEnergyService->discoverDetails(QLowEnergyService::SkipValueDiscovery);
        break;
    case QLowEnergyService::RemoteServiceDiscovered:
        later([service](QtBluetoothPeripheral& self) {
            self.finishCharacteristicDiscovery(service);
        });
        break;
    default:
        // Discovery is under way; its end answers this request too.
        break;
    }
}

void QtBluetoothPeripheral::finishCharacteristicDiscovery(const ServicePtr& service) {
    QLowEnergyService* lowEnergyService = this->lowEnergyService(service);
    if (lowEnergyService == nullptr) {
        return;
    }
    const QList<QBluetoothUuid> filter = m_characteristicFilters.value(service.get());
    // QtBluetooth lists characteristics in handle order, which is the machine's own order.
    QList<CharacteristicPtr> characteristics;
    for (const QLowEnergyCharacteristic& characteristic : lowEnergyService->characteristics()) {
        if (!filter.isEmpty() && !filter.contains(characteristic.uuid())) {
            continue;
        }
        if (const Binding* binding = bindingFor(lowEnergyService, characteristic)) {
            characteristics.append(binding->characteristic);
            continue;
        }
        auto handle = std::make_shared<GattCharacteristic>(
            GattCharacteristic{characteristic.uuid(), std::nullopt});
        m_bindings.append({handle, lowEnergyService, characteristic});
        characteristics.append(handle);
    }
    service->characteristics = characteristics;
    qCDebug(lcBluetoothQt) << "characteristics of" << service->uuid
                           << "discovered:" << characteristics.size();
    if (m_delegate) {
        m_delegate->didDiscoverCharacteristics(shared_from_this(), service, std::nullopt);
    }
}

const QtBluetoothPeripheral::Binding*
QtBluetoothPeripheral::bindingFor(const CharacteristicPtr& characteristic) const {
    for (const Binding& binding : m_bindings) {
        if (binding.characteristic == characteristic) {
            return &binding;
        }
    }
    return nullptr;
}

const QtBluetoothPeripheral::Binding*
QtBluetoothPeripheral::bindingFor(const QLowEnergyService* service,
                                  const QLowEnergyCharacteristic& characteristic) const {
    for (const Binding& binding : m_bindings) {
        if (binding.lowEnergyService == service &&
            binding.lowEnergyCharacteristic == characteristic) {
            return &binding;
        }
    }
    return nullptr;
}

void QtBluetoothPeripheral::readValue(const CharacteristicPtr& characteristic) {
    const Binding* binding = bindingFor(characteristic);
    if (m_link != Link::connected || binding == nullptr) {
        qCWarning(lcBluetoothQt) << "read requested for an unknown characteristic on"
                                 << m_info.address().toString();
        return;
    }
    m_pendingReads[binding->lowEnergyService].append(characteristic);
    binding->lowEnergyService->readCharacteristic(binding->lowEnergyCharacteristic);
}

void QtBluetoothPeripheral::setNotifyValue(bool enabled, const CharacteristicPtr& characteristic) {
    const Binding* binding = bindingFor(characteristic);
    if (m_link != Link::connected || binding == nullptr) {
        qCWarning(lcBluetoothQt) << "notifications requested for an unknown characteristic on"
                                 << m_info.address().toString();
        return;
    }
    const QLowEnergyCharacteristic& lowEnergyCharacteristic = binding->lowEnergyCharacteristic;
    const QLowEnergyDescriptor configuration = lowEnergyCharacteristic.descriptor(
        QBluetoothUuid::DescriptorType::ClientCharacteristicConfiguration);
    if (!configuration.isValid()) {
        qCWarning(lcBluetoothQt) << "characteristic" << characteristic->uuid << "of"
                                 << m_info.address().toString()
                                 << "has no client characteristic configuration";
        return;
    }
    // The only write this central ever makes: the client configuration descriptor.
    // Little-endian bit field: bit 0 notifications, bit 1 indications.
    QByteArray value = QByteArray::fromHex("0000");
    if (enabled) {
        value = lowEnergyCharacteristic.properties().testFlag(QLowEnergyCharacteristic::Notify)
                    ? QByteArray::fromHex("0100")
                    : QByteArray::fromHex("0200");
    }
    binding->lowEnergyService->writeDescriptor(configuration, value);
}

void QtBluetoothPeripheral::deliverValue(QLowEnergyService* service,
                                         const QLowEnergyCharacteristic& characteristic,
                                         const QByteArray& value,
                                         const std::optional<QString>& error) {
    const Binding* binding = bindingFor(service, characteristic);
    if (binding == nullptr) {
        // A characteristic the delegate never asked for.
        return;
    }
    const CharacteristicPtr handle = binding->characteristic;
    handle->value = value;
    if (m_delegate) {
        m_delegate->didUpdateValue(shared_from_this(), handle, error);
    }
}

} // namespace tallyfin::bluetooth
