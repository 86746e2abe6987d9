#include "httpfront.h"

#include "service/httpreply.h"
#include "wire.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace velmor::dev {

using namespace Qt::StringLiterals;

namespace {

// What the socket keeps of a connection's input that the reader has not
// taken yet; beyond it the client waits (TCP flow control).
constexpr qint64 kSocketBufferBytes = 256 * 1024;

bool hasToken(QByteArrayView list, QByteArrayView token)
{
    for (const QByteArray &part : list.toByteArray().split(',')) {
        if (part.trimmed().compare(token, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

QByteArray HttpRequest::header(QByteArrayView name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

HttpConnection::HttpConnection(QTcpSocket *socket, const Handler &handler, int idleMs, QObject *parent)
    : QObject(parent), m_socket(socket), m_handler(handler)
{
    socket->setParent(this);
    socket->setReadBufferSize(kSocketBufferBytes);
    m_idle.setSingleShot(true);
    m_idle.setInterval(idleMs);
    connect(&m_idle, &QTimer::timeout, this, &HttpConnection::closeNow);
    connect(socket, &QIODevice::readyRead, this, &HttpConnection::readInput);
    connect(socket, &QAbstractSocket::disconnected, this, &QObject::deleteLater);
    if (socket->state() != QAbstractSocket::ConnectedState) {
        deleteLater();
        return;
    }
    m_idle.start();
    readInput();
}

void HttpConnection::readInput()
{
    for (;;) {
        switch (m_step) {
        case Step::Head:
            if (!readHeadLine())
                return;
            break;
        case Step::Body: {
            // Straight into the body's own buffer: the one copy it gets.
            const qint64 got = m_socket->read(m_request.body.data() + m_bodyRead, m_request.body.size() - m_bodyRead);
            if (got <= 0)
                return;
            m_bodyRead += got;
            if (m_bodyRead == m_request.body.size())
                dispatch();
            break;
        }
        case Step::Handling:
        case Step::Closing:
            return; // the next request is read once this one is answered
        }
    }
}

bool HttpConnection::readHeadLine()
{
    if (!m_socket->canReadLine()) {
        // A line that cannot end within the limit is refused now, not read on.
        if (m_headBytes + m_socket->bytesAvailable() > kMaxRequestHeadBytes)
            refuse(413, "Content Too Large", u"İstek çok büyük."_s);
        return false;
    }
    const QByteArray line = m_socket->readLine();
    m_headBytes += line.size();
    if (m_headBytes > kMaxRequestHeadBytes) {
        refuse(413, "Content Too Large", u"İstek çok büyük."_s);
        return false;
    }
    QByteArrayView text = line;
    if (text.endsWith('\n'))
        text.chop(1);
    if (text.endsWith('\r'))
        text.chop(1);

    if (!m_sawRequestLine) {
        if (text.isEmpty())
            return true; // blank lines before a request are passed over
        // METHOD SP target SP HTTP/1.x
        const qsizetype firstSpace = text.indexOf(' ');
        const qsizetype lastSpace = text.lastIndexOf(' ');
        if (firstSpace <= 0 || lastSpace <= firstSpace + 1 || !text.sliced(lastSpace + 1).startsWith("HTTP/1.")) {
            refuse(400, "Bad Request", u"İstek anlaşılamadı."_s);
            return false;
        }
        m_request.method = text.first(firstSpace).toByteArray();
        m_request.url = QUrl::fromEncoded(text.sliced(firstSpace + 1, lastSpace - firstSpace - 1).toByteArray());
        m_http10 = text.sliced(lastSpace + 1) == "HTTP/1.0";
        if (!m_request.url.isValid()) {
            refuse(400, "Bad Request", u"İstek anlaşılamadı."_s);
            return false;
        }
        m_sawRequestLine = true;
        return true;
    }
    if (!text.isEmpty()) {
        const qsizetype colon = text.indexOf(':');
        if (colon > 0 && text.front() != ' ' && text.front() != '\t')
            m_request.headers.append({text.first(colon).toByteArray(), text.sliced(colon + 1).trimmed().toByteArray()});
        return true;
    }
    return startBody();
}

bool HttpConnection::startBody()
{
    if (!m_request.header("Transfer-Encoding").isEmpty()) {
        refuse(501, "Not Implemented", u"Aktarım kodlamalı istek gövdesi desteklenmiyor."_s);
        return false;
    }
    qint64 length = 0;
    bool seen = false;
    for (const auto &[name, value] : std::as_const(m_request.headers)) {
        if (name.compare("Content-Length", Qt::CaseInsensitive) != 0)
            continue;
        const qint64 each = ParseHttpLength(value);
        if (each < 0 || (seen && each != length)) {
            refuse(400, "Bad Request", u"İstek anlaşılamadı."_s);
            return false;
        }
        length = each;
        seen = true;
    }
    if (length > kMaxRequestBodyBytes) {
        refuse(413, "Content Too Large", u"İstek çok büyük."_s);
        return false;
    }
    const QByteArray connection = m_request.header("Connection");
    m_request.closeAfterReply = hasToken(connection, "close") || (m_http10 && !hasToken(connection, "keep-alive"));
    if (length > 0 && hasToken(m_request.header("Expect"), "100-continue"))
        m_socket->write("HTTP/1.1 100 Continue\r\n\r\n");

    // Room for the whole body at once; what the client has not sent yet
    // occupies no memory until it arrives.
    m_request.body.resize(qsizetype(length));
    m_bodyRead = 0;
    if (length == 0)
        dispatch();
    else
        m_step = Step::Body;
    return true;
}

void HttpConnection::dispatch()
{
    m_step = Step::Handling;
    m_idle.stop();
    const HttpRequest request = std::exchange(m_request, {});
    m_headBytes = 0;
    m_sawRequestLine = false;
    m_http10 = false;
    m_handler(request, this);
}

void HttpConnection::respond(const QByteArray &head, const QByteArray &body, bool close)
{
    if (m_step != Step::Handling)
        return;
    if (!head.isEmpty())
        m_socket->write(head);
    if (!body.isEmpty())
        m_socket->write(body);
    if (close) {
        m_step = Step::Closing;
        m_socket->disconnectFromHost();
        return;
    }
    m_step = Step::Head;
    m_idle.start();
    // A request that came along meanwhile waits in the socket.
    QMetaObject::invokeMethod(this, &HttpConnection::readInput, Qt::QueuedConnection);
}

void HttpConnection::respondInPieces(const QByteArray &bytes, qsizetype first, int chunkBytes, int pauseMs,
                                     bool close)
{
    if (m_step != Step::Handling)
        return;
    if (chunkBytes <= 0 || first >= bytes.size()) {
        respond(bytes, close);
        return;
    }
    m_socket->write(bytes.first(first));
    m_socket->flush();
    // Bound to this connection: a connection gone meanwhile takes the rest along.
    QTimer::singleShot(qMax(0, pauseMs), this, [this, rest = bytes.sliced(first), chunkBytes, pauseMs, close] {
        respondInPieces(rest, chunkBytes, chunkBytes, pauseMs, close);
    });
}

void HttpConnection::refuse(int status, const QByteArray &reason, const QString &message)
{
    const QByteArray page = PlainPage(message);
    m_socket->write("HTTP/1.1 " + QByteArray::number(status) + ' ' + reason
                    + "\r\nServer: velmor-devserver\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: "
                    + QByteArray::number(page.size()) + "\r\nConnection: close\r\n\r\n" + page);
    closeNow();
}

void HttpConnection::closeNow()
{
    m_step = Step::Closing;
    m_idle.stop();
    m_request = {};
    m_socket->disconnectFromHost();
}

HttpFront::HttpFront(HttpConnection::Handler handler, QObject *parent)
    : QObject(parent), m_handler(std::move(handler)), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server->nextPendingConnection())
            new HttpConnection(socket, m_handler, m_idleMs, this);
    });
}

bool HttpFront::listen(quint16 port)
{
    return m_server->listen(QHostAddress::LocalHost, port);
}

quint16 HttpFront::port() const
{
    return m_server->serverPort();
}

QString HttpFront::errorString() const
{
    return m_server->errorString();
}

} // namespace velmor::dev
