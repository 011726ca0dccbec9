#include "analytics/AppActivity.h"

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
    // QGuiApplication's signal, looked up by name so that the library does not need QtGui.
    if (app->metaObject()->indexOfSignal("applicationStateChanged(Qt::ApplicationState)") >= 0) {
        connect(app, SIGNAL(applicationStateChanged(Qt::ApplicationState)), this,
                SLOT(onApplicationStateChanged(Qt::ApplicationState)));
    }
}

void AppActivity::onApplicationStateChanged(Qt::ApplicationState state) {
    const bool active = state == Qt::ApplicationActive;
    if (active == m_active) {
        return;
    }
    m_active = active;
    if (active) {
        Q_EMIT willBecomeActive();
    } else {
        Q_EMIT didResignActive();
    }
}

void AppActivity::notifyDidResignActive() {
    m_active = false;
    Q_EMIT didResignActive();
}

void AppActivity::notifyWillBecomeActive() {
    m_active = true;
    Q_EMIT willBecomeActive();
}

void AppActivity::notifyWillTerminate() {
    Q_EMIT willTerminate();
}

} // namespace tallyfin::analytics
