#pragma once

#include <optional>

#include "devserver.h"
#include "model/snapshot.h"
#include "service/service.h"
#include "service/transport.h"

#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>
#include <QtTest>

#include <memory>

// A development service on a free loopback port with a client core talking to it.
namespace velmor::test {

struct LiveService
{
    explicit LiveService(dev::Options options = {}, int clientTimeoutMs = 10000)
        : server(std::make_unique<dev::DevServer>(std::move(options)))
    {
        if (!server->start(0))
            qFatal("devserver did not start: %s", qPrintable(server->errorString()));
        transport = std::make_shared<HttpTransport>(server->endpoint(), clientTimeoutMs);
        service = std::make_unique<Service>(transport);
    }

    AccountSnapshot snapshot(const QString &customerNo = dev::kDemoCustomerNo) const
    {
        AccountSnapshot s;
        LoadAccountSnapshot(s, FetchAccountData(*service, customerNo));
        return s;
    }

    std::unique_ptr<dev::DevServer> server;
    std::shared_ptr<HttpTransport> transport;
    std::unique_ptr<Service> service;
};

inline const ContactGroup *findGroup(const AccountSnapshot &s, const QString &number)
{
    for (const ContactGroup &g : s.groups) {
        if (g.Grup_No == number)
            return &g;
    }
    return nullptr;
}

// The contact of that record number, as a value of its own (the snapshot
// may be a temporary).
inline std::optional<Contact> findContact(const AccountSnapshot &s, const QString &recordNo)
{
    for (const ContactRef c : s.contacts) {
        if (c.Adr_K_No() == recordNo)
            return c.toContact();
    }
    return std::nullopt;
}

// Sends raw bytes to the port and collects what comes back until the peer
// closes, the reply is complete by its Content-Length, or the time is up. The
// server runs in this thread, so the wait runs the event loop.
inline QByteArray rawExchange(quint16 port, const QByteArray &request, bool *closedByPeer = nullptr)
{
    QTcpSocket socket;
    QByteArray received;
    QEventLoop loop;
    bool closed = false;
    auto complete = [&received] {
        const qsizetype end = received.indexOf("\r\n\r\n");
        if (end < 0)
            return false;
        const QByteArray lower = received.left(end).toLower();
        const qsizetype at = lower.indexOf("content-length:");
        if (at < 0)
            return false;
        const qsizetype lineEnd = lower.indexOf("\r\n", at);
        const qint64 length = lower.mid(at + 15, (lineEnd < 0 ? end : lineEnd) - at - 15).trimmed().toLongLong();
        return received.size() - end - 4 >= length;
    };
    QObject::connect(&socket, &QTcpSocket::readyRead, &loop, [&] {
        received += socket.readAll();
        if (complete())
            loop.quit();
    });
    QObject::connect(&socket, &QTcpSocket::disconnected, &loop, [&] {
        received += socket.readAll();
        closed = true;
        loop.quit();
    });
    QObject::connect(&socket, &QTcpSocket::connected, &loop, [&] { socket.write(request); });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    socket.connectToHost(QHostAddress::LocalHost, port);
    loop.exec();
    if (closedByPeer)
        *closedByPeer = closed;
    return received;
}

inline QByteArray rawPost(quint16 port, const QByteArray &body, bool *closedByPeer = nullptr)
{
    return rawExchange(port,
                       "POST /YeniRehber.asp HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                       "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: "
                           + QByteArray::number(body.size()) + "\r\n\r\n" + body,
                       closedByPeer);
}

} // namespace velmor::test
