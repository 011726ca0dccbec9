// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "VersionComparison.h"

#include <QList>

namespace tallyfin::update {

namespace {

// Ordered so that at the first difference a letter part is the oldest (a pre-release) and a
// number the newest: "1.0a" < "1.0.1", "1.0a" < "1.01".
enum class PartType { letters, period, number };

struct Part {
    PartType type;
    QStringView text;
};

PartType typeOf(QChar c) {
    if (c.isDigit()) {
        return PartType::number;
    }
    if (c == u'.') {
        return PartType::period;
    }
    return PartType::letters;
}

// Splits into runs of digits, runs of other characters, and single periods; spaces, dashes and
// underscores only separate.
QList<Part> split(QStringView version) {
    QList<Part> parts;
    qsizetype i = 0;
    while (i < version.size()) {
        const QChar c = version.at(i);
        if (c.isSpace() || c == u'-' || c == u'_' || c == u'+') {
            ++i;
            continue;
        }
        const PartType type = typeOf(c);
        qsizetype end = i + 1;
        if (type != PartType::period) {
            while (end < version.size()) {
                const QChar next = version.at(end);
                if (next.isSpace() || next == u'-' || next == u'_' || next == u'+' ||
                    typeOf(next) != type) {
                    break;
                }
                ++end;
            }
        }
        parts.append({type, version.sliced(i, end - i)});
        i = end;
    }
    return parts;
}

// Numeric comparison of two digit runs of any length.
int compareNumbers(QStringView a, QStringView b) {
    while (a.size() > 1 && a.front() == u'0') {
        a = a.sliced(1);
    }
    while (b.size() > 1 && b.front() == u'0') {
        b = b.sliced(1);
    }
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    return a.compare(b);
}

bool isZero(QStringView digits) {
    for (const QChar c : digits) {
        if (c != u'0') {
            return false;
        }
    }
    return true;
}

// How the longer version compares with the shorter one when the shorter has run out.
int compareRest(const QList<Part>& longer, qsizetype from) {
    for (qsizetype i = from; i < longer.size(); ++i) {
        const Part& part = longer.at(i);
        if (part.type == PartType::letters) {
            return -1; // "1.0" is newer than "1.0b1"
        }
        if (part.type == PartType::number && !isZero(part.text)) {
            return 1; // "1.0.1" is newer than "1.0"
        }
    }
    return 0; // only periods and zeros: "1.5.0" is "1.5"
}

} // namespace

int compareVersions(QStringView a, QStringView b) {
    const QList<Part> left = split(a);
    const QList<Part> right = split(b);
    const qsizetype common = std::min(left.size(), right.size());
    for (qsizetype i = 0; i < common; ++i) {
        const Part& l = left.at(i);
        const Part& r = right.at(i);
        if (l.type != r.type) {
            return l.type < r.type ? -1 : 1;
        }
        int order = 0;
        if (l.type == PartType::number) {
            order = compareNumbers(l.text, r.text);
        } else if (l.type == PartType::letters) {
            order = l.text.compare(r.text, Qt::CaseInsensitive);
        }
        if (order != 0) {
            return order < 0 ? -1 : 1;
        }
    }
    if (left.size() > right.size()) {
        return compareRest(left, common);
    }
    if (right.size() > left.size()) {
        return -compareRest(right, common);
    }
    return 0;
}

} // namespace tallyfin::update
