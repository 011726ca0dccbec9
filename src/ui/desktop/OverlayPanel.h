// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "ui/panel/OverlaySize.h"

#include <QObject>
#include <QPointer>
#include <QQuickWindow>
#include <QRect>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
class QSettings;
class QTimer;
class QVariantAnimation;

namespace tallyfin::ui {

namespace x11 {
class StackKeeper;
}

// A screen's full rectangle and the part of it not taken by panels and docks.
struct ScreenAreas {
    QRect full;
    QRect visible;
};

// The overlay's one window: a borderless, translucent panel that never takes the keyboard focus
// and stays above every other window, full-screen ones included. It sits 580 points wide at the
// bottom centre of the primary screen while no machine is connected, on the virtual desktop where
// it was then, and widens to the overlay size's share of the screen while one is, on every
// virtual desktop.
//
// Once the user drags it elsewhere it belongs to the screen it was dropped on: its frames keep
// their bottom centre where it was dropped, take their widths from that screen and stay inside
// its visible area. That place is remembered for the screen layout (the screens' names and
// rectangles) and used again at the next start with the same screens; when its screen goes away
// the panel returns to the primary screen's bottom centre.
//
// On X11 the window manager stacks a focused full-screen window above "always on top" ones, so
// the panel is not handed to it at all (override-redirect): the window manager neither places,
// decorates, focuses nor hides it, and a StackKeeper puts it back on top whenever the stacking
// changes. Virtual desktops are then followed here.
class OverlayPanel : public QObject {
    Q_OBJECT

public:
    // The screen showing `at`, the primary one without `at`; nullopt when there is none.
    using ScreenSource = std::function<std::optional<ScreenAreas>(const std::optional<QPoint>& at)>;

    static constexpr std::chrono::milliseconds defaultFrameAnimation{250};

    // `screens` defaults to the desktop's screens; `places` keeps where the user put the panel
    // (nothing is remembered without it).
    explicit OverlayPanel(QQuickWindow& window, ScreenSource screens = {},
                          QSettings* places = nullptr, QObject* parent = nullptr);
    ~OverlayPanel() override;

    QQuickWindow& window() const { return *m_window; }
    bool isConnected() const { return m_connected; }

    // Flags, clear background, the initial frame at the bottom centre of the visible area, then
    // shown without being activated.
    void setUp();
    void applyConnectionState(bool connected, OverlaySize size);
    // Widens or narrows to `size` while connected; does nothing while disconnected.
    void resizePanel(OverlaySize size);
    // How many tiles the strip shows (0: not known yet); the connected panel is as wide as they
    // need, within the size's width.
    void setShownTiles(int tiles);

    // 0 moves at once (tests).
    void setFrameAnimationDuration(std::chrono::milliseconds duration);
    // Where the current frame animation ends; the current frame when none runs.
    QRect targetFrame() const;

    static ScreenSource desktopScreens();
    // Where the user placed the panel (its bottom centre), if anywhere.
    std::optional<QPoint> placedAt() const { return m_anchor; }

    // Null when not on X11.
    x11::StackKeeper* stackKeeper() const { return m_stackKeeper.get(); }

Q_SIGNALS:
    void frameSettled(const QRect& frame);

private:
    void moveTo(const QRect& frame);
    // The frame for the current state, where the user placed the panel or at the screen's
    // bottom centre.
    std::optional<QRect> frameFor(int height);
    // The window moved without being asked to here: the user dragged it.
    void noticeMove();
    void keepUserPlace();
    // The screens changed: the place remembered for the new layout, if any, or the primary.
    void followScreens();
    QString layoutKey() const;
    // Shown while connected, or while the user is on the desktop it stayed on.
    void followDesktop();

    QPointer<QQuickWindow> m_window;
    ScreenSource m_screens;
    QVariantAnimation* m_animation;
    std::chrono::milliseconds m_animationDuration = defaultFrameAnimation;
    bool m_connected = false;
    OverlaySize m_size = OverlaySize::medium;
    int m_tiles = 0;
    QSettings* m_places = nullptr;
    std::optional<QPoint> m_anchor;
    // The last frame set here; any other position is the user's doing.
    QRect m_placed;
    QTimer* m_dropped;
    std::unique_ptr<x11::StackKeeper> m_stackKeeper;
    // The virtual desktop the disconnected panel stays on; -1 for all.
    int m_homeDesktop = -1;
};

} // namespace tallyfin::ui
