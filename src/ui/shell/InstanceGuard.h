// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace tallyfin::ui {

// One overlay per user: the first one listens on a local socket in the user's runtime folder; a
// later `tallyfin` hands it a command, one line of text ("unlock"), and ends.
class InstanceGuard : public QObject {
    Q_OBJECT

public:
    // `name` is the socket's name; the user's own by default.
    explicit InstanceGuard(QString name = defaultName(), QObject* parent = nullptr);
    ~InstanceGuard() override;

    static QString defaultName();

    // Starts listening; false when another overlay already does.
    bool listen();
    // Hands `command` to the running overlay; false when none runs.
    static bool send(const QString& command, const QString& name = defaultName());

Q_SIGNALS:
    void commandReceived(const QString& command);

private:
    QString m_name;
    QLocalServer* m_server;
};

} // namespace tallyfin::ui
