#pragma once

// A loopback HTTP server for the send window's tests: answers every request
// with a fixed payload per command, coded and enveloped as the service does,
// and keeps the bodies it received.

#include "service/coding.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <functional>
#include <utility>

namespace velmor::test {

class FakeService : public QObject
{
public:
    FakeService()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                serve(socket);
        });
    }

    QUrl endpoint() const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/YeniRehber.asp").arg(m_server.serverPort()));
    }

    // The decoded payload the command answers with; a command without one
    // answers a page without the "<Rehber>" envelope.
    void setPayload(int command, const QString &payload) { m_payloads.insert(command, payload); }
    void removePayload(int command) { m_payloads.remove(command); }
    // Requests of this command are read and never answered, the connection left open.
    void leaveUnanswered(int command) { m_unanswered.insert(command); }

    const QList<QByteArray> &bodies() const { return m_bodies; }
    QList<QByteArray> bodiesOf(int command) const
    {
        const QByteArray prefix = "Rehber=" + QByteArray::number(command);
        QList<QByteArray> out;
        for (const QByteArray &body : m_bodies) {
            if (body == prefix || body.startsWith(prefix + '&'))
                out.append(body);
        }
        return out;
    }
    void clearBodies() { m_bodies.clear(); }

    // Runs once when a request of this command has arrived, before it is
    // answered: the client is then waiting for the reply.
    void beforeReplying(int command, std::function<void()> action)
    {
        m_waitingCommand = command;
        m_beforeReply = std::move(action);
    }

private:
    void serve(QTcpSocket *socket)
    {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            const qsizetype headerEnd = buffer->indexOf("\r\n\r\n");
            if (headerEnd < 0)
                return;
            qsizetype length = 0;
            for (const QByteArray &line : buffer->left(headerEnd).split('\n')) {
                if (line.toLower().startsWith("content-length:"))
                    length = line.mid(15).trimmed().toLongLong();
            }
            if (buffer->size() < headerEnd + 4 + length)
                return;
            const QByteArray body = buffer->mid(headerEnd + 4, length);
            buffer->clear();
            m_bodies.append(body);
            if (m_beforeReply && commandOf(body) == m_waitingCommand)
                std::exchange(m_beforeReply, {})();
            if (m_unanswered.contains(commandOf(body)))
                return;
            socket->write(reply(body));
            socket->disconnectFromHost();
        });
    }

    static int commandOf(const QByteArray &body)
    {
        const qsizetype amp = body.indexOf('&');
        return body.mid(7, amp < 0 ? -1 : amp - 7).toInt();
    }

    QByteArray reply(const QByteArray &body) const
    {
        const int command = commandOf(body);
        QByteArray content = "<html>no envelope</html>";
        if (m_payloads.contains(command))
            content = "<Rehber>" + EncodeWithOffset(m_payloads.value(command), 17).toLatin1() + "<Rehber>";
        return "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: "
               + QByteArray::number(content.size()) + "\r\n\r\n" + content;
    }

    QTcpServer m_server;
    QHash<int, QString> m_payloads;
    QSet<int> m_unanswered;
    QList<QByteArray> m_bodies;
    int m_waitingCommand = 0;
    std::function<void()> m_beforeReply;
};

// A request body cut into its fields, in order.
inline QList<std::pair<QString, QByteArray>> BodyFields(const QByteArray &body)
{
    QList<std::pair<QString, QByteArray>> fields;
    for (const QByteArray &part : body.split('&')) {
        const qsizetype eq = part.indexOf('=');
        fields.append({QString::fromLatin1(part.left(eq)), part.mid(eq + 1)});
    }
    return fields;
}

} // namespace velmor::test
