// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

class QDBusMessage;

namespace tallyfin::analytics {

class AppActivity;

// Tells AppActivity what the Linux desktop says about the user's session: logind's session on
// the system bus (Active, LockedHint, Lock and Unlock), logind's PrepareForSleep, and a
// freedesktop ScreenSaver's ActiveChanged on the session bus where there is one. Holds a logind
// "delay" inhibitor lock for shutdown, so that at PrepareForShutdown the activity's
// sessionWillEnd (the client writing its cache) runs before the lock is let go. Without logind,
// or outside any session, it does nothing and the application stays active.
class DesktopSession : public QObject {
    Q_OBJECT

public:
    explicit DesktopSession(AppActivity& activity, QObject* parent = nullptr);

    // The logind session has been found and its state read.
    bool followsSession() const { return m_follows; }

private Q_SLOTS:
    void onLock();
    void onUnlock();
    void onSessionPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                    const QStringList& invalidated);
    void onPrepareForSleep(bool sleeping);
    void onPrepareForShutdown(bool shuttingDown);
    void onScreenSaverActiveChanged(bool active);

private:
    void sessionFound(const QString& path);
    void readSession();
    void apply(const QVariantMap& properties);
    void takeShutdownDelay();

    AppActivity& m_activity;
    QString m_sessionPath;
    bool m_follows = false;
    QDBusUnixFileDescriptor m_inhibitor;
};

} // namespace tallyfin::analytics
