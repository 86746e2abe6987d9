// Benchmark of the client's own share of a login's account fetch: a server
// in a thread of its own answers at once with the reply page of a large
// account built beforehand, and the client posts command 1 through its
// transport, receives the page, decodes it and loads the snapshot the
// windows read (RefreshAccountSnapshot). The service's own share is
// measured by bench_devserver_account.
//
// Aim: 1,000,000 contacts within two seconds.

#include "largeaccount.h"
#include "serverthread.h"

#include "model/snapshot.h"
#include "service/service.h"
#include "service/transport.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

using namespace velmor;
using namespace velmor::bench;
using namespace Qt::StringLiterals;

namespace {

// Answers every connection, once its request has come, with the same reply.
class CannedServer
{
public:
    explicit CannedServer(QByteArray reply)
        : m_reply(std::move(reply)),
          m_thread([this](const auto &run) {
              QTcpServer server;
              const bool listening = server.listen(QHostAddress::LocalHost);
              m_port = server.serverPort();
              QObject::connect(&server, &QTcpServer::newConnection, &server, [this, &server] {
                  while (QTcpSocket *socket = server.nextPendingConnection()) {
                      QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                          m_request += socket->readAll();
                          if (!m_request.contains("Rehber=1"))
                              return; // the body is still to come
                          m_request.clear();
                          socket->write(m_reply);
                          socket->disconnectFromHost();
                      });
                      QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                  }
              });
              run(listening);
          })
    {
    }
    quint16 port() const { return m_port; }

private:
    const QByteArray m_reply;
    QByteArray m_request;
    quint16 m_port = 0;
    ServerThread m_thread; // last: it starts the server, which sets the port
};

void BM_AccountClientShare(benchmark::State &state)
{
    const int contacts = int(state.range(0));
    QByteArray page = "<html><body><p>Rehber</p>\r\n<Rehber>" + codeAsService(makeAccountPayload(contacts), 57)
        + "<Rehber>\r\n</body></html>";
    const qsizetype pageBytes = page.size();
    const CannedServer server("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nConnection: close\r\n"
                              "Content-Length: "
                              + QByteArray::number(pageBytes) + "\r\n\r\n" + page);
    page = QByteArray();
    QUrl endpoint;
    endpoint.setScheme(u"http"_s);
    endpoint.setHost(u"127.0.0.1"_s);
    endpoint.setPort(server.port());
    endpoint.setPath(u"/YeniRehber.asp"_s);
    const Service service(std::make_shared<HttpTransport>(endpoint, 60000));
    for (auto _ : state) {
        AccountSnapshot snapshot;
        if (RefreshAccountSnapshot(service, snapshot, u"1001"_s) != RefreshResult::Loaded
            || snapshot.contacts.size() < contacts) {
            state.SkipWithError("the account did not load");
            break;
        }
        benchmark::DoNotOptimize(snapshot.contacts.size());
        state.PauseTiming(); // not the freeing of the snapshot
        snapshot = AccountSnapshot();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * pageBytes);
    state.counters["page_MB"] = double(pageBytes) / 1e6;
}
BENCHMARK(BM_AccountClientShare)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
