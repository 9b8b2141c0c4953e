#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "resolver/ResolutionEngine.h"

namespace ip2h {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A lookup held at a gate until its address, or "*" for all, is opened.
struct GatedLookup {
    std::string Resolve(const std::string& address) {
        std::unique_lock lock(mutex);
        mostInFlight = std::max(mostInFlight.load(), ++inFlight);
        changed.wait(lock, [&] { return open.contains("*") || open.contains(address); });
        --inFlight;
        return "name-of-" + address;
    }
    void Open(const std::string& address) {
        std::lock_guard lock(mutex);
        open.insert(address);
        changed.notify_all();
    }
    std::mutex mutex;
    std::condition_variable changed;
    std::set<std::string> open;
    std::atomic<int> inFlight{0}, mostInFlight{0};
};

bool WaitUntil(const std::function<bool()>& done, Clock::duration timeout = 20s) {
    for (const auto deadline = Clock::now() + timeout; !done(); std::this_thread::sleep_for(1ms)) {
        if (Clock::now() > deadline) return false;
    }
    return true;
}

// Refreshes walk the rows from the last up, as the list refresh does; none waits for a lookup.
TEST(WorkerSlotsTest, RefreshesFillTheLowestIdleSlotsAndNeverHandOutARunningAddress) {
    // Shared with the workers, so it outlives them; opened for all at the end, they all finish.
    const auto lookup = std::make_shared<GatedLookup>();
    const std::unique_ptr<GatedLookup, void (*)(GatedLookup*)> openAtEnd(
        lookup.get(), [](GatedLookup* gate) { gate->Open("*"); });
    const auto engine = ResolutionEngine::Create(
        [lookup](const std::string& address, LookupOptions) { return lookup->Resolve(address); });
    const auto address = [](int n) {
        return "10.0." + std::to_string(n / 256) + "." + std::to_string(n % 256);
    };
    const auto idle = [&](int slot) {
        return WaitUntil([&] { return engine->State(slot) == SlotState::Idle; });
    };
    EXPECT_FALSE(engine->RequestHostName("0xA.0.0.1")) << "pending";
    ASSERT_TRUE(WaitUntil([&] { return engine->State(0) == SlotState::Running; }));
    EXPECT_FALSE(engine->RequestHostName("0Xa.0.0.1")) << "pending";
    EXPECT_TRUE(idle(1)) << "running already, whatever its letter case";

    constexpr int Rows = 400;
    std::vector<std::string> answers(Rows);
    const auto refresh = [&] {
        int pending = 0;
        for (int row = Rows - 1; row >= 0; --row) {
            const auto answer = engine->RequestHostName(address(row));
            answers[row] = answer ? answer->Text : "(" + address(row) + ")";
            pending += answer ? 0 : 1;
        }
        return pending;
    };
    EXPECT_EQ(refresh(), Rows);
    ASSERT_TRUE(WaitUntil([&] { return lookup->inFlight == WorkerSlotCount; }));
    EXPECT_EQ(refresh(), Rows);
    for (int slot = 1; slot < WorkerSlotCount; ++slot) {
        EXPECT_EQ(engine->SlotAddress(slot), address(Rows - slot));
    }
    // A freed slot takes the next row that is neither answered nor running.
    lookup->Open(address(Rows - 2));
    ASSERT_TRUE(idle(2));
    EXPECT_EQ(refresh(), Rows - 1);
    EXPECT_EQ(answers[Rows - 2], "name-of-" + address(Rows - 2));
    EXPECT_EQ(engine->SlotAddress(2), address(Rows - WorkerSlotCount));

    lookup->Open("*");
    ASSERT_TRUE(WaitUntil([&] { return refresh() == 0; }, 60s));
    for (int row = 0; row < Rows; ++row) EXPECT_EQ(answers[row], "name-of-" + address(row));
    EXPECT_EQ(lookup->mostInFlight, WorkerSlotCount);
}

TEST(NameCache, IsEmptiedBeforeAnInsertionOnceItHoldsTheLimitAndRefusesAllOnceClosed) {
    NameCache cache;
    for (std::size_t n = 0; n < NameCacheLimit - 1; ++n) cache.Insert(std::to_string(n), "x");
    cache.Insert("192.0.2.1", "new.example");
    EXPECT_EQ(cache.Size(), NameCacheLimit);
    cache.Insert("7", "again.example");  // replacing a present key empties it too
    EXPECT_EQ(cache.Size(), 1u);
    LookupAnswer answer("");
    ASSERT_TRUE(cache.CopyInto("7", answer));
    EXPECT_EQ(answer.Text, "again.example");
    cache.Close();
    EXPECT_FALSE(cache.Insert("192.0.2.2", "late.example"));
    EXPECT_EQ(cache.Size(), 0u);
}

}  // namespace
}  // namespace ip2h
