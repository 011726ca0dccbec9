// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "InstanceGuard.h"

#include "UiLogging.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace tallyfin::ui {

using namespace Qt::StringLiterals;

namespace {

constexpr int timeoutMs = 1000;
constexpr qsizetype longestCommand = 64;

} // namespace

InstanceGuard::InstanceGuard(QString name, QObject* parent)
    : QObject(parent)
    , m_name(std::move(name))
    , m_server(new QLocalServer(this)) {
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                while (socket->canReadLine()) {
                    const QString command =
                        QString::fromUtf8(socket->readLine(longestCommand)).trimmed();
                    qCInfo(lcUi).noquote() << "command from another tallyfin:" << command;
                    Q_EMIT commandReceived(command);
                }
            });
        }
    });
}

InstanceGuard::~InstanceGuard() = default;

QString InstanceGuard::defaultName() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return QDir(runtime.isEmpty() ? QDir::tempPath() : runtime).filePath(u"tallyfin.socket"_s);
}

bool InstanceGuard::listen() {
    if (send(QString(), m_name)) {
        return false;
    }
    // A socket left behind by an overlay that did not end cleanly.
    QLocalServer::removeServer(m_name);
    return m_server->listen(m_name);
}

bool InstanceGuard::send(const QString& command, const QString& name) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    if (!command.isEmpty()) {
        socket.write(command.toUtf8() + '\n');
        socket.waitForBytesWritten(timeoutMs);
    }
    socket.disconnectFromServer();
    return true;
}

} // namespace tallyfin::ui
