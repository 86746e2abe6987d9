// Benchmarks of the send window with a large phone book: 100,000 contacts in
// 1,000 groups. Each drives the window's own functions on the offscreen
// platform, with the window shown, and lets the pending events (layout,
// painting) run inside the measured time.
//
// Aims: opening under 300 ms, a keystroke in the search box under 30 ms,
// adding 10,000 selected recipients under 300 ms (removing them too), adding
// 10,000 pasted numbers under 300 ms, a keystroke in a personalised message
// to 10,000 recipients (each one's text, one SMS per phone, the cost) under
// 100 ms.

#include "windowbench.h"

#include "ui/send/frm_gonder.h"
#include "ui/send/messageedit.h"

#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTreeView>

using namespace velmor;
using namespace velmor::bench;
using namespace Qt::StringLiterals;

namespace {

using Fixture = WindowFixture<Frm_Gonder>;

constexpr int kSelected = 10000;

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

void BM_AddRecipients(benchmark::State &state)
{
    const bool scattered = state.range(0) == 1;
    std::unique_ptr<Frm_Gonder> window = Fixture::get().open();
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
        if (window->recipients().size() != kSelected) {
            state.SkipWithError("not every selected row was added");
            break;
        }
        recipients->selectAll();
        window->RemoveRecipients();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_RemoveRecipients(benchmark::State &state)
{
    const bool scattered = state.range(0) == 1;
    std::unique_ptr<Frm_Gonder> window = Fixture::get().open();
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
        if (window->recipients().size() != BenchContactCount() - kSelected) {
            state.SkipWithError("not every selected row was removed");
            break;
        }
        recipients->selectAll();
        window->RemoveRecipients();
        state.ResumeTiming();
    }
}

// 10,000 numbers pasted into "Numara Ekle", one per line in mixed written
// forms, added beside 10,000 chosen contacts.
void BM_AddPastedNumbers(benchmark::State &state)
{
    std::unique_ptr<Frm_Gonder> window = Fixture::get().open();
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
        if (window->recipients().size() != 2 * kSelected) {
            state.SkipWithError("not every pasted number was added");
            break;
        }
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
// One character typed into the message: with fields while 10,000 contacts
// are recipients (range 0), or plain text while every contact is (range 1).
// The window plans the send again (every recipient's text, the parts range,
// the cost) before the keystroke is over.
void BM_TypeInMessage(benchmark::State &state)
{
    const bool everyContact = state.range(0) == 1;
    const QString start = everyContact ? u"Yeni sezon magazamizda basladi. "_s
                                       : u"Sayin {AdSoyad}, {Il} {Ilce} magazamizda yeni sezon basladi. "_s;
    std::unique_ptr<Frm_Gonder> window = Fixture::get().open();
    auto *groupList = child<QTreeView>(window.get(), u"ListView2"_s);
    auto *box = child<MessageEdit>(window.get(), u"Text2"_s);
    if (everyContact)
        groupList->selectAll();
    else
        selectRows(groupList, true);
    window->AddRecipients();
    box->setPlainText(start);
    box->moveCursor(QTextCursor::End);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        box->insertPlainText(u"x"_s);
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (box->message().size() > 150)
            box->setPlainText(start);
        box->moveCursor(QTextCursor::End);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    if (window->recipients().size() != (everyContact ? BenchContactCount() : kSelected))
        state.SkipWithError("not every selected row was added");
}

// After the phone book was fetched again (a change in another window): the
// payload loaded into the snapshot, the window's opt-out list, tree and
// candidate list rebuilt from it.
void BM_RebuildAfterReload(benchmark::State &state)
{
    std::unique_ptr<Frm_Gonder> window = Fixture::get().open();
    for (auto _ : state) {
        AccountSnapshot snapshot;
        LoadAccountSnapshot(snapshot, Fixture::get().payload);
        Fixture::get().session.setSnapshot(std::move(snapshot));
        window->FillGroupTree();
        window->ShowGroupContacts();
        QCoreApplication::processEvents();
    }
}

BENCHMARK(BM_AddRecipients)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RemoveRecipients)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AddPastedNumbers)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RebuildAfterReload)->MinTime(2.0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TypeInMessage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return RunWindowBenchmarks<Frm_Gonder>(argc, argv, u"text1"_s, u"ListView2"_s);
}
