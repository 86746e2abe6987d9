// Benchmarks of the delivery report with a large account: 100,000 report rows
// against the 100,000 contacts of the large account.
//
// Aims: one query's work after the reply (reading the rows, looking up the
// names, filling the table model) under 300 ms; narrowing the rows by a search
// text or a state (the rows let through, their counts and their sends per
// day) under 30 ms. Sorting the filled table by a click on a header and the
// counts line are measured beside them.

#include "largereport.h"
#include "model/deliveryreportmodel.h"
#include "model/reportfilter.h"
#include "model/reportperiod.h"
#include "model/snapshot.h"

#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QString>
#include <QStringList>

using namespace velmor;
using namespace velmor::bench;
using namespace Qt::StringLiterals;

namespace {

const AccountSnapshot &snapshot()
{
    static const AccountSnapshot s = [] {
        AccountSnapshot loaded;
        LoadAccountSnapshot(loaded, makeAccountPayload());
        return loaded;
    }();
    return s;
}

const QString &reportSection()
{
    static const QString report = makeReportSection(snapshot().contacts);
    return report;
}

void BM_ReportQuery(benchmark::State &state)
{
    const AccountSnapshot &s = snapshot();
    const QString &report = reportSection();
    DeliveryReportModel model;
    for (auto _ : state) {
        model.setRows(ParseDeliveryReport(report, s.contacts));
        benchmark::DoNotOptimize(model.rowCount());
    }
    qsizetype named = 0;
    for (const DeliveryReportRow &row : model.rows())
        named += row.name.isEmpty() ? 0 : 1;
    state.counters["rows"] = double(model.rowCount());
    state.counters["named"] = double(named);
}
BENCHMARK(BM_ReportQuery)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReportSort(benchmark::State &state)
{
    const int column = int(state.range(0));
    DeliveryReportModel model;
    model.setRows(ParseDeliveryReport(reportSection(), snapshot().contacts));
    Qt::SortOrder order = Qt::AscendingOrder;
    for (auto _ : state) {
        model.sort(column, order);
        order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    }
    state.SetLabel(DeliveryReportModel::caption(column).toStdString());
}
BENCHMARK(BM_ReportSort)
    ->Arg(DeliveryReportModel::Name)
    ->Arg(DeliveryReportModel::Phone)
    ->Arg(DeliveryReportModel::Sent)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_ReportCounts(benchmark::State &state)
{
    const QList<DeliveryReportRow> rows = ParseDeliveryReport(reportSection(), snapshot().contacts);
    for (auto _ : state)
        benchmark::DoNotOptimize(StateCountLine(CountByState(rows)));
}
BENCHMARK(BM_ReportCounts)->Unit(benchmark::kMillisecond)->UseRealTime();

// The filtered model narrowed (range 0: search "Ayş", 1: search "*kampanya*"
// with a wildcard, 2: the state "İletilemedi"), then what the window shows
// of the rows let through: their count, their counts by state and their
// sends over the range.
void BM_ReportNarrow(benchmark::State &state)
{
    DeliveryReportModel model;
    model.setRows(ParseDeliveryReport(reportSection(), snapshot().contacts));
    DeliveryReportFilterModel shown(&model);
    ReportRowFilter narrow;
    switch (state.range(0)) {
    case 0:
        narrow = ReportRowFilter(std::nullopt, u"Ayş"_s);
        break;
    case 1:
        narrow = ReportRowFilter(std::nullopt, u"*kampanya*"_s);
        break;
    default:
        narrow = ReportRowFilter(u"İletilemedi"_s, QString());
        break;
    }
    int listed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        shown.setFilter({});
        benchmark::DoNotOptimize(shown.rowCount());
        state.ResumeTiming();
        shown.setFilter(narrow);
        listed = shown.rowCount();
        const QList<DeliveryReportRow> rows = shown.listedRows();
        benchmark::DoNotOptimize(StateCountLine(CountByState(rows)));
        benchmark::DoNotOptimize(CountSendsOverTime(rows, u"20240301"_s, u"20240331"_s));
    }
    state.counters["listed"] = double(listed);
}
BENCHMARK(BM_ReportNarrow)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // Build the inputs before any timing starts.
    reportSection();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
