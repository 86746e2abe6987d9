#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <utility>

class QTcpServer;
class QTcpSocket;

namespace velmor::dev {

// What the service accepts from a client; beyond it the request is refused
// with 413 and the connection closed, before the rest is read.
inline constexpr qsizetype kMaxRequestHeadBytes = 64 * 1024;
inline constexpr qint64 kMaxRequestBodyBytes = qint64(64) * 1024 * 1024;

// One request as read from a connection.
struct HttpRequest
{
    QByteArray method; // as sent: "GET", "POST", "HEAD", ...
    QUrl url;          // the request target
    QList<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;
    bool closeAfterReply = false; // "Connection: close", or HTTP/1.0 without keep-alive

    // The first header of that name (any letter case); empty when absent.
    QByteArray header(QByteArrayView name) const;
};

// One client connection: reads its requests one after the other, each only
// after the previous one has been answered.
class HttpConnection final : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(const HttpRequest &, HttpConnection *)>;
    HttpConnection(QTcpSocket *socket, const Handler &handler, int idleMs, QObject *parent);

    // Writes the answer to the current request; with close, the connection
    // then closes (after the bytes are out), otherwise the next request is read.
    void respond(const QByteArray &bytes, bool close) { respond(bytes, {}, close); }
    // The same for an answer in two parts, head and body, written one after
    // the other; the socket keeps a large body as it is, without a copy.
    void respond(const QByteArray &head, const QByteArray &body, bool close);
    // The same answer paced: the first bytes now, then chunkBytes after
    // every pause of pauseMs (a download the client can be seen receiving).
    void respondInPieces(const QByteArray &bytes, qsizetype first, int chunkBytes, int pauseMs, bool close);

private:
    enum class Step { Head, Body, Handling, Closing };

    void readInput();
    bool readHeadLine();
    bool startBody();
    void dispatch();
    void refuse(int status, const QByteArray &reason, const QString &message);
    void closeNow();

    QTcpSocket *m_socket;
    const Handler &m_handler;
    QTimer m_idle;
    Step m_step = Step::Head;
    qsizetype m_headBytes = 0;
    bool m_sawRequestLine = false;
    bool m_http10 = false;
    qint64 m_bodyRead = 0;
    HttpRequest m_request;
};

// The service's HTTP front over its own socket reading, so that every bound
// holds before the bytes are taken in: the head is read line by line up to
// kMaxRequestHeadBytes, a body by its Content-Length (at most
// kMaxRequestBodyBytes) straight into one buffer of that size, and each
// connection's socket buffer is kept small. Replies are written by the
// handler through HttpConnection::respond(). All in the caller's thread.
class HttpFront final : public QObject
{
    Q_OBJECT

public:
    explicit HttpFront(HttpConnection::Handler handler, QObject *parent = nullptr);

    // Listens on 127.0.0.1; port 0 picks a free one.
    bool listen(quint16 port);
    quint16 port() const;
    QString errorString() const;
    // A connection that brings no complete request for this long is closed.
    void setIdleMs(int ms) { m_idleMs = ms; }

private:
    HttpConnection::Handler m_handler;
    QTcpServer *m_server;
    int m_idleMs = 30000;
};

} // namespace velmor::dev
