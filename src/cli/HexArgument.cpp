// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "cli/HexArgument.h"

namespace tallyfin::cli {

namespace {

bool isSeparator(QChar c) {
    return c == u' ' || c == u':' || c == u'-';
}

int hexDigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return -1;
}

} // namespace

std::optional<QByteArray> parseHexBytes(QStringView text, QString& error) {
    QByteArray bytes;
    bytes.reserve(text.size() / 2);
    int pendingHigh = -1; // the first digit of a byte whose second digit has not come yet
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isSeparator(c)) {
            // A separator may only stand between whole bytes.
            if (pendingHigh >= 0) {
                error = u"odd number of hex digits before position " % QString::number(i + 1);
                return std::nullopt;
            }
            continue;
        }
        const int digit = hexDigitValue(c);
        if (digit < 0) {
            error = u"'" % QString(c) % u"' at position " % QString::number(i + 1) %
                    u" is not a hex digit";
            return std::nullopt;
        }
        if (pendingHigh < 0) {
            pendingHigh = digit;
        } else {
            bytes.append(static_cast<char>((pendingHigh << 4) | digit));
            pendingHigh = -1;
        }
    }
    if (pendingHigh >= 0) {
        error = QStringLiteral("odd number of hex digits");
        return std::nullopt;
    }
    return bytes;
}

} // namespace tallyfin::cli
