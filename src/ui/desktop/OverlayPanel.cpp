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
#include <QVariantAnimation>

namespace tallyfin::ui {

OverlayPanel::OverlayPanel(QQuickWindow& window, ScreenSource screens, QObject* parent)
    : QObject(parent)
    , m_window(&window)
    , m_screens(screens ? std::move(screens) : primaryScreen())
    , m_animation(new QVariantAnimation(this)) {
    m_animation->setEasingCurve(QEasingCurve::InOutQuad);
    QObject::connect(m_animation, &QVariantAnimation::valueChanged, this,
                     [this](const QVariant& value) {
                         if (m_window) {
                             m_window->setGeometry(value.toRect());
                         }
                     });
    QObject::connect(m_animation, &QVariantAnimation::finished, this,
                     [this]() { Q_EMIT frameSettled(m_animation->endValue().toRect()); });
}

OverlayPanel::~OverlayPanel() = default;

OverlayPanel::ScreenSource OverlayPanel::primaryScreen() {
    return []() -> std::optional<ScreenAreas> {
        QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen) {
            return std::nullopt;
        }
        return ScreenAreas{screen->geometry(), screen->availableGeometry()};
    };
}

void OverlayPanel::setUp() {
    m_window->setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                       Qt::WindowDoesNotAcceptFocus | Qt::BypassWindowManagerHint);
    m_window->setColor(Qt::transparent);
    QRect frame(0, 0, panel::disconnectedWidth, panel::initialHeight);
    if (const auto areas = m_screens()) {
        frame = panel::initialFrame(areas->visible);
    }
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
    if (const auto areas = m_screens()) {
        moveTo(panel::disconnectedFrame(areas->full, areas->visible, targetFrame().height()));
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
    const auto areas = m_screens();
    if (!areas) {
        return;
    }
    moveTo(
        panel::connectedFrame(areas->full, areas->visible, size, targetFrame().height(), m_tiles));
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
    if (m_animationDuration.count() <= 0 || !m_window->isVisible() ||
        m_window->geometry() == frame) {
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
