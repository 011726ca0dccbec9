// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "Presentation.h"

#include "bluetooth/Central.h"
#include "model/DevicePresentation.h"
#include "ui/geometry/SignalBars.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <limits>

namespace tallyfin::ui {

QString Presentation::deviceIconName(const QString& name) {
    return tallyfin::deviceIconName(name);
}

QString Presentation::deviceTypeName(const QString& name) {
    return tallyfin::deviceTypeName(name);
}

int Presentation::signalLevel(const QVariant& rssi) {
    if (!rssi.isValid() || rssi.isNull()) {
        return geometry::signalLevel(std::nullopt);
    }
    bool ok = false;
    const int value = rssi.toInt(&ok);
    return geometry::signalLevel(ok ? std::optional<int>(value) : std::nullopt);
}

QString Presentation::equipmentName(int type) {
    const bool known = type >= static_cast<int>(EquipmentType::rower) &&
                       type <= static_cast<int>(EquipmentType::unknown);
    return displayName(known ? static_cast<EquipmentType>(type) : EquipmentType::unknown);
}

bool Presentation::hasValues(const FitnessMetrics& metrics) {
    return metrics.equipmentType != EquipmentType::unknown;
}

namespace {

// The popover's words for the machine's own English names.
QString displayedFeatureName(const QString& name) {
    if (name == u"Speed") {
        //: A measurement or target a machine offers, in the machine information popover
        //% "Speed"
        return qtTrId("feature.speed");
    }
    if (name == u"Cadence") {
        //: A measurement or target a machine offers, in the machine information popover
        //% "Cadence"
        return qtTrId("feature.cadence");
    }
    if (name == u"Distance") {
        //: A measurement or target a machine offers, in the machine information popover
        //% "Distance"
        return qtTrId("feature.distance");
    }
    if (name == u"Incline") {
        //: A measurement or target a machine offers, in the machine information popover
        //% "Incline"
        return qtTrId("feature.incline");
    }
    if (name == u"Pace") {
        //: A measurement or target a machine offers, in the machine information popover
        //% "Pace"
        return qtTrId("feature.pace");
    }
    if (name == u"Steps") {
        //: A measurement or target a machine offers, in the machine information popover
        //% "Steps"
        return qtTrId("feature.steps");
    }
    if (name == u"Resistance") {
        //: A measurement or target a machine offers, in the machine information popover
        //% "Resistance"
        return qtTrId("feature.resistance");
    }
    if (name == u"Power") {
        //: A measurement or target a machine offers, in the machine information popover
        //% "Power"
        return qtTrId("feature.power");
    }
    if (name == u"Calories") {
        //: A measurement or target a machine offers, in the machine information popover
        //% "Calories"
        return qtTrId("feature.calories");
    }
    if (name == u"Heart Rate") {
        //: A measurement or target a machine offers, in the machine information popover
        //% "Heart Rate"
        return qtTrId("feature.heartRate");
    }
    if (name == u"Time") {
        //: A measurement or target a machine offers, in the machine information popover
        //% "Time"
        return qtTrId("feature.time");
    }
    return name;
}

QStringList displayed(QStringList names) {
    for (QString& name : names) {
        name = displayedFeatureName(name);
    }
    return names;
}

} // namespace

QStringList Presentation::supportedMetricNames(const FitnessMachineFeature& f) {
    return displayed(f.supportedMetricNames());
}

QStringList Presentation::controlCapabilityNames(const FitnessMachineFeature& f) {
    return displayed(f.controlCapabilityNames());
}

void Presentation::copyLog(const QStringList& lines) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(lines.join(u'\n'));
}

QList<int> Presentation::powerSamples(const QList<qint64>& history) {
    QList<int> samples;
    samples.reserve(history.size());
    for (const qint64 watts : history) {
        samples.append(static_cast<int>(std::clamp<qint64>(watts, std::numeric_limits<int>::min(),
                                                           std::numeric_limits<int>::max())));
    }
    return samples;
}

PopoverPlacement Presentation::placePopover(const QRectF& button, const QSizeF& size,
                                            const QRectF& screen) {
    return panel::placePopover(button, size, screen.toRect());
}

QString Presentation::bluetoothAdvice(int centralState) {
    using bluetooth::CentralState;
    switch (static_cast<CentralState>(centralState)) {
    case CentralState::poweredOff:
        //: The device list while the Bluetooth adapter is switched off
        //% "Bluetooth is off – turn it on in Settings"
        return qtTrId("deviceList.bluetoothOff");
    case CentralState::unsupported:
        //: The device list when the computer has no Bluetooth LE adapter
        //% "No Bluetooth adapter – plug one in"
        return qtTrId("deviceList.noAdapter");
    case CentralState::unauthorized:
        //: The device list when the system refuses Tallyfin the use of Bluetooth
        //% "Bluetooth access refused – allow it in Settings"
        return qtTrId("deviceList.bluetoothRefused");
    case CentralState::unknown:
    case CentralState::resetting:
    case CentralState::poweredOn:
        break;
    }
    return {};
}

QRectF Presentation::screenAreaAt(const QPointF& point) {
    const QScreen* screen = QGuiApplication::screenAt(point.toPoint());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen ? QRectF(screen->availableGeometry()) : QRectF();
}

} // namespace tallyfin::ui
