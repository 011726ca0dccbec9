#include "ui/update/Appcast.h"

#include <QFile>
#include <QTest>

using namespace tallyfin::update;

namespace {

// Quoted addresses are plain string literals in these tests: moc misreads raw strings holding them.
QByteArray feed(const QByteArray& items) {
    return QByteArray(R"(<?xml version="1.0" encoding="utf-8"?>)") + '\n' +
           "<rss version=\"2.0\" "
           "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">" +
           "\n<channel>\n<title>Tallyfin</title>\n" + items + "\n</channel>\n</rss>\n";
}

const QUrl feedUrl(QStringLiteral("https://tallyfin.example/updates/appcast.xml"));

} // namespace

class TestAppcast : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsItems() {
        QFile file(QFINDTESTDATA("feeds/appcast.xml"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const auto result = parseAppcast(file.readAll(), feedUrl);
        QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
        QVERIFY(result.skipped.isEmpty());
        QVERIFY(result.appcast);
        QCOMPARE(result.appcast->title, QStringLiteral("Tallyfin"));
        QCOMPARE(result.appcast->items.size(), 2);
        const AppcastItem& item = result.appcast->items.constFirst();
        QCOMPARE(item.title, QStringLiteral("Version 0.3.0"));
        QCOMPARE(item.version, QStringLiteral("42"));
        QCOMPARE(item.shortVersionString, QStringLiteral("0.3.0"));
        QCOMPARE(item.displayVersion(), QStringLiteral("0.3.0"));
        QCOMPARE(item.link, QUrl(QStringLiteral("https://tallyfin.example/download/0.3.0")));
        QCOMPARE(item.downloadPage(), item.link);
        QCOMPARE(item.releaseNotesLink,
                 QUrl(QStringLiteral("https://tallyfin.example/notes/0.3.0.html")));
        QCOMPARE(item.enclosureUrl,
                 QUrl(QStringLiteral("https://tallyfin.example/files/tallyfin-0.3.0.tar.gz")));
        QCOMPARE(item.enclosureLength, 1234567);
        QCOMPARE(item.enclosureType, QStringLiteral("application/octet-stream"));
        QCOMPARE(item.pubDate, QStringLiteral("Mon, 30 Nov 2026 10:00:00 +0000"));
    }

    void itemVariants_data() {
        QTest::addColumn<QByteArray>("item");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("displayVersion");
        QTest::addColumn<QUrl>("downloadPage");

        QTest::newRow("versions on the enclosure (older feeds)")
            << QByteArray("<item><enclosure url=\"https://x.example/t.tar.gz\" "
                          "sparkle:version=\"7\" sparkle:shortVersionString=\"1.1\"/></item>")
            << "7"
            << "1.1" << QUrl(QStringLiteral("https://x.example/t.tar.gz"));
        QTest::newRow("item element wins over the enclosure attribute")
            << QByteArray("<item><sparkle:version>8</sparkle:version> <enclosure "
                          "url=\"https://x.example/t.tar.gz\" sparkle:version=\"7\"/></item>")
            << "8"
            << "8" << QUrl(QStringLiteral("https://x.example/t.tar.gz"));
        QTest::newRow("no short version: the version is shown")
            << QByteArray(
                   R"(<item><sparkle:version> 9 </sparkle:version> <link>https://x.example/p</link></item>)")
            << "9"
            << "9" << QUrl(QStringLiteral("https://x.example/p"));
        QTest::newRow("relative addresses resolve against the feed")
            << QByteArray(
                   R"(<item><sparkle:version>3</sparkle:version> <link>../download/</link></item>)")
            << "3"
            << "3" << QUrl(QStringLiteral("https://tallyfin.example/download/"));
        QTest::newRow("a link that is not http(s) falls back to the enclosure")
            << QByteArray(
                   "<item><sparkle:version>3</sparkle:version> <link>javascript:alert(1)</link> "
                   "<enclosure url=\"http://x.example/t.tar.gz\"/></item>")
            << "3"
            << "3" << QUrl(QStringLiteral("http://x.example/t.tar.gz"));
        QTest::newRow("only release notes")
            << QByteArray(
                   R"(<item><sparkle:version>3</sparkle:version> <sparkle:releaseNotesLink>https://x.example/n</sparkle:releaseNotesLink></item>)")
            << "3"
            << "3" << QUrl(QStringLiteral("https://x.example/n"));
        QTest::newRow("CDATA and entities")
            << QByteArray(
                   R"(<item><sparkle:version><![CDATA[10]]></sparkle:version> <link>https://x.example/p?a=1&amp;b=2</link></item>)")
            << "10"
            << "10" << QUrl(QStringLiteral("https://x.example/p?a=1&b=2"));
    }

    void itemVariants() {
        QFETCH(QByteArray, item);
        QFETCH(QString, version);
        QFETCH(QString, displayVersion);
        QFETCH(QUrl, downloadPage);
        const auto result = parseAppcast(feed(item), feedUrl);
        QVERIFY2(result.appcast, qPrintable(result.error));
        QCOMPARE(result.appcast->items.size(), 1);
        const AppcastItem& parsed = result.appcast->items.constFirst();
        QCOMPARE(parsed.version, version);
        QCOMPARE(parsed.displayVersion(), displayVersion);
        QCOMPARE(parsed.downloadPage(), downloadPage);
    }

    void unusableItemsAreLeftOut() {
        const auto result = parseAppcast(feed(R"(
            <item><title>No version</title><link>https://x.example/a</link></item>
            <item><title>Nowhere to go</title><sparkle:version>5</sparkle:version>
                  <link>file:///etc/passwd</link></item>
            <item><title>Good</title><sparkle:version>4</sparkle:version>
                  <link>https://x.example/4</link></item>)"),
                                         feedUrl);
        QVERIFY2(result.appcast, qPrintable(result.error));
        QCOMPARE(result.appcast->items.size(), 1);
        QCOMPARE(result.appcast->items.constFirst().title, QStringLiteral("Good"));
        QCOMPARE(result.skipped,
                 (QStringList{QStringLiteral("\"No version\" has no sparkle:version"),
                              QStringLiteral("\"Nowhere to go\" has no http(s) address")}));
    }

    void newestItemIsTheHighestVersion() {
        const auto result = parseAppcast(feed(R"(
            <item><sparkle:version>1.9</sparkle:version><link>https://x.example/19</link></item>
            <item><sparkle:version>1.10</sparkle:version><link>https://x.example/110</link></item>
            <item><sparkle:version>1.10b2</sparkle:version><link>https://x.example/b</link></item>)"),
                                         feedUrl);
        QVERIFY(result.appcast);
        QCOMPARE(result.appcast->newestItem()->version, QStringLiteral("1.10"));
        QVERIFY(!Appcast{}.newestItem());
    }

    void emptyChannelIsAFeedWithoutReleases() {
        const auto result = parseAppcast(feed(""), feedUrl);
        QVERIFY2(result.appcast, qPrintable(result.error));
        QVERIFY(result.appcast->items.isEmpty());
    }

    void badFeeds_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("error");

        QTest::newRow("empty") << QByteArray() << "the document is empty";
        QTest::newRow("only white space") << QByteArray(" \r\n\t") << "the document is empty";
        QTest::newRow("not XML") << QByteArray("Service Unavailable")
                                 << "not well-formed XML: Start tag expected. (line 1, column 1)";
        QTest::newRow("HTML page") << QByteArray("<html><body>Moved</body></html>")
                                   << "not an RSS feed (the document is <html>)";
        QTest::newRow("Atom feed") << QByteArray("<feed xmlns=\"http://www.w3.org/2005/Atom\"/>")
                                   << "not an RSS feed (the document is <feed>)";
        QTest::newRow("no channel")
            << QByteArray(R"(<rss version="2.0"></rss>)") << "the RSS document has no <channel>";
        QTest::newRow("cut off")
            << feed("<item><sparkle:version>3</sparkle:version></item>").left(160)
            << "not well-formed XML: Premature end of document. (line 4, column 23)";
        QTest::newRow("mismatched tag")
            << feed("<item><sparkle:version>3</sparkle:versoin></item>")
            << "not well-formed XML: Opening and ending tag mismatch. (line 5, column 42)";
        QTest::newRow("undeclared sparkle prefix")
            << QByteArray(R"(<rss><channel><item><sparkle:version>2</sparkle:version>
                 </item></channel></rss>)")
            << "not well-formed XML: Namespace prefix 'sparkle' not declared (line 1, column 37)";
        QTest::newRow("no item has a version")
            << feed(R"(<item><title>A</title><link>https://x.example/a</link></item>)")
            << "no item of the feed can be offered (\"A\" has no sparkle:version)";
        QTest::newRow("garbage after the channel")
            << feed("").append("<rss>")
            << "not well-formed XML: Extra content at end of document. (line 8, column 5)";
    }

    void badFeeds() {
        QFETCH(QByteArray, data);
        QFETCH(QString, error);
        const auto result = parseAppcast(data, feedUrl);
        QVERIFY(!result.appcast);
        QCOMPARE(result.error, error);
    }
};

QTEST_APPLESS_MAIN(TestAppcast)
#include "tst_appcast.moc"
