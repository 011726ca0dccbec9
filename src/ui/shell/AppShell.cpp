// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "AppShell.h"

#include "AppMenu.h"
#include "InstanceGuard.h"
#include "UiLogging.h"
#include "UpdateNotice.h"
#include "Workouts.h"
#include "analytics/TelemetryDeck.h"
#include "connection/FTMSManager.h"
#include "connection/HeartRateStrapManager.h"
#include "ui/desktop/Appearance.h"
#include "ui/desktop/X11StackKeeper.h"
#include "ui/panel/MetricTileModel.h"
#include "ui/panel/OverlaySizeManager.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QSettings>
#include <QTimer>
#include <QUrl>

namespace tallyfin::ui {

using namespace Qt::StringLiterals;

AppShell::AppShell(Options options, QObject* parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_sizes(m_options.sizes ? m_options.sizes : &OverlaySizeManager::shared())
    , m_darkDesktop(std::make_shared<std::atomic<bool>>(Appearance::paletteIsDark())) {
    if (!m_options.startAnalytics) {
        m_options.startAnalytics = [dark = m_darkDesktop](const QString& appId) {
            auto configuration = std::make_shared<analytics::TelemetryManagerConfiguration>(appId);
            // The desktop's scheme as the views follow it (portal or palette), kept where any
            // thread may read it for as long as the client lives.
            configuration->setDarkAppearance(
                [dark] { return dark->load(std::memory_order_relaxed); });
            analytics::TelemetryDeck::initialize(std::move(configuration));
            analytics::TelemetryDeck::signal(u"appLaunched"_s);
        };
    }
    if (!m_options.makeUpdater) {
        m_options.makeUpdater = [info = m_options.applicationInfo]() {
            std::unique_ptr<update::UpdateController> controller =
                update::UpdateController::fromApplicationInfo(info);
            if (!controller) {
                return std::pair<std::unique_ptr<QObject>, std::function<void()>>();
            }
            // The notice belongs to the controller and goes with it.
            auto* notice = new UpdateNotice(*controller);
            return std::pair<std::unique_ptr<QObject>, std::function<void()>>(
                std::move(controller), [notice]() { notice->check(); });
        };
    }
    if (!m_options.sendSignal) {
        m_options.sendSignal = [](const QString& name, const QMap<QString, QString>& parameters) {
            analytics::TelemetryDeck::signal(name, parameters);
        };
    }
}

AppShell::~AppShell() {
    shutDown();
}

void AppShell::shutDown() {
    // Quit, a stop signal: the workout is kept before anything lets go of the machine.
    if (m_workouts) {
        m_workouts->finish(true);
    }
    // The subscriptions and the views refer to the manager: end them first. The views would also
    // start a new scan once the machine is gone.
    m_cancellables.clear();
    m_panel.reset();
    m_engine.reset();
    const auto linked = [this] {
        return m_manager->connectedPeripheral() || m_manager->heartRateStraps()->hasLink();
    };
    if (!m_manager || !linked()) {
        return;
    }
    // Disconnect through the stack while the event loop still runs, so that each link is closed
    // once and cleanly before its controller goes away with the manager.
    qCInfo(lcUi) << "releasing the machine before quitting";
    QEventLoop released;
    const auto check = [&] {
        if (!linked()) {
            released.quit();
        }
    };
    QObject::connect(m_manager.get(), &FTMSManager::statusMessageChanged, &released, check);
    QObject::connect(m_manager->heartRateStraps(), &HeartRateStrapManager::linkChanged, &released,
                     check);
    QTimer::singleShot(std::chrono::seconds(3), &released, &QEventLoop::quit);
    m_manager->disconnect();
    released.exec();
}

QQuickWindow* AppShell::window() const {
    return m_panel ? &m_panel->window() : nullptr;
}

bool AppShell::launch() {
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, this, &AppShell::shutDown);
    // First, so that even the launch signal carries the desktop's colour scheme.
    watchAppearance();
    startAnalytics();
    startUpdates();
    startManager();
    if (!setUpPanel()) {
        return false;
    }
    observeConnection();
    observeSize();
    observeTiles();
    if (m_options.connectTo) {
        connectWhenFound();
    }
    return true;
}

void AppShell::takeCommands(InstanceGuard& guard) {
    QObject::connect(&guard, &InstanceGuard::commandReceived, this, [this](const QString& command) {
        if (command == u"unlock") {
            m_sizes->panel()->setLocked(false);
        }
    });
}

void AppShell::watchAppearance() {
    m_appearance = std::make_unique<Appearance>();
    m_darkDesktop->store(m_appearance->darkDesktop(), std::memory_order_relaxed);
    QObject::connect(m_appearance.get(), &Appearance::darkDesktopChanged, this, [this] {
        m_darkDesktop->store(m_appearance->darkDesktop(), std::memory_order_relaxed);
    });
}

void AppShell::startAnalytics() {
    const auto appId = m_options.applicationInfo.text(ApplicationInfo::analyticsAppIdKey);
    if (!appId) {
        qCInfo(lcUi) << "no analytics application identifier in this build; nothing is sent";
        return;
    }
    m_options.startAnalytics(*appId);
}

void AppShell::startUpdates() {
    if (m_options.makeUpdater) {
        auto [controller, check] = m_options.makeUpdater();
        m_updaterController = std::move(controller);
        m_checkForUpdates = std::move(check);
    }
    const QString about =
        u"Tallyfin "_s % m_options.applicationInfo.textOrUnknown(ApplicationInfo::shortVersionKey) %
        u" ("_s % m_options.applicationInfo.textOrUnknown(ApplicationInfo::buildVersionKey) %
        u")\n\n"_s %
        //: What the program is, in the About box
        qtTrId("menu.about.description");
    m_menu = std::make_unique<AppMenu>(about, m_updaterController ? m_checkForUpdates
                                                                  : std::function<void()>());
    m_menu->addPanelItems(*m_sizes->panel());
}

void AppShell::startManager() {
    m_manager = std::make_unique<FTMSManager>(m_options.centralFactory, m_options.applicationInfo,
                                              m_options.sendSignal);
    if (!m_options.settings) {
        m_ownSettings = std::make_unique<QSettings>();
        m_options.settings = m_ownSettings.get();
    }
    m_manager->heartRateStraps()->setSettings(m_options.settings);
    // The popover's "reconnect automatically" switch is kept there too.
    m_manager->setSettings(m_options.settings);
    if (m_options.clock) {
        m_manager->setClock(m_options.clock);
    }
    m_workouts =
        std::make_unique<Workouts>(*m_manager, *m_options.settings, *m_sizes, m_options.clock);
    m_workouts->recover();
    m_menu->addOpenWorkoutsFolder([this] { m_workouts->openFolder(); });
    m_cancellables.push_back(m_manager->statusMessagePublisher().subscribe(
        [this](const QString& status) { m_menu->setStatus(status); }));
    if (m_options.managerCreated) {
        m_options.managerCreated(*m_manager);
    }
}

bool AppShell::setUpPanel() {
    m_engine = std::make_unique<QQmlApplicationEngine>();
    m_engine->setInitialProperties({
        {u"manager"_s, QVariant::fromValue(m_manager.get())},
        {u"sizes"_s, QVariant::fromValue(m_sizes)},
        {u"appearance"_s, QVariant::fromValue(m_appearance.get())},
        {u"appMenu"_s, QVariant::fromValue(m_menu.get())},
        {u"workouts"_s, QVariant::fromValue(m_workouts.get())},
    });
    m_engine->load(QUrl(u"qrc:/Tallyfin/Main.qml"_s));
    const QList<QObject*> roots = m_engine->rootObjects();
    auto* window = roots.isEmpty() ? nullptr : qobject_cast<QQuickWindow*>(roots.first());
    if (!window) {
        qCCritical(lcUi) << "the overlay's views could not be loaded";
        return false;
    }
    m_panel = std::make_unique<OverlayPanel>(*window, m_options.screens, m_options.settings);
    m_panel->setUp();
    if (x11::StackKeeper* keeper = m_panel->stackKeeper()) {
        // Whether a compositing manager runs, now and as it starts or stops, decides how the
        // panel is drawn.
        m_appearance->setTranslucent(keeper->compositorRunning());
        QObject::connect(keeper, &x11::StackKeeper::compositorRunningChanged, m_appearance.get(),
                         &Appearance::setTranslucent);
    }
    return true;
}

void AppShell::observeConnection() {
    // Each value is applied on a later turn of the event loop, as the window system expects
    // frame changes outside the manager's own callbacks.
    m_cancellables.push_back(m_manager->isConnectedPublisher().subscribe([this](bool connected) {
        QMetaObject::invokeMethod(
            this,
            [this, connected]() {
                if (m_panel) {
                    m_panel->applyConnectionState(connected, m_sizes->currentSize());
                }
            },
            Qt::QueuedConnection);
    }));
}

void AppShell::observeSize() {
    auto resize = [this](OverlaySize size) {
        if (m_panel) {
            m_panel->resizePanel(size);
        }
    };
    QObject::connect(m_sizes, &OverlaySizeManager::currentSizeChanged, this, resize,
                     Qt::QueuedConnection);
    // Like any subscriber, the panel starts from the size in force.
    QMetaObject::invokeMethod(
        this, [resize, this]() { resize(m_sizes->currentSize()); }, Qt::QueuedConnection);
}

void AppShell::observeTiles() {
    // The strip is as wide as the tiles that show: they change with the machine's features, its
    // kind (each kind keeps its own hidden tiles), a strap's heart rate and the user's choice.
    const auto update = [this] {
        if (!m_panel) {
            return;
        }
        const FitnessMetrics& metrics = m_manager->metrics();
        const QList<MetricTile> tiles =
            shownTiles(metricTiles(metrics, m_manager->machineFeatures(), m_sizes->unitSystem(),
                                   m_manager->heartRateStraps()->hasDelivered()),
                       m_sizes->panel()->hiddenTiles(metrics.equipmentType));
        m_panel->setShownTiles(static_cast<int>(tiles.size()));
    };
    auto kind = std::make_shared<EquipmentType>(m_manager->metrics().equipmentType);
    QObject::connect(m_manager.get(), &FTMSManager::metricsChanged, this, [this, kind, update] {
        // Values arrive several times a second; only a new kind matters here.
        if (m_manager->metrics().equipmentType != *kind) {
            *kind = m_manager->metrics().equipmentType;
            update();
        }
    });
    QObject::connect(m_manager.get(), &FTMSManager::machineFeaturesChanged, this, update);
    QObject::connect(m_manager->heartRateStraps(), &HeartRateStrapManager::linkChanged, this,
                     update);
    QObject::connect(m_sizes->panel(), &PanelPreferences::hiddenTilesChanged, this, update);
    update();
}

void AppShell::connectWhenFound() {
    const QString wanted = *m_options.connectTo;
    auto done = std::make_shared<bool>(false);
    // Entries already looked at: in a crowd the list grows by hundreds.
    auto checked = std::make_shared<qsizetype>(0);
    m_cancellables.push_back(m_manager->discoveredDevicesPublisher().subscribe(
        [this, wanted, done, checked](const QList<bluetooth::PeripheralPtr>&) {
            if (*done) {
                return;
            }
            // Connect on the next turn, once this report has been recorded.
            QMetaObject::invokeMethod(
                this,
                [this, wanted, done, checked]() {
                    const auto& peripherals = m_manager->discoveredDevices();
                    if (*checked > peripherals.size()) {
                        *checked = 0; // a new scan
                    }
                    if (*done || m_manager->isConnected()) {
                        return;
                    }
                    for (; *checked < peripherals.size(); ++*checked) {
                        const QString name = deviceName(*peripherals.at(*checked));
                        if (name.contains(wanted, Qt::CaseInsensitive)) {
                            *done = true;
                            qCInfo(lcUi) << "connecting to" << name;
                            m_manager->connect(peripherals.at(*checked));
                            return;
                        }
                    }
                },
                Qt::QueuedConnection);
        }));
}

} // namespace tallyfin::ui
