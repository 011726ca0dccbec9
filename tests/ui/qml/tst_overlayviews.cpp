// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// The real views over the simulated machines, offscreen: what the user sees and what each click
// does, checked by geometry and text.

#include "bluetooth/simulated/Scheduler.h"
#include "bluetooth/simulated/SimulatedCentral.h"
#include "connection/DeviceListModel.h"
#include "connection/FTMSManager.h"
#include "connection/HeartRateStrapManager.h"
#include "model/DevicePresentation.h"
#include "model/Localization.h"
#include "ui/desktop/Appearance.h"
#include "ui/panel/MetricTileModel.h"
#include "ui/panel/OverlaySizeManager.h"
#include "ui/panel/Presentation.h"
#include "ui/shell/AppMenu.h"
#include "ui/shell/AppShell.h"

#include <QApplication>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQmlExtensionPlugin>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <memory>

Q_IMPORT_QML_PLUGIN(TallyfinPlugin)

using namespace tallyfin;
using namespace tallyfin::ui;
using namespace Qt::StringLiterals;
namespace sim = tallyfin::bluetooth::simulated;

namespace {

const QRect screen(0, 0, 1920, 1080);
const QRect visibleArea(0, 0, 1920, 1040);

// Tiles as "icon value unit", in order.
QString describe(const QList<MetricTile>& tiles) {
    QStringList parts;
    for (const MetricTile& tile : tiles) {
        parts.append(QStringList{tile.icon, tile.value, tile.unit}.join(u' '));
    }
    return parts.join(u", ");
}

// WCAG's relative luminance.
double luminance(QRgb pixel) {
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(pixel)) + 0.7152 * channel(qGreen(pixel)) +
           0.0722 * channel(qBlue(pixel));
}

// The contrast of the glyphs in `area` of `shot` against what lies right around their strokes:
// the strokes' cores (the pixels nearest the text's own colour) against the ring of pixels three
// away from them (past the antialiased edge, within the halo), its worst tenth. `darkText` says
// which way the text differs.
double glyphContrast(const QImage& shot, const QRect& area, bool darkText) {
    const QRect r = area.intersected(shot.rect());
    QList<double> lum;
    double extreme = darkText ? 1.0 : 0.0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const double l = luminance(shot.pixel(x, y));
            extreme = darkText ? std::min(extreme, l) : std::max(extreme, l);
        }
    }
    const auto isCore = [&](int x, int y) {
        return r.contains(x, y) && std::abs(luminance(shot.pixel(x, y)) - extreme) < 0.02;
    };
    QList<double> ring;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (!isCore(x, y)) {
                continue;
            }
            for (const QPoint step : {QPoint(3, 0), QPoint(-3, 0), QPoint(0, 3), QPoint(0, -3)}) {
                const QPoint p = QPoint(x, y) + step;
                if (r.contains(p) && !isCore(p.x(), p.y()) &&
                    !isCore(p.x() - step.x() / 3, p.y() - step.y() / 3) &&
                    !isCore(p.x() - 2 * step.x() / 3, p.y() - 2 * step.y() / 3)) {
                    ring.append(luminance(shot.pixel(p)));
                }
            }
        }
    }
    if (ring.isEmpty()) {
        return 0;
    }
    std::sort(ring.begin(), ring.end());
    const double around = darkText ? ring.at(ring.size() / 10) : ring.at(ring.size() * 9 / 10);
    return (std::max(around, extreme) + 0.05) / (std::min(around, extreme) + 0.05);
}

} // namespace

class OverlayViewsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<OverlaySizeManager> m_sizes;
    std::shared_ptr<sim::ManualScheduler> m_scheduler;
    std::unique_ptr<AppShell> m_shell;
    QList<sim::VirtualMachine> m_machines;
    // The real screens instead of one 1920 × 1080 screen, and the settings of the last start.
    bool m_realScreens = false;

    QQuickWindow* window() const { return m_shell->window(); }

    // Looks through the object tree and the visual tree (delegates and loaded items hang only
    // from the latter).
    template<typename T = QQuickItem>
    T* find(const char* name, QObject* root = nullptr) const {
        QObject* from = root ? root : static_cast<QObject*>(window());
        if (T* found = from->findChild<T*>(QLatin1String(name))) {
            return found;
        }
        QQuickItem* item = qobject_cast<QQuickItem*>(from);
        if (auto* w = qobject_cast<QQuickWindow*>(from)) {
            item = w->contentItem();
        }
        if (!item) {
            return nullptr;
        }
        for (QQuickItem* child : item->childItems()) {
            if (child->objectName() == QLatin1String(name)) {
                if (T* found = qobject_cast<T*>(child)) {
                    return found;
                }
            }
            if (T* found = find<T>(name, child)) {
                return found;
            }
        }
        return nullptr;
    }

    QString text(const char* name, QObject* root = nullptr) const {
        QObject* item = find<QObject>(name, root);
        return item ? item->property("text").toString()
                    : u"<missing %1>"_s.arg(QLatin1String(name));
    }

    bool shown(QQuickItem* item) const { return item && item->isVisible() && item->opacity() > 0; }

    void click(QQuickItem* item) {
        QVERIFY(item);
        QVERIFY(item->isVisible());
        // Wait for any slide or resize to end before aiming at the item.
        QPointF before;
        QPointF now = item->mapToScene(QPointF(0, 0));
        do {
            before = now;
            QTest::qWait(60);
            now = item->mapToScene(QPointF(0, 0));
        } while (now != before);
        const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
        QTest::mouseClick(item->window(), Qt::LeftButton, {}, centre.toPoint());
    }

    // Moves the simulated machines' clock and lets the manager publish what happened.
    void advance(int ms) {
        m_scheduler->advance(std::chrono::milliseconds(ms));
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    void start(int machineCount) {
        start(sim::VirtualMachine::standardMachines().mid(0, machineCount));
    }
    void start(const QList<sim::VirtualMachine>& machines) {
        m_machines = machines;
        m_settings =
            std::make_unique<QSettings>(m_dir.filePath(u"prefs.ini"_s), QSettings::IniFormat);
        if (!m_realScreens) {
            m_settings->clear();
        }
        m_sizes = std::make_unique<OverlaySizeManager>(m_settings.get());
        m_scheduler = std::make_shared<sim::ManualScheduler>();

        AppShell::Options options;
        options.applicationInfo = ApplicationInfo(
            QVariantMap{{QLatin1String(ApplicationInfo::shortVersionKey), u"1.2.3"_s},
                        {QLatin1String(ApplicationInfo::buildVersionKey), u"45"_s}});
        options.centralFactory = sim::simulatedCentralFactory(m_scheduler, m_machines);
        options.sizes = m_sizes.get();
        options.settings = m_settings.get();
        if (!m_realScreens) {
            options.screens = [](const std::optional<QPoint>&) {
                return std::optional<ScreenAreas>({screen, visibleArea});
            };
        }
        options.startAnalytics = [](const QString&) { QFAIL("no analytics without an app id"); };
        options.makeUpdater = []() {
            return std::pair<std::unique_ptr<QObject>, std::function<void()>>();
        };
        options.sendSignal = [](const QString&, const QMap<QString, QString>&) {};
        options.managerCreated = [](FTMSManager& manager) {
            manager.setScanRetryInterval(std::chrono::milliseconds(1));
        };
        m_shell = std::make_unique<AppShell>(std::move(options));
        QVERIFY(m_shell->launch());
        m_shell->panel()->setFrameAnimationDuration(std::chrono::milliseconds(0));
        QVERIFY(QTest::qWaitForWindowExposed(window()));
        advance(200); // the central reports that it is powered on
        QTRY_VERIFY(m_shell->manager()->isScanning());
    }

    // Until every machine has advertised once (straps are no machines).
    void discoverAll() {
        const int machines =
            int(std::count_if(m_machines.cbegin(), m_machines.cend(),
                              [](const auto& m) { return !m.isHeartRateStrap(); }));
        for (int i = 0; i < 10 && m_shell->manager()->deviceList()->count() < machines; ++i) {
            advance(1000);
        }
        QTRY_COMPARE(m_shell->manager()->deviceList()->count(), machines);
    }

    // The tiles the strip shows, as describe() puts them.
    QString shownTiles() const {
        QList<MetricTile> tiles;
        QQuickItem* stack = find("metricsStack");
        while (QQuickItem* tile =
                   find(u"tile%1"_s.arg(tiles.size()).toLatin1().constData(), stack)) {
            tiles.append({tile->property("icon").toString(),
                          tile->property("value").toString(),
                          tile->property("unit").toString(),
                          {}});
        }
        return describe(tiles);
    }

    void connectFirst() {
        discoverAll();
        QQuickItem* row = find("deviceRow");
        QVERIFY(row);
        click(row);
        for (int i = 0; i < 20 && !find("metricsView"); ++i) {
            advance(100);
        }
        QTRY_VERIFY(find("metricsView"));
        // The feature value and the first records.
        advance(1500);
    }

    QQuickWindow* openPopover() {
        click(find("infoButton"));
        auto* popover =
            qobject_cast<QQuickWindow*>(find("metricsView")->property("popover").value<QObject*>());
        if (popover && !QTest::qWaitForWindowExposed(popover)) {
            qWarning("the popover was not exposed");
        }
        return popover;
    }

private Q_SLOTS:
    // The views speak the test environment's language, German, whose texts run longest.
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QCOMPARE(installTranslations(*QCoreApplication::instance()), u"de"_s);
    }

    // Every symbol the views show is one the resolver knows.
    void init() { QTest::failOnWarning(QRegularExpression(u"^Unknown symbol name"_s)); }
    void cleanup() { m_shell.reset(); }

    // Under two-screens.json (the tst_overlayviews_screens test): a 1920 × 1080 primary screen
    // and a 1280 × 1024 one right of it. Dragged onto the second, the strip takes its width from
    // it and stays inside it, the popover opens there, and the next start puts it there again.
    void belongsToItsScreen() {
        if (QGuiApplication::screens().size() != 2) {
            QSKIP("needs two screens: run as tst_overlayviews_screens");
        }
        m_realScreens = true;
        QSettings(m_dir.filePath(u"prefs.ini"_s), QSettings::IniFormat).clear();
        start(1);
        connectFirst();
        QTRY_COMPARE(window()->geometry(), QRect(67, 980, 1786, 80));
        window()->setPosition(2100, 400); // dropped there by the user
        QTRY_COMPARE(window()->geometry(), QRect(1965, 400, 1190, 80));
        m_sizes->chooseSize(OverlaySize::large);
        QTRY_COMPARE(window()->geometry(), QRect(1920, 400, 1280, 80));
        QQuickWindow* popover = openPopover();
        QVERIFY(popover);
        QVERIFY2(QRect(1920, 0, 1280, 1024).contains(popover->geometry()),
                 qPrintable(QDebug::toString(popover->geometry())));

        m_shell.reset();
        start(1);
        QCOMPARE(window()->geometry(), QRect(2270, 400, 580, 80));
        m_realScreens = false;
    }

    // Two minutes in, the power chart fills the strip: in light, every value keeps a contrast of
    // 4.5:1 and every symbol 3:1 against what lies around its strokes; in dark the values 3.5:1.
    // (Measured figures for all of them, units too, in docs/desktop.md.)
    void readsOverAFullChart() {
        start(1);
        connectFirst();
        for (int second = 0; second < 125; ++second) {
            advance(1000);
        }
        QTRY_COMPARE(m_shell->manager()->powerHistory().size(), 120);
        for (const bool dark : {false, true}) {
            m_shell->appearance()->setDarkDesktop(dark);
            QTest::qWait(400); // the last roll ends
            const QImage shot = window()->grabWindow();
            if (qEnvironmentVariableIsSet("TALLYFIN_SAVE_SHOTS")) {
                shot.save(u"/tmp/full-chart-%1.png"_s.arg(dark ? u"dark"_s : u"light"_s));
            }
            QQuickItem* stack = find("metricsStack");
            for (int i = 0;
                 QQuickItem* tile = find(u"tile%1"_s.arg(i).toLatin1().constData(), stack); ++i) {
                for (const auto& [name, least] :
                     {std::pair{"tileValue", dark ? 3.5 : 4.5},
                      std::pair{"tileIcon", dark ? 0 : 3.0}, std::pair{"tileUnit", 0.0}}) {
                    QQuickItem* item = find(name, tile);
                    if (!shown(item)) {
                        continue;
                    }
                    const QRect area = item->mapRectToScene(item->boundingRect()).toAlignedRect();
                    const double contrast = glyphContrast(shot, area, !dark);
                    const QString what = u"tile %1 %2 %3: %4:1"_s.arg(i)
                                             .arg(QLatin1String(name))
                                             .arg(dark ? u"dark"_s : u"light"_s)
                                             .arg(contrast, 0, 'f', 2);
                    qInfo("%s", qPrintable(what));
                    QVERIFY2(contrast >= least, qPrintable(what));
                }
            }
        }
    }

    void searchesWithTheTravellingDent() {
        start(0);
        QCOMPARE(window()->geometry(), QRect(670, 940, 580, 80));
        QCOMPARE(window()->flags() & Qt::WindowDoesNotAcceptFocus, Qt::WindowDoesNotAcceptFocus);
        QVERIFY(shown(find("searchingRow")) && shown(find("quitButton")));
        QCOMPARE(text("searchingText"), qtTrId("deviceList.searching"));
        // The 30 Hz wave moves the dent.
        QQuickItem* glass = find("deviceListGlass");
        QVERIFY(glass->property("amplitude").toReal() > 0);
        const qreal phase = glass->property("phase").toReal();
        QTRY_VERIFY(glass->property("phase").toReal() != phase);

        // Bluetooth switched off: the line says so, and what to do, in the user's language; the
        // dent stops searching.
        m_shell->manager()->centralDidUpdateState(bluetooth::CentralState::poweredOff);
        QTRY_COMPARE(text("searchingText"),
                     u"Bluetooth ist aus – in den Einstellungen einschalten"_s);
        QCOMPARE(glass->property("amplitude").toReal(), 0.0);
        m_shell->manager()->centralDidUpdateState(bluetooth::CentralState::poweredOn);
        QTRY_COMPARE(text("searchingText"), qtTrId("deviceList.searching"));
    }

    // Under fake_portal.py (the tst_overlayviews_portal test): the portal says dark, then light;
    // the list takes the opposite scheme each time.
    void followsTheDesktopColourScheme() {
        const QString portal = u"org.freedesktop.portal.Desktop"_s;
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.interface() || !bus.interface()->isServiceRegistered(portal)) {
            QSKIP("needs the fake desktop portal (the tst_overlayviews_portal test)");
        }
        start(0);
        QQuickItem* glass = find("deviceListGlass");
        QTRY_VERIFY(m_shell->appearance()->darkDesktop());
        QCOMPARE(glass->property("dark").toBool(), false);
        bus.call(QDBusMessage::createMethodCall(portal, u"/org/freedesktop/portal/desktop"_s,
                                                u"org.tallyfin.FakePortal"_s, u"SetColorScheme"_s)
                 << 2u);
        QTRY_VERIFY(!m_shell->appearance()->darkDesktop());
        QCOMPARE(glass->property("dark").toBool(), true);
    }

    void oneMachineHasNoChevrons() {
        start(1);
        discoverAll();
        QVERIFY(!shown(find("searchingRow")));
        QQuickItem* row = find("deviceRow");
        QTRY_VERIFY(shown(row));
        const QString name = m_machines.first().name;
        QCOMPARE(QStringList({find("deviceIcon", row)->property("name").toString(),
                              text("deviceName", row), text("deviceType", row)}),
                 QStringList({deviceIconName(name), name, deviceTypeName(name)}));
        const int bars = find("signalBars", row)->property("strength").toInt();
        QVERIFY(bars >= 1 && bars <= 4);
        QVERIFY(!find("chevronLeft")->isVisible() && !find("chevronRight")->isVisible());
        QVERIFY(find("quitButtonPaging")->isVisible());
        // The dent is gone at once; the outline wraps the row, narrower than the searching line
        // and centred.
        QCOMPARE(find("deviceListGlass")->property("amplitude").toReal(), 0.0);
        QQuickItem* bar = find("deviceListBar");
        QTRY_VERIFY(bar->width() < 580);
        QVERIFY(qAbs(bar->x() + bar->width() / 2 - 290.0) <= 0.5);
    }

    void threeMachinesPageBothWaysWithWrapAround() {
        start(3);
        discoverAll();
        const auto shownName = [this]() {
            QObject* current = find("rowSlot")->property("current").value<QObject*>();
            return current ? text("deviceName", current) : QString();
        };
        QVERIFY(find("chevronLeft")->isVisible() && find("chevronRight")->isVisible());
        QCOMPARE(shownName(), m_machines.at(0).name);
        // Right three times round to the first, then left to the last.
        for (const int expected : {1, 2, 0}) {
            click(find("chevronRight"));
            QCOMPARE(shownName(), m_machines.at(expected).name);
        }
        click(find("chevronLeft"));
        QCOMPARE(shownName(), m_machines.at(2).name);
        QCOMPARE(find("deviceListView")->property("slideDirection").toInt(), -1);
        // The row that left slides out and goes away.
        QTRY_COMPARE(find("rowSlot")->childItems().size(), 1);
    }

    void clickConnectsAndShowsTheTiles() {
        start(1);
        connectFirst();
        FTMSManager* manager = m_shell->manager();
        QVERIFY(manager->isConnected());
        QVERIFY(!find("deviceListView"));
        // The views have no status line; the menu shows it.
        QCOMPARE(m_shell->menu()->statusAction()->text(), manager->statusMessage());
        // Medium: 93 % of the screen width, centred, 20 points above the visible bottom.
        QCOMPARE(window()->geometry(), QRect(67, 940, 1786, 80));

        // The tiles follow the machine's feature flags, in order, and live values reach them.
        advance(3000);
        const auto expected = [manager]() {
            return describe(metricTiles(manager->metrics(), manager->machineFeatures()));
        };
        QVERIFY(expected().count(u',') >= 3);
        QTRY_COMPARE(shownTiles(), expected());
        QCOMPARE(find("powerSparkline")->isVisible(),
                 manager->machineFeatures().powerMeasurementSupported);

        // At every size the tiles share the strip equally, and each tile's symbol, value and
        // unit fit in its share.
        QQuickItem* stack = find("metricsStack");
        for (const OverlaySize size : allOverlaySizes) {
            const qreal before = stack->width();
            m_sizes->setCurrentSize(size);
            QTRY_VERIFY(stack->width() != before);
            window()->grabWindow(); // lays the tiles out for the new width
            const qreal width = find("tile0", stack)->width();
            for (int i = 0;
                 QQuickItem* tile = find(u"tile%1"_s.arg(i).toLatin1().constData(), stack); ++i) {
                QVERIFY(qAbs(tile->width() - width) <= 1); // whole points
                QVERIFY2(tile->implicitWidth() <= tile->width(),
                         qPrintable(tile->property("icon").toString()));
            }
        }

        // Close disconnects; the list comes back and scans again.
        click(find("closeButton"));
        for (int i = 0; i < 10 && manager->isConnected(); ++i) {
            advance(100);
        }
        QTRY_VERIFY(find("deviceListView"));
        QVERIFY(!manager->isConnected());
        QTRY_VERIFY(manager->isScanning());
        QVERIFY(shown(find("searchingRow")));
        QTRY_COMPARE(window()->geometry(), QRect(670, 940, 580, 80));
    }

    // Only the characters that change roll; the others do not restart or stop their roll.
    void onlyChangedCharactersRoll() {
        QQmlEngine engine;
        engine.addImportPath(u"qrc:/"_s);
        QQmlComponent component(&engine);
        component.setData("import Tallyfin\nRollingText { text: \"12:34\" }", QUrl());
        std::unique_ptr<QObject> value(component.create());
        QVERIFY2(value, qPrintable(component.errorString()));
        const auto rolling = [&]() {
            QString cells;
            for (int i = 0; i < 5; ++i) {
                auto* cell =
                    find(QByteArray("cell" + QByteArray::number(i)).constData(), value.get());
                auto* roll = cell ? cell->findChild<QObject*>(u"roll"_s) : nullptr;
                cells += roll && roll->property("running").toBool() ? u'^' : u'.';
            }
            return cells;
        };
        value->setProperty("text", u"12:35"_s);
        QCOMPARE(rolling(), u"....^"_s);
        value->setProperty("text", u"13:35"_s);
        QCOMPARE(rolling(), u".^..^"_s);
        value->setProperty("animate", false);
        value->setProperty("text", u"13:36"_s);
        QCOMPARE(rolling(), u".^..."_s);
    }

    void popoverRowsAndPreferences() {
        start(1);
        connectFirst();
        FTMSManager* manager = m_shell->manager();
        QQuickWindow* popover = openPopover();
        QVERIFY(popover);
        const FitnessMachineFeature& features = manager->machineFeatures();
        QCOMPARE(QStringList({text("title", popover), text("deviceValue", popover),
                              text("typeValue", popover), text("supportedMetrics", popover),
                              text("controlCapabilities", popover)}),
                 QStringList({qtTrId("machineInfo.title"), m_machines.first().name,
                              displayName(manager->metrics().equipmentType),
                              Presentation::supportedMetricNames(features).join(u", "),
                              Presentation::controlCapabilityNames(features).join(u", ")}));
        // In the user's language.
        QVERIFY(text("supportedMetrics", popover).contains(u"Leistung"_s));
        QCOMPARE(find("controlCapabilitiesRow", popover)->isVisible(),
                 !features.controlCapabilityNames().isEmpty());
        // Every row's texts and controls fit the popover's width.
        for (const char* row : {"titleRow", "deviceRow", "typeRow", "heartRateRow", "sizeRow",
                                "unitsRow", "animationRow", "copyButton"}) {
            QVERIFY2(find(row, popover)->implicitWidth() <= 300, row);
        }

        // L persists "large" and widens the panel to the whole screen.
        click(find("segment2", popover));
        QCOMPARE(m_settings->value(u"overlaySize"_s).toString(), u"large"_s);
        QTRY_COMPARE(window()->geometry(), QRect(0, 940, 1920, 80));
        // Imperial units persist and reach the tiles at once.
        click(find("segment1", find("unitsPicker", popover)));
        QCOMPARE(m_settings->value(u"units"_s).toString(), u"imperial"_s);
        QTRY_COMPARE(shownTiles(),
                     describe(metricTiles(manager->metrics(), features, UnitSystem::imperial)));
        // The animation switch.
        QVERIFY(find("tile0", find("metricsStack"))->property("animate").toBool());
        click(find("animationToggle", popover));
        QCOMPARE(m_settings->value(u"animateMetrics"_s).toBool(), false);
        QCOMPARE(find("tile0", find("metricsStack"))->property("animate").toBool(), false);

        // Copy puts the joined log on the clipboard and says so for a moment.
        popover->setProperty("confirmationMs", 50);
        QGuiApplication::clipboard()->setText(u"something else"_s);
        click(find("copyButton", popover));
        QCOMPARE(QGuiApplication::clipboard()->text(), manager->logBuffer().join(u'\n'));
        QVERIFY(manager->logBuffer().size() >= 3);
        QCOMPARE(text("copyLabel", popover), qtTrId("machineInfo.logCopied"));
        QTRY_COMPARE(text("copyLabel", popover), qtTrId("machineInfo.copyLog"));
    }

    // The heart-rate row, on a bike that measures no heart rate: the machine's own by default; the
    // strap heard nearby, with its signal bars, is chosen, remembered and brings the heart-rate
    // tile with its values; choosing the machine forgets it.
    void heartRateRowChoosesAStrap() {
        sim::VirtualMachine bike = sim::VirtualMachine::standardMachines().first();
        bike.machineFeatureBits &= ~(1u << 10);
        const sim::VirtualMachine strap = sim::VirtualMachine::heartRateStrap();
        start({bike, strap});
        connectFirst();
        QVERIFY(!shownTiles().contains(u"heart.fill"_s));
        QQuickWindow* popover = openPopover();
        QVERIFY(popover);
        QCOMPARE(text("heartRateSource", popover), qtTrId("machineInfo.heartRate.machine"));
        click(find("heartRateChoice", popover));
        QVERIFY(shown(find("strapsSearching", popover)));
        advance(2000);
        QQuickItem* choice = find("strapChoice", popover);
        QTRY_VERIFY(choice);
        QCOMPARE(text("choiceName", choice), strap.name);
        QVERIFY(find("signalBars", choice)->property("strength").toInt() >= 1);

        click(choice);
        QVERIFY(!shown(find("heartRateChoices", popover)));
        QCOMPARE(text("heartRateSource", popover), strap.name);
        QCOMPARE(m_settings->value(u"heartRateStrap"_s).toUuid(), strap.identifier);
        FTMSManager* manager = m_shell->manager();
        for (int i = 0; i < 30 && !manager->strapHeartRate(); ++i) {
            advance(100);
        }
        QVERIFY(manager->strapHeartRate());
        QTRY_VERIFY(shownTiles().endsWith(u"heart.fill %1 BPM"_s.arg(*manager->strapHeartRate())));
        QVERIFY(shown(find("strapHeart", popover)));

        click(find("heartRateChoice", popover));
        click(find("machineChoice", popover));
        QCOMPARE(text("heartRateSource", popover), qtTrId("machineInfo.heartRate.machine"));
        QVERIFY(!m_settings->contains(u"heartRateStrap"_s));
        QVERIFY(!manager->strapHeartRate());
    }
};

QTEST_MAIN(OverlayViewsTest)
#include "tst_overlayviews.moc"
