#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QTcpServer>
#include <QUrl>

#include <memory>
#include <utility>

class QTcpSocket;

namespace velmor::test {

// A tiny raw HTTP server on 127.0.0.1 for tests of the request path: it reads
// each request whole, records it, and answers the way the test asks for,
// including the ways a real service can fail (closing half-way through a
// reply, never answering). Runs in the test's thread; the client's waiting
// loop serves it.
class LoopbackServer : public QObject
{
    Q_OBJECT

public:
    enum class Behaviour {
        Reply,          // send the response and close
        CloseMidReply,  // announce the whole body, send only part of it, close
        NeverAnswer,    // read the request, then stay silent with the connection open
        AnswerLater,    // send the response after delayMs
        CloseUnanswered, // read the request, then close without a byte of reply
        ReplyStayOpen,  // send the response and leave the connection open
        ReplyInPieces,  // send the response pieceBytes at a time, one piece per event-loop turn, then close
        Drip,           // send the response pieceBytes at a time, one piece every delayMs, then close
        Endless,        // send the response, then filler bytes for as long as the client reads them
    };

    struct Request
    {
        QByteArray method;
        QByteArray path;
        QList<std::pair<QByteArray, QByteArray>> headers; // names as sent
        QByteArray body;

        QByteArray header(QByteArrayView name) const; // case-insensitive, empty when absent
    };

    explicit LoopbackServer(QObject *parent = nullptr);
    ~LoopbackServer() override;

    // Listens on a free loopback port; false when that fails.
    bool listen();
    // The same over TLS, with the self-signed certificate for 127.0.0.1 of
    // tests/support/certificates (which no client trusts unless told to).
    bool listenTls();
    static QSslCertificate testCertificate();
    quint16 port() const { return m_server->serverPort(); }
    // http://127.0.0.1:<port>/YeniRehber.asp (https after listenTls())
    QUrl endpoint() const;

    // The response to every following request: a status line with the given
    // status, Content-Type text/html, Content-Length and the body.
    void setReply(const QByteArray &body, int status = 200);
    // A response written byte for byte as given (status line and headers included).
    void setRawResponse(const QByteArray &response);
    // The response to requests for this path (as sent, e.g. "/download/x"),
    // in place of the one above; for Behaviour::Reply and ReplyStayOpen.
    void setRawResponseFor(const QByteArray &path, const QByteArray &response);
    // The service's envelope around a digit-coded payload.
    static QByteArray envelope(const QByteArray &codedPayload);
    // A payload coded the way the service codes it: its UTF-8 bytes, each as
    // three digits after the three-digit offset.
    static QByteArray codeAsService(const QString &payload, int offset = 37);
    // The envelope around codeAsService(payload).
    static QByteArray reply(const QString &payload) { return envelope(codeAsService(payload)); }

    void setBehaviour(Behaviour behaviour) { m_behaviour = behaviour; }
    // For CloseMidReply: how many body bytes go out before the connection closes.
    void setBytesBeforeClose(qsizetype bytes) { m_bytesBeforeClose = bytes; }
    // For AnswerLater and Drip.
    void setDelayMs(int ms) { m_delayMs = ms; }
    // For ReplyInPieces and Drip.
    void setPieceBytes(qsizetype bytes) { m_pieceBytes = qMax<qsizetype>(1, bytes); }

    // For Endless: the filler bytes written so far.
    qint64 endlessBytes() const { return m_endlessBytes; }

    const QList<Request> &requests() const { return m_requests; }
    QByteArray lastBody() const { return m_requests.isEmpty() ? QByteArray() : m_requests.constLast().body; }
    void clearRequests() { m_requests.clear(); }

    // A loopback port that nobody listens on (for "connection refused").
    static quint16 closedPort();

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const QByteArray &path);
    void writePieces(QTcpSocket *socket, QByteArray response, qsizetype from, int delayMs);
    void writeEndlessly(QTcpSocket *socket);

    std::unique_ptr<QTcpServer> m_server;
    bool m_tls = false;
    QByteArray m_response;
    QHash<QByteArray, QByteArray> m_responsesByPath;
    qsizetype m_headerLength = 0; // of m_response, for CloseMidReply
    Behaviour m_behaviour = Behaviour::Reply;
    qsizetype m_bytesBeforeClose = 0;
    int m_delayMs = 0;
    qsizetype m_pieceBytes = 1;
    qint64 m_endlessBytes = 0;
    QList<Request> m_requests;
    QHash<QTcpSocket *, QByteArray> m_pending;
};

} // namespace velmor::test
