// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "AppMenu.h"

#include "AppIcon.h"
#include "UiLogging.h"
#include "tallyfin/BuildInfo.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QTimer>

namespace tallyfin::ui {

namespace {

constexpr int trayWatchMs = 2000;

} // namespace

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
    //: Tray menu item that ends the program
    m_quit = m_menu->addAction(qtTrId("menu.quit"));
    // No shortcut shown: the panel never takes the keyboard focus, so none could work.
    QObject::connect(m_quit, &QAction::triggered, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        joinTray();
    } else {
        qCInfo(lcUi) << "no system tray; the menu opens on a right click on the panel";
        // Neither the XEmbed tray's selection nor a StatusNotifierWatcher tells Qt's users when
        // it appears, so it is looked for every few seconds until it does.
        m_trayWatch = new QTimer(this);
        m_trayWatch->setInterval(trayWatchMs);
        QObject::connect(m_trayWatch, &QTimer::timeout, this, [this]() {
            if (QSystemTrayIcon::isSystemTrayAvailable()) {
                m_trayWatch->stop();
                qCInfo(lcUi) << "a system tray appeared; the menu moves there";
                joinTray();
            }
        });
        m_trayWatch->start();
    }
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

void AppMenu::setStatus(const QString& status) {
    m_status->setText(status);
    m_status->setVisible(!status.isEmpty());
    if (m_tray) {
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
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->show();
    }
    m_startAtLogin->setChecked(m_autostart.isEnabled());
}

void AppMenu::showAbout() {
    QMessageBox::about(nullptr, qtTrId("menu.about"), m_aboutText);
}

} // namespace tallyfin::ui
