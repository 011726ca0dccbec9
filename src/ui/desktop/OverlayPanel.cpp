// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "OverlayPanel.h"

#include "DesktopLogging.h"
#include "X11StackKeeper.h"
#include "ui/panel/PanelGeometry.h"

#include <QEasingCurve>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QVariantAnimation>

using namespace Qt::StringLiterals;

namespace tallyfin::ui {

namespace {

// How long the panel must rest after a drag before its new place counts.
constexpr int dropSettleMs = 300;
const auto placesGroup = "panelPlaces"_L1;

} // namespace

OverlayPanel::OverlayPanel(QQuickWindow& window, ScreenSource screens, QSettings* places,
                           QObject* parent)
    : QObject(parent)
    , m_window(&window)
    , m_screens(screens ? std::move(screens) : desktopScreens())
    , m_animation(new QVariantAnimation(this))
    , m_places(places)
    , m_dropped(new QTimer(this)) {
    m_animation->setEasingCurve(QEasingCurve::InOutQuad);
    QObject::connect(m_animation, &QVariantAnimation::valueChanged, this,
                     [this](const QVariant& value) {
                         if (m_window) {
                             m_placed = value.toRect();
                             m_window->setGeometry(m_placed);
                         }
                     });
    QObject::connect(m_animation, &QVariantAnimation::finished, this, [this]() {
        m_placed = m_animation->endValue().toRect();
        Q_EMIT frameSettled(m_placed);
    });
    m_dropped->setSingleShot(true);
    m_dropped->setInterval(dropSettleMs);
    QObject::connect(m_dropped, &QTimer::timeout, this, &OverlayPanel::keepUserPlace);
    QObject::connect(m_window, &QWindow::xChanged, this, &OverlayPanel::noticeMove);
    QObject::connect(m_window, &QWindow::yChanged, this, &OverlayPanel::noticeMove);
    for (auto signal : {&QGuiApplication::screenAdded, &QGuiApplication::screenRemoved,
                        &QGuiApplication::primaryScreenChanged}) {
        QObject::connect(qGuiApp, signal, this, &OverlayPanel::followScreens, Qt::QueuedConnection);
    }
}

OverlayPanel::~OverlayPanel() = default;

OverlayPanel::ScreenSource OverlayPanel::desktopScreens() {
    return [](const std::optional<QPoint>& at) -> std::optional<ScreenAreas> {
        QScreen* screen = at ? QGuiApplication::screenAt(*at) : QGuiApplication::primaryScreen();
        if (!screen) {
            return std::nullopt;
        }
        return ScreenAreas{screen->geometry(), screen->availableGeometry()};
    };
}

QString OverlayPanel::layoutKey() const {
    QStringList screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect r = screen->geometry();
        screens << u"%1 %2 %3 %4 %5"_s.arg(screen->name())
                       .arg(r.x())
                       .arg(r.y())
                       .arg(r.width())
                       .arg(r.height());
    }
    screens.sort();
    return screens.join(u"; "_s);
}

std::optional<QRect> OverlayPanel::frameFor(int height) {
    if (m_anchor) {
        if (const auto areas = m_screens(m_anchor)) {
            const int width = m_connected ? panel::connectedFrame(areas->full, areas->visible,
                                                                  m_size, height, m_tiles)
                                                .width()
                                          : panel::disconnectedWidth;
            return panel::anchoredFrame(*m_anchor, width, height, areas->visible);
        }
        // Its screen is gone.
        m_anchor.reset();
    }
    const auto areas = m_screens(std::nullopt);
    if (!areas) {
        return std::nullopt;
    }
    return m_connected ? panel::connectedFrame(areas->full, areas->visible, m_size, height, m_tiles)
                       : panel::disconnectedFrame(areas->full, areas->visible, height);
}

void OverlayPanel::noticeMove() {
    if (m_animation->state() != QAbstractAnimation::Running &&
        m_window->position() != m_placed.topLeft()) {
        m_dropped->start();
    }
}

void OverlayPanel::keepUserPlace() {
    const QRect now = m_window->geometry();
    if (m_animation->state() == QAbstractAnimation::Running ||
        now.topLeft() == m_placed.topLeft()) {
        return;
    }
    // Dropped partly off every screen: onto the one nearest to where it was meant to be.
    auto areas = m_screens(now.center());
    if (!areas) {
        areas = m_screens(m_anchor.value_or(panel::anchorOf(m_placed)));
    }
    if (!areas) {
        areas = m_screens(std::nullopt);
    }
    if (!areas) {
        return;
    }
    m_anchor = panel::anchorOf(panel::keptInside(now, areas->visible));
    if (m_places) {
        m_places->setValue(placesGroup + u'/' + layoutKey(), *m_anchor);
    }
    qCInfo(lcDesktop) << "panel placed by the user at" << *m_anchor;
    if (const auto frame = frameFor(now.height())) {
        moveTo(*frame);
    }
}

void OverlayPanel::followScreens() {
    m_anchor.reset();
    if (m_places) {
        const QVariant stored = m_places->value(placesGroup + u'/' + layoutKey());
        if (stored.canConvert<QPoint>() && m_screens(stored.toPoint())) {
            m_anchor = stored.toPoint();
        }
    }
    if (const auto frame = frameFor(targetFrame().height())) {
        moveTo(*frame);
    }
}

void OverlayPanel::setUp() {
    m_window->setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                       Qt::WindowDoesNotAcceptFocus | Qt::BypassWindowManagerHint);
    m_window->setColor(Qt::transparent);
    QRect frame(0, 0, panel::disconnectedWidth, panel::initialHeight);
    if (m_places) {
        const QVariant stored = m_places->value(placesGroup + u'/' + layoutKey());
        if (stored.canConvert<QPoint>() && m_screens(stored.toPoint())) {
            m_anchor = stored.toPoint();
        }
    }
    if (const auto areas = m_anchor ? m_screens(m_anchor) : std::nullopt) {
        frame = panel::anchoredFrame(*m_anchor, panel::disconnectedWidth, panel::initialHeight,
                                     areas->visible);
    } else if (const auto primary = m_screens(std::nullopt)) {
        frame = panel::initialFrame(primary->visible);
    }
    m_placed = frame;
    m_window->setGeometry(frame);
    m_stackKeeper = x11::StackKeeper::create();
    if (m_stackKeeper) {
        m_homeDesktop = m_stackKeeper->currentDesktop();
        QObject::connect(m_stackKeeper.get(), &x11::StackKeeper::currentDesktopChanged, this,
                         &OverlayPanel::followDesktop);
    }
    // Shown without activation: the user's application keeps the keyboard.
    m_window->setVisible(true);
    qCInfo(lcDesktop) << "panel shown at" << frame;
}

void OverlayPanel::followDesktop() {
    const int current = m_stackKeeper ? m_stackKeeper->currentDesktop() : -1;
    m_window->setVisible(m_connected || m_homeDesktop < 0 || current == m_homeDesktop);
}

void OverlayPanel::applyConnectionState(bool connected, OverlaySize size) {
    m_connected = connected;
    m_window->setFlag(Qt::WindowStaysOnTopHint, true);
    if (!connected && m_stackKeeper) {
        m_homeDesktop = m_stackKeeper->currentDesktop();
    }
    followDesktop();
    if (connected) {
        resizePanel(size);
        return;
    }
    if (const auto frame = frameFor(targetFrame().height())) {
        moveTo(*frame);
    }
}

void OverlayPanel::setShownTiles(int tiles) {
    if (tiles != m_tiles) {
        m_tiles = tiles;
        resizePanel(m_size);
    }
}

void OverlayPanel::resizePanel(OverlaySize size) {
    m_size = size;
    if (!m_connected) {
        return;
    }
    if (const auto frame = frameFor(targetFrame().height())) {
        moveTo(*frame);
    }
}

void OverlayPanel::setFrameAnimationDuration(std::chrono::milliseconds duration) {
    m_animationDuration = duration;
}

QRect OverlayPanel::targetFrame() const {
    if (m_animation->state() == QAbstractAnimation::Running) {
        return m_animation->endValue().toRect();
    }
    return m_window->geometry();
}

void OverlayPanel::moveTo(const QRect& frame) {
    m_animation->stop();
    m_dropped->stop();
    if (m_animationDuration.count() <= 0 || !m_window->isVisible() ||
        m_window->geometry() == frame) {
        m_placed = frame;
        m_window->setGeometry(frame);
        Q_EMIT frameSettled(frame);
        return;
    }
    m_animation->setDuration(static_cast<int>(m_animationDuration.count()));
    m_animation->setStartValue(m_window->geometry());
    m_animation->setEndValue(frame);
    m_animation->start();
}

} // namespace tallyfin::ui
