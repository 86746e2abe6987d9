// Benchmarks of the delivery report window with 100,000 report rows listed,
// on the offscreen platform with the window shown.
//
// Aim: a keystroke in the search box or a state chosen narrows the list and
// the counts line under 30 ms, with the list or the chart on show (the chart
// follows a moment after the typing pauses). Drawing the chart, as when its
// tab comes forward, is measured beside them.

#include "largereport.h"
#include "windowbench.h"

#include "model/reportfilter.h"
#include "ui/reports/frm_sms_liste.h"

#include <QComboBox>
#include <QTabWidget>

using namespace velmor;
using namespace velmor::bench;
using namespace Qt::StringLiterals;

namespace {

using Fixture = WindowFixture<Frm_Sms_Liste>;

// The window with the report listed, as after a query over March 2024; the
// chart's tab on show when asked for.
std::unique_ptr<Frm_Sms_Liste> openWithReport(bool chart)
{
    static const QString report = makeReportSection(Fixture::get().session.snapshot().contacts);
    std::unique_ptr<Frm_Sms_Liste> window = Fixture::get().open();
    window->showReport(report, u"20240301"_s, u"20240331"_s);
    if (chart)
        child<QTabWidget>(window.get(), u"tabRapor"_s)->setCurrentIndex(1);
    QCoreApplication::processEvents();
    return window;
}

// One more character in the search box, from "Ay" to "Ayş" (range 0: the
// list on show, 1: the chart on show).
void BM_SearchKeystroke(benchmark::State &state)
{
    std::unique_ptr<Frm_Sms_Liste> window = openWithReport(state.range(0) == 1);
    auto *search = child<QLineEdit>(window.get(), u"txtAra"_s);
    for (auto _ : state) {
        state.PauseTiming();
        search->setText(u"Ay"_s);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        search->setText(u"Ayş"_s);
        QCoreApplication::processEvents();
    }
    state.SetLabel(std::to_string(window->shownModel()->rowCount()) + " rows shown");
}
BENCHMARK(BM_SearchKeystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// A state chosen after "Tüm Durumlar" (range as above).
void BM_StateChosen(benchmark::State &state)
{
    std::unique_ptr<Frm_Sms_Liste> window = openWithReport(state.range(0) == 1);
    auto *states = child<QComboBox>(window.get(), u"cmbDurum"_s);
    const int undelivered = states->findText(u"İletilemedi"_s);
    for (auto _ : state) {
        state.PauseTiming();
        states->setCurrentIndex(0);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        states->setCurrentIndex(undelivered);
        QCoreApplication::processEvents();
    }
    state.SetLabel(std::to_string(window->shownModel()->rowCount()) + " rows shown");
}
BENCHMARK(BM_StateChosen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The "Grafik" tab brought forward, both charts drawn anew: over the whole
// report (range 0) or over the rows of one state (range 1).
void BM_ChartShown(benchmark::State &state)
{
    std::unique_ptr<Frm_Sms_Liste> window = openWithReport(false);
    auto *tabs = child<QTabWidget>(window.get(), u"tabRapor"_s);
    auto *states = child<QComboBox>(window.get(), u"cmbDurum"_s);
    const int chosen = state.range(0) == 1 ? states->findText(u"İletilemedi"_s) : 0;
    for (auto _ : state) {
        state.PauseTiming();
        tabs->setCurrentIndex(0);
        // The rows change while the chart is away, as a filter changes them.
        states->setCurrentIndex(chosen == 0 ? 1 : 0);
        states->setCurrentIndex(chosen);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        tabs->setCurrentIndex(1);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ChartShown)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    const std::unique_ptr<QApplication> app = StartWidgetBenchmarks(argc, argv);
    if (!app)
        return 1;
    Fixture::get();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
