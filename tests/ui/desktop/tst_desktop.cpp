// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// The panel under real X11 window managers, one row each (CTest runs each row under with-xvfb.sh):
// above a focused full-screen window whichever came first, as a screenshot of the screen shows;
// cut to its outline; its popover closing on Escape and on a click outside; the keyboard focus
// never taken; on every desktop only while connected. One more row runs at a scale of 2, two
// under GNOME Shell on Wayland.

#include "bluetooth/simulated/SimulatedCentral.h"
#include "connection/FTMSManager.h"
#include "model/Localization.h"
#include "ui/desktop/Appearance.h"
#include "ui/desktop/PopoverGrab.h"
#include "ui/panel/OverlaySizeManager.h"
#include "ui/shell/AppMenu.h"
#include "ui/shell/AppShell.h"
#include "ui/shell/InstanceGuard.h"

#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QProcess>
#include <QQmlExtensionPlugin>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>

#include <csignal>
#include <cstdlib>
#include <memory>
#include <unistd.h>
#include <utility>
#include <xcb/shape.h>
#include <xcb/xcb.h>

Q_IMPORT_QML_PLUGIN(TallyfinPlugin)

using namespace tallyfin;
using namespace tallyfin::ui;
using namespace Qt::StringLiterals;

namespace {

// A loaded two-core machine starts KWin or mutter slowly.
constexpr int slow = 40000;

bool isRed(QRgb pixel) {
    return qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60;
}

// Equal but for the rounding of the outline's edges.
bool near(const QRect& a, const QRect& b) {
    return a.adjusted(-1, -1, 1, 1).contains(b) && b.adjusted(-1, -1, 1, 1).contains(a);
}

xcb_connection_t* x11() {
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

template<typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

QRegion shapeOf(const QWindow& window, xcb_shape_kind_t kind) {
    const auto id = static_cast<xcb_window_t>(window.winId());
    const Reply<xcb_shape_get_rectangles_reply_t> reply(
        xcb_shape_get_rectangles_reply(x11(), xcb_shape_get_rectangles(x11(), id, kind), nullptr),
        &std::free);
    QRegion region;
    for (int i = 0; reply && i < xcb_shape_get_rectangles_rectangles_length(reply.get()); ++i) {
        const xcb_rectangle_t r = xcb_shape_get_rectangles_rectangles(reply.get())[i];
        region += QRect(r.x, r.y, r.width, r.height);
    }
    return region;
}

xcb_window_t inputFocus() {
    const Reply<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(x11(), xcb_get_input_focus(x11()), nullptr), &std::free);
    return reply ? reply->focus : static_cast<xcb_window_t>(XCB_WINDOW_NONE);
}

// What a tray host that dies at once leaves: _NET_SYSTEM_TRAY_S0 set, to no owner.
void dropTraySelection() {
    const Reply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(x11(), xcb_intern_atom(x11(), 0, 19, "_NET_SYSTEM_TRAY_S0"), nullptr),
        &std::free);
    xcb_set_selection_owner(x11(), XCB_NONE, atom->atom, XCB_CURRENT_TIME);
    xcb_flush(x11());
}

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<OverlaySizeManager> m_sizes;
    std::unique_ptr<AppShell> m_shell;
    std::unique_ptr<QProcess> m_windowManager;
    std::unique_ptr<QProcess> m_fullScreen;
    // On GNOME Shell on Wayland, the remote-desktop session that clicks and types.
    std::unique_ptr<QDBusInterface> m_input;
    QPoint m_pointer;
    bool m_pointerKnown = false;

    QQuickWindow* panel() const { return m_shell->window(); }
    QQuickItem* view() const {
        auto* content = panel()->findChild<QQuickItem*>(u"contentView"_s);
        return content ? content->property("currentView").value<QQuickItem*>() : nullptr;
    }
    QQuickWindow* popover() const {
        return view() ? view()->property("popover").value<QQuickWindow*>() : nullptr;
    }

    // Where the view's outline is in the panel's window.
    QRect outlineRect() const {
        auto* outline = view()->property("outline").value<QQuickItem*>();
        return outline->mapRectToScene(outline->boundingRect()).toAlignedRect();
    }

    // In a process group of its own, so that whatever it starts (a window manager's session bus
    // and what that bus starts) ends with it: see stop().
    static std::unique_ptr<QProcess> spawn(const QString& commandLine) {
        auto process = std::make_unique<QProcess>();
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        process->setChildProcessModifier([] { ::setpgid(0, 0); });
        const QStringList command = QProcess::splitCommand(commandLine);
        process->start(command.first(), command.mid(1));
        return process;
    }

    // Ends the process and everything in its group, politely first.
    static void stop(std::unique_ptr<QProcess>& process) {
        if (process && process->processId() > 0) {
            const pid_t group = static_cast<pid_t>(process->processId());
            ::kill(-group, SIGTERM);
            process->waitForFinished(3000);
            QTest::qWait(200); // the group's other members
            ::kill(-group, SIGKILL);
        }
        process.reset();
    }

    // Runs a tool to its end while the panel keeps answering the X server; true on status 0.
    static bool run(const QString& command) {
        const auto process = spawn(command);
        return QTest::qWaitFor([&]() { return process->state() == QProcess::NotRunning; }, slow) &&
               process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    }

    // Where an item's centre is on screen once the panel's layout has stopped moving it.
    static QPoint settledCentre(const QQuickItem* item) {
        QPoint last(-1, -1);
        for (int stable = 0, i = 0; stable < 3 && i < 200; ++i) {
            QTest::qWait(50);
            const QPoint now = item->mapToGlobal(item->boundingRect().center()).toPoint();
            stable = now == last ? stable + 1 : 0;
            last = now;
        }
        return last;
    }

    // `at` in logical pixels; the X server counts device pixels.
    bool click(const QPoint& at) {
        if (m_input) {
            // Straight from where the pointer is: after a jump from over the full-screen window
            // the press goes there (docs/desktop.md). First pushed into the top-left corner.
            if (!std::exchange(m_pointerKnown, true)) {
                remote(u"NotifyPointerMotionRelative"_s, {-1e4, -1e4});
            }
            const QPoint by = at - std::exchange(m_pointer, at);
            if (!remote(u"NotifyPointerMotionRelative"_s, {qreal(by.x()), qreal(by.y())})) {
                return false;
            }
            // A press with the jump itself is lost: press once XWayland has the pointer there (it
            // never has over a Wayland window), and not sooner than 200 ms.
            QTest::qWait(200);
            QTest::qWaitFor([&at]() { return (QCursor::pos() - at).manhattanLength() <= 1; }, 2000);
            return remote(u"NotifyPointerButton"_s, {0x110, true}) && // BTN_LEFT
                   remote(u"NotifyPointerButton"_s, {0x110, false});
        }
        const qreal ratio = qApp->devicePixelRatio();
        return run(u"xdotool mousemove %1 %2 click 1"_s.arg(qRound(at.x() * ratio))
                       .arg(qRound(at.y() * ratio)));
    }

    bool popoverOpens(QQuickItem* info) {
        return click(settledCentre(info)) &&
               QTest::qWaitFor(
                   [&]() {
                       return popover() && popover()->isExposed() &&
                              popover()->findChild<PopoverGrab*>()->grabbing();
                   },
                   slow);
    }

    bool remote(const QString& method, const QVariantList& arguments) {
        return m_input->callWithArgumentList(QDBus::Block, method, arguments).type() ==
               QDBusMessage::ReplyMessage;
    }

    bool key(uint keysym) {
        return remote(u"NotifyKeyboardKeysym"_s, {keysym, true}) &&
               remote(u"NotifyKeyboardKeysym"_s, {keysym, false});
    }

    // XWayland's root window holds no Wayland window: GNOME Shell takes the picture there.
    QImage screen() {
        if (!m_input) {
            return QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        }
        QDBusInterface shell(u"org.gnome.Shell.Screenshot"_s, u"/org/gnome/Shell/Screenshot"_s,
                             u"org.gnome.Shell.Screenshot"_s);
        shell.call(u"Screenshot"_s, false, false, m_dir.filePath(u"shot.png"_s));
        return QImage(m_dir.filePath(u"shot.png"_s));
    }

    // Started with no machine, the chooser shows over `what`; connected to the first machine
    // found, the strip does too.
    bool chooserThenStripShow(const QString& what) {
        auto* manager = launch(std::nullopt) ? m_shell->manager() : nullptr;
        if (!manager || !panelShows(u"chooser over "_s + what) ||
            !QTest::qWaitFor([&]() { return !manager->discoveredDevices().isEmpty(); }, slow)) {
            return false;
        }
        manager->connect(manager->discoveredDevices().first());
        return QTest::qWaitFor([&]() { return manager->isConnected(); }, slow) &&
               panelShows(u"strip over "_s + what);
    }

    // The panel at rest, drawn where it is: its outline's centre opaque over the red full-screen
    // window, its transparent corner showing the red.
    bool panelShows(const QString& step) {
        const bool shown = QTest::qWaitFor(
            [&]() {
                auto* outline = view() ? view()->property("outline").value<QQuickItem*>() : nullptr;
                if (!outline || !panel()->isExposed() ||
                    m_shell->panel()->targetFrame() != panel()->geometry()) {
                    return false;
                }
                const QImage shot = screen();
                const QPointF centre = outline->mapToGlobal(outline->boundingRect().center());
                return !isRed(shot.pixel(centre.toPoint())) &&
                       isRed(shot.pixel(panel()->position() + QPoint(2, 2)));
            },
            slow);
        if (!shown && screen().save(m_dir.filePath(u"screen.png"_s))) {
            m_dir.setAutoRemove(false);
            qWarning() << step
                       << "- the panel is not on screen:" << m_dir.filePath(u"screen.png"_s);
        }
        return shown;
    }

    // The X keyboard focus; the popover's keyboard grab only lends it the keys meanwhile.
    bool focusTaken() const {
        const xcb_window_t focus = inputFocus();
        return focus == panel()->winId() || (popover() && focus == popover()->winId());
    }

    bool launch(std::optional<QString> connectTo) {
        m_settings =
            std::make_unique<QSettings>(m_dir.filePath(u"prefs.ini"_s), QSettings::IniFormat);
        m_sizes = std::make_unique<OverlaySizeManager>(m_settings.get());
        AppShell::Options options;
        options.centralFactory = bluetooth::simulated::simulatedCentralFactory();
        options.sizes = m_sizes.get();
        options.settings = m_settings.get();
        options.connectTo = std::move(connectTo);
        options.sendSignal = [](const QString&, const QMap<QString, QString>&) {};
        m_shell = std::make_unique<AppShell>(std::move(options));
        return m_shell->launch();
    }

    bool startWindowManager(const QString& commandLine) {
        m_windowManager = spawn(commandLine);
        return QTest::qWaitFor([]() { return run(u"wmctrl -m"_s); }, slow);
    }

    // xlogo, full-screen and focused: all red. A window manager that has only just started may
    // miss a window mapped meanwhile; a new one is tried then.
    bool startFullScreenWindow() {
        for (int attempt = 0; attempt < 3; ++attempt) {
            stop(m_fullScreen);
            m_fullScreen = spawn(u"xlogo -bg red -fg red"_s);
            const auto managed = []() { return run(u"wmctrl -r xlogo -b add,fullscreen"_s); };
            const auto onTop = [this]() {
                return run(u"wmctrl -a xlogo"_s) && isRed(screen().pixel(5, 5)) &&
                       isRed(screen().pixel(1914, 1074));
            };
            if (QTest::qWaitFor(managed, slow / 4) && QTest::qWaitFor(onTop, slow)) {
                return true;
            }
        }
        return false;
    }

private Q_SLOTS:
    void initTestCase() {
        if (QGuiApplication::platformName() != u"xcb") {
            QSKIP("needs an X server: run through tests/ui/desktop/with-xvfb.sh");
        }
        for (const QString& tool : {u"xlogo"_s, u"wmctrl"_s, u"xdotool"_s}) {
            QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(),
                     qPrintable(tool + u" is missing: run scripts/deps"_s));
        }
        // The panel's texts as the program shows them.
        QCOMPARE(installTranslations(*qApp, {u"en"_s}), u"en"_s);
    }

    void cleanup() {
        m_shell.reset();
        m_input.reset();
        stop(m_fullScreen);
        stop(m_windowManager);
    }

    // Each window manager as PLATFORM-NOTES.md starts it (xfwm4, KWin and mutter want a session
    // bus); KWin and mutter composite, and only openbox and xfwm4 keep several desktops.
    void aboveFullScreen_data() {
        QTest::addColumn<QString>("windowManager");
        QTest::addColumn<bool>("compositing");
        QTest::addColumn<bool>("desktops");
        QTest::newRow("openbox") << u"openbox"_s << false << true;
        QTest::newRow("xfwm4") << u"dbus-run-session -- xfwm4 --compositor=off"_s << false << true;
        QTest::newRow("kwin_x11") << u"dbus-run-session -- kwin_x11 --replace"_s << true << false;
        QTest::newRow("mutter") << u"dbus-run-session -- mutter --x11 --replace"_s << true << false;
    }

    void aboveFullScreen() {
        QFETCH(QString, windowManager);
        QFETCH(bool, compositing);
        QFETCH(bool, desktops);
        const QString program = QProcess::splitCommand(windowManager).value(2, windowManager);
        QVERIFY2(!QStandardPaths::findExecutable(program).isEmpty(),
                 qPrintable(program + u" is missing: run scripts/deps"_s));
        QVERIFY2(startWindowManager(windowManager), "the window manager did not start");

        // The full-screen window first: the chooser, then the strip, show above it.
        QVERIFY(startFullScreenWindow());
        QVERIFY(chooserThenStripShow(u"a full-screen window"_s));
        QCOMPARE(m_shell->appearance()->translucent(), compositing);
        QVERIFY(!focusTaken() && !QGuiApplication::focusWindow());

        // Cut to the strip's outline, also after a change of size: clicks in the margins reach
        // the window below; without a compositor only the outline shows.
        m_sizes->chooseSize(OverlaySize::large);
        QVERIFY(panelShows(u"large strip"_s));
        QRegion input;
        QRect expected;
        QTRY_VERIFY2_WITH_TIMEOUT(
            (input = shapeOf(*panel(), XCB_SHAPE_SK_INPUT), expected = outlineRect(),
             expected.width() == panel()->width() && near(input.boundingRect(), expected)),
            qPrintable(QDebug::toString(input) + u" around "_s + QDebug::toString(expected)), slow);
        QVERIFY(!input.contains(QPoint(1, 1)) && !input.contains(expected.topLeft()));
        QCOMPARE(shapeOf(*panel(), XCB_SHAPE_SK_BOUNDING),
                 compositing ? QRegion(QRect(QPoint(), panel()->size())) : input);

        // The popover opens above the full-screen window at its button and closes on Escape and
        // on a click outside; the full-screen window keeps the keyboard focus throughout.
        auto* info = view()->property("infoButton").value<QQuickItem*>();
        for (const QString& close :
             {u"xdotool key Escape"_s, u"xdotool mousemove 900 300 click 1"_s}) {
            QVERIFY(popoverOpens(info));
            // The arrow's tip just above the symbol.
            auto* symbol = popover()->property("anchorItem").value<QQuickItem*>();
            const QPointF tip = symbol->mapToGlobal(QPointF(symbol->width() / 2, 0));
            QVERIFY(qAbs(popover()->x() + popover()->property("arrowTipX").toReal() - tip.x()) <=
                    1);
            QVERIFY(qAbs(popover()->geometry().bottom() - tip.y()) <= 3);
            QTRY_VERIFY_WITH_TIMEOUT(!isRed(screen().pixel(popover()->geometry().center())), slow);
            QVERIFY(!focusTaken());
            QVERIFY(!popover()->property("below").toBool());
            QVERIFY(run(close));
            QTRY_VERIFY_WITH_TIMEOUT(!popover(), slow);
            QVERIFY(panelShows(u"popover closed"_s));
        }
        QVERIFY(!focusTaken() && !QGuiApplication::focusWindow());

        // Locked, the strip takes no pointer input at all; Ctrl held over it lends it the
        // pointer; `tallyfin --unlock`, as the desktop entry's action runs it, unlocks it.
        InstanceGuard guard;
        QVERIFY(guard.listen());
        m_shell->takeCommands(guard);
        m_sizes->panel()->setLocked(true);
        QTRY_VERIFY_WITH_TIMEOUT(shapeOf(*panel(), XCB_SHAPE_SK_INPUT).isEmpty(), slow);
        const QPoint middle = outlineRect().center() + panel()->position();
        QVERIFY(run(u"xdotool mousemove %1 %2 keydown ctrl"_s.arg(middle.x()).arg(middle.y())));
        QTRY_VERIFY_WITH_TIMEOUT(
            near(shapeOf(*panel(), XCB_SHAPE_SK_INPUT).boundingRect(), outlineRect()), slow);
        QVERIFY(run(u"xdotool keyup ctrl"_s));
        QTRY_VERIFY_WITH_TIMEOUT(shapeOf(*panel(), XCB_SHAPE_SK_INPUT).isEmpty(), slow);
        QVERIFY(run(QStringLiteral(TALLYFIN_BINARY " --unlock")));
        QTRY_VERIFY_WITH_TIMEOUT(!shapeOf(*panel(), XCB_SHAPE_SK_INPUT).isEmpty(), slow);
        QVERIFY(!m_sizes->panel()->locked());

        // The panel first, the full-screen window then started over it.
        m_shell.reset();
        stop(m_fullScreen);
        QVERIFY(launch(u"Bike"_s));
        QTRY_VERIFY_WITH_TIMEOUT(m_shell->manager()->isConnected(), slow);
        QVERIFY(startFullScreenWindow());
        QVERIFY(panelShows(u"full-screen window started over the strip"_s));

        if (desktops) {
            // Connected, on every desktop; disconnected, on the one it was left on.
            QVERIFY(run(u"wmctrl -s 1"_s));
            QTRY_VERIFY_WITH_TIMEOUT(!isRed(screen().pixel(5, 5)), slow);
            QVERIFY(panel()->isVisible());
            m_shell->manager()->disconnect();
            QTRY_VERIFY_WITH_TIMEOUT(!m_shell->manager()->isConnected(), slow);
            QVERIFY(run(u"wmctrl -s 0"_s));
            QTRY_VERIFY_WITH_TIMEOUT(!panel()->isVisible(), slow);
            QVERIFY(run(u"wmctrl -s 1"_s));
            QTRY_VERIFY_WITH_TIMEOUT(panel()->isVisible(), slow);
        }
    }

    // GNOME Shell on Wayland (tst_desktop_gnome_wayland_*, under with-gnome-wayland.sh): the
    // panel, through XWayland, above a full-screen Wayland window whichever came first; its
    // popover, which an X grab cannot hold there, closing on Escape or on a click on that window.
    void gnomeWayland_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("escape") << true;
        QTest::newRow("click") << false;
    }

    void gnomeWayland() {
        QFETCH(bool, escape);
        if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
            QSKIP("needs GNOME Shell on Wayland: run as tst_desktop_gnome_wayland_*");
        }
        // The shell takes pictures only for the screenshot tool.
        QVERIFY(QDBusConnection::sessionBus().registerService(u"org.gnome.Screenshot"_s));
        const QString desktop = u"org.gnome.Mutter.RemoteDesktop"_s;
        QDBusInterface remoteDesktop(desktop, u"/org/gnome/Mutter/RemoteDesktop"_s, desktop);
        const QDBusReply<QDBusObjectPath> session = remoteDesktop.call(u"CreateSession"_s);
        QVERIFY2(session.isValid(), qPrintable(session.error().message()));
        m_input = std::make_unique<QDBusInterface>(desktop, session.value().path(),
                                                   desktop + u".Session"_s);
        QVERIFY(remote(u"Start"_s, {}));
        QVERIFY(key(0xff1b)); // Escape: out of the overview the shell starts in
        const auto startRedWindow = [this]() {
            stop(m_fullScreen);
            m_fullScreen = spawn(u"env QT_QPA_PLATFORM=wayland "_s + QStringLiteral(RED_WINDOW));
            return QTest::qWaitFor(
                [this]() {
                    const QImage shot = screen();
                    return isRed(shot.pixel(5, 5)) && isRed(shot.pixel(1914, 1074));
                },
                slow);
        };

        QVERIFY(startRedWindow());
        QVERIFY(chooserThenStripShow(u"a full-screen Wayland window"_s));

        // Once the full-screen window has had the focus (a click on it, or back from the
        // popover), the shell gives it the clicks on the panel too (docs/desktop.md): one
        // popover per row.
        auto* info = view()->property("infoButton").value<QQuickItem*>();
        QVERIFY(popoverOpens(info));
        // At its button, drawn above the full-screen window.
        auto* symbol = popover()->property("anchorItem").value<QQuickItem*>();
        const QPointF tip = symbol->mapToGlobal(QPointF(symbol->width() / 2, 0));
        QTRY_VERIFY_WITH_TIMEOUT(
            qAbs(popover()->x() + popover()->property("arrowTipX").toReal() - tip.x()) <= 1 &&
                qAbs(popover()->geometry().bottom() - tip.y()) <= 3,
            slow);
        QTRY_VERIFY_WITH_TIMEOUT(!isRed(screen().pixel(popover()->geometry().center())), slow);
        // A click in it stays in it: the size picker's last segment. The popover grows upwards
        // while the workout's first figures come in (the distance, then the averages), moving
        // the picker on screen: pressed where it is once they are all there.
        auto* totals = popover()->findChild<QQuickItem*>(u"workoutTotals"_s);
        auto* averages = popover()->findChild<QQuickItem*>(u"workoutAverages"_s);
        QTRY_VERIFY_WITH_TIMEOUT(
            totals->property("cells").toList().size() == 6 && averages->isVisible(), slow);
        auto* picker = popover()->findChild<QQuickItem*>(u"sizePicker"_s);
        settledCentre(picker);
        QVERIFY(click(
            picker->mapToGlobal(QPointF(picker->width() - 8, picker->height() / 2)).toPoint()));
        QTRY_COMPARE_WITH_TIMEOUT(m_sizes->currentSize(), OverlaySize::large, 3000);
        QVERIFY(popover() && popover()->isActive());
        QVERIFY(escape ? key(0xff1b) : click(QPoint(900, 300)));
        QTRY_VERIFY_WITH_TIMEOUT(!popover(), slow);
        QVERIFY(panelShows(u"popover closed"_s));
        QVERIFY(!focusTaken());

        // The panel first, the full-screen window then started over it.
        m_shell.reset();
        QVERIFY(launch(u"Bike"_s));
        QTRY_VERIFY_WITH_TIMEOUT(m_shell->manager()->isConnected(), slow);
        QVERIFY(startRedWindow());
        QVERIFY(panelShows(u"full-screen Wayland window started over the strip"_s));
    }

    // At QT_SCALE_FACTOR=2 on a 2560 × 1440 screen (tst_desktop_scale2): the X server counts
    // device pixels, so the window's shapes must too, or only its top-left quarter takes clicks.
    // Dragged to the top of the screen, the strip stays there and its popover opens below ⓘ.
    void scaledScreen() {
        if (!qFuzzyCompare(qApp->devicePixelRatio(), 2.0)) {
            QSKIP("needs QT_SCALE_FACTOR=2: run as tst_desktop_scale2");
        }
        QVERIFY2(startWindowManager(u"openbox"_s), "openbox did not start");
        QVERIFY(launch(u"Bike"_s));
        QTRY_VERIFY_WITH_TIMEOUT(m_shell->manager()->isConnected() && panel()->isExposed() &&
                                     m_shell->panel()->targetFrame() == panel()->geometry(),
                                 slow);
        const QRect outline = outlineRect();
        const QRect scaled(outline.topLeft() * 2, outline.size() * 2);
        QTRY_VERIFY_WITH_TIMEOUT(near(shapeOf(*panel(), XCB_SHAPE_SK_INPUT).boundingRect(), scaled),
                                 slow);

        auto* info = view()->property("infoButton").value<QQuickItem*>();
        QVERIFY(popoverOpens(info));
        QVERIFY(!popover()->property("below").toBool());
        QVERIFY(run(u"xdotool key Escape"_s));
        QTRY_VERIFY_WITH_TIMEOUT(!popover(), slow);

        // The user drags the strip to the top edge.
        const QRect screenArea = panel()->screen()->availableGeometry();
        panel()->setPosition(panel()->x(), screenArea.y() + 10);
        QTRY_VERIFY_WITH_TIMEOUT(m_shell->panel()->placedAt() &&
                                     panel()->geometry() == m_shell->panel()->targetFrame(),
                                 slow);
        QCOMPARE(panel()->y(), screenArea.y() + 10);
        QVERIFY(popoverOpens(info));
        QVERIFY(popover()->property("below").toBool());
        QVERIFY(screenArea.contains(popover()->geometry()));
        QVERIFY(popover()->y() >= settledCentre(info).y());
        QVERIFY(run(u"xdotool key Escape"_s));
        QTRY_VERIFY_WITH_TIMEOUT(!popover(), slow);

        auto* close = view()->findChild<QQuickItem*>(u"closeButton"_s);
        QVERIFY(click(settledCentre(close)));
        QTRY_VERIFY_WITH_TIMEOUT(!m_shell->manager()->isConnected(), slow);
    }

    // Two monitors on one X screen (tst_desktop_monitors): the panel belongs to the one it is on.
    void twoMonitors() {
        if (QGuiApplication::screens().size() != 2) {
            QSKIP("needs two monitors: run as tst_desktop_monitors");
        }
        const QRect second = QGuiApplication::screens().at(1)->geometry();
        QVERIFY2(startWindowManager(u"openbox"_s), "openbox did not start");
        QVERIFY(launch(u"Bike"_s));
        QTRY_VERIFY_WITH_TIMEOUT(m_shell->manager()->isConnected() && panel()->isExposed() &&
                                     m_shell->panel()->targetFrame() == panel()->geometry() &&
                                     panel()->width() > second.width(),
                                 slow);
        // Dragged by its left end to well inside the second monitor: it narrows to fit there.
        const QPoint from = panel()->position() + outlineRect().topLeft() + QPoint(12, 40);
        QVERIFY(run(u"xdotool mousemove %1 %2 mousedown 1 sleep 0.1 mousemove 1800 700 sleep 0.1 "
                    "mousemove 2000 600 sleep 0.1 mouseup 1"_s.arg(from.x())
                        .arg(from.y())));
        const auto settledOn = [&](const QRect& monitor) {
            return QTest::qWaitFor(
                [&]() {
                    return m_shell->panel()->targetFrame() == panel()->geometry() &&
                           monitor.contains(panel()->geometry());
                },
                slow);
        };
        QVERIFY(settledOn(second));
        auto* info = view()->property("infoButton").value<QQuickItem*>();
        QVERIFY(popoverOpens(info));
        QVERIFY(second.contains(popover()->geometry()));
        QVERIFY(run(u"xdotool key Escape"_s));
        QTRY_VERIFY_WITH_TIMEOUT(!popover(), slow);
        // The next start: there again, and ⊗ there takes the click.
        m_shell.reset();
        QVERIFY(launch(u"Bike"_s));
        QTRY_VERIFY_WITH_TIMEOUT(m_shell->manager()->isConnected(), slow);
        QVERIFY(settledOn(second));
        QVERIFY(click(settledCentre(view()->findChild<QQuickItem*>(u"closeButton"_s))));
        QTRY_VERIFY_WITH_TIMEOUT(!m_shell->manager()->isConnected(), slow);
        QVERIFY(settledOn(second));
        // The monitor goes: back to the primary.
        QVERIFY(run(u"xrandr --delmonitor right"_s));
        QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::screens().size(), 1, slow);
        QVERIFY(settledOn(QGuiApplication::primaryScreen()->availableGeometry()));
    }

    // The tray host starts after the program, as at login with "Start at Login": the icon
    // appears in it once it is there (tst_desktop_tray).
    void trayStartedLater() {
        QVERIFY2(!QStandardPaths::findExecutable(u"trayer"_s).isEmpty(),
                 "trayer is missing: run scripts/deps");
        QVERIFY2(startWindowManager(u"openbox"_s), "openbox did not start");
        QVERIFY(launch(std::nullopt));
        QVERIFY(!m_shell->menu()->inTray());
        // Watched, not polled: no timer runs while no tray comes.
        for (const QTimer* timer : m_shell->menu()->findChildren<QTimer*>()) {
            QVERIFY2(!timer->isActive(), timer->parent()->metaObject()->className());
        }
        // The tray's selection let go: still no tray, and the watch goes on.
        dropTraySelection();
        QTest::qWait(300);
        QVERIFY(!m_shell->menu()->inTray());
        const auto tray = spawn(u"trayer --edge top --align right"_s);
        QTRY_VERIFY_WITH_TIMEOUT(m_shell->menu()->inTray(), slow);
        // The icon is docked: trayer's window holds a child of ours.
        QVERIFY(QTest::qWaitFor(
            []() { return run(u"sh -c \"xwininfo -root -tree | grep -q Tallyfin\""_s); }, slow));
    }
};

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
