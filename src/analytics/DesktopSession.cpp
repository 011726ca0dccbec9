// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/DesktopSession.h"

#include "analytics/AnalyticsLogging.h"
#include "analytics/AppActivity.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace tallyfin::analytics {

using namespace Qt::StringLiterals;

namespace {

const QString login1Service = u"org.freedesktop.login1"_s;
const QString login1Path = u"/org/freedesktop/login1"_s;
const QString managerInterface = u"org.freedesktop.login1.Manager"_s;
const QString sessionInterface = u"org.freedesktop.login1.Session"_s;
const QString propertiesInterface = u"org.freedesktop.DBus.Properties"_s;

// Calls `method` without waiting; `done` gets the reply (or the error) in the event loop.
template<typename Done>
void callLater(QObject* context, const QDBusConnection& bus, const QDBusMessage& call, Done done) {
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [done](QDBusPendingCallWatcher* finished) {
                         finished->deleteLater();
                         done(finished->reply());
                     });
}

} // namespace

DesktopSession::DesktopSession(AppActivity& activity, QObject* parent)
    : QObject(parent)
    , m_activity(activity) {
    QDBusConnection system = QDBusConnection::systemBus();
    if (system.isConnected()) {
        system.connect(login1Service, login1Path, managerInterface, u"PrepareForSleep"_s, this,
                       SLOT(onPrepareForSleep(bool)));
        system.connect(login1Service, login1Path, managerInterface, u"PrepareForShutdown"_s, this,
                       SLOT(onPrepareForShutdown(bool)));
        takeShutdownDelay();
        // "auto": the session this process belongs to, else the user's graphical session.
        QDBusMessage call = QDBusMessage::createMethodCall(login1Service, login1Path,
                                                           managerInterface, u"GetSession"_s);
        call << u"auto"_s;
        callLater(this, system, call, [this](const QDBusMessage& reply) {
            if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
                qCInfo(lcAnalytics) << "no desktop session to follow:" << reply.errorMessage();
                return;
            }
            sessionFound(reply.arguments().constFirst().value<QDBusObjectPath>().path());
        });
    }
    // Desktops with a screen saver of their own tell through it when the screen is locked.
    QDBusConnection::sessionBus().connect(QString(), QString(), u"org.freedesktop.ScreenSaver"_s,
                                          u"ActiveChanged"_s, this,
                                          SLOT(onScreenSaverActiveChanged(bool)));
}

void DesktopSession::sessionFound(const QString& path) {
    m_sessionPath = path;
    QDBusConnection system = QDBusConnection::systemBus();
    system.connect(login1Service, path, sessionInterface, u"Lock"_s, this, SLOT(onLock()));
    system.connect(login1Service, path, sessionInterface, u"Unlock"_s, this, SLOT(onUnlock()));
    system.connect(login1Service, path, propertiesInterface, u"PropertiesChanged"_s, this,
                   SLOT(onSessionPropertiesChanged(QString, QVariantMap, QStringList)));
    readSession();
}

void DesktopSession::readSession() {
    QDBusMessage call = QDBusMessage::createMethodCall(login1Service, m_sessionPath,
                                                       propertiesInterface, u"GetAll"_s);
    call << sessionInterface;
    callLater(this, QDBusConnection::systemBus(), call, [this](const QDBusMessage& reply) {
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            qCInfo(lcAnalytics) << "the desktop session cannot be read:" << reply.errorMessage();
            return;
        }
        QVariantMap properties;
        reply.arguments().constFirst().value<QDBusArgument>() >> properties;
        apply(properties);
        if (!m_follows) {
            m_follows = true;
            qCInfo(lcAnalytics) << "following the desktop session" << m_sessionPath;
        }
    });
}

void DesktopSession::apply(const QVariantMap& properties) {
    if (const auto active = properties.constFind(u"Active"_s); active != properties.cend()) {
        m_activity.setSessionActive(active->toBool());
    }
    if (const auto locked = properties.constFind(u"LockedHint"_s); locked != properties.cend()) {
        m_activity.setSessionLocked(locked->toBool());
    }
}

void DesktopSession::onLock() {
    m_activity.setSessionLocked(true);
}

void DesktopSession::onUnlock() {
    m_activity.setSessionLocked(false);
}

void DesktopSession::onSessionPropertiesChanged(const QString& interface,
                                                const QVariantMap& changed,
                                                const QStringList& invalidated) {
    if (interface != sessionInterface) {
        return;
    }
    apply(changed);
    if (invalidated.contains(u"Active"_s) || invalidated.contains(u"LockedHint"_s)) {
        readSession();
    }
}

void DesktopSession::onPrepareForSleep(bool sleeping) {
    m_activity.setSleeping(sleeping);
}

void DesktopSession::onPrepareForShutdown(bool shuttingDown) {
    if (!shuttingDown) {
        // The shutdown was called off.
        takeShutdownDelay();
        return;
    }
    m_activity.notifySessionWillEnd();
    m_inhibitor = QDBusUnixFileDescriptor();
}

void DesktopSession::onScreenSaverActiveChanged(bool active) {
    m_activity.setScreenSaverActive(active);
}

void DesktopSession::takeShutdownDelay() {
    QDBusMessage call =
        QDBusMessage::createMethodCall(login1Service, login1Path, managerInterface, u"Inhibit"_s);
    call << u"shutdown"_s << QCoreApplication::applicationName()
         << u"Saving the usage signals that are not sent yet"_s << u"delay"_s;
    callLater(this, QDBusConnection::systemBus(), call, [this](const QDBusMessage& reply) {
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            qCInfo(lcAnalytics) << "no shutdown delay:" << reply.errorMessage();
            return;
        }
        m_inhibitor = reply.arguments().constFirst().value<QDBusUnixFileDescriptor>();
    });
}

} // namespace tallyfin::analytics
