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

} // namespace tallyfin::bluetooth
