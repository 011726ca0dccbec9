// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "ui/desktop/AutostartEntry.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace tallyfin::ui {

class MetricTileModel;
class PanelPreferences;
class TrayHostWatch;

// The application menu: about and the update check, starting at login, and Quit. It lives in the
// system tray; where the desktop has no tray the panel opens it on a right click. A tray that
// starts later (the usual order at login) is noticed as it comes (`TrayHostWatch`) and the icon
// shows.
class AppMenu : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool inTray READ inTray NOTIFY inTrayChanged)

public:
    // `checkForUpdates` is empty when the build has no update feed: the item is then disabled and
    // its tooltip says why.
    AppMenu(QString aboutText, std::function<void()> checkForUpdates, QObject* parent = nullptr);
    ~AppMenu() override;

    bool inTray() const { return m_tray != nullptr; }
    QMenu& menu() const { return *m_menu; }
    QAction* aboutAction() const { return m_about; }
    // Checkable; each time the menu opens, its mark shows whether the autostart entry is there.
    QAction* startAtLoginAction() const { return m_startAtLogin; }
    QAction* checkForUpdatesAction() const { return m_checkForUpdates; }
    QAction* quitAction() const { return m_quit; }

    // Adds "Open Workouts Folder" above Quit.
    void addOpenWorkoutsFolder(std::function<void()> open);
    QAction* openWorkoutsFolderAction() const { return m_openWorkoutsFolder; }

    // Opens the menu at the pointer.
    Q_INVOKABLE void popup();
    // "Lock Panel", or "Unlock Panel" while locked, above Quit.
    void addPanelItems(PanelPreferences& preferences);
    QAction* lockAction() const { return m_lock; }
    // The menu of a right click on the tile in `row`: hiding it, locking the panel and, where
    // there is no tray, the application menu's items.
    Q_INVOKABLE void popupForTile(tallyfin::ui::MetricTileModel* tiles, int row);
    QMenu* tileMenu() const { return m_tileMenu.get(); }
    // The manager's status line, shown greyed out at the top of the menu and as the tray icon's
    // tooltip: the views have no place for it.
    void setStatus(const QString& status);
    QAction* statusAction() const { return m_status; }

Q_SIGNALS:
    void inTrayChanged();

private:
    // Puts the icon in the tray once there is one.
    void joinTray();
    // Joins the tray if Qt finds one now (and stops watching for it); false when there is none.
    bool joinTrayIfThere();
    void showAbout();
    void setStartAtLogin(bool enabled);

    QString m_aboutText;
    std::function<void()> m_checkForUpdatesHandler;
    AutostartEntry m_autostart;
    std::unique_ptr<QMenu> m_menu;
    QAction* m_status = nullptr;
    QAction* m_about = nullptr;
    QAction* m_startAtLogin = nullptr;
    QAction* m_checkForUpdates = nullptr;
    QAction* m_quit = nullptr;
    QAction* m_openWorkoutsFolder = nullptr;
    QAction* m_lock = nullptr;
    std::unique_ptr<QMenu> m_tileMenu;
    QSystemTrayIcon* m_tray = nullptr;
    TrayHostWatch* m_trayWatch = nullptr;
};

} // namespace tallyfin::ui
