// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// The real views over the simulated machines, offscreen: what the user sees and what each click
// does, checked by geometry and text.

#include "TestHttpServer.h"
#include "bluetooth/simulated/Scheduler.h"
#include "bluetooth/simulated/SimulatedCentral.h"
#include "connection/DeviceListModel.h"
#include "connection/FTMSManager.h"
#include "connection/HeartRateStrapManager.h"
#include "model/DevicePresentation.h"
#include "model/Localization.h"
#include "model/OutsideText.h"
#include "ui/desktop/Appearance.h"
#include "ui/desktop/ClickThrough.h"
#include "ui/desktop/WindowShape.h"
#include "ui/geometry/Zones.h"
#include "ui/panel/MetricTileModel.h"
#include "ui/panel/OverlaySizeManager.h"
#include "ui/panel/PanelGeometry.h"
#include "ui/panel/Presentation.h"
#include "ui/shell/AppMenu.h"
#include "ui/shell/AppShell.h"
#include "ui/shell/InstanceGuard.h"
#include "ui/shell/UpdateNotice.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QMenu>
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
#include <future>
#include <memory>

Q_IMPORT_QML_PLUGIN(TallyfinPlugin)

using namespace tallyfin;
using namespace tallyfin::ui;
using namespace Qt::StringLiterals;
namespace sim = tallyfin::bluetooth::simulated;

namespace {

const QRect screen(0, 0, 1920, 1080);
const QRect visibleArea(0, 0, 1920, 1040);

// Tiles as "[tooltip] icon value unit", in order.
QString describe(const QList<MetricTile>& tiles) {
    QStringList parts;
    for (const MetricTile& tile : tiles) {
        parts.append(u'[' + tile.tooltip + u"] " +
                     QStringList{tile.icon, tile.value, tile.unit}.join(u' '));
    }
    return parts.join(u", ");
}

// How many text items under `root` would read markup.
int richTexts(QQuickItem* root) {
    int count = root->inherits("QQuickText") && root->property("textFormat").toInt() != 0;
    for (QQuickItem* child : root->childItems()) {
        count += richTexts(child);
    }
    return count;
}

// Whether `item` lies inside its window: a control pushed out is cut off there.
bool insideWindow(QQuickItem* item) {
    const QSizeF size = item->window()->size();
    return QRectF(QPointF(-0.5, -0.5), size + QSizeF(1, 1))
        .contains(item->mapRectToScene(QRectF(0, 0, item->width(), item->height())));
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

// The contrast of the glyphs in `area` against what lies right around them, from `shot` and
// `bare`, the same picture without the glyphs (their halo kept): the glyphs' cores (their pixels
// nearest the text's own colour) against the pixels up to three away from where the two differ,
// the worst tenth of those. `darkText` says which way the text differs.
double glyphContrast(const QImage& shot, const QImage& bare, const QRect& area, bool darkText) {
    const QRect r = area.intersected(shot.rect());
    const auto inGlyph = [&](int x, int y) {
        return r.contains(x, y) &&
               std::abs(luminance(shot.pixel(x, y)) - luminance(bare.pixel(x, y))) > 0.01;
    };
    double extreme = darkText ? 1.0 : 0.0;
    QList<double> ring;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const double l = luminance(shot.pixel(x, y));
            bool near = inGlyph(x, y);
            extreme = !near ? extreme : darkText ? std::min(extreme, l) : std::max(extreme, l);
            for (int dy = -3; dy <= 3 && !near; ++dy) {
                for (int dx = -3; dx <= 3 && !near; ++dx) {
                    near = inGlyph(x + dx, y + dy);
                }
            }
            if (near && !inGlyph(x, y)) {
                ring.append(l);
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

// Hides the glyphs under `item` and keeps their halo: a symbol's own colour, the texts drawn in
// full colour (the halo's copies are translucent).
void hideGlyphs(QQuickItem* item) {
    if (item->inherits("tallyfin::ui::SymbolGlyph")) {
        item->setProperty("color", QColor(Qt::transparent));
    } else if (item->inherits("QQuickText") &&
               item->property("color").value<QColor>().alpha() == 255) {
        item->setOpacity(0);
    }
    for (QQuickItem* child : item->childItems()) {
        hideGlyphs(child);
    }
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
    // The update feed the menu checks; none when empty.
    QUrl m_feed;
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

    // The shown texts in a window that overlap another, as "first | second".
    static QStringList overlappingTexts(QQuickWindow* window) {
        QList<QQuickItem*> texts;
        const auto collect = [&texts](const auto& self, QQuickItem* item) -> void {
            if (!item->isVisible()) {
                return;
            }
            if (item->inherits("QQuickText") && !item->property("text").toString().isEmpty()) {
                texts.append(item);
            }
            for (QQuickItem* child : item->childItems()) {
                self(self, child);
            }
        };
        collect(collect, window->contentItem());
        QStringList overlaps;
        for (qsizetype i = 0; i < texts.size(); ++i) {
            const QRectF a =
                texts[i]->mapRectToScene(texts[i]->boundingRect()).adjusted(1, 1, -1, -1);
            for (qsizetype j = i + 1; j < texts.size(); ++j) {
                if (a.intersects(texts[j]->mapRectToScene(texts[j]->boundingRect()))) {
                    overlaps.append(texts[i]->property("text").toString() + u" | "_s +
                                    texts[j]->property("text").toString());
                }
            }
        }
        return overlaps;
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
    // A restart keeps the settings.
    void start(const QList<sim::VirtualMachine>& machines, bool restart = false) {
        m_machines = machines;
        m_shell.reset();
        m_settings =
            std::make_unique<QSettings>(m_dir.filePath(u"prefs.ini"_s), QSettings::IniFormat);
        if (!restart && !m_realScreens) {
            m_settings->clear();
        }
        m_sizes = std::make_unique<OverlaySizeManager>(m_settings.get());
        m_scheduler = std::make_shared<sim::ManualScheduler>();

        AppShell::Options options;
        options.applicationInfo = ApplicationInfo(
            QVariantMap{{QLatin1String(ApplicationInfo::shortVersionKey), u"1.2.3"_s},
                        {QLatin1String(ApplicationInfo::buildVersionKey), u"45"_s},
                        {QLatin1String(ApplicationInfo::updateFeedKey), m_feed.toString()}});
        options.centralFactory = sim::simulatedCentralFactory(m_scheduler, m_machines);
        options.sizes = m_sizes.get();
        options.settings = m_settings.get();
        if (!m_realScreens) {
            options.screens = [](const std::optional<QPoint>&) {
                return std::optional<ScreenAreas>({screen, visibleArea});
            };
        }
        options.startAnalytics = [](const QString&) { QFAIL("no analytics without an app id"); };
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
            tiles.append({tile->property("icon").toString(), tile->property("value").toString(),
                          tile->property("unit").toString(), tile->property("tooltip").toString()});
        }
        return describe(tiles);
    }

    // `watched`: "Connecting to" until values come; no hover help from the pointer left there.
    void connectFirst(bool watched = false) {
        discoverAll();
        QQuickItem* row = find("deviceRow");
        QVERIFY(row);
        click(row);
        for (int i = 0; i < 20 && !find("metricsView"); ++i) {
            advance(100);
        }
        QTRY_VERIFY(find("metricsView"));
        const QString connecting = qtTrId("connection.connecting").arg(m_machines.first().name);
        QVERIFY(!watched ||
                (shown(find("connectingText")) && text("connectingText") == connecting));
        // The feature value and the first records.
        advance(1500);
        if (watched) {
            QTRY_VERIFY(!shown(find("connectingText")) && shown(find("tile0")));
            const auto tooltip = []() -> QWindow* {
                const auto all = QGuiApplication::topLevelWindows();
                const auto it = std::find_if(all.cbegin(), all.cend(), [](QWindow* w) {
                    return w->isVisible() && w->flags().testFlag(Qt::ToolTip);
                });
                return it == all.cend() ? nullptr : *it;
            };
            QTest::qWait(1200);
            QVERIFY(!tooltip());
            const QPoint at = find("tile0")->mapToScene({20, 10}).toPoint(); // a real hover
            QTest::mouseMove(window(), at - QPoint(4, 0));
            QTest::mouseMove(window(), at);
            QTRY_VERIFY(tooltip());
            QVERIFY(qAbs(tooltip()->geometry().center().x() - window()->mapToGlobal(at).x()) <= 1);
        }
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

    // Every symbol the views show is one the resolver knows, and no binding loops.
    void init() {
        QTest::failOnWarning(QRegularExpression(u"^Unknown symbol name"_s));
        QTest::failOnWarning(QRegularExpression(u"Binding loop detected"_s));
    }
    void cleanup() {
        m_shell.reset();
        m_feed.clear();
    }

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

    // Two minutes in, the power chart fills the strip: in either scheme, opaque or see-through
    // over the desktop least like it, every value keeps a contrast of 4.5:1 and every unit and
    // symbol 3:1 against what lies around its strokes. (Measured figures in docs/desktop.md.)
    void readsOverAFullChart_data() {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QColor>("desktop"); // behind a see-through panel; none: opaque
        QTest::newRow("light") << false << QColor();
        QTest::newRow("dark") << true << QColor();
        QTest::newRow("light over black") << false << QColor(Qt::black);
        QTest::newRow("dark over white") << true << QColor(Qt::white);
    }
    void readsOverAFullChart() {
        QFETCH(const bool, dark);
        QFETCH(const QColor, desktop);
        start(1);
        m_shell->appearance()->setDarkDesktop(dark);
        m_shell->appearance()->setTranslucent(desktop.isValid());
        connectFirst();
        for (int seconds = 0; seconds < 125; seconds += 5) {
            advance(5000);
        }
        QTRY_COMPARE(m_shell->manager()->powerHistory().size(), 120);
        QTest::qWait(400); // the last roll ends
        if (desktop.isValid()) {
            window()->setColor(desktop); // what a compositor would show through
        }
        // The strip's two buttons, then each tile's symbol, value and unit.
        QList<std::tuple<QString, QQuickItem*, double>> glyphs{
            {u"info"_s, find("infoButton"), 3.0}, {u"close"_s, find("closeButton"), 3.0}};
        QQuickItem* stack = find("metricsStack");
        for (int i = 0; QQuickItem* tile = find(u"tile%1"_s.arg(i).toLatin1().constData(), stack);
             ++i) {
            for (const auto& [name, least] :
                 {std::pair{"tileValue", 4.5}, std::pair{"tileIcon", 3.0},
                  std::pair{"tileUnit", 3.0}}) {
                if (QQuickItem* item = find(name, tile); shown(item)) {
                    glyphs.append({tile->objectName() + u' ' + QLatin1String(name), item, least});
                }
            }
        }
        QCOMPARE(glyphs.size(), 2 + 7 * 3 - 1); // the time has no unit
        for (const auto& [name, item, least] : glyphs) {
            const QImage shot = window()->grabWindow();
            hideGlyphs(item);
            const QRect area = item->mapRectToScene(item->boundingRect()).toAlignedRect();
            const double contrast =
                glyphContrast(shot, window()->grabWindow(), area.adjusted(-4, -4, 4, 4), !dark);
            const QString what = u"%1: %2:1"_s.arg(name).arg(contrast, 0, 'f', 2);
            qInfo("%s", qPrintable(what));
            QVERIFY2(contrast >= least, qPrintable(what));
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

    // Names of very different lengths: the chevrons stay put under the pointer.
    void threeMachinesPageBothWaysWithWrapAround() {
        QList<sim::VirtualMachine> machines = sim::VirtualMachine::standardMachines().mid(0, 3);
        machines[1].name = u"Rower"_s;
        machines[2].name = u"Treadmill T8-91C4 of the gym on the second floor"_s;
        start(machines);
        discoverAll();
        QTest::qWait(450); // the outline takes the widest row's width
        const qreal chevronX = find("chevronRight")->mapToScene({}).x();
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
            QCOMPARE(find("chevronRight")->mapToScene({}).x(), chevronX);
        }
        click(find("chevronLeft"));
        QCOMPARE(shownName(), m_machines.at(2).name);
        QCOMPARE(find("deviceListView")->property("slideDirection").toInt(), -1);
        // The row that left slides out and goes away.
        QTRY_COMPARE(find("rowSlot")->childItems().size(), 1);
    }

    void clickConnectsAndShowsTheTiles() {
        start(1);
        connectFirst(true);
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
        for (const bool dark : {true, false}) { // a scheme switch repaints values that stay
            m_shell->appearance()->setDarkDesktop(dark);
            QCOMPARE(find("glyph", find("tileValue", find("tile0")))->property("color"),
                     QColor(dark ? Qt::white : Qt::black));
        }
        // Values gone quiet (the simulated clock stands still) dim the tiles until they flow again.
        manager->setNoDataTimeout(std::chrono::milliseconds(300));
        QTRY_VERIFY(manager->valuesStale());
        QCOMPARE(find("tile0", find("metricsStack"))->opacity(), 0.4);
        advance(1000);
        QTRY_COMPARE(find("tile0", find("metricsStack"))->opacity(), 1.0);
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
        // A few seconds into the workout, no two texts lie on each other (its grids included).
        for (int i = 0; i < 6; ++i) {
            advance(500);
        }
        QTRY_VERIFY2(overlappingTexts(popover).isEmpty(),
                     qPrintable(overlappingTexts(popover).join(u"; ")));
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
        // Reconnecting after a loss, on by default, is kept off.
        click(find("reconnectToggle", popover));
        QCOMPARE(m_settings->value(u"autoReconnect"_s).toBool(), manager->autoReconnect());
        QVERIFY(!manager->autoReconnect());

        // Copy puts the joined log on the clipboard and says so for a moment.
        popover->setProperty("confirmationMs", 50);
        QGuiApplication::clipboard()->setText(u"something else"_s);
        click(find("copyButton", popover));
        QCOMPARE(QGuiApplication::clipboard()->text(), manager->logBuffer().join(u'\n'));
        QVERIFY(manager->logBuffer().size() >= 3);
        QCOMPARE(text("copyLabel", popover), qtTrId("machineInfo.logCopied"));
        QTRY_COMPARE(text("copyLabel", popover), qtTrId("machineInfo.copyLog"));
    }

    // The other kinds of machine: their tiles, and the popover's rows, the targets' row only
    // where the machine takes targets.
    void otherKindsTilesAndPopoverRows_data() {
        QTest::addColumn<int>("machine");
        QTest::addColumn<QString>("targets");
        QTest::newRow("rower") << 1 << QString();
        QTest::newRow("treadmill") << 2 << u"Speed, Incline"_s;
        QTest::newRow("cross trainer") << 3 << u"Resistance"_s;
    }
    void otherKindsTilesAndPopoverRows() {
        QFETCH(int, machine);
        QFETCH(QString, targets);
        start({sim::VirtualMachine::standardMachines().at(machine)});
        connectFirst();
        FTMSManager* manager = m_shell->manager();
        QTRY_COMPARE(shownTiles(),
                     describe(metricTiles(manager->metrics(), manager->machineFeatures())));
        QQuickWindow* popover = openPopover();
        QVERIFY(popover);
        QCOMPARE(
            QStringList({text("typeValue", popover), text("supportedMetrics", popover),
                         text("controlCapabilities", popover)}),
            QStringList(
                {displayName(m_machines.first().type),
                 Presentation::supportedMetricNames(manager->machineFeatures()).join(u", "),
                 Presentation::controlCapabilityNames(manager->machineFeatures()).join(u", ")}));
        QCOMPARE(manager->machineFeatures().controlCapabilityNames().join(u", "), targets);
        QCOMPARE(find("controlCapabilitiesRow", popover)->isVisible(), !targets.isEmpty());
        QVERIFY(find("supportedMetricsRow", popover)->isVisible());
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
        QQuickItem* choice = nullptr;
        QTRY_VERIFY((choice = find("strapChoice", popover)));
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

    // Names a hostile neighbour would advertise, on machines and straps (markup loading a picture,
    // a hidden second line, a right-to-left override, 248 characters), and a feed with markup:
    // nothing is fetched, every text is plain, every control stays inside the panel and popover.
    void hostileNamesStayPlainAndInside() {
        TestHttpServer server;
        QVERIFY(server.listen());
        const QString img = u"<img src=\"%1\">"_s.arg(server.url(u"/a.png"_s).toString());
        const QStringList names{u"Bike"_s + img, u"Bike\n[14:03:07] Indoor Bike Data"_s,
                                u"Tallyfin \u202EekiB tseT"_s, u"Bike <b>"_s + QString(244, u'W')};
        QList<sim::VirtualMachine> peripherals;
        for (int i = 0; i < 12; ++i) {
            auto peripheral = i < 4 ? sim::VirtualMachine::standardMachines().first()
                                    : sim::VirtualMachine::heartRateStrap();
            peripheral.identifier = QUuid::createUuid();
            peripheral.name = names.at(i % 4);
            peripherals.append(peripheral);
        }
        m_feed = server.url(u"/appcast.xml"_s);
        const QByteArray markup =
            "&lt;a href='file:///etc/passwd'&gt;9" + img.toHtmlEscaped().toUtf8();
        server.serve("/appcast.xml",
                     {.body = "<rss version='2.0' xmlns:sparkle='http://www.andymatuschak"
                              ".org/xml-namespaces/sparkle'><channel><item><title>" +
                              markup +
                              "</title><sparkle:version>9</sparkle:version>"
                              "<sparkle:shortVersionString>" +
                              markup + "</sparkle:shortVersionString></item></channel></rss>"});
        start(peripherals);
        discoverAll();
        for (const QString& name : names) {
            QTest::qWait(450); // the row's slide and the outline's resize
            window()->grabWindow();
            auto* row = find("rowSlot")->property("current").value<QQuickItem*>();
            QCOMPARE(text("deviceName", row), sanitizedName(name));
            for (QQuickItem* control : {find("chevronLeft"), find("deviceType", row),
                                        find("signalBars", row), find("quitButtonPaging")}) {
                QVERIFY2(insideWindow(control), qPrintable(control->objectName()));
            }
            QCOMPARE(richTexts(window()->contentItem()), 0);
            click(find("chevronRight"));
        }
        QTest::qWait(450);
        connectFirst();
        QQuickWindow* popover = openPopover();
        click(find("heartRateChoice", popover));
        advance(2000);
        QTRY_COMPARE(find("strapList", popover)->property("count").toInt(), 8);
        for (const char* name : {"deviceValue", "strapList", "reconnectToggle", "copyButton"}) {
            QTRY_VERIFY2(insideWindow(find(name, popover)), name); // once the window has grown
        }
        QVERIFY(popover->height() < 600);
        QCOMPARE(richTexts(popover->contentItem()), 0);

        // Asked for with the popover holding the pointer: the popover makes way for the notice.
        m_shell->menu()->checkForUpdatesAction()->trigger();
        QTRY_VERIFY(!find("metricsView")->property("popover").value<QObject*>());
        auto* notice = m_shell->updaterController()->findChild<UpdateNotice*>();
        QTRY_VERIFY(notice->box() && notice->box()->text().contains(u"passwd'>9<img"_s));
        QCOMPARE(notice->box()->textFormat(), Qt::PlainText);
        QTest::qWait(500);
        QCOMPARE(server.requests().size(), 1); // the feed, no picture
    }

    // Hidden from the popover's switch and from a tile's own menu, remembered for the kind of
    // machine: the strip narrows, the last tile stays, and so it all is after a restart.
    void hiddenTilesNarrowTheStripAndStay() {
        start(1);
        connectFirst();
        FTMSManager* manager = m_shell->manager();
        const qsizetype all = metricTiles(manager->metrics(), manager->machineFeatures()).size();
        QCOMPARE(window()->width(), 1786);
        QQuickWindow* popover = openPopover();
        click(find("tileSwitch", find("tileRow_power", popover)));
        QVERIFY(!shownTiles().contains(u"bolt.fill"_s));
        // A right click on the first tile: "Zeit ausblenden".
        QQuickItem* first = find("tile0", find("metricsStack"));
        QTest::mouseClick(window(), Qt::RightButton, {},
                          first->mapToScene(first->boundingRect().center()).toPoint());
        QMenu* menu = m_shell->menu()->tileMenu();
        QVERIFY(menu && menu->isVisible() && !m_shell->menu()->menu().isVisible());
        auto* hide = menu->findChild<QAction*>(u"hideTile"_s);
        QCOMPARE(hide->text(), qtTrId("menu.hideTile").arg(qtTrId("tile.time")));
        hide->trigger();
        menu->close();
        QVERIFY(!shownTiles().contains(u"timer"_s));
        QCOMPARE(m_settings->value(u"hiddenTiles/bike"_s).toStringList(),
                 QStringList({u"power"_s, u"time"_s}));
        const QRect narrow =
            panel::connectedFrame(screen, visibleArea, OverlaySize::medium, 80, int(all - 2));
        QTRY_COMPARE(window()->geometry(), narrow);
        QVERIFY(narrow.width() < 1786);

        // The last tile that shows cannot go.
        auto* tiles = find("metricsView")->property("tiles").value<MetricTileModel*>();
        for (qsizetype i = 0; i < all - 3; ++i) {
            QVERIFY(tiles->setTileShown(tiles->tiles().constFirst().key, false));
        }
        QCOMPARE(tiles->count(), 1);
        QVERIFY(!tiles->canHide(tiles->tiles().constFirst().key));
        QVERIFY(!tiles->setTileShown(tiles->tiles().constFirst().key, false));
        QVERIFY(tiles->setTileShown(u"power"_s, true));
        const QString two = shownTiles();
        QTRY_COMPARE(
            window()->width(),
            panel::connectedFrame(screen, visibleArea, OverlaySize::medium, 80, 2).width());

        start(m_machines, true);
        connectFirst();
        QTRY_COMPARE(shownTiles().count(u','), 1);
        QCOMPARE(shownTiles().section(u' ', 0, 0), two.section(u' ', 0, 0));
        QTRY_COMPARE(
            window()->width(),
            panel::connectedFrame(screen, visibleArea, OverlaySize::medium, 80, 2).width());
    }

    // Locked from the popover, the panel takes no click and shows no hover help; Ctrl held over
    // it lends it the pointer; the menu's item unlocks it. The lock is remembered, and a later
    // `tallyfin --unlock` reaches the running overlay.
    void lockedPanelLetsClicksThroughUntilUnlocked() {
        start(1);
        connectFirst();
        auto* shape = window()->findChild<WindowShape*>(u"panelShape"_s);
        auto* through = window()->findChild<ClickThrough*>(u"clickThrough"_s);
        QVERIFY(shape && through && !shape->inputRegion().isEmpty());
        QQuickWindow* popover = openPopover();
        click(find("lockToggle", popover));
        QVERIFY(m_sizes->panel()->locked());
        QCOMPARE(m_settings->value(u"panelLocked"_s).toBool(), true);
        QTRY_VERIFY(shape->inputRegion().isEmpty());
        QVERIFY(!find("tile0", find("metricsStack"))->property("hoverable").toBool());
        // Half see-through: the glass fades, the values do not.
        m_shell->appearance()->setTranslucent(true);
        click(find("opacitySlider", popover));
        QCOMPARE(m_settings->value(u"panelOpacity"_s).toDouble(), 0.65);
        QCOMPARE(find("metricsView")->property("outline").value<QQuickItem*>()->opacity(), 0.65);
        QCOMPARE(find("tileValue", find("tile0"))->opacity(), 1.0);

        bool control = true;
        QPoint pointer = window()->geometry().center();
        through->setPointer({[&] { return pointer; }, [&] { return control; }});
        QTRY_VERIFY(!shape->inputRegion().isEmpty());
        control = false;
        QTRY_VERIFY(shape->inputRegion().isEmpty());
        control = true;
        pointer = window()->geometry().topLeft() - QPoint(5, 5);
        QTest::qWait(3 * int(ClickThrough::pollInterval.count()));
        QVERIFY(shape->inputRegion().isEmpty());
        QCOMPARE(m_shell->menu()->lockAction()->text(), qtTrId("menu.unlockPanel"));
        m_shell->menu()->lockAction()->trigger();
        QVERIFY(!m_sizes->panel()->locked() && !through->polling());
        QTRY_VERIFY(!shape->inputRegion().isEmpty());

        m_sizes->panel()->setLocked(true);
        start(m_machines, true);
        QVERIFY(m_sizes->panel()->locked());
        QCOMPARE(m_sizes->panel()->opacity(), 0.65);
        const QString socket = m_dir.filePath(u"socket"_s);
        InstanceGuard guard(socket);
        QVERIFY(guard.listen());
        QVERIFY(!InstanceGuard(socket).listen());
        m_shell->takeCommands(guard);
        // From another thread, as from another process: the answer needs this one's event loop.
        auto sent = std::async(std::launch::async,
                               [socket] { return InstanceGuard::send(u"unlock"_s, socket); });
        QTRY_VERIFY(!m_sizes->panel()->locked());
        QVERIFY(sent.get());
    }

    // With an FTP and a maximum heart rate set in the popover, power and heart rate take their
    // zone's colour and number, the chart's bars too; remembered.
    void zonesColourPowerAndHeartRate() {
        start(1);
        connectFirst();
        const auto tile = [this](const QString& icon) -> QQuickItem* {
            QQuickItem* stack = find("metricsStack");
            for (int i = 0; QQuickItem* t = find(u"tile%1"_s.arg(i).toLatin1().constData(), stack);
                 ++i) {
                if (t->property("icon").toString() == icon) {
                    return t;
                }
            }
            return nullptr;
        };
        QVERIFY(!find("tileZone", tile(u"bolt.fill"_s))->isVisible());
        QQuickWindow* popover = openPopover();
        QCOMPARE(text("stepperValue", find("ftpStepper", popover)), qtTrId("machineInfo.zonesOff"));
        click(find("stepUp", find("ftpStepper", popover)));
        click(find("stepUp", find("maxHeartRateStepper", popover)));
        QCOMPARE(m_settings->value(u"ftp"_s).toInt(), 200);
        QCOMPARE(m_settings->value(u"maxHeartRate"_s).toInt(), 185);
        QCOMPARE(find("powerSparkline")->property("ftp").toInt(), 200);
        // The demo rider's heart rate is still low: a maximum that puts it in a zone.
        QVERIFY(m_sizes->panel()->chooseMaxHeartRate(100));
        advance(1000);
        const FitnessMetrics& metrics = m_shell->manager()->metrics();
        const int power = powerZone(int(metrics.power), 200);
        const int heart = heartRateZone(int(metrics.heartRate), 100);
        QVERIFY(power > 0 && heart > 0);
        QTRY_COMPARE(find("tileValue", tile(u"bolt.fill"_s))->property("color").value<QColor>(),
                     powerZoneColor(power));
        QCOMPARE(text("tileZone", tile(u"bolt.fill"_s)), u"Z%1"_s.arg(power));
        QTRY_COMPARE(find("tileValue", tile(u"heart.fill"_s))->property("color").value<QColor>(),
                     heartRateZoneColor(heart));
        QCOMPARE(text("tileZone", tile(u"heart.fill"_s)), u"Z%1"_s.arg(heart));
    }
};

QTEST_MAIN(OverlayViewsTest)
#include "tst_overlayviews.moc"
