// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "AppMenu.h"

#include "AppIcon.h"
#include "UiLogging.h"
#include "tallyfin/BuildInfo.h"
#include "ui/desktop/TrayHostWatch.h"
#include "ui/panel/MetricTileModel.h"
#include "ui/panel/PanelPreferences.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMessageBox>
#include <QSystemTrayIcon>

namespace tallyfin::ui {

using namespace Qt::StringLiterals;

AppMenu::AppMenu(QString aboutText, std::function<void()> checkForUpdates, QObject* parent)
    : QObject(parent)
    , m_aboutText(std::move(aboutText))
    , m_checkForUpdatesHandler(std::move(checkForUpdates))
    , m_autostart(QString::fromLatin1(buildinfo::desktopAppId),
                  QCoreApplication::applicationFilePath())
    , m_menu(std::make_unique<QMenu>()) {
    m_status = m_menu->addAction(QString());
    m_status->setEnabled(false);
    m_status->setVisible(false);
    m_menu->addSeparator();
    //: Tray menu item that shows the version
    m_about = m_menu->addAction(qtTrId("menu.about"));
    QObject::connect(m_about, &QAction::triggered, this, &AppMenu::showAbout);
    //: Application menu item that starts a software-update check
    m_checkForUpdates = m_menu->addAction(qtTrId("menu.checkForUpdates"));
    QObject::connect(m_checkForUpdates, &QAction::triggered, this, [this]() {
        if (m_checkForUpdatesHandler) {
            m_checkForUpdatesHandler();
        }
    });
    if (!m_checkForUpdatesHandler) {
        // Greyed out with the reason, rather than an item that silently does nothing.
        m_checkForUpdates->setEnabled(false);
        //: Tooltip of the disabled update-check menu item in a build without an update feed
        m_checkForUpdates->setToolTip(qtTrId("menu.noUpdateFeed"));
        m_menu->setToolTipsVisible(true);
    }
    m_menu->addSeparator();
    //% "Start at Login"
    //: Tray menu item, checked while the desktop starts the program when the user logs in
    m_startAtLogin = m_menu->addAction(qtTrId("menu.startAtLogin"));
    m_startAtLogin->setCheckable(true);
    m_startAtLogin->setChecked(m_autostart.isEnabled());
    // The entry is the user's as much as ours: the desktop's own settings may remove it.
    QObject::connect(m_menu.get(), &QMenu::aboutToShow, this,
                     [this]() { m_startAtLogin->setChecked(m_autostart.isEnabled()); });
    QObject::connect(m_startAtLogin, &QAction::triggered, this, &AppMenu::setStartAtLogin);
    if (const auto problem = m_autostart.problem()) {
        // Greyed out with the reason, rather than writing an entry no desktop starts.
        qCWarning(lcUi).noquote() << "start at login unavailable:" << *problem;
        m_startAtLogin->setEnabled(false);
        // Escaped: tooltips take anything that looks like markup as such.
        m_startAtLogin->setToolTip(u"<qt>"_s + problem->toHtmlEscaped());
        m_menu->setToolTipsVisible(true);
    }
    m_menu->addSeparator();
    //: Tray menu item that ends the program
    m_quit = m_menu->addAction(qtTrId("menu.quit"));
    // No shortcut shown: the panel never takes the keyboard focus, so none could work.
    QObject::connect(m_quit, &QAction::triggered, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    // Watched before Qt is asked, so that a tray coming in between is not missed.
    m_trayWatch = new TrayHostWatch(this);
    QObject::connect(m_trayWatch, &TrayHostWatch::changed, this, [this]() {
        if (joinTrayIfThere()) {
            qCInfo(lcUi) << "a system tray appeared; the menu moves there";
        }
    });
    if (!joinTrayIfThere()) {
        qCInfo(lcUi) << "no system tray; the menu opens on a right click on the panel";
    }
}

bool AppMenu::joinTrayIfThere() {
    // The selection may have been let go, or a watcher come without a host yet: the watch goes
    // on until Qt finds a tray.
    if (m_tray || !QSystemTrayIcon::isSystemTrayAvailable()) {
        return false;
    }
    m_trayWatch->deleteLater();
    m_trayWatch = nullptr;
    joinTray();
    return true;
}

void AppMenu::joinTray() {
    m_tray = new QSystemTrayIcon(applicationIcon(), this);
    m_tray->setToolTip(m_status->isVisible() ? QStringLiteral("Tallyfin\n") + m_status->text()
                                             : QStringLiteral("Tallyfin"));
    m_tray->setContextMenu(m_menu.get());
    m_tray->show();
    Q_EMIT inTrayChanged();
}

AppMenu::~AppMenu() = default;

void AppMenu::popup() {
    m_menu->popup(QCursor::pos());
}

void AppMenu::addOpenWorkoutsFolder(std::function<void()> open) {
    //% "Open Workouts Folder"
    //: Tray menu item that shows the folder finished workouts are written to
    m_openWorkoutsFolder = new QAction(qtTrId("menu.openWorkoutsFolder"), m_menu.get());
    QObject::connect(m_openWorkoutsFolder, &QAction::triggered, this, std::move(open));
    // Above the separator before Quit.
    const QList<QAction*> actions = m_menu->actions();
    m_menu->insertAction(actions.at(actions.indexOf(m_quit) - 1), m_openWorkoutsFolder);
}

void AppMenu::addPanelItems(PanelPreferences& preferences) {
    m_lock = new QAction(m_menu.get());
    const auto name = [this](bool locked) {
        if (locked) {
            //% "Unlock Panel"
            //: Menu item that makes the locked panel take clicks again
            m_lock->setText(qtTrId("menu.unlockPanel"));
        } else {
            //% "Lock Panel"
            //: Menu item that makes the panel let every click through to the window below
            m_lock->setText(qtTrId("menu.lockPanel"));
        }
    };
    name(preferences.locked());
    QObject::connect(&preferences, &PanelPreferences::lockedChanged, m_lock, name);
    QObject::connect(m_lock, &QAction::triggered, &preferences,
                     [&preferences] { preferences.setLocked(!preferences.locked()); });
    // Above Quit's separator.
    const QList<QAction*> actions = m_menu->actions();
    m_menu->insertAction(actions.at(actions.indexOf(m_quit) - 1), m_lock);
}

void AppMenu::popupForTile(MetricTileModel* tiles, int row) {
    if (!tiles || row < 0 || row >= tiles->rowCount()) {
        return;
    }
    const QModelIndex index = tiles->index(row);
    const QString key = index.data(MetricTileModel::KeyRole).toString();
    m_tileMenu = std::make_unique<QMenu>();
    //% "Hide %1"
    //: Menu item on a right click on a tile; %1 is the tile's name ("Power")
    QAction* hide = m_tileMenu->addAction(
        qtTrId("menu.hideTile").arg(index.data(MetricTileModel::NameRole).toString()));
    hide->setObjectName(u"hideTile"_s);
    // The last tile that shows stays.
    hide->setEnabled(tiles->canHide(key));
    QObject::connect(hide, &QAction::triggered, tiles,
                     [tiles, key] { tiles->setTileShown(key, false); });
    if (m_lock) {
        m_tileMenu->addAction(m_lock);
    }
    if (!m_tray) {
        m_tileMenu->addSeparator();
        m_tileMenu->addActions(m_menu->actions());
    }
    m_tileMenu->popup(QCursor::pos());
}

void AppMenu::setStatus(const QString& status) {
    // The status carries machines' names: an "&" in one is shown, not taken as a shortcut.
    m_status->setText(QString(status).replace(u'&', u"&&"_s));
    m_status->setVisible(!status.isEmpty());
    if (m_tray) {
        // Plain: a tooltip whose first line has no tag is never read as markup.
        m_tray->setToolTip(status.isEmpty() ? QStringLiteral("Tallyfin")
                                            : QStringLiteral("Tallyfin\n") + status);
    }
}

void AppMenu::setStartAtLogin(bool enabled) {
    if (const auto error = m_autostart.setEnabled(enabled)) {
        qCWarning(lcUi).noquote() << "start at login:" << *error;
        //% "Tallyfin could not change whether it starts at login.\n\n%1"
        //: Message when the autostart entry cannot be written or removed; %1 is the file and why
        auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Tallyfin"),
                                    qtTrId("menu.startAtLogin.failed").arg(*error));
        box->setTextFormat(Qt::PlainText);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->show();
    }
    m_startAtLogin->setChecked(m_autostart.isEnabled());
}

void AppMenu::showAbout() {
    QMessageBox::about(nullptr, qtTrId("menu.about"), m_aboutText);
}

} // namespace tallyfin::ui
