#include "TestHttpServer.h"
#include "model/ApplicationInfo.h"
#include "model/Localization.h"
#include "ui/update/UpdateController.h"

#include <QCoreApplication>
#include <QFile>
#include <QMetaProperty>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using tallyfin::ApplicationInfo;
using tallyfin::update::UpdateCheckResult;
using tallyfin::update::UpdateController;

namespace {

// Runs one check to its end; the result as "field=value" lines (but the version it was given),
// %1 standing for the server.
QString check(UpdateController& controller, const QString& server = {}) {
    QSignalSpy finished(&controller, &UpdateController::checkFinished);
    controller.checkForUpdates();
    if (!finished.wait(10000)) {
        return u"no answer"_s;
    }
    const auto result = finished.constFirst().constFirst().value<UpdateCheckResult>();
    QStringList fields;
    const QMetaObject& meta = UpdateCheckResult::staticMetaObject;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        const QMetaProperty p = meta.property(i);
        const QVariant value = p.readOnGadget(&result);
        const QString text = p.isEnumType()
                                 ? QLatin1String(p.enumerator().valueToKey(value.toInt()))
                                 : value.toString();
        if (!text.isEmpty() && p.name() != QByteArrayView("currentVersion")) {
            fields.append(QLatin1String(p.name()) + u'=' + text);
        }
    }
    const QString text = fields.join(u'\n');
    return server.isEmpty() ? text : QString(text).replace(server, u"%1"_s);
}

QByteArray feedFile() {
    QFile file(QFINDTESTDATA("feeds/appcast.xml"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The check against feeds served on 127.0.0.1.
class TestUpdateController : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The failure texts compared are English; Qt's network errors are English then too.
    void initTestCase() {
        QCOMPARE(tallyfin::installTranslations(*QCoreApplication::instance(), {u"en"_s}), u"en"_s);
    }

    void answers_data() {
        QTest::addColumn<TestHttpServer::Response>("response");
        QTest::addColumn<QString>("currentVersion");
        QTest::addColumn<QString>("result");

        // The feed offers build 42, shown as 0.3.0, with its release notes relative to the feed.
        const TestHttpServer::Response feed{.body = feedFile()};
        const QString offered = u"\nlatestVersion=42\nlatestDisplayVersion=0.3.0"_s;
        QTest::newRow("older build")
            << feed << u"41"_s
            << u"outcome=updateAvailable"_s + offered +
                   u"\ndownloadPage=https://tallyfin.example/download/0.3.0"
                   u"\nreleaseNotes=%1/notes/0.3.0.html"_s;
        QTest::newRow("same build") << feed << u"42"_s << u"outcome=upToDate"_s + offered;
        QTest::newRow("build ahead, compared as numbers")
            << feed << u"100"_s << u"outcome=upToDate"_s + offered;
        QTest::newRow("no releases")
            << TestHttpServer::Response{.body = "<rss version=\"2.0\"><channel/></rss>"} << u"1"_s
            << u"outcome=upToDate"_s;

        const QString failed = u"outcome=failed\nerrorString=The update feed at %1/appcast.xml "_s;
        QTest::newRow("not a feed")
            << TestHttpServer::Response{.contentType = "text/html", .body = "<html></html>"}
            << u"1"_s << failed + u"could not be read: not an RSS feed (the document is <html>)."_s;
        QTest::newRow("not found")
            << TestHttpServer::Response{.status = 404, .reason = "Not Found", .body = "gone"}
            << u"1"_s << failed + u"answered HTTP 404 (Not Found)."_s;
        QTest::newRow("no answer") << TestHttpServer::Response{.silent = true} << u"1"_s
                                   << failed + u"did not answer within 0.3 seconds."_s;
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
        if (response.silent) {
            controller.setTimeout(std::chrono::milliseconds(300));
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
        QTest::newRow("https feed")
            << QVariantMap{{feedKey, u"https://tallyfin.example/a.xml"_s}, {buildKey, u"5"_s}}
            << u"https://tallyfin.example/a.xml"_s << u"5"_s;
        QTest::newRow("no build version")
            << QVariantMap{{feedKey, u"http://tallyfin.example/a.xml"_s}}
            << u"http://tallyfin.example/a.xml"_s << u"?"_s;
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

QTEST_GUILESS_MAIN(TestUpdateController)
#include "tst_updatecontroller.moc"
