// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "Central.h"

namespace tallyfin::bluetooth {

QString canonicalText(const QBluetoothUuid& uuid) {
    bool isShort = false;
    const quint16 shortUuid = uuid.toUInt16(&isShort);
    if (isShort) {
        return QStringLiteral("%1").arg(shortUuid, 4, 16, QLatin1Char('0')).toUpper();
    }
    return uuid.toString(QUuid::WithoutBraces).toUpper();
}

QString describe(StackFault fault) {
    switch (fault) {
    case StackFault::serviceGone:
        return QStringLiteral("bluetoothd left the bus");
    case StackFault::adapterRemoved:
        return QStringLiteral("adapter removed");
    case StackFault::adapterPoweredOff:
        return QStringLiteral("adapter switched off");
    case StackFault::resumedFromSleep:
        return QStringLiteral("resumed from sleep");
    }
    return {};
}

} // namespace tallyfin::bluetooth
