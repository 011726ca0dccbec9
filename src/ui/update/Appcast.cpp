// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "Appcast.h"

#include "ui/update/VersionComparison.h"

#include <QXmlStreamReader>

namespace tallyfin::update {

namespace {

bool isSparkle(const QXmlStreamReader& xml, QStringView name) {
    return xml.namespaceUri() == QStringView(sparkleNamespace) && xml.name() == name;
}

bool isPlain(const QXmlStreamReader& xml, QStringView name) {
    return xml.namespaceUri().isEmpty() && xml.name() == name;
}

// An http(s) address from the feed, resolved against the feed's own; empty for anything else.
QUrl webAddress(const QString& text, const QUrl& feedUrl) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return {};
    }
    QUrl url(trimmed, QUrl::StrictMode);
    if (!url.isValid()) {
        return {};
    }
    if (url.isRelative() && feedUrl.isValid()) {
        url = feedUrl.resolved(url);
    }
    const QString scheme = url.scheme().toLower();
    if ((scheme != u"http" && scheme != u"https") || url.host().isEmpty()) {
        return {};
    }
    return url;
}

QString attribute(const QXmlStreamAttributes& attributes, QStringView ns, QStringView name) {
    return attributes.value(ns.toString(), name.toString()).toString().trimmed();
}

struct ItemReading {
    AppcastItem item;
    QString enclosureVersion;
    QString enclosureShortVersion;
    bool hadAddress = false;
};

void readEnclosure(QXmlStreamReader& xml, ItemReading& reading, const QUrl& feedUrl) {
    const QXmlStreamAttributes attributes = xml.attributes();
    const QString url = attributes.value(QStringLiteral("url")).toString();
    reading.hadAddress = reading.hadAddress || !url.trimmed().isEmpty();
    reading.item.enclosureUrl = webAddress(url, feedUrl);
    bool ok = false;
    const qint64 length = attributes.value(QStringLiteral("length")).toLongLong(&ok);
    reading.item.enclosureLength = ok && length >= 0 ? length : -1;
    reading.item.enclosureType = attributes.value(QStringLiteral("type")).toString();
    // Older feeds put the versions on the enclosure.
    reading.enclosureVersion = attribute(attributes, sparkleNamespace, u"version");
    reading.enclosureShortVersion = attribute(attributes, sparkleNamespace, u"shortVersionString");
    xml.skipCurrentElement();
}

ItemReading readItem(QXmlStreamReader& xml, const QUrl& feedUrl) {
    ItemReading reading;
    AppcastItem& item = reading.item;
    while (xml.readNextStartElement()) {
        if (isPlain(xml, u"title")) {
            item.title = xml.readElementText().trimmed();
        } else if (isPlain(xml, u"link")) {
            const QString text = xml.readElementText();
            reading.hadAddress = reading.hadAddress || !text.trimmed().isEmpty();
            item.link = webAddress(text, feedUrl);
        } else if (isPlain(xml, u"pubDate")) {
            item.pubDate = xml.readElementText().trimmed();
        } else if (isPlain(xml, u"enclosure")) {
            readEnclosure(xml, reading, feedUrl);
        } else if (isSparkle(xml, u"version")) {
            item.version = xml.readElementText().trimmed();
        } else if (isSparkle(xml, u"shortVersionString")) {
            item.shortVersionString = xml.readElementText().trimmed();
        } else if (isSparkle(xml, u"releaseNotesLink")) {
            const QString text = xml.readElementText();
            reading.hadAddress = reading.hadAddress || !text.trimmed().isEmpty();
            item.releaseNotesLink = webAddress(text, feedUrl);
        } else {
            xml.skipCurrentElement();
        }
    }
    if (item.version.isEmpty()) {
        item.version = reading.enclosureVersion;
    }
    if (item.shortVersionString.isEmpty()) {
        item.shortVersionString = reading.enclosureShortVersion;
    }
    return reading;
}

QString describe(const AppcastItem& item) {
    return item.title.isEmpty() ? QStringLiteral("an untitled item") : u'"' + item.title + u'"';
}

} // namespace

QString AppcastItem::displayVersion() const {
    return shortVersionString.isEmpty() ? version : shortVersionString;
}

QUrl AppcastItem::downloadPage() const {
    if (!link.isEmpty()) {
        return link;
    }
    if (!enclosureUrl.isEmpty()) {
        return enclosureUrl;
    }
    return releaseNotesLink;
}

std::optional<AppcastItem> Appcast::newestItem() const {
    std::optional<AppcastItem> newest;
    for (const AppcastItem& item : items) {
        if (!newest || compareVersions(item.version, newest->version) > 0) {
            newest = item;
        }
    }
    return newest;
}

AppcastParseResult parseAppcast(const QByteArray& data, const QUrl& feedUrl) {
    AppcastParseResult result;
    if (data.trimmed().isEmpty()) {
        result.error = QStringLiteral("the document is empty");
        return result;
    }
    QXmlStreamReader xml(data);
    if (!xml.readNextStartElement()) {
        result.error = QStringLiteral("not well-formed XML: %1 (line %2, column %3)")
                           .arg(xml.errorString())
                           .arg(xml.lineNumber())
                           .arg(xml.columnNumber());
        return result;
    }
    if (!isPlain(xml, u"rss")) {
        result.error =
            QStringLiteral("not an RSS feed (the document is <%1>)").arg(xml.qualifiedName());
        return result;
    }

    Appcast appcast;
    bool sawChannel = false;
    int itemCount = 0;
    while (xml.readNextStartElement()) {
        if (!isPlain(xml, u"channel") || sawChannel) {
            xml.skipCurrentElement();
            continue;
        }
        sawChannel = true;
        while (xml.readNextStartElement()) {
            if (isPlain(xml, u"title")) {
                appcast.title = xml.readElementText().trimmed();
            } else if (isPlain(xml, u"item")) {
                ++itemCount;
                ItemReading reading = readItem(xml, feedUrl);
                if (reading.item.version.isEmpty()) {
                    result.skipped.append(describe(reading.item) +
                                          QStringLiteral(" has no sparkle:version"));
                } else if (reading.item.downloadPage().isEmpty()) {
                    result.skipped.append(describe(reading.item) +
                                          (reading.hadAddress
                                               ? QStringLiteral(" has no http(s) address")
                                               : QStringLiteral(" has no address")));
                } else {
                    appcast.items.append(std::move(reading.item));
                }
            } else {
                xml.skipCurrentElement();
            }
        }
    }
    // Reading on to the end finds errors after the channel, such as a missing end tag.
    while (!xml.atEnd() && !xml.hasError()) {
        xml.readNext();
    }
    if (xml.hasError()) {
        result.error = QStringLiteral("not well-formed XML: %1 (line %2, column %3)")
                           .arg(xml.errorString())
                           .arg(xml.lineNumber())
                           .arg(xml.columnNumber());
        return result;
    }
    if (!sawChannel) {
        result.error = QStringLiteral("the RSS document has no <channel>");
        return result;
    }
    if (itemCount > 0 && appcast.items.isEmpty()) {
        result.error = QStringLiteral("no item of the feed can be offered (%1)")
                           .arg(result.skipped.join(QStringLiteral("; ")));
        return result;
    }
    result.appcast = std::move(appcast);
    return result;
}

} // namespace tallyfin::update
