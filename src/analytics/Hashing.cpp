// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/Hashing.h"

#include <QCryptographicHash>

namespace tallyfin::analytics {

QString sha256Hex(const QString& text, const QString& salt) {
    const QByteArray digest =
        QCryptographicHash::hash((text + salt).toUtf8(), QCryptographicHash::Sha256);
    return QString::fromLatin1(digest.toHex());
}

} // namespace tallyfin::analytics
