// The real panel window on an X server: frameless, above other windows, refusing the keyboard
// focus, placed at the bottom centre, and on every desktop while connected. Runs under
// tests/ui/with-xvfb.sh and reads the window's properties back with xprop.

#include "bluetooth/simulated/Scheduler.h"
#include "bluetooth/simulated/SimulatedCentral.h"
#include "connection/FTMSManager.h"
#include "ui/AppShell.h"
#include "ui/OverlaySizeManager.h"

#include <QApplication>
#include <QProcess>
#include <QQmlExtensionPlugin>
#include <QQuickWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

Q_IMPORT_QML_PLUGIN(TallyfinPlugin)

using namespace tallyfin;
using namespace tallyfin::ui;
using namespace Qt::StringLiterals;
namespace sim = tallyfin::bluetooth::simulated;

class PanelWindowTest : public QObject {
    Q_OBJECT

private:
    QString xprop(QQuickWindow* window, const QString& property) {
        QProcess process;
        process.start(u"xprop"_s, {u"-id"_s, QString::number(window->winId()), property});
        if (!process.waitForFinished(10000)) {
            return u"<xprop did not finish>"_s;
        }
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

private Q_SLOTS:
    void initTestCase() {
        if (QGuiApplication::platformName() != u"xcb") {
            QSKIP("needs an X server: run through tests/ui/with-xvfb.sh");
        }
    }

    void panelIsFramelessOnTopAndPlaced() {
        QTemporaryDir dir;
        QSettings settings(dir.filePath(u"prefs.ini"_s), QSettings::IniFormat);
        OverlaySizeManager sizes(&settings);
        auto scheduler = std::make_shared<sim::ManualScheduler>();
        const auto machines = sim::VirtualMachine::standardMachines().mid(0, 1);

        AppShell::Options options;
        options.centralFactory = sim::simulatedCentralFactory(scheduler, machines);
        options.sizes = &sizes;
        options.makeUpdater = []() {
            return std::pair<std::unique_ptr<QObject>, std::function<void()>>();
        };
        options.sendSignal = [](const QString&, const QMap<QString, QString>&) {};
        AppShell shell(std::move(options));
        QVERIFY(shell.launch());
        shell.panel()->setFrameAnimationDuration(std::chrono::milliseconds(0));
        QQuickWindow* window = shell.window();
        QVERIFY(QTest::qWaitForWindowExposed(window));

        // Xvfb: a 1920 x 1080 screen without panels, so the visible area is the whole screen.
        QTRY_COMPARE(window->geometry(), QRect(670, 980, 580, 80));
        QVERIFY(xprop(window, u"_NET_WM_STATE"_s).contains(u"_NET_WM_STATE_ABOVE"_s));
        QVERIFY(xprop(window, u"_NET_WM_WINDOW_TYPE"_s).contains(u"_NET_WM_WINDOW_TYPE_UTILITY"_s));
        // Motif hints: flags 2 (decorations given), decorations 0.
        const QString motif = xprop(window, u"_MOTIF_WM_HINTS"_s);
        QVERIFY2(motif.contains(u"0x2, 0x0, 0x0"_s) || motif.contains(u"0x3, 0x0, 0x0"_s) ||
                     motif.contains(u"0x2, 0x1, 0x0"_s) || motif.contains(u"0x3, 0x1, 0x0"_s),
                 qPrintable(motif));
        QVERIFY2(xprop(window, u"WM_HINTS"_s).contains(u"False"_s),
                 qPrintable(xprop(window, u"WM_HINTS"_s)));
        QVERIFY(!window->isActive());

        // Connected: 93 % of the width, centred, on every desktop.
        scheduler->advance(std::chrono::milliseconds(200));
        QTRY_VERIFY(shell.manager()->isScanning());
        for (int i = 0; i < 5 && shell.manager()->devices().isEmpty(); ++i) {
            scheduler->advance(std::chrono::milliseconds(1000));
            QCoreApplication::processEvents();
        }
        QTRY_VERIFY(!shell.manager()->devices().isEmpty());
        shell.manager()->connect(shell.manager()->devices().first().peripheral);
        for (int i = 0; i < 10 && !shell.manager()->isConnected(); ++i) {
            scheduler->advance(std::chrono::milliseconds(100));
            QCoreApplication::processEvents();
        }
        QTRY_VERIFY(shell.manager()->isConnected());
        QTRY_COMPARE(window->geometry(), QRect(67, 980, 1786, 80));
        QTRY_VERIFY(xprop(window, u"_NET_WM_DESKTOP"_s).contains(u"4294967295"_s));

        // Disconnected again: back to 580 points on the current desktop only.
        shell.manager()->disconnect();
        for (int i = 0; i < 10 && shell.manager()->isConnected(); ++i) {
            scheduler->advance(std::chrono::milliseconds(100));
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(window->geometry(), QRect(670, 980, 580, 80));
        QTRY_VERIFY(xprop(window, u"_NET_WM_DESKTOP"_s).endsWith(u"= 0"_s));
    }
};

QTEST_MAIN(PanelWindowTest)
#include "tst_panelwindow.moc"
