#include "ui/update/Appcast.h"
#include "ui/update/VersionComparison.h"

#include <QTest>

using namespace tallyfin::update;
using namespace Qt::StringLiterals;

namespace {

// Quoted addresses are plain string literals in these tests: moc misreads raw strings holding them.
QByteArray feed(const QByteArray& items) {
    return "<rss version=\"2.0\" "
           "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">\n<channel>" +
           items + "</channel></rss>\n";
}

const QUrl feedUrl(QStringLiteral("https://tallyfin.example/updates/appcast.xml"));

QUrl url(const char* text) {
    return QUrl(QString::fromLatin1(text));
}

} // namespace

class TestAppcast : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Which version an item offers, the one shown, and where the user downloads it.
    void itemVariants_data() {
        QTest::addColumn<QByteArray>("item");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("displayVersion");
        QTest::addColumn<QUrl>("downloadPage");

        QTest::newRow("versions on the enclosure (older feeds)")
            << QByteArray("<enclosure url=\"https://x.example/t.tar.gz\" sparkle:version=\"7\" "
                          "sparkle:shortVersionString=\"1.1\"/>")
            << u"7"_s << u"1.1"_s << url("https://x.example/t.tar.gz");
        QTest::newRow("item element wins over the enclosure attribute")
            << QByteArray("<sparkle:version>8</sparkle:version> <enclosure "
                          "url=\"https://x.example/t.tar.gz\" sparkle:version=\"7\"/>")
            << u"8"_s << u"8"_s << url("https://x.example/t.tar.gz");
        QTest::newRow("no short version: the version is shown, trimmed")
            << QByteArray("<sparkle:version> 9 </sparkle:version> <link>https://x.example/p</link>")
            << u"9"_s << u"9"_s << url("https://x.example/p");
        QTest::newRow("a link that is not http(s) falls back to the enclosure")
            << QByteArray("<sparkle:version>3</sparkle:version> <link>javascript:alert(1)</link> "
                          "<enclosure url=\"http://x.example/t.tar.gz\"/>")
            << u"3"_s << u"3"_s << url("http://x.example/t.tar.gz");
        QTest::newRow("only release notes")
            << QByteArray(
                   "<sparkle:version>3</sparkle:version> "
                   "<sparkle:releaseNotesLink>https://x.example/n</sparkle:releaseNotesLink>")
            << u"3"_s << u"3"_s << url("https://x.example/n");
        QTest::newRow("CDATA and entities")
            << QByteArray("<sparkle:version><![CDATA[10]]></sparkle:version> "
                          "<link>https://x.example/p?a=1&amp;b=2</link>")
            << u"10"_s << u"10"_s << url("https://x.example/p?a=1&b=2");
    }

    void itemVariants() {
        QFETCH(QByteArray, item);
        QFETCH(QString, version);
        QFETCH(QString, displayVersion);
        QFETCH(QUrl, downloadPage);
        const auto result = parseAppcast(feed("<item>" + item + "</item>"), feedUrl);
        QVERIFY2(result.appcast, qPrintable(result.error));
        QCOMPARE(result.appcast->items.size(), 1);
        const AppcastItem& parsed = result.appcast->items.constFirst();
        QCOMPARE(parsed.version, version);
        QCOMPARE(parsed.displayVersion(), displayVersion);
        QCOMPARE(parsed.downloadPage(), downloadPage);
    }

    void unusableItemsAreLeftOutAndTheHighestVersionIsNewest() {
        const auto result = parseAppcast(
            feed("<item><title>No version</title><link>https://x.example/a</link></item>"
                 "<item><title>Nowhere to go</title><sparkle:version>5</sparkle:version>"
                 "<link>file:///etc/passwd</link></item>"
                 "<item><sparkle:version>1.9</sparkle:version><link>https://x.example/19</link>"
                 "</item><item><sparkle:version>1.10</sparkle:version>"
                 "<link>https://x.example/110</link></item>"
                 "<item><sparkle:version>1.10b2</sparkle:version><link>https://x.example/b</link>"
                 "</item>"),
            feedUrl);
        QVERIFY2(result.appcast, qPrintable(result.error));
        QCOMPARE(result.appcast->items.size(), 3);
        QCOMPARE(result.skipped,
                 (QStringList{QStringLiteral("\"No version\" has no sparkle:version"),
                              QStringLiteral("\"Nowhere to go\" has no http(s) address")}));
        QCOMPARE(result.appcast->newestItem()->version, QStringLiteral("1.10"));
        QVERIFY(!Appcast{}.newestItem());
    }

    // Malformed XML and another document are checked through the update controller.
    void badFeeds_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("error");
        QTest::newRow("only white space") << QByteArray(" \r\n\t") << "the document is empty";
        QTest::newRow("no channel")
            << QByteArray("<rss version=\"2.0\"></rss>") << "the RSS document has no <channel>";
        QTest::newRow("no item has a version")
            << feed("<item><title>A</title><link>https://x.example/a</link></item>")
            << "no item of the feed can be offered (\"A\" has no sparkle:version)";
        QTest::newRow("garbage after the channel")
            << feed("").append("<rss>")
            << "not well-formed XML: Extra content at end of document. (line 3, column 5)";
    }

    void badFeeds() {
        QFETCH(QByteArray, data);
        QFETCH(QString, error);
        const auto result = parseAppcast(data, feedUrl);
        QVERIFY(!result.appcast);
        QCOMPARE(result.error, error);
    }

    // Numbers numerically, letter parts as pre-releases in the order a, b, rc, trailing zeros
    // equal.
    void versionOrder_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order"); // of a against b
        const auto row = [](const char* a, const char* b, int order) {
            QTest::addRow("%s %s %s", a, order < 0 ? "<" : "=", b)
                << QString::fromLatin1(a) << QString::fromLatin1(b) << order;
        };
        row("1.9", "1.10", -1);
        row("1.0", "1.0.1", -1);
        row("1.0-rc1", "1.0", -1);
        row("1.0.0b1", "1.0", -1);
        row("1.0b2", "1.0b10", -1);
        row("1.0a5", "1.0b1", -1);
        row("1.0b9", "1.0rc1", -1);
        row("1.0rc1", "1.0.1", -1);
        row("2.0a", "2.01", -1);
        row("99999999999999999999", "100000000000000000000", -1);
        row("", "0.1", -1);
        row("1.05", "1.5.0", 0);
        row("1.0RC1", "1.0rc1", 0);
    }

    void versionOrder() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, order);
        const auto sign = [](int c) { return (c > 0) - (c < 0); };
        QCOMPARE(sign(compareVersions(a, b)), order);
        QCOMPARE(sign(compareVersions(b, a)), -order);
    }
};

QTEST_APPLESS_MAIN(TestAppcast)
#include "tst_appcast.moc"
