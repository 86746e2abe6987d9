#include "service/transport.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace velmor {

namespace {

// Network-level failures (connection refused, closed half-way, timed out, ...)
// give no reply at all. An HTTP error status still carries a page: the
// envelope check decides about it.
bool isTransportFailure(QNetworkReply::NetworkError error)
{
    if (error == QNetworkReply::NoError)
        return false;
    const int code = int(error);
    const bool contentOrServerStatus = (code >= 201 && code <= 299) || (code >= 401 && code <= 499);
    return !contentOrServerStatus;
}

bool isLoopback(const QUrl &url)
{
    const QString host = url.host();
    if (host.compare(u"localhost", Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

} // namespace

HttpTransport::HttpTransport(QUrl endpoint, int timeoutMs)
    : m_endpoint(std::move(endpoint)), m_timeoutMs(timeoutMs)
{
}

QByteArray HttpTransport::post(const QByteArray &body)
{
    // A fresh access manager per request: no cookies, no kept connection.
    QNetworkAccessManager manager;
    if (isLoopback(m_endpoint))
        manager.setProxy(QNetworkProxy::NoProxy);

    QNetworkRequest request(m_endpoint);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/x-www-form-urlencoded"));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    if (m_timeoutMs > 0)
        request.setTransferTimeout(m_timeoutMs);

    QNetworkReply *reply = manager.post(request, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // Our own watchdog besides the transfer timeout, which may not cover
    // every phase (name lookup, connecting): it aborts the request after the
    // limit without any progress, and starts again on each piece of progress.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    if (m_timeoutMs > 0) {
        QObject::connect(&watchdog, &QTimer::timeout, reply, &QNetworkReply::abort);
        auto restart = [&watchdog, this] { watchdog.start(m_timeoutMs); };
        QObject::connect(reply, &QNetworkReply::uploadProgress, &watchdog, restart);
        QObject::connect(reply, &QNetworkReply::downloadProgress, &watchdog, restart);
        watchdog.start(m_timeoutMs);
    }
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    watchdog.stop();

    QByteArray raw;
    if (!isTransportFailure(reply->error()))
        raw = reply->readAll();
    delete reply;
    return raw;
}

} // namespace velmor
