#pragma once

#include <QByteArray>
#include <QHash>
#include <QTcpServer>

// A small HTTP/1.1 server on 127.0.0.1 that answers GET requests from a table of paths. A path
// not in the table gets 404; a path marked silent is read and never answered.
class FeedServer : public QObject {
    Q_OBJECT

public:
    struct Response {
        int status = 200;
        QByteArray reason = "OK";
        QByteArray contentType = "application/rss+xml";
        QByteArray body;
        bool silent = false;
    };

    // A response that never comes.
    static Response silence() {
        Response response;
        response.silent = true;
        return response;
    }

    FeedServer();

    void serve(const QString& path, Response response) { m_responses.insert(path, response); }
    QUrl url(const QString& path) const;
    int requestCount() const { return m_requests; }

private:
    void answer(QTcpSocket* socket);

    QTcpServer m_server;
    QHash<QString, Response> m_responses;
    int m_requests = 0;
};
