#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "address/AddressText.h"
#include "resolver/ResolutionEngine.h"
#include "results/ListRefresh.h"
#include "results/ProgressTimer.h"
#include "results/RangeRows.h"
#include "results/ResultTable.h"
#include "results/RowCommands.h"
#include "results/Sorting.h"

namespace ip2h {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kTick = std::chrono::milliseconds(ProgressTimer::kIntervalMs);
constexpr auto kSlotRest = 10ms;

// The shortest time the pacing allows for a run of `rows` rows whose lookups take
// `latency`: refreshes every `divisor` ticks, each handing out at most 96 addresses to slots
// that are free again `latency` + 10 ms after they were handed out; an answer shows at the
// first refresh after it arrived, and the run is over at the tick after that refresh.
double IdealSeconds(int rows, std::chrono::milliseconds latency) {
    const auto interval = kTick * ProgressTimer::RefreshDivisor(rows);
    const long long batches = (rows + WorkerSlotCount - 1) / WorkerSlotCount;
    const long long refreshesPerBatch = (latency + kSlotRest + interval - 1ms) / interval;
    const long long refreshesToShow = std::max<long long>(1, (latency + interval - 1ms) / interval);
    const long long lastRefresh = 1 + (batches - 1) * refreshesPerBatch + refreshesToShow;
    return std::chrono::duration<double>(interval * lastRefresh + kTick).count();
}

std::string PastedAddresses(int rows) {
    std::string text;
    for (int i = 0; i < rows; ++i) {
        text += "10." + std::to_string(i / 65536) + "." + std::to_string(i / 256 % 256) + "." +
                std::to_string(i % 256) + "\r\n";
    }
    return text;
}

// One run from the registration (or paste) to the first tick without a pending row, with the
// window's pacing: a tick every 100 ms of real time, a list refresh whenever the progress
// timer asks for one. The engine, the timer and the refresh are the program's own; only the
// name service is replaced by one that answers after a fixed latency.
void RunAtTheTimersPace(benchmark::State& state, bool pasted) {
    const auto latency = std::chrono::milliseconds(state.range(0));
    const int rows = pasted ? MaxRows : 256;
    const std::string clipboard = PastedAddresses(rows);
    auto table = ResultTable::Create();
    const SortState sort;
    int refreshes = 0;
    for (auto _ : state) {
        auto engine =
            ResolutionEngine::Create([latency](const std::string& address, LookupOptions) {
                std::this_thread::sleep_for(latency);
                return "host-" + address + ".example.com";
            });
        const HostNameRequest request = [&engine](std::string_view address, LookupAnswer& answer) {
            return engine->Request(address, answer) == RequestOutcome::Cached;
        };
        ProgressTimer timer;
        auto next = Clock::now();
        timer.OnTick(MillisecondClock(), *table, true, false);  // the tick before the command
        if (pasted) {
            table->ResetRows();
            PasteRows(*table, clipboard, 1, 1024);
        } else {
            FillRange(*table, "10.0.0.0", "10.0.0.255", 1, 1024);
        }
        for (;;) {
            std::this_thread::sleep_until(next += kTick);
            if (timer.OnTick(MillisecondClock(), *table, true, false).Refresh) {
                RefreshRows(*table, sort, request, engine->Cache().Version(), true);
                ++refreshes;
            } else if (ProgressTimer::CountRows(*table).Pending == 0) {
                break;  // the first tick without a pending row ends the run
            }
        }
        state.PauseTiming();
        while (engine->AnyWorkerRunning()) std::this_thread::sleep_for(1ms);
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
    state.counters["latency_ms"] = static_cast<double>(latency.count());
    state.counters["ideal_s"] = IdealSeconds(rows, latency);
    state.counters["refresh_interval_s"] =
        std::chrono::duration<double>(kTick * ProgressTimer::RefreshDivisor(rows)).count();
    state.counters["refreshes"] = benchmark::Counter(refreshes, benchmark::Counter::kAvgIterations);
}

void BM_RegisteredBlockToTheEnd(benchmark::State& state) {
    RunAtTheTimersPace(state, false);
}
BENCHMARK(BM_RegisteredBlockToTheEnd)
    ->Arg(0)
    ->Arg(200)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

// Three and a half minutes per run: the table's size slows the refresh to one every 2 s.
void BM_PastedFullTableToTheEnd(benchmark::State& state) {
    RunAtTheTimersPace(state, true);
}
BENCHMARK(BM_PastedFullTableToTheEnd)
    ->Arg(0)
    ->Arg(200)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

}  // namespace
}  // namespace ip2h
