// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "TestHttpServer.h"

#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

using namespace Qt::StringLiterals;

TestHttpServer::TestHttpServer(QObject* parent)
    : QObject(parent) {
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                m_buffers.remove(socket);
                socket->deleteLater();
            });
        }
    });
}

TestHttpServer::~TestHttpServer() {
    const auto sockets = m_server.findChildren<QTcpSocket*>();
    for (QTcpSocket* socket : sockets) {
        socket->disconnect(this);
        delete socket;
    }
}

bool TestHttpServer::listen() {
    return m_server.listen(QHostAddress::LocalHost);
}

QUrl TestHttpServer::baseUrl() const {
    return QUrl(u"http://127.0.0.1:"_s + QString::number(m_server.serverPort()));
}

QUrl TestHttpServer::url(const QString& path) const {
    return QUrl(baseUrl().toString() + path);
}

QUrl closedPortUrl() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    const quint16 port = server.serverPort();
    server.close();
    return QUrl(u"http://127.0.0.1:"_s + QString::number(port));
}

void TestHttpServer::readFrom(QTcpSocket* socket) {
    QByteArray& buffer = m_buffers[socket];
    buffer += socket->readAll();
    for (;;) {
        const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0) {
            return;
        }
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        Request request;
        const QList<QByteArray> requestLine = lines.constFirst().trimmed().split(' ');
        request.method = requestLine.value(0);
        request.path = requestLine.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines.at(i).indexOf(':');
            if (colon > 0) {
                request.headers.insert(lines.at(i).left(colon).trimmed().toLower(),
                                       lines.at(i).mid(colon + 1).trimmed());
            }
        }
        const qsizetype length = request.headers.value("content-length", "0").toLongLong();
        if (buffer.size() < headerEnd + 4 + length) {
            return;
        }
        request.body = buffer.mid(headerEnd + 4, length);
        buffer.remove(0, headerEnd + 4 + length);
        m_requests.append(request);
        Q_EMIT requestReceived();
        const auto served = m_responses.constFind(request.path);
        if (served != m_responses.cend()) {
            const QByteArray head = "HTTP/1.1 " + QByteArray::number(served->status) + ' ' +
                                    served->reason +
                                    "\r\nContent-Type: application/rss+xml\r\nContent-Length: " +
                                    QByteArray::number(served->body.size()) + "\r\n\r\n";
            if (served->dripMs > 0) {
                // The head at once, then the body byte by byte.
                socket->write(head);
                auto* drip = new QTimer(socket);
                QObject::connect(drip, &QTimer::timeout, socket,
                                 [socket, i = qsizetype(0), body = served->body]() mutable {
                                     socket->write(body.mid(i++, 1));
                                 });
                drip->start(served->dripMs);
            } else if (!served->silent) {
                socket->write(head + served->body);
            }
            continue;
        }
        if (m_silent) {
            continue;
        }
        const int status = m_statuses.isEmpty() ? 200 : m_statuses.takeFirst();
        const QByteArray answer = "{\"status\":" + QByteArray::number(status) + "}";
        socket->write("HTTP/1.1 " + QByteArray::number(status) + " Status\r\n" +
                      "Content-Type: application/json\r\nContent-Length: " +
                      QByteArray::number(answer.size()) + "\r\n\r\n" + answer);
    }
}
