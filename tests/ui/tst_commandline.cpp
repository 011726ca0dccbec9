#include "model/Localization.h"
#include "ui/CommandLine.h"
#include "ui/PlatformChoice.h"

#include <QCoreApplication>
#include <QTest>

#include <map>
#include <string>

using namespace tallyfin::ui;
using namespace Qt::StringLiterals;

class CommandLineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The errors are in the test environment's language (German): they still name the argument.
    void initTestCase() { QVERIFY(!tallyfin::installTranslations(*qApp).isEmpty()); }

    void accepted_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("demo");
        QTest::addColumn<QString>("connectTo");
        QTest::addColumn<int>("size"); // -1: none
        QTest::addColumn<QString>("screenshot");
        QTest::addColumn<int>("after");
        QTest::addColumn<int>("units"); // -1: none

        QTest::newRow("nothing") << QStringList{} << false << QString() << -1 << QString() << 1000
                                 << -1;
        QTest::newRow("demo connected, large, imperial")
            << QStringList{u"--demo"_s, u"--connect"_s, u"Row"_s,     u"--size"_s,
                           u"large"_s,  u"--units"_s,   u"imperial"_s}
            << true << u"Row"_s << int(OverlaySize::large) << QString() << 1000
            << int(tallyfin::UnitSystem::imperial);
        QTest::newRow("screenshot after")
            << QStringList{u"--screenshot"_s, u"/tmp/a.png"_s, u"--after"_s, u"1500"_s} << false
            << QString() << -1 << u"/tmp/a.png"_s << 1500 << -1;
        QTest::newRow("equals form") << QStringList{u"--size=small"_s, u"--screenshot=x.PNG"_s,
                                                    u"--after=0"_s, u"--units=metric"_s}
                                     << false << QString() << int(OverlaySize::small) << u"x.PNG"_s
                                     << 0 << int(tallyfin::UnitSystem::metric);
        QTest::newRow("name with spaces")
            << QStringList{u"--demo"_s, u"--connect"_s, u"Throwback Bike"_s} << true
            << u"Throwback Bike"_s << -1 << QString() << 1000 << -1;
    }

    void accepted() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, demo);
        QFETCH(QString, connectTo);
        QFETCH(int, size);
        QFETCH(QString, screenshot);
        QFETCH(int, after);
        QFETCH(int, units);

        const auto parsed = parseCommandLine(QStringList{u"tallyfin"_s} + arguments);
        if (const auto* error = std::get_if<CommandLineError>(&parsed)) {
            QFAIL(qPrintable(error->message));
        }
        const auto* options = std::get_if<CommandLineOptions>(&parsed);
        QCOMPARE(options->demo, demo);
        QCOMPARE(options->connectTo.value_or(QString()), connectTo);
        QCOMPARE(options->size ? int(*options->size) : -1, size);
        QCOMPARE(options->screenshot.value_or(QString()), screenshot);
        QCOMPARE(options->screenshotDelayMs, after);
        QCOMPARE(options->units ? int(*options->units) : -1, units);
    }

    void rejected_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("mentions");

        QTest::newRow("unknown option") << QStringList{u"--fast"_s} << u"--fast"_s;
        QTest::newRow("stray word") << QStringList{u"demo"_s} << u"demo"_s;
        QTest::newRow("size missing") << QStringList{u"--size"_s} << u"--size"_s;
        QTest::newRow("size capitalised") << QStringList{u"--size"_s, u"Large"_s} << u"Large"_s;
        QTest::newRow("units unknown") << QStringList{u"--units"_s, u"miles"_s} << u"miles"_s;
        QTest::newRow("size is an option") << QStringList{u"--size"_s, u"--demo"_s} << u"--size"_s;
        QTest::newRow("connect empty") << QStringList{u"--connect="_s} << u"--connect"_s;
        QTest::newRow("connect missing") << QStringList{u"--connect"_s} << u"--connect"_s;
        QTest::newRow("screenshot without format")
            << QStringList{u"--screenshot"_s, u"/tmp/picture"_s} << u"/tmp/picture"_s;
        QTest::newRow("screenshot unknown format")
            << QStringList{u"--screenshot"_s, u"a.docx"_s} << u"a.docx"_s;
        QTest::newRow("after alone") << QStringList{u"--after"_s, u"10"_s} << u"--screenshot"_s;
        QTest::newRow("after negative")
            << QStringList{u"--screenshot"_s, u"a.png"_s, u"--after"_s, u"-5"_s} << u"-5"_s;
        QTest::newRow("after not a number")
            << QStringList{u"--screenshot"_s, u"a.png"_s, u"--after"_s, u"soon"_s} << u"soon"_s;
        QTest::newRow("value on a flag") << QStringList{u"--demo=yes"_s} << u"--demo=yes"_s;
    }

    void rejected() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, mentions);
        const auto parsed = parseCommandLine(QStringList{u"tallyfin"_s} + arguments);
        const auto* error = std::get_if<CommandLineError>(&parsed);
        QVERIFY(error);
        QVERIFY2(error->message.contains(mentions), qPrintable(error->message));
    }

    void xwayland_data() {
        QTest::addColumn<QString>("session");
        QTest::addColumn<QString>("waylandDisplay");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<bool>("platformArgument");
        QTest::addColumn<bool>("expected");

        QTest::newRow("x11 session")
            << u"x11"_s << QString() << u":0"_s << QString() << false << false;
        QTest::newRow("wayland session")
            << u"wayland"_s << u"wayland-0"_s << u":0"_s << QString() << false << true;
        QTest::newRow("wayland display only")
            << QString() << u"wayland-0"_s << u":1"_s << QString() << false << true;
        QTest::newRow("user chose wayland")
            << u"wayland"_s << u"wayland-0"_s << u":0"_s << u"wayland"_s << false << false;
        QTest::newRow("platform argument")
            << u"wayland"_s << u"wayland-0"_s << u":0"_s << QString() << true << false;
        QTest::newRow("no XWayland")
            << u"wayland"_s << u"wayland-0"_s << QString() << QString() << false << false;
    }

    void xwayland() {
        QFETCH(QString, session);
        QFETCH(QString, waylandDisplay);
        QFETCH(QString, display);
        QFETCH(QString, platform);
        QFETCH(bool, platformArgument);
        QFETCH(bool, expected);

        const std::map<std::string, QByteArray> env{
            {"XDG_SESSION_TYPE", session.toUtf8()},
            {"WAYLAND_DISPLAY", waylandDisplay.toUtf8()},
            {"DISPLAY", display.toUtf8()},
            {"QT_QPA_PLATFORM", platform.toUtf8()},
        };
        auto lookup = [&env](const char* name) {
            const auto it = env.find(name);
            return it == env.end() ? QByteArray() : it->second;
        };
        const char* withPlatform[] = {"tallyfin", "-platform", "wayland"};
        const char* plain[] = {"tallyfin", "--demo"};
        const bool result = platformArgument ? shouldUseXWayland(lookup, 3, withPlatform)
                                             : shouldUseXWayland(lookup, 2, plain);
        QCOMPARE(result, expected);
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
