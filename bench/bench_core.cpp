// Benchmarks of the client core: decoding a whole account reply against a
// plain copy of the same bytes, coding a long message, loading the account
// snapshot and one pass of the contact search.
//
// Aims: decoding at no less than 0.35 of memcpy's byte rate, loading
// 100,000 contacts under 80 ms, one search pass over them under 15 ms. The
// summary at the end prints the measured figures against these aims.

#include "largeaccount.h"
#include "model/snapshot.h"
#include "service/coding.h"
#include "text/turkish.h"

#include <benchmark/benchmark.h>

#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

using namespace velmor;
using namespace velmor::bench;
using namespace Qt::StringLiterals;

namespace {

const QString &accountPayload()
{
    static const QString payload = makeAccountPayload();
    return payload;
}

const QByteArray &codedAccountPayload()
{
    static const QByteArray digits = codeAsService(accountPayload(), 57);
    return digits;
}

const AccountSnapshot &loadedSnapshot()
{
    static const AccountSnapshot snapshot = [] {
        AccountSnapshot s;
        LoadAccountSnapshot(s, accountPayload());
        return s;
    }();
    return snapshot;
}

void BM_DecodeAccountPayload(benchmark::State &state)
{
    const QByteArray &digits = codedAccountPayload();
    for (auto _ : state) {
        QString decoded = DecodeDigits(digits);
        benchmark::DoNotOptimize(decoded.constData());
        if (decoded.isEmpty())
            state.SkipWithError("decoding failed");
    }
    state.SetBytesProcessed(state.iterations() * digits.size());
    state.counters["contacts"] = kContactCount;
}
BENCHMARK(BM_DecodeAccountPayload)->Unit(benchmark::kMillisecond);

void BM_MemcpyAccountPayload(benchmark::State &state)
{
    const QByteArray &digits = codedAccountPayload();
    std::vector<char> target(std::size_t(digits.size()));
    for (auto _ : state) {
        std::memcpy(target.data(), digits.constData(), target.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * digits.size());
}
BENCHMARK(BM_MemcpyAccountPayload)->Unit(benchmark::kMillisecond);

void BM_CodeMessage10kB(benchmark::State &state)
{
    const QString sentence = u"Sayın müşterimiz, kampanyamız ÇARŞAMBA günü başlıyor; ayrıntılar için 0850 123 45 67. "_s;
    QString message;
    while (message.size() < 10240)
        message += sentence;
    message.truncate(10240);
    for (auto _ : state) {
        QString coded = CodeText(message, u"0"_s);
        benchmark::DoNotOptimize(coded.constData());
    }
    state.SetBytesProcessed(state.iterations() * message.size());
}
BENCHMARK(BM_CodeMessage10kB)->Unit(benchmark::kMicrosecond);

void BM_LoadAccountSnapshot(benchmark::State &state)
{
    const QString &payload = accountPayload();
    AccountSnapshot snapshot;
    for (auto _ : state) {
        if (!LoadAccountSnapshot(snapshot, payload))
            state.SkipWithError("payload not loaded");
        benchmark::DoNotOptimize(&snapshot.contacts);
    }
    state.counters["contacts"] = double(snapshot.contacts.size());
    state.counters["groups"] = double(snapshot.groups.size());
}
BENCHMARK(BM_LoadAccountSnapshot)->Unit(benchmark::kMillisecond);

// One search pass as the recipient and phone book screens run it: fold the
// search text once, then test every contact.
void BM_ContactSearch(benchmark::State &state, const char16_t *searchText)
{
    const AccountSnapshot &snapshot = loadedSnapshot();
    const QString text = QString::fromUtf16(searchText);
    qsizetype hits = 0;
    for (auto _ : state) {
        const ContactSearch search(text);
        const QList<int> rows = FilterContacts(snapshot.contacts, search);
        hits = rows.size();
        benchmark::DoNotOptimize(rows.constData());
    }
    state.counters["contacts"] = double(snapshot.contacts.size());
    state.counters["hits"] = double(hits);
}
BENCHMARK_CAPTURE(BM_ContactSearch, plain, u"Yılmaz")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ContactSearch, wildcard, u"ş[a-k]*05#3?")->Unit(benchmark::kMillisecond);

// One more character typed: the rows the shorter text left searched again,
// as the phone book and the send window do while the user types.
void BM_ContactSearchNarrowing(benchmark::State &state)
{
    const AccountSnapshot &snapshot = loadedSnapshot();
    const QList<int> rows = FilterContacts(snapshot.contacts, ContactSearch(u"Ay"_s));
    qsizetype hits = 0;
    for (auto _ : state) {
        const QList<int> kept = FilterContacts(snapshot.contacts, rows, ContactSearch(u"Ayş"_s));
        hits = kept.size();
        benchmark::DoNotOptimize(kept.constData());
    }
    state.counters["rows"] = double(rows.size());
    state.counters["hits"] = double(hits);
}
BENCHMARK(BM_ContactSearchNarrowing)->Unit(benchmark::kMillisecond);

// Prints the usual table and keeps every figure, so the summary can set them
// against each other and against the aims.
class SummaryReporter : public benchmark::ConsoleReporter
{
public:
    using benchmark::ConsoleReporter::ConsoleReporter;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration)
                continue;
            Figures &f = m_figures[run.benchmark_name()];
            const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
            f.milliseconds = run.GetAdjustedRealTime() / unit * 1e3;
            f.cpuMilliseconds = run.GetAdjustedCPUTime() / unit * 1e3;
            const auto rate = run.counters.find("bytes_per_second");
            f.bytesPerSecond = rate == run.counters.end() ? 0.0 : double(rate->second);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintSummary() const
    {
        std::printf("\nSummary\n");
        const Figures *decode = find("BM_DecodeAccountPayload");
        const Figures *copy = find("BM_MemcpyAccountPayload");
        if (decode && copy && copy->bytesPerSecond > 0) {
            const double ratio = decode->bytesPerSecond / copy->bytesPerSecond;
            std::printf("  decoding / memcpy byte rate: %.1f MB/s / %.1f MB/s = %.3f (aim: >= 0.35) %s\n",
                        decode->bytesPerSecond / 1e6, copy->bytesPerSecond / 1e6, ratio,
                        ratio >= 0.35 ? "met" : "MISSED");
        }
        if (const Figures *load = find("BM_LoadAccountSnapshot"))
            aim("loading 100,000 contacts", *load, 80.0);
        if (const Figures *plain = find("BM_ContactSearch/plain"))
            aim("search pass, plain text", *plain, 15.0);
        if (const Figures *wildcard = find("BM_ContactSearch/wildcard"))
            aim("search pass, wildcard pattern", *wildcard, 15.0);
        std::fflush(stdout);
    }

private:
    struct Figures
    {
        double milliseconds = 0;
        double cpuMilliseconds = 0;
        double bytesPerSecond = 0;
    };

    const Figures *find(const std::string &name) const
    {
        const auto it = m_figures.find(name);
        return it == m_figures.end() ? nullptr : &it->second;
    }

    // Judged on elapsed time; the processor time beside it shows how much a
    // busy machine added.
    static void aim(const char *what, const Figures &f, double limit)
    {
        std::printf("  %s: %.2f ms (processor %.2f ms) (aim: < %.0f ms) %s\n", what, f.milliseconds,
                    f.cpuMilliseconds, limit, f.milliseconds < limit ? "met" : "MISSED");
    }

    std::map<std::string, Figures> m_figures;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // Build the shared inputs before any timing starts.
    codedAccountPayload();
    loadedSnapshot();
    SummaryReporter reporter(isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                   : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintSummary();
    benchmark::Shutdown();
    return 0;
}
