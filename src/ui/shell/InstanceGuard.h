// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace tallyfin::ui {

// One overlay per user and display: the first to start listens on a local socket in the user's
// runtime folder; a later start finds it there, sends it a command and ends. Commands are one
// line of text: "activate" (bring the panel forward) and "unlock".
class InstanceGuard : public QObject {
    Q_OBJECT

public:
    explicit InstanceGuard(QObject* parent = nullptr);
    // Listens on `name` rather than on serverName() (tests).
    explicit InstanceGuard(QString name, QObject* parent = nullptr);
    ~InstanceGuard() override;

    // The socket's path: $XDG_RUNTIME_DIR (Qt's own runtime folder without it), named after the
    // display or session, so that two sessions of one user each have their overlay.
    static QString serverName();

    // Listens, taking over a socket no one answers on any more (left by a crash). False when an
    // overlay already runs, or when the socket cannot be made (then the reason is logged and
    // nothing guards: false with errorString() set).
    bool listen();
    QString errorString() const { return m_error; }

    // Sends `command` to the overlay that runs; false when none answers within a few seconds.
    static bool send(const QString& command, const QString& name = serverName());

Q_SIGNALS:
    void commandReceived(const QString& command);

private:
    void accept();

    QString m_name;
    QLocalServer m_server;
    QString m_error;
};

} // namespace tallyfin::ui
