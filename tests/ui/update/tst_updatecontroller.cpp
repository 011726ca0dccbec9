#include "TestHttpServer.h"
#include "model/ApplicationInfo.h"
#include "model/Localization.h"
#include "ui/update/UpdateController.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

using tallyfin::ApplicationInfo;
using tallyfin::update::UpdateCheckResult;
using tallyfin::update::UpdateController;
using Outcome = UpdateCheckResult::Outcome;

namespace {

// Quoted addresses are plain string literals in these tests: moc misreads raw strings holding them.
QByteArray feedOffering(const char* version, const char* shortVersion) {
    return QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                      "<rss version=\"2.0\" "
                      "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">\n"
                      "  <channel>\n"
                      "    <title>Tallyfin</title>\n"
                      "    <item>\n"
                      "      <title>Older</title>\n"
                      "      <sparkle:version>3</sparkle:version>\n"
                      "      <link>https://tallyfin.example/download/3</link>\n"
                      "    </item>\n"
                      "    <item>\n"
                      "      <title>Newest</title>\n"
                      "      <sparkle:version>") +
           version + "</sparkle:version>\n<sparkle:shortVersionString>" + shortVersion +
           R"(</sparkle:shortVersionString>
      <link>https://tallyfin.example/download/)" +
           version +
           "</link>\n"
           "      <sparkle:releaseNotesLink>notes.html</sparkle:releaseNotesLink>\n"
           "      <enclosure url=\"https://tallyfin.example/files/tallyfin.tar.gz\" length=\"100\" "
           "type=\"application/gzip\"/>\n"
           "    </item>\n"
           "  </channel>\n"
           "</rss>\n"
           "";
}

// Runs one check to its end.
UpdateCheckResult check(UpdateController& controller) {
    QSignalSpy finished(&controller, &UpdateController::checkFinished);
    controller.checkForUpdates();
    if (!finished.wait(10000)) {
        return {};
    }
    return finished.constFirst().constFirst().value<UpdateCheckResult>();
}

} // namespace

class TestUpdateController : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The failure texts compared are English; Qt's network errors are English then too.
    void initTestCase() {
        QCOMPARE(
            tallyfin::installTranslations(*QCoreApplication::instance(), {QStringLiteral("en")}),
            QStringLiteral("en"));
    }

    void answers_data() {
        QTest::addColumn<QByteArray>("feed");
        QTest::addColumn<QString>("currentVersion");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("latest");
        QTest::addColumn<QUrl>("downloadPage");

        QTest::newRow("newer version")
            << feedOffering("12", "0.4.0") << "11" << Outcome::updateAvailable << "0.4.0"
            << QUrl(QStringLiteral("https://tallyfin.example/download/12"));
        QTest::newRow("same version")
            << feedOffering("12", "0.4.0") << "12" << Outcome::upToDate << "0.4.0" << QUrl();
        QTest::newRow("build ahead of the feed")
            << feedOffering("12", "0.4.0") << "13" << Outcome::upToDate << "0.4.0" << QUrl();
        QTest::newRow("numeric, not textual")
            << feedOffering("10", "1.0") << "9" << Outcome::updateAvailable << "1.0"
            << QUrl(QStringLiteral("https://tallyfin.example/download/10"));
        QTest::newRow("empty channel")
            << QByteArray(R"(<rss version="2.0"><channel><title>T</title></channel></rss>)") << "1"
            << Outcome::upToDate << "" << QUrl();
    }

    void answers() {
        QFETCH(QByteArray, feed);
        QFETCH(QString, currentVersion);
        QFETCH(Outcome, outcome);
        QFETCH(QString, latest);
        QFETCH(QUrl, downloadPage);

        TestHttpServer server;
        QVERIFY(server.listen());
        server.serve("/appcast.xml", {.body = feed});
        UpdateController controller(server.url(QStringLiteral("/appcast.xml")), currentVersion);
        QSignalSpy checking(&controller, &UpdateController::checkingChanged);
        const UpdateCheckResult result = check(controller);
        QCOMPARE(result.outcome, outcome);
        QCOMPARE(result.errorString, QString());
        QCOMPARE(result.currentVersion, currentVersion);
        QCOMPARE(result.latestDisplayVersion, latest);
        QCOMPARE(result.downloadPage, downloadPage);
        if (outcome == Outcome::updateAvailable) {
            // Relative to the feed's own address.
            QCOMPARE(result.releaseNotes, server.url(QStringLiteral("/notes.html")));
        }
        QCOMPARE(checking.size(), 2);
        QVERIFY(!controller.isChecking());
    }

    void failures_data() {
        QTest::addColumn<TestHttpServer::Response>("response");
        QTest::addColumn<QString>("error");

        QTest::newRow("malformed feed")
            << TestHttpServer::Response{.body = "<rss><channel><item></channel></rss>"}
            << "The update feed at %1 could not be read: not well-formed XML: Opening and ending "
               "tag mismatch. (line 1, column 30).";
        QTest::newRow("HTML instead of a feed")
            << TestHttpServer::Response{.contentType = "text/html",
                                        .body = "<html><p>Hi</p></html>"}
            << "The update feed at %1 could not be read: not an RSS feed (the document is "
               "<html>).";
        QTest::newRow("not found")
            << TestHttpServer::Response{.status = 404, .reason = "Not Found", .body = "gone"}
            << "The update feed at %1 answered HTTP 404 (Not Found).";
        QTest::newRow("no answer") << TestHttpServer::Response{.silent = true}
                                   << "The update feed at %1 did not answer within 0.3 seconds.";
        QTest::newRow("far too large")
            << TestHttpServer::Response{.body = QByteArray(5 * 1024 * 1024, ' ')}
            << "The update feed at %1 is larger than 4 MiB.";
    }

    void failures() {
        QFETCH(TestHttpServer::Response, response);
        QFETCH(QString, error);

        TestHttpServer server;
        QVERIFY(server.listen());
        server.serve("/appcast.xml", response);
        const QUrl url = server.url(QStringLiteral("/appcast.xml"));
        UpdateController controller(url, QStringLiteral("11"));
        controller.setTimeout(std::chrono::milliseconds(300));
        QTest::ignoreMessage(QtWarningMsg, qPrintable(error.arg(url.toDisplayString())));
        const UpdateCheckResult result = check(controller);
        QCOMPARE(result.outcome, Outcome::failed);
        QCOMPARE(result.errorString, error.arg(url.toDisplayString()));
        QCOMPARE(result.latestVersion, QString());
        QVERIFY(!controller.isChecking());
    }

    void refusedConnection() {
        const QUrl url = closedPortUrl().resolved(QUrl(QStringLiteral("/appcast.xml")));
        UpdateController controller(url, QStringLiteral("1"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Could not reach")));
        const UpdateCheckResult result = check(controller);
        QCOMPARE(result.outcome, Outcome::failed);
        QCOMPARE(result.errorString,
                 QStringLiteral("Could not reach the update feed at %1: Connection refused.")
                     .arg(url.toDisplayString()));
    }

    void oneCheckAtATime() {
        TestHttpServer server;
        QVERIFY(server.listen());
        server.serve("/appcast.xml", {.body = feedOffering("12", "0.4.0")});
        UpdateController controller(server.url(QStringLiteral("/appcast.xml")),
                                    QStringLiteral("11"));
        QSignalSpy finished(&controller, &UpdateController::checkFinished);
        controller.checkForUpdates();
        QVERIFY(controller.isChecking());
        controller.checkForUpdates();
        QVERIFY(finished.wait(10000));
        QTest::qWait(50);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(server.requests().size(), 1);
        // And a second check afterwards asks again.
        QCOMPARE(check(controller).outcome, Outcome::updateAvailable);
        QCOMPARE(server.requests().size(), 2);
    }

    void fromApplicationInfo_data() {
        QTest::addColumn<QVariantMap>("values");
        QTest::addColumn<QString>("feedUrl");
        QTest::addColumn<QString>("currentVersion");
        QTest::addColumn<QString>("warning");

        const QString feedKey = QLatin1String(ApplicationInfo::updateFeedKey);
        const QString buildKey = QLatin1String(ApplicationInfo::buildVersionKey);
        QTest::newRow("no feed: no controller")
            << QVariantMap{{buildKey, QStringLiteral("5")}} << ""
            << ""
            << "";
        QTest::newRow("empty feed: no controller")
            << QVariantMap{{feedKey, QStringLiteral("  ")}} << ""
            << ""
            << "";
        QTest::newRow("feed that is not text") << QVariantMap{{feedKey, 42}} << ""
                                               << ""
                                               << "";
        QTest::newRow("https feed")
            << QVariantMap{{feedKey, QStringLiteral("https://tallyfin.example/appcast.xml")},
                           {buildKey, QStringLiteral("5")}}
            << "https://tallyfin.example/appcast.xml"
            << "5"
            << "";
        QTest::newRow("no build version")
            << QVariantMap{{feedKey, QStringLiteral("http://tallyfin.example/a.xml")}}
            << "http://tallyfin.example/a.xml"
            << "?"
            << "";
        QTest::newRow("ftp feed")
            << QVariantMap{{feedKey, QStringLiteral("ftp://tallyfin.example/appcast.xml")}} << ""
            << ""
            << "No update check: the update feed address \"ftp://tallyfin.example/appcast.xml\" "
               "is not an http or https address";
    }

    void fromApplicationInfo() {
        QFETCH(QVariantMap, values);
        QFETCH(QString, feedUrl);
        QFETCH(QString, currentVersion);
        QFETCH(QString, warning);
        if (!warning.isEmpty()) {
            QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
        }
        const auto controller = UpdateController::fromApplicationInfo(ApplicationInfo(values));
        QCOMPARE(controller != nullptr, !feedUrl.isEmpty());
        if (controller) {
            QCOMPARE(controller->feedUrl(), QUrl(feedUrl));
            QCOMPARE(controller->currentVersion(), currentVersion);
        }
    }
};

QTEST_GUILESS_MAIN(TestUpdateController)
#include "tst_updatecontroller.moc"
