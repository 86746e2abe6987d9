// What a loaded account costs in memory: the resident memory the process
// gains for a snapshot of 100,000 and of 1,000,000 contacts, set against the
// size of the decoded reply it came from (its UTF-8 bytes, as the service
// sends them before coding).
//
// Aim: at most three times the decoded reply.

#include "largeaccount.h"
#include "model/snapshot.h"
#include "service/coding.h"

#include <benchmark/benchmark.h>

#include <QString>

#include <cstdio>
#include <malloc.h>
#include <unistd.h>

using namespace velmor;
using namespace velmor::bench;

namespace {

// Resident memory of the process in bytes, with freed memory given back to
// the system first so that it does not count.
double residentBytes()
{
    malloc_trim(0);
    long pages = 0;
    long resident = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE));
}

void BM_SnapshotMemory(benchmark::State &state)
{
    const int contacts = int(state.range(0));
    double ratio = 0;
    double heldMegabytes = 0;
    double decodedMegabytes = 0;
    for (auto _ : state) {
        AccountSnapshot snapshot;
        const double before = residentBytes();
        {
            // The reply as the client decodes it, so that the snapshot holds
            // what a real one would.
            const QByteArray coded = codeAsService(makeAccountPayload(contacts), 57);
            decodedMegabytes = double(coded.size() - 3) / 3 / 1e6;
            const QString payload = DecodeDigits(coded);
            if (!LoadAccountSnapshot(snapshot, payload))
                state.SkipWithError("payload not loaded");
        }
        const double after = residentBytes();
        heldMegabytes = (after - before) / 1e6;
        ratio = heldMegabytes / decodedMegabytes;
        benchmark::DoNotOptimize(&snapshot);
    }
    state.counters["decoded_MB"] = decodedMegabytes;
    state.counters["held_MB"] = heldMegabytes;
    state.counters["held_per_decoded"] = ratio;
    std::printf("  %d contacts: decoded reply %.1f MB, held %.1f MB = %.2f x (aim: <= 3) %s\n", contacts,
                decodedMegabytes, heldMegabytes, ratio, ratio <= 3.0 ? "met" : "MISSED");
}
BENCHMARK(BM_SnapshotMemory)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
