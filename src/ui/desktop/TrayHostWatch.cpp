// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "TrayHostWatch.h"

#include "DesktopLogging.h"
#include "X11SelectionWatch.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QTimer>

namespace tallyfin::ui {

using namespace Qt::StringLiterals;

TrayHostWatch::TrayHostWatch(QObject* parent)
    : QObject(parent)
    , m_selection(x11::SelectionWatch::create("_NET_SYSTEM_TRAY_S")) {
    if (m_selection) {
        QObject::connect(m_selection.get(), &x11::SelectionWatch::ownerChanged, this,
                         &TrayHostWatch::changed);
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    bool onBus = false;
    if (bus.isConnected()) {
        const QString watcher = u"org.kde.StatusNotifierWatcher"_s;
        auto* names =
            new QDBusServiceWatcher(watcher, bus, QDBusServiceWatcher::WatchForRegistration, this);
        QObject::connect(names, &QDBusServiceWatcher::serviceRegistered, this,
                         &TrayHostWatch::changed);
        // A watcher may come before its host (the panel that draws the icons).
        onBus = bus.connect(watcher, u"/StatusNotifierWatcher"_s, watcher,
                            u"StatusNotifierHostRegistered"_s, this, SLOT(hostRegistered()));
    }
    if (!m_selection && !onBus) {
        qCInfo(lcDesktop) << "neither an X selection nor the session bus to watch for a system "
                             "tray; looking every"
                          << slowPoll.count() << "s";
        m_poll = new QTimer(this);
        m_poll->setInterval(slowPoll);
        QObject::connect(m_poll, &QTimer::timeout, this, &TrayHostWatch::changed);
        m_poll->start();
    }
}

TrayHostWatch::~TrayHostWatch() = default;

void TrayHostWatch::hostRegistered() {
    Q_EMIT changed();
}

} // namespace tallyfin::ui
