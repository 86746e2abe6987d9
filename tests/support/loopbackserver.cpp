#include "loopbackserver.h"

#include <QFile>
#include <QHostAddress>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpSocket>
#include <QTimer>

namespace velmor::test {

namespace {

QByteArray readCertificateFile(const char *name)
{
    QFile file(QStringLiteral(VELMOR_SOURCE_DIR "/tests/support/certificates/") + QLatin1StringView(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray statusText(int status)
{
    switch (status) {
    case 200: return QByteArrayLiteral("OK");
    case 404: return QByteArrayLiteral("Not Found");
    case 500: return QByteArrayLiteral("Internal Server Error");
    case 503: return QByteArrayLiteral("Service Unavailable");
    default: return QByteArrayLiteral("Status");
    }
}

} // namespace

QByteArray LoopbackServer::Request::header(QByteArrayView name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

LoopbackServer::LoopbackServer(QObject *parent) : QObject(parent), m_server(std::make_unique<QTcpServer>())
{
    connect(m_server.get(), &QTcpServer::newConnection, this, &LoopbackServer::onNewConnection);
    setReply(envelope(QByteArrayLiteral("000049")));
}

LoopbackServer::~LoopbackServer()
{
    // The open connections go first, while the bookkeeping they report to
    // still exists.
    // Direct children only: a TLS socket holds a plain one of its own.
    for (QTcpSocket *socket : m_server->findChildren<QTcpSocket *>(Qt::FindDirectChildrenOnly)) {
        socket->disconnect(this);
        delete socket;
    }
}

bool LoopbackServer::listen()
{
    return m_server->listen(QHostAddress::LocalHost, 0);
}

QSslCertificate LoopbackServer::testCertificate()
{
    return QSslCertificate(readCertificateFile("loopback.crt"), QSsl::Pem);
}

bool LoopbackServer::listenTls()
{
    const QSslKey key(readCertificateFile("loopback.key"), QSsl::Ec, QSsl::Pem);
    const QSslCertificate certificate = testCertificate();
    if (key.isNull() || certificate.isNull() || m_server->isListening())
        return false;
    auto server = std::make_unique<QSslServer>();
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(certificate);
    configuration.setPrivateKey(key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    server->setSslConfiguration(configuration);
    // A connection is handed over once its handshake is through.
    connect(server.get(), &QTcpServer::pendingConnectionAvailable, this, &LoopbackServer::onNewConnection);
    m_server = std::move(server);
    m_tls = true;
    return listen();
}

QUrl LoopbackServer::endpoint() const
{
    QUrl url;
    url.setScheme(m_tls ? QStringLiteral("https") : QStringLiteral("http"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(port());
    url.setPath(QStringLiteral("/YeniRehber.asp"));
    return url;
}

void LoopbackServer::setReply(const QByteArray &body, int status)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + statusText(status) + "\r\n"
        + "Content-Type: text/html\r\n" + "Content-Length: " + QByteArray::number(body.size()) + "\r\n"
        + "Connection: close\r\n\r\n";
    m_headerLength = head.size();
    m_response = head + body;
}

void LoopbackServer::setRawResponse(const QByteArray &response)
{
    m_response = response;
    const qsizetype end = response.indexOf("\r\n\r\n");
    m_headerLength = end < 0 ? response.size() : end + 4;
}

void LoopbackServer::setRawResponseFor(const QByteArray &path, const QByteArray &response)
{
    m_responsesByPath.insert(path, response);
}

QByteArray LoopbackServer::envelope(const QByteArray &codedPayload)
{
    return "<html><body><Rehber>" + codedPayload + "<Rehber></body></html>";
}

QByteArray LoopbackServer::codeAsService(const QString &payload, int offset)
{
    if (payload.isEmpty())
        return {};
    auto group = [](int value) { return QByteArray::number(value).rightJustified(3, '0'); };
    QByteArray out = group(offset);
    for (const char byte : payload.toUtf8())
        out += group(offset + static_cast<unsigned char>(byte));
    return out;
}

quint16 LoopbackServer::closedPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void LoopbackServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        m_pending.insert(socket, {});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_pending.remove(socket);
            socket->deleteLater();
        });
    }
}

void LoopbackServer::onReadyRead(QTcpSocket *socket)
{
    QByteArray &buffer = m_pending[socket];
    buffer += socket->readAll();
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;

    Request request;
    const QList<QByteArray> lines = buffer.first(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.path = requestLine.value(1);
    qsizetype contentLength = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray name = line.first(colon).trimmed();
        const QByteArray value = line.sliced(colon + 1).trimmed();
        request.headers.append({name, value});
        if (name.compare("Content-Length", Qt::CaseInsensitive) == 0)
            contentLength = value.toLongLong();
    }
    const qsizetype bodyStart = headerEnd + 4;
    if (buffer.size() - bodyStart < contentLength)
        return; // the rest of the body is still on its way
    request.body = buffer.sliced(bodyStart, contentLength);
    buffer.clear();
    m_requests.append(request);
    answer(socket, request.path);
}

void LoopbackServer::answer(QTcpSocket *socket, const QByteArray &path)
{
    switch (m_behaviour) {
    case Behaviour::Reply:
        socket->write(m_responsesByPath.value(path, m_response));
        socket->disconnectFromHost();
        break;
    case Behaviour::CloseMidReply:
        socket->write(m_response.first(qMin(m_response.size(), m_headerLength + m_bytesBeforeClose)));
        socket->disconnectFromHost();
        break;
    case Behaviour::NeverAnswer:
        break;
    case Behaviour::CloseUnanswered:
        socket->disconnectFromHost();
        break;
    case Behaviour::ReplyStayOpen:
        socket->write(m_responsesByPath.value(path, m_response));
        break;
    case Behaviour::ReplyInPieces:
        writePieces(socket, m_response, 0, 0);
        break;
    case Behaviour::Drip:
        writePieces(socket, m_response, 0, m_delayMs);
        break;
    case Behaviour::Endless:
        socket->write(m_response);
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { writeEndlessly(socket); });
        writeEndlessly(socket);
        break;
    case Behaviour::AnswerLater: {
        const QByteArray response = m_response;
        QTimer::singleShot(m_delayMs, socket, [socket, response] {
            if (socket->state() != QAbstractSocket::ConnectedState)
                return;
            socket->write(response);
            socket->disconnectFromHost();
        });
        break;
    }
    }
}

void LoopbackServer::writePieces(QTcpSocket *socket, QByteArray response, qsizetype from, int delayMs)
{
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    if (from >= response.size()) {
        socket->disconnectFromHost();
        return;
    }
    socket->write(response.sliced(from, qMin(m_pieceBytes, response.size() - from)));
    socket->flush();
    QTimer::singleShot(delayMs, socket, [this, socket, response, from, delayMs] {
        writePieces(socket, response, from + m_pieceBytes, delayMs);
    });
}

void LoopbackServer::writeEndlessly(QTcpSocket *socket)
{
    // Keeps a megabyte on its way; stops at 4 GiB, far beyond what any
    // client under test should take.
    static const QByteArray filler(64 * 1024, '7');
    while (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < 1024 * 1024
           && m_endlessBytes < (qint64(4) << 30)) {
        socket->write(filler);
        m_endlessBytes += filler.size();
    }
}

} // namespace velmor::test
