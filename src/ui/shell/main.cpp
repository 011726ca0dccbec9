// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// The overlay application: builds the shell from the command line and runs the event loop.

#include "bluetooth/qt/QtBluetoothCentral.h"
#include "bluetooth/simulated/SimulatedCentral.h"
#include "model/ApplicationInfo.h"
#include "model/Localization.h"
#include "model/StopSignals.h"
#include "tallyfin/BuildInfo.h"
#include "ui/desktop/PlatformChoice.h"
#include "ui/desktop/RendererChoice.h"
#include "ui/desktop/X11Support.h"
#include "ui/panel/OverlaySizeManager.h"
#include "ui/shell/AppIcon.h"
#include "ui/shell/AppShell.h"
#include "ui/shell/CommandLine.h"
#include "ui/shell/FrameStats.h"
#include "ui/shell/InstanceGuard.h"
#include "ui/shell/Screenshot.h"

#include <QApplication>
#include <QQmlExtensionPlugin>
#include <QQuickWindow>

#include <cstdio>
#include <cstring>
#include <memory>

Q_IMPORT_QML_PLUGIN(TallyfinPlugin)

int main(int argc, char* argv[]) {
    using namespace tallyfin;

    const ui::Environment environment = [](const char* name) { return qgetenv(name); };
    if (ui::shouldUseXWayland(environment, argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    if (ui::shouldDrawInSoftware(environment, &ui::gpuDeviceUsable)) {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    }
    // QApplication aborts without a display; the command line is still answered then.
    const auto displayProblem = ui::displayProblem(environment, argc, argv, &ui::x11::displayOpens);
    const std::unique_ptr<QCoreApplication> app =
        displayProblem ? std::make_unique<QCoreApplication>(argc, argv)
                       : std::make_unique<QApplication>(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tallyfin"));
    QApplication::setApplicationName(QStringLiteral("Tallyfin"));
    QApplication::setApplicationVersion(QStringLiteral(TALLYFIN_VERSION));
    // The analytics client reports the build number next to the version.
    app->setProperty("buildNumber",
                     ApplicationInfo::fromBuild().textOrUnknown(ApplicationInfo::buildVersionKey));
    // The panel and the popover come and go; only Quit ends the program, or a stop by SIGTERM,
    // SIGINT or SIGHUP, which takes the same way out.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(
        &StopSignals::install(), &StopSignals::stopRequested, app.get(), [](int signal) {
            std::fprintf(stderr, "tallyfin: stopping on SIG%s\n", sigabbrev_np(signal));
            QCoreApplication::quit();
        });
    // The user's language, English where there is no table for it; the help is translated too.
    installTranslations(*app);

    const auto parsed = ui::parseCommandLine(QApplication::arguments());
    if (const auto* error = std::get_if<ui::CommandLineError>(&parsed)) {
        std::fprintf(stderr, "tallyfin: %s\n%s", qPrintable(error->message),
                     qPrintable(ui::commandLineHelp(QStringLiteral("tallyfin"))));
        return ui::badArgumentsExitCode;
    }
    const auto& options = std::get<ui::CommandLineOptions>(parsed);
    if (options.showHelp) {
        std::fputs(qPrintable(ui::commandLineHelp(QStringLiteral("tallyfin"))), stdout);
        return 0;
    }
    if (options.showVersion) {
        // As the About box says it: the version and the build number.
        const ApplicationInfo build = ApplicationInfo::fromBuild();
        std::printf("tallyfin %s (%s)\n",
                    qPrintable(build.textOrUnknown(ApplicationInfo::shortVersionKey)),
                    qPrintable(build.textOrUnknown(ApplicationInfo::buildVersionKey)));
        return 0;
    }
    if (options.unlock) {
        if (ui::InstanceGuard::send(QStringLiteral("unlock"))) {
            return 0;
        }
        // Nothing runs: the next overlay starts unlocked.
        ui::OverlaySizeManager::shared().panel()->setLocked(false);
        //% "No Tallyfin overlay is running; it will start unlocked."
        //: Said by tallyfin --unlock when no overlay runs
        std::fprintf(stderr, "tallyfin: %s\n", qPrintable(qtTrId("commandLine.unlock.none")));
        return 1;
    }
    if (displayProblem) {
        std::fprintf(stderr, "tallyfin: %s\n", qPrintable(displayProblem->message()));
        return 1;
    }
    // Desktops match the windows to the installed desktop entry by this name.
    QApplication::setDesktopFileName(QString::fromLatin1(buildinfo::desktopAppId));
    QApplication::setWindowIcon(ui::applicationIcon());

    // One overlay per user and display; a screenshot run is a tool of its own and never one.
    ui::InstanceGuard guard;
    if (!options.screenshot && !guard.listen() && guard.errorString().isEmpty()) {
        if (ui::InstanceGuard::send(QStringLiteral("activate"))) {
            std::fputs("tallyfin: already running; its panel was brought forward\n", stderr);
            return 0;
        }
        std::fputs("tallyfin: another overlay holds the single-instance socket but does not "
                   "answer\n",
                   stderr);
        return 1;
    }

    ui::OverlaySizeManager& sizes = ui::OverlaySizeManager::shared();
    if (options.size) {
        sizes.setCurrentSize(*options.size);
    }
    if (options.units) {
        sizes.setUnitSystem(*options.units);
    }

    ui::AppShell::Options shellOptions;
    shellOptions.applicationInfo = ApplicationInfo::fromBuild();
    shellOptions.centralFactory = options.demo ? bluetooth::simulated::simulatedCentralFactory()
                                               : bluetooth::qtBluetoothCentralFactory();
    // For tests: TALLYFIN_DEMO_RATE=N runs the demo's time N times faster, and the workouts and
    // the log go by that time, so that a ride of minutes takes seconds.
    if (const double rate = qEnvironmentVariable("TALLYFIN_DEMO_RATE").toDouble();
        options.demo && rate > 0) {
        auto scheduler = std::make_shared<bluetooth::simulated::EventLoopScheduler>(rate);
        shellOptions.centralFactory = bluetooth::simulated::simulatedCentralFactory(scheduler);
        shellOptions.clock = [scheduler, start = QDateTime::currentDateTime()] {
            return start.addMSecs(scheduler->now());
        };
    }
    shellOptions.sizes = &sizes;
    shellOptions.connectTo = options.connectTo;
    ui::AppShell shell(std::move(shellOptions));
    if (!shell.launch()) {
        return 1;
    }
    // `tallyfin --unlock`, also the desktop entry's "Unlock Panel", reaches this overlay here.
    shell.takeCommands(guard);

    // Benchmarks only: frame and CPU figures of a fixed stretch of the run.
    if (auto* stats = ui::FrameStats::fromEnvironment(*shell.window(), &shell)) {
        stats->watch(*shell.manager());
    }
    QObject::connect(&guard, &ui::InstanceGuard::commandReceived, &shell,
                     [&shell](const QString& command) {
                         if (command == u"activate" && shell.window()) {
                             shell.window()->show();
                             shell.window()->raise();
                         }
                     });
    if (options.screenshot) {
        ui::takeScreenshotLater(*shell.window(), *options.screenshot,
                                std::chrono::milliseconds(options.screenshotDelayMs));
    }
    return QApplication::exec();
}
