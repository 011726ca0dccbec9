#include "FeedServer.h"

#include <QTcpSocket>
#include <QUrl>

FeedServer::FeedServer() {
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QUrl FeedServer::url(const QString& path) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

void FeedServer::answer(QTcpSocket* socket) {
    // Wait for the whole request head; GET requests have no body.
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    socket->setProperty("head", head);
    if (!head.contains("\r\n\r\n")) {
        return;
    }
    socket->setProperty("head", QByteArray());
    ++m_requests;
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const QString path =
        requestLine.size() >= 2 ? QString::fromLatin1(requestLine.at(1)) : QString();
    Response response = m_responses.value(
        path, Response{404, "Not Found", "text/html", "<html><body>Not here</body></html>"});
    if (response.silent) {
        return;
    }
    QByteArray reply = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + response.reason +
                       "\r\nContent-Type: " + response.contentType +
                       "\r\nContent-Length: " + QByteArray::number(response.body.size()) +
                       "\r\nConnection: close\r\n\r\n" + response.body;
    socket->write(reply);
    socket->disconnectFromHost();
}
