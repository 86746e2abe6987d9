#include "service/transport.h"

#include "service/httpreply.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>
#if QT_CONFIG(ssl)
#include <QSslSocket>
#endif

#include <functional>
#include <memory>
#include <new>

namespace velmor {

namespace {

// The request line and headers of a form post to the endpoint. QUrl has
// already percent-encoded path and query, so no line break can get in.
QByteArray requestHead(const QUrl &endpoint, bool secure, qsizetype bodySize)
{
    QByteArray target = endpoint.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (endpoint.hasQuery())
        target += '?' + endpoint.query(QUrl::FullyEncoded).toLatin1();

    QByteArray host = endpoint.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']'; // an IPv6 address
    const int port = endpoint.port();
    if (port >= 0 && port != (secure ? 443 : 80))
        host += ':' + QByteArray::number(port);

    return "POST " + target + " HTTP/1.1\r\n"
        + "Host: " + host + "\r\n"
        + "Content-Type: application/x-www-form-urlencoded\r\n"
        + "Content-Length: " + QByteArray::number(bodySize) + "\r\n"
        + "Connection: close\r\n"
        + "\r\n";
}

class CallbackControl final : public RequestControl
{
public:
    CallbackControl(std::function<void()> abandon, std::function<void()> letUserInputThrough)
        : m_abandon(std::move(abandon)), m_letUserInputThrough(std::move(letUserInputThrough))
    {
    }
    void abandon() override { m_abandon(); }
    void letUserInputThrough() override { m_letUserInputThrough(); }

private:
    std::function<void()> m_abandon;
    std::function<void()> m_letUserInputThrough;
};

} // namespace

bool IsLoopbackHost(const QString &host)
{
    if (host.compare(u"localhost", Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

bool IsPlainHttpToRemoteHost(const QUrl &url)
{
    return url.scheme().compare(u"http", Qt::CaseInsensitive) == 0 && !IsLoopbackHost(url.host());
}

HttpTransport::HttpTransport(QUrl endpoint, int timeoutMs)
    : m_endpoint(std::move(endpoint)), m_timeoutMs(timeoutMs)
{
}

QByteArray HttpTransport::post(const QByteArray &body)
{
    setLastOutcome(RequestOutcome::Failed);
    const QString scheme = m_endpoint.scheme().toLower();
    const bool secure = scheme == u"https";
    if ((!secure && scheme != u"http") || m_endpoint.host().isEmpty())
        return {};

    // A fresh connection per request: no cookies, nothing kept.
    std::unique_ptr<QTcpSocket> socket;
#if QT_CONFIG(ssl)
    if (secure && !QSslSocket::supportsSsl())
        return {};
    if (secure)
        socket = std::make_unique<QSslSocket>();
    else
        socket = std::make_unique<QTcpSocket>();
#else
    if (secure)
        return {};
    socket = std::make_unique<QTcpSocket>();
#endif
    socket->setProxy(QNetworkProxy::NoProxy);

    const QByteArray request = requestHead(m_endpoint, secure, body.size()) + body;
    HttpReplyReader reader(m_maxReplyBytes);
    bool failed = false;
    bool certificateRejected = false;
    bool finished = false;
    QEventLoop loop;
    auto finish = [&] {
        finished = true;
        loop.quit();
    };

    // What the observer may do: end the request, or let input through to its
    // own modal window. Either takes effect in the wait loop below.
    bool abandoned = false;
    bool inputThrough = false;
    CallbackControl control(
        [&] {
            if (!finished) {
                abandoned = true;
                finish();
            }
        },
        [&] {
            if (!inputThrough) {
                inputThrough = true;
                loop.quit(); // to wait again, letting input through
            }
        });

    // The time limit counts silence: it starts again on every piece of
    // progress, so a long reply that keeps arriving is not cut off.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    auto progress = [&] {
        if (m_timeoutMs > 0)
            watchdog.start(m_timeoutMs);
    };
    QObject::connect(&watchdog, &QTimer::timeout, &loop, [&] {
        failed = true;
        finish();
    });

    // Reads what has arrived; with closing, the peer has closed the connection.
    auto take = [&](bool closing) {
        if (finished)
            return;
        try {
            if (reader.feed(socket->readAll()) == HttpReplyReader::State::Reading && closing)
                reader.closed();
        } catch (const std::bad_alloc &) {
            failed = true;
        }
        if (failed || reader.state() != HttpReplyReader::State::Reading) {
            finish();
        } else if (m_observer) {
            m_observer->requestProgress(reader.bodyBytes(), reader.announcedLength());
        }
    };

    // The request goes out once. Should the connection drop before the reply
    // begins, the service may still have carried it out, so it is never sent
    // again: the caller gets the empty text.
    auto send = [&] {
        progress();
        socket->write(request);
    };
#if QT_CONFIG(ssl)
    if (secure) {
        auto *tls = static_cast<QSslSocket *>(socket.get());
        QObject::connect(tls, &QSslSocket::encrypted, &loop, send);
        // Never ignored: the handshake then fails and nothing is sent.
        QObject::connect(tls, &QSslSocket::sslErrors, &loop, [&](const QList<QSslError> &errors) {
            if (!errors.isEmpty())
                certificateRejected = true;
        });
    } else
#endif
        QObject::connect(socket.get(), &QAbstractSocket::connected, &loop, send);
    QObject::connect(socket.get(), &QAbstractSocket::hostFound, &loop, progress);
    QObject::connect(socket.get(), &QIODevice::bytesWritten, &loop, progress);
    QObject::connect(socket.get(), &QIODevice::readyRead, &loop, [&] {
        progress();
        take(false);
    });
    QObject::connect(socket.get(), &QAbstractSocket::disconnected, &loop, [&] { take(true); });
    QObject::connect(socket.get(), &QAbstractSocket::errorOccurred, &loop, [&](QAbstractSocket::SocketError error) {
        if (finished)
            return; // the reply was whole before the connection went
        if (error == QAbstractSocket::RemoteHostClosedError) {
            take(true);
        } else {
            failed = true; // refused, reset, no such host, TLS refused, ...
            finish();
        }
    });

    if (m_observer)
        m_observer->requestStarted(control);
    progress();
#if QT_CONFIG(ssl)
    if (secure)
        static_cast<QSslSocket *>(socket.get())->connectToHostEncrypted(m_endpoint.host(), quint16(m_endpoint.port(443)));
    else
#endif
        socket->connectToHost(m_endpoint.host(), quint16(m_endpoint.port(80)));
    // Input waits until the request is over, unless the observer has put up
    // a modal window of its own: then the loop runs again letting it through,
    // and the modality keeps it from every other window.
    while (!finished)
        loop.exec(inputThrough ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    watchdog.stop();
    QObject::disconnect(socket.get(), nullptr, &loop, nullptr);
    socket->abort();
    if (m_observer)
        m_observer->requestFinished();

    if (abandoned) {
        setLastOutcome(RequestOutcome::Abandoned);
        return {};
    }
    if (certificateRejected) {
        setLastOutcome(RequestOutcome::CertificateRejected);
        return {};
    }
    if (failed || reader.state() != HttpReplyReader::State::Complete)
        return {};
    setLastOutcome(RequestOutcome::Answered);
    return reader.takeBody();
}

} // namespace velmor
