// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QObject>

namespace tallyfin::analytics {

class DesktopSession;

// Application activity as the analytics client sees it on a Linux desktop: active while the
// user's desktop session is active (in front on its seat) and unlocked, inactive while it is
// locked or another session is in front, in the background while the system sleeps. Window focus
// plays no part: the overlay never takes it. DesktopSession reports the desktop's state; without
// one (no logind, no session) the application counts as active. Also tells when the application
// terminates and when the desktop session or the system is about to end.
class AppActivity : public QObject {
    Q_OBJECT

public:
    enum class State { active, inactive, background };
    Q_ENUM(State)

    // The one instance, living on the main thread. It follows the desktop session from its first
    // use on.
    static AppActivity* instance();

    State state() const { return m_state; }
    bool isActive() const { return m_state == State::active; }
    // Whether the desktop session has been found and is being followed.
    bool followsDesktopSession() const;

    // What the desktop reports: the session in front on its seat, locked (logind, or a screen
    // saver), the system sleeping. Each moves the state and emits its transitions.
    void setSessionActive(bool active);
    void setSessionLocked(bool locked);
    void setScreenSaverActive(bool active);
    void setSleeping(bool sleeping);

public Q_SLOTS:
    void notifyWillTerminate();
    void notifySessionWillEnd();

Q_SIGNALS:
    // In this order when leaving the active state for the background, and the reverse order
    // when coming back.
    void didResignActive();
    void didEnterBackground();
    void willEnterForeground();
    void willBecomeActive();
    void willTerminate();
    // The desktop session or the system is ending: write what must not be lost now.
    void sessionWillEnd();

private:
    AppActivity();
    void update();

    State m_state = State::active;
    bool m_sessionActive = true;
    bool m_sessionLocked = false;
    bool m_screenSaverActive = false;
    bool m_sleeping = false;
    DesktopSession* m_desktopSession = nullptr;
};

} // namespace tallyfin::analytics
