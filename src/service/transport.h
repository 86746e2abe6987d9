#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <memory>

namespace velmor {

// How a request ended.
enum class RequestOutcome {
    Answered,  // the whole reply arrived
    Failed,    // no whole reply: unreachable, broken, too slow or too large
    Abandoned, // the user gave up waiting; the service may have carried it out all the same
    CertificateRejected, // the service's TLS certificate could not be verified
                         // (not trusted, expired, or for another name); nothing was sent
};

// Whether host names this machine: "localhost" or a loopback address
// (127.0.0.0/8, ::1).
bool IsLoopbackHost(const QString &host);
// Whether what goes to url travels unencrypted over a network: plain http to
// a host that is not this machine.
bool IsPlainHttpToRemoteHost(const QUrl &url);

// Carries one request body to the service and brings back the whole raw reply.
// Implementations never throw: every failure gives the empty text.
class Transport
{
public:
    virtual ~Transport() = default;
    // Posts a form-encoded body and returns the full raw reply, or the empty
    // text when the request could not be completed.
    virtual QByteArray post(const QByteArray &body) = 0;
    // How the last post ended.
    RequestOutcome lastOutcome() const { return m_lastOutcome; }
    // Whether requests travel unencrypted to another machine, where anyone
    // on the way can read them.
    virtual bool sendsInClear() const { return false; }

protected:
    void setLastOutcome(RequestOutcome outcome) { m_lastOutcome = outcome; }

private:
    RequestOutcome m_lastOutcome = RequestOutcome::Answered;
};

// What the watcher of a running request may do with it. Valid from
// RequestObserver::requestStarted() to requestFinished().
class RequestControl
{
public:
    // Ends the request at once as a failure (RequestOutcome::Abandoned).
    virtual void abandon() = 0;
    // While a request runs, user input is held back from every window. A
    // watcher that has just shown a modal window of its own, which blocks
    // input to all the others, calls this so that its window can be used.
    virtual void letUserInputThrough() = 0;

protected:
    ~RequestControl() = default;
};

// Watches the requests of a transport, e.g. to show a long one's progress and
// let the user end it. Called on the thread of the request, from inside its wait.
class RequestObserver
{
public:
    virtual ~RequestObserver() = default;
    virtual void requestStarted(RequestControl &control) = 0;
    // Body bytes of the reply so far, and its announced length (-1 when not
    // known: not yet, or a chunked or close-ended body).
    virtual void requestProgress(qint64 received, qint64 total) = 0;
    virtual void requestFinished() = 0;
};

// HTTP/1.1 over a fresh direct connection per call (TLS for https), no proxy,
// no cookies, no redirects followed. Each request is written exactly once:
// a connection that drops before the reply is whole gives the empty text and
// is never retried, since the service may already have carried the request
// out (an SMS sent and charged). The HTTP status is not judged; an error page
// still gives its body.
// Synchronous from the caller's view: the call waits in a local event loop
// that excludes user input, so windows keep repainting but nobody can start a
// second request (the one exception: a modal window the observer puts up).
// A request during which nothing is sent or arrives for the time limit
// (connecting, or waiting for the reply to begin or to go on) is aborted and
// gives the empty text; a long reply that keeps arriving is not cut off. A
// limit of 0 means no limit. A TLS certificate that cannot be verified ends
// the request before anything is sent (RequestOutcome::CertificateRejected);
// there is no way to accept it anyway. A reply whose body is larger than maxReplyBytes
// fails as soon as that is known, without reading the rest. An observer,
// when set, sees every request and may end it.
class HttpTransport final : public Transport
{
public:
    static constexpr int DefaultTimeoutMs = 30000;
    static constexpr qint64 DefaultMaxReplyBytes = qint64(512) * 1024 * 1024;

    explicit HttpTransport(QUrl endpoint, int timeoutMs = DefaultTimeoutMs);
    QByteArray post(const QByteArray &body) override;

    const QUrl &endpoint() const { return m_endpoint; }
    bool sendsInClear() const override { return IsPlainHttpToRemoteHost(m_endpoint); }
    int timeoutMs() const { return m_timeoutMs; }
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }
    qint64 maxReplyBytes() const { return m_maxReplyBytes; }
    void setMaxReplyBytes(qint64 bytes) { m_maxReplyBytes = bytes; }
    // Not owned; nullptr for none.
    void setObserver(RequestObserver *observer) { m_observer = observer; }

private:
    QUrl m_endpoint;
    int m_timeoutMs;
    qint64 m_maxReplyBytes = DefaultMaxReplyBytes;
    RequestObserver *m_observer = nullptr;
};

} // namespace velmor
