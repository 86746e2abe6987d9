#pragma once

#include <QEventLoop>
#include <QSemaphore>
#include <QThread>

#include <functional>
#include <memory>

namespace velmor::bench {

// A server in a thread of its own, as a separate program would be, for as
// long as this object lives. `serve` runs in that thread: it sets the server
// up, returns whether it listens, and keeps it running by calling the event
// loop it is given (`run()`); it returns when the loop ends, which the
// destructor asks for.
class ServerThread
{
public:
    using Serve = std::function<void(const std::function<void(bool listening)> &run)>;

    explicit ServerThread(Serve serve)
    {
        QSemaphore started;
        m_thread.reset(QThread::create([this, &started, serve = std::move(serve)] {
            serve([this, &started](bool listening) {
                QEventLoop loop;
                m_loop = &loop;
                m_listening = listening;
                started.release();
                loop.exec();
            });
        }));
        m_thread->start();
        started.acquire();
        if (!m_listening)
            qFatal("the server did not start");
    }
    ~ServerThread()
    {
        QMetaObject::invokeMethod(m_loop, &QEventLoop::quit, Qt::QueuedConnection);
        m_thread->wait();
    }
    ServerThread(const ServerThread &) = delete;
    ServerThread &operator=(const ServerThread &) = delete;

private:
    std::unique_ptr<QThread> m_thread;
    QEventLoop *m_loop = nullptr;
    bool m_listening = false;
};

} // namespace velmor::bench
