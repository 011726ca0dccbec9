// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "InstanceGuard.h"

#include "UiLogging.h"

#include <QLocalSocket>
#include <QRegularExpression>
#include <QStandardPaths>

namespace tallyfin::ui {

using namespace Qt::StringLiterals;

namespace {

constexpr int answerTimeoutMs = 3000;
// A command is one short line; anything longer is not one of ours.
constexpr qsizetype maximumCommandLength = 64;

} // namespace

InstanceGuard::InstanceGuard(QObject* parent)
    : InstanceGuard(serverName(), parent) {}

InstanceGuard::InstanceGuard(QString name, QObject* parent)
    : QObject(parent)
    , m_name(std::move(name)) {
    // No access options: with them Qt makes the socket elsewhere and renames it into place, over
    // a running overlay's. The runtime folder is the user's alone (0700) anyway.
    QObject::connect(&m_server, &QLocalServer::newConnection, this, &InstanceGuard::accept);
}

InstanceGuard::~InstanceGuard() = default;

QString InstanceGuard::serverName() {
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty()) {
        display = qEnvironmentVariable("DISPLAY");
    }
    if (display.isEmpty()) {
        display = qEnvironmentVariable("XDG_SESSION_ID");
    }
    // A file name: the display's letters and digits only (":0" gives "0", "wayland-0" stays).
    display.replace(QRegularExpression(u"[^A-Za-z0-9._-]"_s), QString());
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) % u"/tallyfin-"_s %
           (display.isEmpty() ? u"default"_s : display) % u".socket"_s;
}

bool InstanceGuard::listen() {
    const QString& name = m_name;
    if (m_server.listen(name)) {
        return true;
    }
    if (m_server.serverError() == QAbstractSocket::AddressInUseError) {
        // Someone answers there: an overlay runs. No one: a crashed one left its socket.
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(answerTimeoutMs)) {
            return false;
        }
        qCInfo(lcUi) << "removing the stale single-instance socket" << name;
        QLocalServer::removeServer(name);
        if (m_server.listen(name)) {
            return true;
        }
    }
    m_error = name % u": "_s % m_server.errorString();
    qCWarning(lcUi).noquote() << "cannot guard against a second overlay:" << m_error;
    return false;
}

bool InstanceGuard::send(const QString& command, const QString& name) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(answerTimeoutMs)) {
        return false;
    }
    socket.write(command.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(answerTimeoutMs)) {
        return false;
    }
    // The overlay answers once it has taken the command.
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(answerTimeoutMs)) {
            return false;
        }
    }
    return socket.readLine().trimmed() == "ok";
}

void InstanceGuard::accept() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QLocalSocket::readyRead, this, [this, socket]() {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > maximumCommandLength) {
                    socket->abort();
                }
                return;
            }
            const QString command = QString::fromUtf8(socket->readLine()).trimmed();
            if (command == u"activate" || command == u"unlock") {
                qCInfo(lcUi).noquote() << "command from a second start:" << command;
                socket->write("ok\n");
                Q_EMIT commandReceived(command);
            } else {
                qCWarning(lcUi) << "unknown command on the single-instance socket ignored";
                socket->write("unknown\n");
            }
            socket->disconnectFromServer();
        });
    }
}

} // namespace tallyfin::ui
