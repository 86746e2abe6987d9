#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <memory>

namespace velmor {

// Carries one request body to the service and brings back the whole raw reply.
// Implementations never throw: every failure gives the empty text.
class Transport
{
public:
    virtual ~Transport() = default;
    // Posts a form-encoded body and returns the full raw reply, or the empty
    // text when the request could not be completed.
    virtual QByteArray post(const QByteArray &body) = 0;
};

// HTTP/1.1 over a fresh direct connection per call (TLS for https), no proxy,
// no cookies, no redirects followed. Each request is written exactly once:
// a connection that drops before the reply is whole gives the empty text and
// is never retried, since the service may already have carried the request
// out (an SMS sent and charged). The HTTP status is not judged; an error page
// still gives its body.
// Synchronous from the caller's view: the call waits in a local event loop
// that excludes user input, so windows keep repainting but nobody can start a
// second request. A request during which nothing is sent or arrives for the
// time limit (connecting, or waiting for the reply to begin or to go on) is
// aborted and gives the empty text; a long reply that keeps arriving is not
// cut off. A limit of 0 means no limit.
class HttpTransport final : public Transport
{
public:
    static constexpr int DefaultTimeoutMs = 30000;

    explicit HttpTransport(QUrl endpoint, int timeoutMs = DefaultTimeoutMs);
    QByteArray post(const QByteArray &body) override;

    const QUrl &endpoint() const { return m_endpoint; }
    int timeoutMs() const { return m_timeoutMs; }
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }

private:
    QUrl m_endpoint;
    int m_timeoutMs;
};

} // namespace velmor
