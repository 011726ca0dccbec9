// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <memory>

class QSocketNotifier;
struct xcb_connection_t;

namespace tallyfin::ui::x11 {

// Keeps the application's unmanaged windows that ask to stay on top (override-redirect, with
// Qt::WindowStaysOnTopHint) above every window the window manager manages, full-screen ones
// included: whenever the stacking order changes it puts them back just above the highest
// managed window, below any other unmanaged window (menus, tooltips, screen lockers) that is
// higher. It also reports the current virtual desktop and whether a compositing manager runs.
// It watches the screen on an X connection of its own, so Qt's event selection stays untouched.
class StackKeeper : public QObject {
    Q_OBJECT

public:
    // Null when the program does not run on X11 or the display cannot be opened again.
    static std::unique_ptr<StackKeeper> create(QObject* parent = nullptr);
    ~StackKeeper() override;

    // _NET_CURRENT_DESKTOP, or -1 when the window manager does not say.
    int currentDesktop() const { return m_currentDesktop; }
    bool compositorRunning() const { return m_compositorRunning; }

    // Puts the windows back on top now, if anything managed is above them.
    void restack();

Q_SIGNALS:
    void currentDesktopChanged(int desktop);
    void compositorRunningChanged(bool running);

private:
    StackKeeper(xcb_connection_t* connection, int screen, QObject* parent);
    void readEvents();
    int readCurrentDesktop() const;

    xcb_connection_t* m_connection;
    uint32_t m_root = 0;
    uint32_t m_currentDesktopAtom = 0;
    uint32_t m_compositorSelectionAtom = 0;
    QSocketNotifier* m_notifier = nullptr;
    int m_currentDesktop = -1;
    bool m_compositorRunning = false;
    // Another client that keeps raising its windows above ours must not make us spin.
    QElapsedTimer m_restackWindow;
    int m_restacksInWindow = 0;
    bool m_warnedAboutFight = false;
};

} // namespace tallyfin::ui::x11
