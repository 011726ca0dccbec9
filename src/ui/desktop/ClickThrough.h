// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <functional>

namespace tallyfin::ui {

// The locked panel lets every click through to the window below (`passThrough`, which the
// window's shape follows). Holding Ctrl with the pointer over the panel lets it take the pointer
// again (`peeking`) for as long as the key is held, so its menu and popover stay within reach.
// The pointer is looked at every 150 ms while locked only, and the keyboard only while the
// pointer is over the panel.
class ClickThrough : public QObject {
    Q_OBJECT
    Q_PROPERTY(QWindow* window READ window WRITE setWindow NOTIFY windowChanged)
    Q_PROPERTY(bool locked READ locked WRITE setLocked NOTIFY lockedChanged)
    Q_PROPERTY(bool peeking READ peeking NOTIFY passThroughChanged)
    Q_PROPERTY(bool passThrough READ passThrough NOTIFY passThroughChanged)

public:
    static constexpr std::chrono::milliseconds pollInterval{150};

    // Where the pointer is on the screen, and whether Ctrl is held (asked only when needed).
    struct Pointer {
        std::function<QPoint()> position;
        std::function<bool()> controlHeld;
    };

    explicit ClickThrough(QObject* parent = nullptr);

    QWindow* window() const { return m_window; }
    void setWindow(QWindow* window);
    bool locked() const { return m_locked; }
    void setLocked(bool locked);
    bool peeking() const { return m_peeking; }
    bool passThrough() const { return m_locked && !m_peeking; }
    bool polling() const { return m_timer.isActive(); }

    // Qt's pointer and keyboard by default (tests give their own).
    void setPointer(Pointer pointer);

Q_SIGNALS:
    void windowChanged();
    void lockedChanged();
    void passThroughChanged();

private:
    void poll();
    void setPeeking(bool peeking);

    QPointer<QWindow> m_window;
    bool m_locked = false;
    bool m_peeking = false;
    Pointer m_pointer;
    QTimer m_timer;
};

} // namespace tallyfin::ui
