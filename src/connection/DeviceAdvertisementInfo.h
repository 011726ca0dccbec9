// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "bluetooth/Central.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QUuid>

#include <optional>

namespace tallyfin {

// The latest advertisement of one peripheral. Optional fields are kept only when the report
// carried them with the expected kind of value.
struct DeviceAdvertisementInfo {
    qint64 rssi = 0; // dBm
    std::optional<QByteArray> manufacturerData;
    std::optional<qint64> txPowerLevel;
    std::optional<QString> localName; // as sanitizedName() gives it

    // Builds the record from a discovery report, dropping values of an unexpected kind.
    static DeviceAdvertisementInfo fromAdvertisement(const QVariantMap& advertisement, int rssi);
};

// One entry of the device list: a peripheral joined with its latest advertisement.
struct DiscoveredDevice {
    QUuid id;
    QString name; // deviceName()
    bluetooth::PeripheralPtr peripheral;
    std::optional<qint64> rssi;
    std::optional<QByteArray> manufacturerData;
    std::optional<qint64> txPowerLevel;
};

// The localized name shown for a peripheral that reports none.
QString unknownDeviceName();
// The peripheral's name made safe by sanitizedName(), or unknownDeviceName() when it has none.
// Every name shown, logged, printed, stored or signalled comes from here: the stack's own text
// never goes further.
QString deviceName(const bluetooth::Peripheral& peripheral);
// The log line of a new connection: `prefix`, the name, the identifier in capitals and the signal
// strength ("CONNECTED: Bike [00000000-…] RSSI: -60 dBm", "RSSI: ?" when none was heard).
QString connectedLogLine(QStringView prefix, const bluetooth::Peripheral& peripheral,
                         std::optional<qint64> rssi);

} // namespace tallyfin
