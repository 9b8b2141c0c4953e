#include <benchmark/benchmark.h>

#include "address/AddressText.h"
#include "results/RangeRows.h"
#include "results/ResultTable.h"

namespace ip2h {
namespace {

// A registration of the largest size: the table is emptied, then MaxLimit rows are written.
void BM_FillRange(benchmark::State& state) {
    const auto table = ResultTable::Create();
    const int maxLimit = static_cast<int>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(FillRange(*table, "10.0.0.0", "10.255.255.255", 1, maxLimit));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * maxLimit);
}
BENCHMARK(BM_FillRange)->Arg(1024)->Unit(benchmark::kMillisecond);

// The walk alone, without the zeroing of the whole table that FillRange starts with.
void BM_AppendRange(benchmark::State& state) {
    const auto table = ResultTable::Create();
    const int maxLimit = static_cast<int>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(AppendRange(*table, "10.0.0.0", "10.255.255.255", 1, 0, maxLimit));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * maxLimit);
}
BENCHMARK(BM_AppendRange)->Arg(1024)->Unit(benchmark::kMicrosecond);

void BM_IsDottedQuad(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(IsDottedQuad("192.168.010.254"));
    }
}
BENCHMARK(BM_IsDottedQuad);

}  // namespace
}  // namespace ip2h
