// Benchmarks of the group tree with very many groups, on the offscreen
// platform with the windows shown: the shared tree alone, and the phone book
// and the send window opened on an account of many groups and a few contacts.
//
// Shapes: "wide", every group under the one whose number is a tenth of its
// own (a few levels, thousands of siblings, as large real accounts look), and
// "chain", every group under the one before (as deep as the groups are many).
//
// Aims: 100,000 groups (the most an account may hold) open either window in
// under a second; the tree alone builds 100,000 groups in under half of that.

#include "windowbench.h"

#include "ui/common/grouptree.h"
#include "ui/phonebook/frm_tanim_rehber.h"
#include "ui/send/frm_gonder.h"

#include <string>

using namespace velmor;
using namespace velmor::bench;
using namespace Qt::StringLiterals;

namespace {

enum Shape { Wide = 0, Chain = 1 };

// The parent number of group k (numbered from 1).
int parentOf(Shape shape, int k)
{
    return shape == Wide ? k / 10 : k - 1;
}

QList<ContactGroup> makeGroups(Shape shape, int count)
{
    QList<ContactGroup> groups;
    groups.reserve(count);
    for (int k = 1; k <= count; ++k) {
        const QString number = QString::number(k);
        groups.append({number, QString::number(parentOf(shape, k)), u"Grup "_s + number, TenDigitKey(number)});
    }
    return groups;
}

// The decoded command 1 payload of an account with these groups and 100
// contacts spread over them.
QString makePayload(Shape shape, int count)
{
    QString payload;
    payload.reserve(qsizetype(count) * 30);
    payload += u"<Cari>7"_s;
    for (int i = 1; i < CustomerRecord::FieldCount; ++i)
        payload += u"|Alan"_s;
    payload += u"<Cari><Grup>"_s;
    for (int k = 1; k <= count; ++k) {
        payload += u"<>"_s + QString::number(k) + u'|' + QString::number(parentOf(shape, k)) + u"|Grup "_s
                   + QString::number(k);
    }
    payload += u"<Grup><Adres>"_s;
    for (int i = 0; i < 100; ++i) {
        payload += u"<>%1|%2|Ayşe|Yılmaz|||||İstanbul|0532%3||"_s.arg(100000 + i)
                       .arg(1 + i * (count / 100))
                       .arg(1000000 + i);
    }
    payload += u"<Adres>"_s;
    return payload;
}

void BM_BuildGroupTree(benchmark::State &state)
{
    const auto shape = Shape(state.range(0));
    const int count = int(state.range(1));
    const QList<ContactGroup> groups = makeGroups(shape, count);
    GroupTree tree;
    tree.resize(300, 600);
    tree.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        tree.BuildGroupTree(groups);
        QCoreApplication::processEvents();
        state.PauseTiming();
        tree.BuildGroupTree({});
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetLabel(shape == Wide ? "wide" : "chain");
}

template<typename Window> void MeasureWindow(benchmark::State &state)
{
    const auto shape = Shape(state.range(0));
    const int count = int(state.range(1));
    const Service service(std::make_shared<HttpTransport>(QUrl(u"http://127.0.0.1:1/YeniRehber.asp"_s), 2000));
    Session session;
    AccountSnapshot snapshot;
    if (!LoadAccountSnapshot(snapshot, makePayload(shape, count))) {
        state.SkipWithError("the account was not loaded");
        return;
    }
    session.setSnapshot(std::move(snapshot));
    session.setLoginActive(u"1"_s);
    for (auto _ : state) {
        auto window = std::make_unique<Window>(service, session);
        window->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetLabel(std::string(shape == Wide ? "wide, " : "chain, ") + std::to_string(session.snapshot().groups.size())
                   + " groups");
}

void BM_OpenPhoneBook(benchmark::State &state)
{
    MeasureWindow<Frm_Tanim_Rehber>(state);
}

void BM_OpenSendWindow(benchmark::State &state)
{
    MeasureWindow<Frm_Gonder>(state);
}

BENCHMARK(BM_BuildGroupTree)
    ->Args({Wide, 100000})
    ->Args({Wide, 1000000})
    ->Args({Chain, 30000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_OpenPhoneBook)->Args({Wide, 100000})->Args({Chain, 30000})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenSendWindow)->Args({Wide, 100000})->Args({Chain, 30000})->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    const std::unique_ptr<QApplication> app = StartWidgetBenchmarks(argc, argv);
    if (!app)
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
