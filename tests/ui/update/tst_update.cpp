// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "GadgetFields.h"
#include "TestHttpServer.h"
#include "model/ApplicationInfo.h"
#include "model/Localization.h"
#include "ui/update/UpdateController.h"
#include "ui/update/VersionComparison.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tallyfin::update;
using tallyfin::ApplicationInfo;

namespace {

// Quoted addresses are plain string literals in these tests: moc misreads raw strings holding them.
QByteArray feed(const QByteArray& items) {
    return "<rss version=\"2.0\" "
           "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">\n<channel>" +
           items + "</channel></rss>\n";
}

// Runs one check to its end; the result as "field=value" lines (but empty ones and the version it
// was given), %1 standing for the server.
QString check(UpdateController& controller, const QString& server = {}) {
    QSignalSpy finished(&controller, &UpdateController::checkFinished);
    controller.checkForUpdates();
    if (!finished.wait(10000)) {
        return u"no answer"_s;
    }
    const auto result = finished.constFirst().constFirst().value<UpdateCheckResult>();
    const QStringList fields =
        gadgetFields(result).filter(QRegularExpression(u"^(?!currentVersion=).*[^=]$"_s));
    const QString text = fields.join(u'\n');
    return server.isEmpty() ? text : QString(text).replace(server, u"%1"_s);
}

QByteArray feedFile() {
    QFile file(QFINDTESTDATA("feeds/appcast.xml"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Reading the feed, the order of versions, and the check against feeds served on 127.0.0.1.
class TestUpdate : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The failure texts compared are English; Qt's network errors are English then too.
    void initTestCase() {
        QCOMPARE(tallyfin::installTranslations(*QCoreApplication::instance(), {u"en"_s}), u"en"_s);
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
        row("1.0b2", "1.0b10", -1);
        row("1.0a5", "1.0b1", -1);
        row("1.0b9", "1.0rc1", -1);
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

    void answers_data() {
        QTest::addColumn<TestHttpServer::Response>("response");
        QTest::addColumn<QString>("currentVersion");
        QTest::addColumn<QString>("result");

        // The feed offers build 42, shown as 0.3.0, with its release notes relative to the feed.
        const TestHttpServer::Response served{.body = feedFile()};
        const QString offered = u"\nlatestVersion=42\nlatestDisplayVersion=0.3.0"_s;
        QTest::newRow("older build")
            << served << u"41"_s
            << u"outcome=updateAvailable"_s + offered +
                   u"\ndownloadPage=https://tallyfin.example/download/0.3.0"
                   u"\nreleaseNotes=%1/notes/0.3.0.html"_s;
        QTest::newRow("same build") << served << u"42"_s << u"outcome=upToDate"_s + offered;
        QTest::newRow("build ahead, compared as numbers")
            << served << u"100"_s << u"outcome=upToDate"_s + offered;
        // Which version an item offers, the one shown, and where the user downloads it.
        const auto offers = [](const char* name, const QByteArray& items, const QString& fields) {
            QTest::newRow(name) << TestHttpServer::Response{.body = feed(items)} << u"1"_s
                                << u"outcome=updateAvailable\nlatestVersion="_s + fields;
        };
        offers("versions on the enclosure (older feeds)",
               "<item><enclosure url=\"https://x.example/t.tar.gz\" sparkle:version=\"7\" "
               "sparkle:shortVersionString=\"1.1\"/></item>",
               u"7\nlatestDisplayVersion=1.1\ndownloadPage=https://x.example/t.tar.gz"_s);
        offers("item element wins over the enclosure attribute",
               "<item><sparkle:version>8</sparkle:version> <enclosure "
               "url=\"https://x.example/t.tar.gz\" sparkle:version=\"7\"/></item>",
               u"8\nlatestDisplayVersion=8\ndownloadPage=https://x.example/t.tar.gz"_s);
        offers("a link that is not http(s) falls back to the enclosure",
               "<item><sparkle:version> 3 </sparkle:version> <link>javascript:alert(1)</link> "
               "<enclosure url=\"http://x.example/t.tar.gz\"/></item>",
               u"3\nlatestDisplayVersion=3\ndownloadPage=http://x.example/t.tar.gz"_s);
        offers("only release notes; CDATA and entities",
               "<item><sparkle:version><![CDATA[3]]></sparkle:version> <sparkle:releaseNotesLink>"
               "https://x.example/n?a=1&amp;b=2</sparkle:releaseNotesLink></item>",
               u"3\nlatestDisplayVersion=3\ndownloadPage=https://x.example/n?a=1&b=2"
               u"\nreleaseNotes=https://x.example/n?a=1&b=2"_s);
        offers("unusable items left out, the highest version newest",
               "<item><title>No version</title><link>https://x.example/a</link></item>"
               "<item><sparkle:version>5</sparkle:version><link>file:///etc/passwd</link></item>"
               "<item><sparkle:version>1.9</sparkle:version><link>https://x.example/19</link>"
               "</item><item><sparkle:version>1.10</sparkle:version>"
               "<link>https://x.example/110</link></item><item><sparkle:version>1.10b2"
               "</sparkle:version><link>https://x.example/b</link></item>",
               u"1.10\nlatestDisplayVersion=1.10\ndownloadPage=https://x.example/110"_s);
        QTest::newRow("no releases")
            << TestHttpServer::Response{.body = "<rss version=\"2.0\"><channel/></rss>"} << u"1"_s
            << u"outcome=upToDate"_s;

        const QString failed = u"outcome=failed\nerrorString=The update feed at %1/appcast.xml "_s;
        const auto unreadable = [&](const char* name, const QByteArray& body, const char* why) {
            QTest::newRow(name) << TestHttpServer::Response{.body = body} << u"1"_s
                                << failed + u"could not be read: "_s + QLatin1String(why) + u'.';
        };
        unreadable("not a feed", "<html></html>", "not an RSS feed (the document is <html>)");
        unreadable("only white space", " \r\n\t", "the document is empty");
        unreadable("no channel", "<rss version=\"2.0\"></rss>",
                   "the RSS document has no <channel>");
        unreadable("no item has a version",
                   feed("<item><title>A</title><link>https://x.example/a</link></item>"),
                   "no item of the feed can be offered (\"A\" has no sparkle:version)");
        unreadable("garbage after the channel", feed("").append("<rss>"),
                   "not well-formed XML: Extra content at end of document. (line 3, column 5)");
        QTest::newRow("not found")
            << TestHttpServer::Response{.status = 404, .reason = "Not Found", .body = "gone"}
            << u"1"_s << failed + u"answered HTTP 404 (Not Found)."_s;
        QTest::newRow("no answer")
            << TestHttpServer::Response{.silent = true} << u"1"_s
            << failed + u"took longer than 0.3 seconds in all; the check was given up."_s;
        // Markup in every field, one byte every 2 s: the deadline counts the whole time.
        QTest::newRow("dripping")
            << TestHttpServer::Response{.body =
                                            feed("<item><title>&lt;b&gt;A</title><sparkle:version>"
                                                 "&lt;a href='file:///etc/passwd'&gt;9</sparkle:"
                                                 "version></item>"),
                                        .dripMs = 2000}
            << u"1"_s << failed + u"took longer than 3 seconds in all; the check was given up."_s;
        QTest::newRow("far too large")
            << TestHttpServer::Response{.body = QByteArray(5 * 1024 * 1024, ' ')} << u"1"_s
            << failed + u"is larger than 4 MiB."_s;
    }

    void answers() {
        QFETCH(TestHttpServer::Response, response);
        QFETCH(QString, currentVersion);
        QFETCH(QString, result);
        TestHttpServer server;
        QVERIFY(server.listen());
        server.serve("/appcast.xml", response);
        UpdateController controller(server.url(u"/appcast.xml"_s), currentVersion);
        if (response.silent || response.dripMs > 0) {
            controller.setTimeout(std::chrono::milliseconds(response.silent ? 300 : 3000));
        }
        QSignalSpy checking(&controller, &UpdateController::checkingChanged);
        if (result.contains(u"errorString"_s)) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^The update feed at "_s));
        }
        QCOMPARE(check(controller, server.url(u"/"_s).toDisplayString().chopped(1)), result);
        QCOMPARE(checking.size(), 2);
        QVERIFY(!controller.isChecking());
    }

    void refusedConnection() {
        const QUrl url = closedPortUrl().resolved(QUrl(u"/appcast.xml"_s));
        UpdateController controller(url, u"1"_s);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Could not reach"_s));
        QCOMPARE(check(controller), u"outcome=failed\nerrorString=Could not reach the update feed "
                                    u"at %1: Connection refused."_s.arg(url.toDisplayString()));
    }

    // A second request while one runs is ignored; one afterwards asks again.
    void oneCheckAtATime() {
        TestHttpServer server;
        QVERIFY(server.listen());
        server.serve("/appcast.xml", {.body = feedFile()});
        UpdateController controller(server.url(u"/appcast.xml"_s), u"41"_s);
        QSignalSpy finished(&controller, &UpdateController::checkFinished);
        controller.checkForUpdates();
        controller.checkForUpdates();
        QVERIFY(finished.wait(10000));
        QCOMPARE(server.requests().size(), 1);
        QVERIFY(check(controller).startsWith(u"outcome=updateAvailable"_s));
        QCOMPARE(server.requests().size(), 2);
        QCOMPARE(finished.size(), 2);
    }

    void fromApplicationInfo_data() {
        QTest::addColumn<QVariantMap>("values");
        QTest::addColumn<QString>("feedUrl"); // empty: no controller
        QTest::addColumn<QString>("currentVersion");
        const QString feedKey = QLatin1String(ApplicationInfo::updateFeedKey);
        const QString buildKey = QLatin1String(ApplicationInfo::buildVersionKey);
        QTest::newRow("blank feed")
            << QVariantMap{{feedKey, u"  "_s}, {buildKey, u"5"_s}} << QString() << QString();
        QTest::newRow("http feed")
            << QVariantMap{{feedKey, u"http://tallyfin.example/a.xml"_s}, {buildKey, u"5"_s}}
            << u"http://tallyfin.example/a.xml"_s << u"5"_s;
        QTest::newRow("ftp feed") << QVariantMap{{feedKey, u"ftp://tallyfin.example/a.xml"_s}}
                                  << QString() << QString();
    }

    void fromApplicationInfo() {
        QFETCH(QVariantMap, values);
        QFETCH(QString, feedUrl);
        QFETCH(QString, currentVersion);
        if (QByteArrayView(QTest::currentDataTag()) == "ftp feed") {
            QTest::ignoreMessage(
                QtWarningMsg, "No update check: the update feed address "
                              "\"ftp://tallyfin.example/a.xml\" is not an http or https address");
        }
        const auto controller = UpdateController::fromApplicationInfo(ApplicationInfo(values));
        QCOMPARE(controller ? controller->feedUrl() : QUrl(), QUrl(feedUrl));
        QCOMPARE(controller ? controller->currentVersion() : QString(), currentVersion);
    }
};

QTEST_GUILESS_MAIN(TestUpdate)
#include "tst_update.moc"
