// Benchmarks of the development service's reply to command 1 (the whole
// account) for the demo account seeded with 100,000 and 1,000,000 generated
// contacts, as `--seed-large N` makes it, in a database file:
// - BM_SeedLarge: putting the demo account back and adding the generated
//   groups and contacts;
// - BM_AccountReply: the reply page built from the request body as the
//   service builds it (the rows read from SQLite, the payload text, its
//   coding, the page around it);
// - BM_AccountExchange: the whole exchange over loopback, the service in a
//   thread of its own as a separate program would be, until the last byte of
//   the reply has arrived.
//
// Aim: the reply for 1,000,000 contacts within one second.

#include "commands.h"
#include "devserver.h"
#include "service/coding.h"
#include "store.h"
#include "wire.h"

#include "serverthread.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <map>
#include <memory>

using namespace velmor;
using namespace velmor::bench;
using namespace Qt::StringLiterals;

namespace {

const QByteArray kAccountRequest = "Rehber=1&Cari_No=1001";

QTemporaryDir &databaseFolder()
{
    static QTemporaryDir dir;
    return dir;
}

QString databasePath(int contacts)
{
    return databaseFolder().filePath(u"large-%1.sqlite"_s.arg(contacts));
}

// The database of each size, seeded once for the run (by BM_SeedLarge when
// it ran first).
const QString &seededDatabase(int contacts)
{
    static std::map<int, QString> seeded;
    auto it = seeded.find(contacts);
    if (it == seeded.end()) {
        dev::Store store;
        const QString path = databasePath(contacts);
        if (!store.open(path, nullptr) || !store.seedLarge(contacts))
            qFatal("the large account could not be seeded");
        it = seeded.emplace(contacts, path).first;
    }
    return it->second;
}

void BM_SeedLarge(benchmark::State &state)
{
    const int contacts = int(state.range(0));
    dev::Store store;
    if (!store.open(databaseFolder().filePath(u"seed-%1.sqlite"_s.arg(contacts)), nullptr)) {
        state.SkipWithError("the database could not be opened");
        return;
    }
    for (auto _ : state) {
        if (!store.seedLarge(contacts))
            state.SkipWithError("seeding failed");
    }
    state.SetItemsProcessed(state.iterations() * contacts);
}
BENCHMARK(BM_SeedLarge)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_AccountReply(benchmark::State &state)
{
    const int contacts = int(state.range(0));
    dev::Store store;
    if (!store.open(seededDatabase(contacts), nullptr)) {
        state.SkipWithError("the database could not be opened");
        return;
    }
    const dev::CommandContext context{QString(), QString(), QDateTime::currentDateTime(), QString()};
    qint64 pageBytes = 0;
    for (auto _ : state) {
        const dev::FormFields fields = dev::FormFields::parse(kAccountRequest);
        const std::optional<QByteArray> payload = dev::HandleCommand(store, fields, context);
        if (!payload) {
            state.SkipWithError("command 1 was not understood");
            break;
        }
        const QByteArray page = dev::ReplyPage(*payload, DrawCodingOffset());
        benchmark::DoNotOptimize(page.constData());
        pageBytes = page.size();
    }
    state.SetBytesProcessed(state.iterations() * pageBytes);
    state.counters["page_MB"] = double(pageBytes) / 1e6;
}
BENCHMARK(BM_AccountReply)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// A development service on a database of its own, in a thread of its own.
class ServiceThread
{
public:
    explicit ServiceThread(const QString &dbPath)
        : m_thread([this, dbPath](const auto &run) {
              dev::Options options;
              options.dbPath = dbPath;
              options.recordBodies = false;
              dev::DevServer server(options);
              const bool listening = server.start(0);
              m_port = server.port();
              run(listening);
          })
    {
    }
    quint16 port() const { return m_port; }

private:
    quint16 m_port = 0;
    ServerThread m_thread; // last: it starts the server, which sets the port
};

// Posts command 1 and reads until the reply is complete by its
// Content-Length; the size of the reply, or -1 when it did not come whole.
qint64 exchangeAccount(quint16 port, QByteArray &received)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(10000))
        return -1;
    socket.write("POST /YeniRehber.asp HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                 "Content-Type: application/x-www-form-urlencoded\r\nConnection: close\r\nContent-Length: "
                 + QByteArray::number(kAccountRequest.size()) + "\r\n\r\n" + kAccountRequest);
    received.resize(0);
    qint64 expected = -1;
    while (expected < 0 || received.size() < expected) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(60000))
            return -1;
        received += socket.readAll();
        if (expected < 0) {
            const qsizetype end = received.indexOf("\r\n\r\n");
            if (end < 0)
                continue;
            const QByteArray headText = received.first(end).toLower();
            const qsizetype at = headText.indexOf("content-length:");
            if (at < 0)
                return -1;
            const qsizetype lineEnd = headText.indexOf("\r\n", at);
            expected = end + 4
                + headText.mid(at + 15, (lineEnd < 0 ? end : lineEnd) - at - 15).trimmed().toLongLong();
            received.reserve(expected);
        }
    }
    return received.size();
}

void BM_AccountExchange(benchmark::State &state)
{
    const int contacts = int(state.range(0));
    const ServiceThread service(seededDatabase(contacts));
    QByteArray received;
    qint64 replyBytes = 0;
    for (auto _ : state) {
        replyBytes = exchangeAccount(service.port(), received);
        if (replyBytes < 0) {
            state.SkipWithError("the reply did not come whole");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * replyBytes);
    state.counters["reply_MB"] = double(replyBytes) / 1e6;
}
BENCHMARK(BM_AccountExchange)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (!databaseFolder().isValid())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
