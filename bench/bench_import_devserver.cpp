// Benchmark of sending imported contacts to the development service on
// loopback, one add command per contact as the phone book window does: the
// contact data made from the file's values, coded, posted over a fresh
// connection and answered by the service, which stores it in SQLite (in
// memory). The service runs in a thread of its own, as a separate program
// would; range 1 sends through the import controller under its progress
// dialog, as the window does, with a turn of the event loop and the
// dialog's repaint between rows.
//
// Aim: at least 300 contacts a second (items_per_second).

#include "devserver.h"
#include "model/contactimport.h"
#include "model/phonebook.h"
#include "model/session.h"
#include "service/service.h"
#include "service/transport.h"
#include "ui/phonebook/importprogressdialog.h"
#include "serverthread.h"
#include "windowbench.h"

#include <benchmark/benchmark.h>

#include <QEventLoop>

#include <memory>

using namespace velmor;
using namespace velmor::bench;
using namespace Qt::StringLiterals;

namespace {

constexpr int kBatch = 300;

class ServiceThread;
// The service of the run, set by main.
const ServiceThread *g_service = nullptr;

// The development service in its own thread, for the whole run.
class ServiceThread
{
public:
    ServiceThread()
        : m_thread([this](const auto &run) {
              dev::Options options;
              options.recordBodies = false;
              dev::DevServer server(options);
              const bool listening = server.start(0);
              m_endpoint = server.endpoint();
              run(listening);
          })
    {
    }
    const QUrl &endpoint() const { return m_endpoint; }

private:
    QUrl m_endpoint;
    ServerThread m_thread; // last: it starts the server, which sets the endpoint
};

ContactValues contactValues(qsizetype i)
{
    return {u"Şükrü %1"_s.arg(i), u"Çağlayan"_s, u"Atatürk Cad. No: 5"_s, u"Kat 2"_s, QString(), u"Kadıköy"_s,
            u"İstanbul"_s, u"0532%1"_s.arg(1000000 + i % 8999999), u"02161112233"_s, QString()};
}

// A plan of kBatch accepted records, one field per column, into group 1.
ImportPlan importPlan()
{
    ImportPlan plan;
    for (qsizetype i = 0; i < kBatch; ++i) {
        const ContactValues values = contactValues(i);
        plan.table.records.append(QStringList(values.cbegin(), values.cend()));
    }
    for (int field = 0; field < kContactFieldCount; ++field)
        plan.mapping[std::size_t(field)] = field;
    plan.checks = QList<ImportCheck>(kBatch);
    plan.groupNo = u"1"_s;
    return plan;
}

void BM_SendImportedContacts(benchmark::State &state)
{
    const bool throughDialog = state.range(0) == 1;
    const Service service(std::make_shared<HttpTransport>(g_service->endpoint(), 10000));
    qsizetype sent = 0;
    qsizetype refused = 0;
    auto send = [&](qsizetype) {
        const qsizetype i = sent++;
        const QString reply = AddContact(service, u"1001"_s, ContactData(u"1"_s, contactValues(i)));
        refused += reply != u"1";
        return reply == u"1" ? SendOutcome::Added : SendOutcome::Refused;
    };
    const ImportPlan plan = importPlan();
    Session session;
    AccountSnapshot account;
    account.customer[CustomerRecord::Cari_No] = u"1001"_s;
    session.setSnapshot(account);
    for (auto _ : state) {
        if (!throughDialog) {
            for (int k = 0; k < kBatch; ++k)
                send(k);
            continue;
        }
        ContactImport import(service, session, plan);
        ImportProgressDialog dialog(import);
        bool finished = false;
        QObject::connect(&import, &ContactImport::finished, [&finished] { finished = true; });
        dialog.start();
        while (!finished)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        refused += std::count_if(import.outcomes().cbegin(), import.outcomes().cend(),
                                 [](SendOutcome outcome) { return outcome != SendOutcome::Added; });
    }
    if (refused > 0)
        state.SkipWithError("the service refused contacts");
    state.SetItemsProcessed(state.iterations() * kBatch);
    state.SetLabel(throughDialog ? "through the progress dialog" : "command by command");
}
BENCHMARK(BM_SendImportedContacts)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

int main(int argc, char **argv)
{
    const std::unique_ptr<QApplication> app = StartWidgetBenchmarks(argc, argv);
    if (!app)
        return 1;
    // Ended before the application, whose event delivery stopping it needs.
    const ServiceThread service;
    g_service = &service;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
