// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/AppActivity.h"

#include "analytics/AnalyticsLogging.h"
#include "analytics/DesktopSession.h"

#include <QCoreApplication>
#include <QThread>

namespace tallyfin::analytics {

AppActivity* AppActivity::instance() {
    static AppActivity* activity = new AppActivity;
    return activity;
}

AppActivity::AppActivity() {
    auto* app = QCoreApplication::instance();
    if (app == nullptr) {
        return;
    }
    moveToThread(app->thread());
    connect(app, &QCoreApplication::aboutToQuit, this, &AppActivity::notifyWillTerminate);
    // The session manager's request to save before the desktop session ends (QGuiApplication's
    // signal, looked up by name so that the library does not need QtGui).
    if (app->metaObject()->indexOfSignal("commitDataRequest(QSessionManager&)") >= 0) {
        connect(app, SIGNAL(commitDataRequest(QSessionManager&)), this,
                SLOT(notifySessionWillEnd()));
    }
    auto follow = [this] { m_desktopSession = new DesktopSession(*this, this); };
    if (QThread::currentThread() == app->thread()) {
        follow();
    } else {
        QMetaObject::invokeMethod(this, follow, Qt::QueuedConnection);
    }
}

bool AppActivity::followsDesktopSession() const {
    return m_desktopSession != nullptr && m_desktopSession->followsSession();
}

void AppActivity::setSessionActive(bool active) {
    m_sessionActive = active;
    update();
}

void AppActivity::setSessionLocked(bool locked) {
    m_sessionLocked = locked;
    update();
}

void AppActivity::setScreenSaverActive(bool active) {
    m_screenSaverActive = active;
    update();
}

void AppActivity::setSleeping(bool sleeping) {
    m_sleeping = sleeping;
    update();
}

void AppActivity::update() {
    State next = State::inactive;
    if (m_sleeping) {
        next = State::background;
    } else if (m_sessionActive && !m_sessionLocked && !m_screenSaverActive) {
        next = State::active;
    }
    if (next == m_state) {
        return;
    }
    const State previous = std::exchange(m_state, next);
    static constexpr const char* names[] = {"active", "inactive", "in the background"};
    qCInfo(lcAnalytics, "application %s (was %s)", names[int(next)], names[int(previous)]);
    if (previous == State::active) {
        Q_EMIT didResignActive();
    }
    if (next == State::background) {
        Q_EMIT didEnterBackground();
    }
    if (previous == State::background) {
        Q_EMIT willEnterForeground();
    }
    if (next == State::active) {
        Q_EMIT willBecomeActive();
    }
}

void AppActivity::notifyWillTerminate() {
    Q_EMIT willTerminate();
}

void AppActivity::notifySessionWillEnd() {
    Q_EMIT sessionWillEnd();
}

} // namespace tallyfin::analytics
