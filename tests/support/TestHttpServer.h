// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

// A small HTTP/1.1 server on 127.0.0.1 for the tests that talk HTTP: records every request and
// answers a served path with its fixed response, any other path with the queued status codes
// (200 when none is queued), or never answers at all.
class TestHttpServer : public QObject {
    Q_OBJECT

public:
    struct Request {
        QByteArray method;
        QByteArray path;
        QHash<QByteArray, QByteArray> headers;
        QByteArray body;
    };

    struct Response {
        int status = 200;
        QByteArray reason = "OK";
        QByteArray body{};
        bool silent = false; // read and never answered
        int dripMs = 0;      // when set, the body goes out one byte per this many ms
    };

    explicit TestHttpServer(QObject* parent = nullptr);
    ~TestHttpServer() override;

    bool listen();
    QUrl baseUrl() const;
    QUrl url(const QString& path) const;

    // The answer to every request for `path`.
    void serve(const QByteArray& path, const Response& response) {
        m_responses.insert(path, response);
    }
    // Status codes for the next requests to paths not served, in order.
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
    QHash<QByteArray, Response> m_responses;
    QList<int> m_statuses;
    QList<Request> m_requests;
    bool m_silent = false;
};

// A base URL where nothing listens.
QUrl closedPortUrl();
