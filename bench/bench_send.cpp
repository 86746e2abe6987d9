// Benchmarks of the send window with a large phone book: 100,000 contacts in
// 1,000 groups. Each drives the window's own functions on the offscreen
// platform, with the window shown, and lets the pending events (layout,
// painting) run inside the measured time.
//
// Aims: opening under 300 ms, a keystroke in the search box under 30 ms,
// adding 10,000 selected recipients under 300 ms (removing them too), adding
// 10,000 pasted numbers under 300 ms.

#include "largeaccount.h"
#include "model/session.h"
#include "model/snapshot.h"
#include "service/service.h"
#include "service/transport.h"
#include "ui/send/frm_gonder.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeView>

#include <memory>

using namespace velmor;
using namespace velmor::bench;
using namespace Qt::StringLiterals;

namespace {

constexpr int kSelected = 10000;

struct Fixture
{
    Fixture()
        : service(std::make_shared<HttpTransport>(QUrl(u"http://127.0.0.1:1/YeniRehber.asp"_s), 2000))
    {
        AccountSnapshot snapshot;
        LoadAccountSnapshot(snapshot, makeAccountPayload());
        session.setSnapshot(std::move(snapshot));
        session.setLoginActive(u"1"_s);
    }

    std::unique_ptr<Frm_Gonder> open()
    {
        auto window = std::make_unique<Frm_Gonder>(service, session);
        window->show();
        QCoreApplication::processEvents();
        return window;
    }

    Service service;
    Session session;
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

template<typename T> T *child(Frm_Gonder *window, const QString &name)
{
    return window->findChild<T *>(name);
}

// Selects kSelected rows of a list: one block, or every n-th row (each row
// its own selection range, as with Ctrl+click).
void selectRows(QTreeView *view, bool scattered)
{
    QAbstractItemModel *model = view->model();
    QItemSelection selection;
    const int step = scattered ? model->rowCount() / kSelected : 1;
    if (scattered) {
        for (int i = 0; i < kSelected; ++i)
            selection.select(model->index(i * step, 0), model->index(i * step, model->columnCount() - 1));
    } else {
        selection.select(model->index(0, 0), model->index(kSelected - 1, model->columnCount() - 1));
    }
    view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void BM_OpenWindow(benchmark::State &state)
{
    for (auto _ : state) {
        std::unique_ptr<Frm_Gonder> window = fixture().open();
        benchmark::DoNotOptimize(window.get());
        state.PauseTiming();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

// One more character in the search box: from "" to "a" (the widest result),
// or from "Ay" to "Ayş" (a narrow one).
void BM_SearchKeystroke(benchmark::State &state)
{
    const bool wide = state.range(0) == 0;
    const QString before = wide ? QString() : u"Ay"_s;
    const QString after = wide ? u"a"_s : u"Ayş"_s;
    std::unique_ptr<Frm_Gonder> window = fixture().open();
    auto *search = child<QLineEdit>(window.get(), u"text1"_s);
    for (auto _ : state) {
        state.PauseTiming();
        search->setText(before);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        search->setText(after);
        QCoreApplication::processEvents();
    }
    state.SetLabel(QStringLiteral("%1 rows shown").arg(child<QTreeView>(window.get(), u"ListView2"_s)->model()->rowCount()).toStdString());
}

void BM_AddRecipients(benchmark::State &state)
{
    const bool scattered = state.range(0) == 1;
    std::unique_ptr<Frm_Gonder> window = fixture().open();
    auto *groupList = child<QTreeView>(window.get(), u"ListView2"_s);
    auto *recipients = child<QTreeView>(window.get(), u"ListView3"_s);
    for (auto _ : state) {
        state.PauseTiming();
        selectRows(groupList, scattered);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        window->AddRecipients();
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (window->recipients().size() != kSelected)
            state.SkipWithError("not every selected row was added");
        recipients->selectAll();
        window->RemoveRecipients();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_RemoveRecipients(benchmark::State &state)
{
    const bool scattered = state.range(0) == 1;
    std::unique_ptr<Frm_Gonder> window = fixture().open();
    auto *groupList = child<QTreeView>(window.get(), u"ListView2"_s);
    auto *recipients = child<QTreeView>(window.get(), u"ListView3"_s);
    for (auto _ : state) {
        state.PauseTiming();
        groupList->selectAll();
        window->AddRecipients(); // every contact is a recipient
        selectRows(recipients, scattered);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        window->RemoveRecipients();
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (window->recipients().size() != kContactCount - kSelected)
            state.SkipWithError("not every selected row was removed");
        recipients->selectAll();
        window->RemoveRecipients();
        state.ResumeTiming();
    }
}

// 10,000 numbers pasted into "Numara Ekle", one per line in mixed written
// forms, added beside 10,000 chosen contacts.
void BM_AddPastedNumbers(benchmark::State &state)
{
    std::unique_ptr<Frm_Gonder> window = fixture().open();
    auto *groupList = child<QTreeView>(window.get(), u"ListView2"_s);
    auto *recipients = child<QTreeView>(window.get(), u"ListView3"_s);
    auto *field = child<QLineEdit>(window.get(), u"txtNumaraEkle"_s);
    selectRows(groupList, false);
    window->AddRecipients();
    QStringList lines;
    for (int i = 0; i < kSelected; ++i) {
        const QString subscriber = QString::number(1000000 + i);
        lines.append(i % 2 == 0 ? u"0544 "_s + subscriber : u"+90 545 "_s + subscriber);
    }
    const QString pasted = lines.join(u'\n');
    for (auto _ : state) {
        state.PauseTiming();
        field->setText(pasted);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        window->AddNumbers();
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (window->recipients().size() != 2 * kSelected)
            state.SkipWithError("not every pasted number was added");
        recipients->clearSelection();
        recipients->selectionModel()->select(
            QItemSelection(recipients->model()->index(0, 0),
                           recipients->model()->index(kSelected - 1, recipients->model()->columnCount() - 1)),
            QItemSelectionModel::Select);
        window->RemoveRecipients();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_OpenWindow)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SearchKeystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AddRecipients)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RemoveRecipients)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AddPastedNumbers)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    QApplication app(argc, argv);
    // The window reads the user's message templates: never the real ones.
    QStandardPaths::setTestModeEnabled(true);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    fixture();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
