#include <benchmark/benchmark.h>

#include "results/ProgressTimer.h"
#include "results/ResultTable.h"

namespace ip2h {
namespace {

// One 100 ms tick during a run of 9,999 rows that is not due for a refresh: the rows are
// counted and the three status texts formatted and compared.
void BM_TimerTick(benchmark::State& state) {
    auto table = ResultTable::Create();
    for (int i = 0; i < MaxRows; ++i) {
        table->WriteNewRow(i, "10.0.0.1");
        table->Rows[i].Answer.Status = i % 3 == 0 ? RowStatus::Pending : RowStatus::Success;
    }
    table->RowCount = MaxRows;
    ProgressTimer timer;
    std::uint32_t now = 0;
    for (auto _ : state) {
        // Every tick moves the clock, so the time text changes as it does during a run.
        benchmark::DoNotOptimize(timer.OnTick(now += 100, *table, true, false));
    }
}
BENCHMARK(BM_TimerTick)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace ip2h
