#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "resolver/NameCache.h"
#include "resolver/ResolutionEngine.h"

namespace ip2h {
namespace {

constexpr int TableRows = 9999;

std::vector<std::string> RowAddresses() {
    std::vector<std::string> rows;
    rows.reserve(TableRows);
    for (int n = 0; n < TableRows; ++n) {
        rows.push_back("192.168." + std::to_string(n / 256) + "." + std::to_string(n % 256));
    }
    return rows;
}

// One list refresh of a full table whose rows are all answered: every row is asked for once.
// Target: under 2 ms per refresh.
void BM_RequestHostNameCachedRows(benchmark::State& state) {
    auto engine =
        ResolutionEngine::Create([](const std::string& address, LookupOptions) { return address; });
    const auto rows = RowAddresses();
    for (const auto& row : rows) {
        engine->Cache().Insert(row, "host-" + row + ".example.com");
    }
    for (auto _ : state) {
        for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
            benchmark::DoNotOptimize(engine->RequestHostName(*row));
        }
    }
    state.SetItemsProcessed(state.iterations() * TableRows);
    state.SetLabel("9999 rows per iteration, target < 2 ms");
}
BENCHMARK(BM_RequestHostNameCachedRows)->Unit(benchmark::kMillisecond);

// The costliest refresh: no row is answered and all 96 slots are busy, so every request
// misses the cache and compares against every running slot.
void BM_RequestHostNameAllSlotsBusy(benchmark::State& state) {
    struct Gate {
        std::mutex mutex;
        std::condition_variable opened;
        bool open = false;
    };
    auto gate = std::make_shared<Gate>();
    auto engine = ResolutionEngine::Create([gate](const std::string& address, LookupOptions) {
        std::unique_lock lock(gate->mutex);
        gate->opened.wait(lock, [&] { return gate->open; });
        return address;
    });
    const auto rows = RowAddresses();
    for (const auto& row : rows) {
        engine->RequestHostName(row);
    }
    while (engine->State(WorkerSlotCount - 1) != SlotState::Running) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    for (auto _ : state) {
        for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
            benchmark::DoNotOptimize(engine->RequestHostName(*row));
        }
    }
    state.SetItemsProcessed(state.iterations() * TableRows);
    {
        std::lock_guard lock(gate->mutex);
        gate->open = true;
    }
    gate->opened.notify_all();
    while (engine->AnyWorkerRunning()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}
BENCHMARK(BM_RequestHostNameAllSlotsBusy)->Unit(benchmark::kMillisecond);

// The user-interface thread's look-ups of a full table while 96 workers keep inserting (each
// about once a millisecond, far faster than real lookups answer).
void BM_CacheLookupsUnder96Writers(benchmark::State& state) {
    NameCache cache;
    const auto rows = RowAddresses();
    std::atomic<bool> stop{false};
    std::vector<std::thread> writers;
    for (int w = 0; w < WorkerSlotCount; ++w) {
        writers.emplace_back([&, w] {
            for (int n = w; !stop.load(std::memory_order_relaxed);
                 n = (n + WorkerSlotCount) % TableRows) {
                cache.Insert(rows[n], "host.example.com");
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    }
    LookupAnswer answer("");
    for (auto _ : state) {
        for (const auto& row : rows) {
            benchmark::DoNotOptimize(cache.CopyInto(row, answer));
        }
    }
    stop = true;
    for (auto& writer : writers) {
        writer.join();
    }
    state.SetItemsProcessed(state.iterations() * TableRows);
}
BENCHMARK(BM_CacheLookupsUnder96Writers)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace ip2h
