#pragma once

#include <QObject>

namespace tallyfin::analytics {

// Application activity as the analytics client sees it. Follows QGuiApplication's application
// state when there is one and the application's end in any Qt application; applications without
// a GUI (and tests) report activity through the notify functions.
class AppActivity : public QObject {
    Q_OBJECT

public:
    // The one instance, living on the main thread.
    static AppActivity* instance();

    void notifyDidResignActive();
    void notifyWillBecomeActive();
    void notifyWillTerminate();

Q_SIGNALS:
    void didResignActive();
    void willBecomeActive();
    void willTerminate();

private Q_SLOTS:
    void onApplicationStateChanged(Qt::ApplicationState state);

private:
    AppActivity();

    bool m_active = true;
};

} // namespace tallyfin::analytics
