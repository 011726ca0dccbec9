// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "model/OutsideText.h"

namespace tallyfin {

using namespace Qt::StringLiterals;

namespace {

constexpr QChar replacement = QChar::ReplacementCharacter;

// The code point at `i`, or a lone surrogate's own code unit (which isUnsafeCharacter flags);
// `i` moves past it.
char32_t next(QStringView text, qsizetype& i) {
    const QChar unit = text.at(i++);
    if (unit.isHighSurrogate() && i < text.size() && text.at(i).isLowSurrogate()) {
        return QChar::surrogateToUcs4(unit, text.at(i++));
    }
    return unit.unicode();
}

bool isBidiControl(char32_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

} // namespace

bool isUnsafeCharacter(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 || isBidiControl(c) ||
           QChar::isSurrogate(c);
}

QString sanitizedName(const QString& name) {
    qsizetype length = 0;
    bool clean = true;
    for (qsizetype i = 0; i < name.size(); ++length) {
        clean = !isUnsafeCharacter(next(name, i)) && clean;
    }
    if (clean && length <= maximumNameLength) {
        return name;
    }
    QString result;
    result.reserve(name.size());
    qsizetype kept = 0;
    for (qsizetype i = 0; i < name.size(); ++kept) {
        if (length > maximumNameLength && kept == maximumNameLength - 1) {
            result.append(u'\u2026');
            break;
        }
        const qsizetype start = i;
        if (isUnsafeCharacter(next(name, i))) {
            result.append(replacement);
        } else {
            result.append(QStringView(name).mid(start, i - start));
        }
    }
    return result;
}

QString escapedText(QStringView text) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype start = i;
        const char32_t c = next(text, i);
        if (!isUnsafeCharacter(c)) {
            result.append(text.mid(start, i - start));
        } else if (c <= 0xFF) {
            result.append(u"\\x"_s +
                          QString::number(uint(c), 16).toUpper().rightJustified(2, u'0'));
        } else {
            result.append(u"\\u{"_s + QString::number(uint(c), 16).toUpper() + u'}');
        }
    }
    return result;
}

} // namespace tallyfin
