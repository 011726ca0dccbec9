#include "AppMenu.h"

#include "AppIcon.h"
#include "UiLogging.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMessageBox>
#include <QSystemTrayIcon>

namespace tallyfin::ui {

AppMenu::AppMenu(QString aboutText, std::function<void()> checkForUpdates, QObject* parent)
    : QObject(parent)
    , m_aboutText(std::move(aboutText))
    , m_checkForUpdatesHandler(std::move(checkForUpdates))
    , m_menu(std::make_unique<QMenu>()) {
    //: Tray menu item that shows the version
    m_about = m_menu->addAction(qtTrId("menu.about"));
    QObject::connect(m_about, &QAction::triggered, this, &AppMenu::showAbout);
    m_menu->addSeparator();
    //: Application menu item that starts a software-update check
    m_checkForUpdates = m_menu->addAction(qtTrId("menu.checkForUpdates"));
    QObject::connect(m_checkForUpdates, &QAction::triggered, this, [this]() {
        if (m_checkForUpdatesHandler) {
            m_checkForUpdatesHandler();
        }
    });
    m_menu->addSeparator();
    //: Tray menu item that ends the program
    m_quit = m_menu->addAction(qtTrId("menu.quit"));
    m_quit->setShortcut(QKeySequence::Quit);
    QObject::connect(m_quit, &QAction::triggered, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray = new QSystemTrayIcon(applicationIcon(), this);
        m_tray->setToolTip(QStringLiteral("Tallyfin"));
        m_tray->setContextMenu(m_menu.get());
        m_tray->show();
    } else {
        qCInfo(lcUi) << "no system tray; the menu opens on a right click on the panel";
    }
}

AppMenu::~AppMenu() = default;

void AppMenu::popup() {
    m_menu->popup(QCursor::pos());
}

void AppMenu::showAbout() {
    QMessageBox::about(nullptr, qtTrId("menu.about"), m_aboutText);
}

} // namespace tallyfin::ui
