// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "model/Localization.h"
#include "ui/desktop/PlatformChoice.h"
#include "ui/desktop/PopoverGrab.h"
#include "ui/desktop/RendererChoice.h"
#include "ui/shell/CommandLine.h"

#include <QCoreApplication>
#include <QTest>

using namespace tallyfin::ui;
using namespace Qt::StringLiterals;

namespace {

// The options a command line asks for, in one line.
QString describe(const CommandLineOptions& o) {
    QStringList parts;
    if (o.demo) {
        parts << u"demo"_s;
    }
    if (o.connectTo) {
        parts << u"connect="_s + *o.connectTo;
    }
    if (o.size) {
        parts << u"size="_s + overlaySizeName(*o.size);
    }
    if (o.units) {
        parts << u"units="_s + tallyfin::unitSystemName(*o.units);
    }
    if (o.screenshot) {
        parts << u"screenshot="_s + *o.screenshot;
    }
    return (parts << u"after="_s + QString::number(o.screenshotDelayMs)).join(u' ');
}

} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The errors are in the test environment's language (German): they still name the argument.
    void initTestCase() { QVERIFY(!tallyfin::installTranslations(*qApp).isEmpty()); }

    // What a command line asks for, in one line, or "error: " and what its one error names.
    void parse_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("result");
        QTest::newRow("nothing") << QStringList{} << u"after=1000"_s;
        QTest::newRow("demo connected, large, imperial")
            << QStringList{u"--demo"_s, u"--connect"_s, u"Throwback Bike"_s, u"--size"_s,
                           u"large"_s,  u"--units"_s,   u"imperial"_s}
            << u"demo connect=Throwback Bike size=large units=imperial after=1000"_s;
        QTest::newRow("screenshot after")
            << QStringList{u"--screenshot"_s, u"/tmp/a.png"_s, u"--after"_s, u"1500"_s}
            << u"screenshot=/tmp/a.png after=1500"_s;
        QTest::newRow("equals form") << QStringList{u"--size=small"_s, u"--screenshot=x.PNG"_s,
                                                    u"--after=0"_s, u"--units=metric"_s}
                                     << u"size=small units=metric screenshot=x.PNG after=0"_s;

        QTest::newRow("unknown option") << QStringList{u"--fast"_s} << u"error: --fast"_s;
        QTest::newRow("value on a flag") << QStringList{u"--demo=yes"_s} << u"error: --demo=yes"_s;
        QTest::newRow("size missing") << QStringList{u"--size"_s} << u"error: --size"_s;
        QTest::newRow("size is an option")
            << QStringList{u"--size"_s, u"--demo"_s} << u"error: --size"_s;
        QTest::newRow("size capitalised")
            << QStringList{u"--size"_s, u"Large"_s} << u"error: Large"_s;
        QTest::newRow("units unknown")
            << QStringList{u"--units"_s, u"miles"_s} << u"error: miles"_s;
        QTest::newRow("connect empty") << QStringList{u"--connect="_s} << u"error: --connect"_s;
        QTest::newRow("screenshot unknown format")
            << QStringList{u"--screenshot"_s, u"a.docx"_s} << u"error: a.docx"_s;
        QTest::newRow("after alone")
            << QStringList{u"--after"_s, u"10"_s} << u"error: --screenshot"_s;
        QTest::newRow("after negative")
            << QStringList{u"--screenshot"_s, u"a.png"_s, u"--after"_s, u"-5"_s} << u"error: -5"_s;
        QTest::newRow("after not a number")
            << QStringList{u"--screenshot"_s, u"a.png"_s, u"--after"_s, u"soon"_s}
            << u"error: soon"_s;
    }

    void parse() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, result);
        const auto parsed = parseCommandLine(QStringList{u"tallyfin"_s} + arguments);
        if (const auto* error = std::get_if<CommandLineError>(&parsed)) {
            QVERIFY2(result.startsWith(u"error: ") && error->message.contains(result.mid(7)),
                     qPrintable(error->message));
        } else {
            QCOMPARE(describe(std::get<CommandLineOptions>(parsed)), result);
        }
    }

    // Whether a Wayland session goes through XWayland, then what keeps the panel from showing
    // (none, or a DisplayProblem::Kind); the display ":9" does not open.
    void xwayland_data() {
        QTest::addColumn<QString>("environment");
        QTest::addColumn<bool>("platformArgument");
        QTest::addColumn<bool>("expected");
        QTest::addColumn<int>("problem");
        const QString wayland = u"XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-0"_s;
        const int none = -1;
        QTest::newRow("x11 session")
            << u"XDG_SESSION_TYPE=x11 DISPLAY=:0"_s << false << false << none;
        QTest::newRow("wayland session") << wayland + u" DISPLAY=:0"_s << false << true << none;
        QTest::newRow("wayland display only")
            << u"WAYLAND_DISPLAY=wayland-0 DISPLAY=:1"_s << false << true << none;
        QTest::newRow("user chose wayland")
            << wayland + u" DISPLAY=:0 QT_QPA_PLATFORM=wayland"_s << false << false << none;
        QTest::newRow("platform argument") << wayland + u" DISPLAY=:0"_s << true << false << none;
        QTest::newRow("no XWayland")
            << wayland << false << false << int(DisplayProblem::Kind::noXWayland);
        QTest::newRow("no display")
            << u"XDG_SESSION_TYPE=tty"_s << false << false << int(DisplayProblem::Kind::noDisplay);
        QTest::newRow("display does not open")
            << u"DISPLAY=:9"_s << false << false << int(DisplayProblem::Kind::displayDoesNotOpen);
    }

    void xwayland() {
        QFETCH(QString, environment);
        QFETCH(bool, platformArgument);
        QFETCH(bool, expected);
        QFETCH(int, problem);
        QMap<QByteArray, QByteArray> variables;
        for (const QString& variable : environment.split(u' ')) {
            variables.insert(variable.section(u'=', 0, 0).toUtf8(),
                             variable.section(u'=', 1).toUtf8());
        }
        const auto lookup = [&](const char* name) { return variables.value(name); };
        const char* withPlatform[] = {"tallyfin", "-platform", "wayland"};
        const char* plain[] = {"tallyfin", "--demo"};
        const int argc = platformArgument ? 3 : 2;
        const char* const* argv = platformArgument ? withPlatform : plain;
        QCOMPARE(shouldUseXWayland(lookup, argc, argv), expected);
        if (expected) {
            variables.insert("QT_QPA_PLATFORM", "xcb");
        }
        const auto found = displayProblem(
            lookup, argc, argv, [](const QByteArray& display) { return display != ":9"; });
        QCOMPARE(found ? int(found->kind) : -1, problem);
    }

    // Only XWayland's grabs miss windows (the Wayland desktop's own), there the popover uses the
    // focus; Qt's own Wayland popups and other platforms grab.
    void popoverClosing_data() {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<bool>("xwayland");
        QTest::addColumn<bool>("focus");
        QTest::newRow("X11") << u"xcb"_s << false << false;
        QTest::newRow("XWayland") << u"xcb"_s << true << true;
        QTest::newRow("Wayland") << u"wayland"_s << false << false;
        QTest::newRow("offscreen") << u"offscreen"_s << false << false;
    }

    void popoverClosing() {
        QFETCH(QString, platform);
        QFETCH(bool, xwayland);
        QTEST(tallyfin::ui::popoverClosing(platform, xwayland) == PopoverClosing::focus, "focus");
    }

    // Software drawing without a GPU, unless the user chose a renderer.
    void renderer_data() {
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<bool>("gpu");
        QTest::addColumn<bool>("expected");
        QTest::newRow("gpu") << QByteArray() << true << false;
        QTest::newRow("no gpu") << QByteArray() << false << true;
        QTest::newRow("mesa told to rasterise") << "LIBGL_ALWAYS_SOFTWARE=1"_ba << true << true;
        QTest::newRow("mesa told not to") << "LIBGL_ALWAYS_SOFTWARE=0"_ba << true << false;
        QTest::newRow("user chose opengl") << "QSG_RHI_BACKEND=opengl"_ba << false << false;
        QTest::newRow("user chose a backend") << "QT_QUICK_BACKEND=software"_ba << true << false;
    }

    void renderer() {
        QFETCH(QByteArray, variable);
        QFETCH(bool, gpu);
        const auto lookup = [&](const char* name) -> QByteArray {
            const QByteArray prefix = QByteArray(name).append('=');
            return variable.startsWith(prefix) ? variable.mid(prefix.size()) : QByteArray();
        };
        QTEST(shouldDrawInSoftware(lookup, [gpu] { return gpu; }), "expected");
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
