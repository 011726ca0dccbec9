// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "DeviceAdvertisementInfo.h"

#include "model/OutsideText.h"

namespace tallyfin {

namespace {

bool isNumber(const QVariant& value) {
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

} // namespace

DeviceAdvertisementInfo DeviceAdvertisementInfo::fromAdvertisement(const QVariantMap& advertisement,
                                                                   int rssi) {
    DeviceAdvertisementInfo info;
    info.rssi = rssi;
    const QVariant manufacturerData =
        advertisement.value(QLatin1String(bluetooth::advertisement::manufacturerData));
    if (manufacturerData.metaType().id() == QMetaType::QByteArray) {
        info.manufacturerData = manufacturerData.toByteArray();
    }
    const QVariant txPowerLevel =
        advertisement.value(QLatin1String(bluetooth::advertisement::txPowerLevel));
    if (isNumber(txPowerLevel)) {
        info.txPowerLevel = txPowerLevel.toLongLong();
    }
    const QVariant localName =
        advertisement.value(QLatin1String(bluetooth::advertisement::localName));
    if (localName.metaType().id() == QMetaType::QString) {
        info.localName = sanitizedName(localName.toString());
    }
    return info;
}

QString unknownDeviceName() {
    //: Unknown device
    return qtTrId("deviceList.unknownDevice");
}

QString deviceName(const bluetooth::Peripheral& peripheral) {
    const std::optional<QString> name = peripheral.name();
    return name ? sanitizedName(*name) : unknownDeviceName();
}

QString connectedLogLine(QStringView prefix, const bluetooth::Peripheral& peripheral,
                         std::optional<qint64> rssi) {
    const QString signal = rssi ? QString::number(*rssi) + u" dBm" : QStringLiteral("?");
    return prefix.toString() + deviceName(peripheral) + u" [" +
           peripheral.identifier().toString(QUuid::WithoutBraces).toUpper() + u"] RSSI: " + signal;
}

} // namespace tallyfin
