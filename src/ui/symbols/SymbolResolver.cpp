// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "SymbolResolver.h"

#include <QFontDatabase>
#include <QLoggingCategory>
#include <QMutex>
#include <QSet>

#include <algorithm>
#include <array>

Q_LOGGING_CATEGORY(lcSymbols, "tallyfin.symbols", QtInfoMsg)

namespace tallyfin::ui {

namespace {

struct Entry {
    const char16_t* name;
    // Exactly one of these two is set.
    const char16_t* ligature;
    const char16_t* image;
};

// Keep sorted by name: resolve() searches it by bisection.
constexpr std::array<Entry, 21> table{{
    {u"bolt.fill", u"bolt", nullptr},
    {u"checkmark", u"check", nullptr},
    {u"chevron.down", u"expand_more", nullptr},
    {u"chevron.left", u"chevron_left", nullptr},
    {u"chevron.right", u"chevron_right", nullptr},
    {u"doc.on.clipboard", u"content_paste", nullptr},
    {u"dot.radiowaves.left.and.right", u"sensors", nullptr},
    {u"figure.elliptical", nullptr, u"qrc:/tallyfin/symbols/figure.elliptical.svg"},
    {u"figure.indoor.cycle", u"directions_bike", nullptr},
    {u"figure.rower", u"rowing", nullptr},
    {u"figure.run", u"directions_run", nullptr},
    {u"figure.strengthtraining.traditional", u"fitness_center", nullptr},
    {u"figure.walk", u"directions_walk", nullptr},
    {u"flame.fill", u"local_fire_department", nullptr},
    {u"heart.fill", u"favorite", nullptr},
    {u"info.circle", u"info_outline", nullptr},
    {u"info.circle.fill", u"info", nullptr},
    {u"metronome", nullptr, u"qrc:/tallyfin/symbols/metronome.svg"},
    {u"speedometer", u"speed", nullptr},
    {u"timer", u"timer", nullptr},
    {u"xmark.circle", u"highlight_off", nullptr},
}};

static_assert(std::is_sorted(table.begin(), table.end(), [](const Entry& a, const Entry& b) {
    return std::u16string_view(a.name) < std::u16string_view(b.name);
}));

void warnOnce(QStringView name) {
    static QMutex mutex;
    static QSet<QString> warned;
    const QMutexLocker lock(&mutex);
    const QString key = name.toString();
    if (!warned.contains(key)) {
        warned.insert(key);
        qCWarning(lcSymbols) << "Unknown symbol name" << key << "- nothing is drawn for it";
    }
}

} // namespace

QString SymbolResolver::fontFamily() {
    return QStringLiteral("Material Icons");
}

bool SymbolResolver::fontAvailable() {
    return QFontDatabase::families().contains(fontFamily());
}

Symbol SymbolResolver::resolve(QStringView name) {
    const std::u16string_view key(name.utf16(), size_t(name.size()));
    const auto it = std::lower_bound(table.begin(), table.end(), key, [](const Entry& e, auto k) {
        return std::u16string_view(e.name) < k;
    });
    Symbol symbol;
    symbol.name = name.toString();
    if (it == table.end() || std::u16string_view(it->name) != key) {
        warnOnce(name);
        return symbol;
    }
    if (it->ligature) {
        symbol.ligature = QString::fromUtf16(it->ligature);
    } else {
        symbol.source = QUrl(QString::fromUtf16(it->image));
    }
    return symbol;
}

QStringList SymbolResolver::names() {
    QStringList result;
    result.reserve(qsizetype(table.size()));
    for (const Entry& entry : table) {
        result.append(QString::fromUtf16(entry.name));
    }
    return result;
}

} // namespace tallyfin::ui
