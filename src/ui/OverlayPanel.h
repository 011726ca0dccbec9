#pragma once

#include "OverlaySize.h"

#include <QObject>
#include <QPointer>
#include <QQuickWindow>
#include <QRect>

#include <chrono>
#include <functional>
#include <optional>
class QVariantAnimation;

namespace tallyfin::ui {

// The primary screen's full rectangle and the part of it not taken by panels and docks.
struct ScreenAreas {
    QRect full;
    QRect visible;
};

// The overlay's one window: a borderless, translucent, always-on-top panel that never takes the
// keyboard focus. It sits 580 points wide at the bottom centre of the primary screen while no
// machine is connected, and widens to the overlay size's share of the screen while one is, on
// every virtual desktop.
class OverlayPanel : public QObject {
    Q_OBJECT

public:
    using ScreenSource = std::function<std::optional<ScreenAreas>()>;

    static constexpr std::chrono::milliseconds defaultFrameAnimation{250};

    // `screens` defaults to the primary screen; it answers nullopt when there is none.
    explicit OverlayPanel(QQuickWindow& window, ScreenSource screens = {},
                          QObject* parent = nullptr);
    ~OverlayPanel() override;

    QQuickWindow& window() const { return *m_window; }
    bool isConnected() const { return m_connected; }

    // Flags, clear background, the initial frame at the bottom centre of the visible area, then
    // shown without being activated.
    void setUp();
    void applyConnectionState(bool connected, OverlaySize size);
    // Widens or narrows to `size` while connected; does nothing while disconnected.
    void resizePanel(OverlaySize size);

    // 0 moves at once (tests).
    void setFrameAnimationDuration(std::chrono::milliseconds duration);
    // Where the current frame animation ends; the current frame when none runs.
    QRect targetFrame() const;

    static ScreenSource primaryScreen();

Q_SIGNALS:
    void frameSettled(const QRect& frame);

private:
    void moveTo(const QRect& frame);

    QPointer<QQuickWindow> m_window;
    ScreenSource m_screens;
    QVariantAnimation* m_animation;
    std::chrono::milliseconds m_animationDuration = defaultFrameAnimation;
    bool m_connected = false;
};

} // namespace tallyfin::ui
