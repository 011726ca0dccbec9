// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "model/DevicePresentation.h"

#include "model/Localization.h"

#include <array>

namespace tallyfin {

namespace {

struct DeviceKind {
    std::array<QStringView, 2> substrings; // an empty second entry matches nothing
    QStringView iconName;
    const char* typeKey;
    QStringView defaultTypeName;
};

// Tested in this order: "Throwback Bike" is a rower because "row" comes before "bike".
const std::array<DeviceKind, 4> kinds{{
    //: Rower device type
    //% "Rower"
    {{u"row", {}}, u"figure.rower", QT_TRID_NOOP("device.type.rower"), u"Rower"},
    //: Indoor bike device type
    //% "Indoor Bike"
    {{u"bike", u"cycle"}, u"figure.indoor.cycle", QT_TRID_NOOP("device.type.bike"), u"Indoor Bike"},
    //: Treadmill device type
    //% "Treadmill"
    {{u"tread", u"run"}, u"figure.run", QT_TRID_NOOP("device.type.treadmill"), u"Treadmill"},
    //: Cross trainer device type
    //% "Cross Trainer"
    {{u"ellip", u"cross"},
     u"figure.elliptical",
     QT_TRID_NOOP("device.type.crossTrainer"),
     u"Cross Trainer"},
}};

//: Unknown fitness device type
//% "Fitness Equipment"
const DeviceKind otherKind{{},
                           u"figure.strengthtraining.traditional",
                           QT_TRID_NOOP("device.type.unknown"),
                           u"Fitness Equipment"};

const DeviceKind& kindOf(QStringView name) {
    const QString lowered = name.toString().toLower();
    for (const DeviceKind& kind : kinds) {
        for (const QStringView substring : kind.substrings) {
            if (!substring.isEmpty() && lowered.contains(substring)) {
                return kind;
            }
        }
    }
    return otherKind;
}

} // namespace

QString deviceIconName(QStringView name) {
    return kindOf(name).iconName.toString();
}

QString deviceTypeName(QStringView name) {
    const DeviceKind& kind = kindOf(name);
    return localizedText(kind.typeKey, kind.defaultTypeName);
}

} // namespace tallyfin
