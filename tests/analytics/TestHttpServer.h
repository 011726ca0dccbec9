#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>

#include <atomic>

class QTcpSocket;

// A small HTTP/1.1 server on 127.0.0.1 for the delivery tests: records every request and answers
// with the queued status codes (200 when none is queued), or never answers at all.
class TestHttpServer : public QObject {
    Q_OBJECT

public:
    struct Request {
        QByteArray method;
        QByteArray path;
        QHash<QByteArray, QByteArray> headers;
        QByteArray body;
    };

    explicit TestHttpServer(QObject* parent = nullptr);
    ~TestHttpServer() override;

    bool listen();
    quint16 port() const;
    QUrl baseUrl() const;

    // Status codes for the next requests, in order.
    void queueStatus(int status) { m_statuses.append(status); }
    // Requests are read but never answered.
    void setSilent(bool silent) { m_silent = silent; }

    QList<Request> requests() const { return m_requests; }

Q_SIGNALS:
    void requestReceived();

private:
    void readFrom(QTcpSocket* socket);

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
    QList<int> m_statuses;
    QList<Request> m_requests;
    bool m_silent = false;
};
