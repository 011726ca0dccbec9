// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace tallyfin::update {

// XML namespace of the appcast extensions to RSS 2.0 ("sparkle:version", ...).
inline constexpr char16_t sparkleNamespace[] =
    u"http://www.andymatuschak.org/xml-namespaces/sparkle";

// One release announced by an appcast feed.
struct AppcastItem {
    QString title;
    // The machine-readable version ("sparkle:version"), compared with the running build's.
    QString version;
    // The version shown to people ("sparkle:shortVersionString"); may be empty.
    QString shortVersionString;
    QUrl link;
    QUrl releaseNotesLink;
    QUrl enclosureUrl;
    qint64 enclosureLength = -1;
    QString enclosureType;
    QString pubDate;

    // The version to show: the short version when there is one, otherwise the version.
    QString displayVersion() const;
    // Where the user downloads the release: the item's page, otherwise the enclosure itself,
    // otherwise the release notes.
    QUrl downloadPage() const;

    bool operator==(const AppcastItem&) const = default;
};

struct Appcast {
    QString title;
    QList<AppcastItem> items;

    // The item with the highest version; none when there are no items.
    std::optional<AppcastItem> newestItem() const;
};

struct AppcastParseResult {
    std::optional<Appcast> appcast;
    // Why the feed could not be read; empty on success.
    QString error;
    // Items left out because they carry no version or no usable address, one line each.
    QStringList skipped;
};

// Reads an RSS 2.0 appcast. Relative addresses are resolved against `feedUrl`; only http and
// https addresses are kept. Malformed XML, another document than an RSS channel, or items none of
// which carries a version give an error; an item without a version is left out.
AppcastParseResult parseAppcast(const QByteArray& data, const QUrl& feedUrl = QUrl());

} // namespace tallyfin::update
