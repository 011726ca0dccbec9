#include "AppMenu.h"

#include "UiLogging.h"

#include <QApplication>
#include <QCursor>
#include <QFont>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

namespace tallyfin::ui {

namespace {

// The rower symbol on a dark disc, drawn from the icon font so that no image file is needed.
QIcon trayIcon() {
    QIcon icon;
    for (const int side : {16, 22, 32, 48, 64}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(30, 30, 32));
        painter.drawEllipse(QRectF(0.5, 0.5, side - 1, side - 1));
        QFont font(QStringLiteral("Material Icons"));
        font.setPixelSize(side * 3 / 4);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, side, side), Qt::AlignCenter, QStringLiteral("rowing"));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

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
        m_tray = new QSystemTrayIcon(trayIcon(), this);
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
