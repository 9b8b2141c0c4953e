#include <gtest/gtest.h>
#include <netdb.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>

#include "resolver/ReverseLookup.h"
#include "resolver/WorkerSlots.h"

namespace ip2h {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A lookup held at a gate until its address, or "*" for all, is opened. 192.0.2.13 throws,
// which the worker must answer with the address (a failure).
struct GatedLookup {
    std::string Resolve(const std::string& address) {
        std::unique_lock lock(mutex);
        mostInFlight = std::max(mostInFlight.load(), ++inFlight);
        changed.wait(lock, [&] { return open.contains("*") || open.contains(address); });
        --inFlight;
        if (address == "192.0.2.13") throw std::runtime_error("no answer");
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

class WorkerSlotsTest : public testing::Test {
protected:
    // The lookup is shared with the workers, so it outlives them; they all finish.
    ~WorkerSlotsTest() override { m_lookup->Open("*"); }
    std::shared_ptr<ResolutionEngine> MakeEngine(ResolutionEngine::ThreadStarter start = {}) {
        return ResolutionEngine::Create(
            [lookup = m_lookup](const std::string& address) { return lookup->Resolve(address); },
            std::move(start));
    }
    static std::string Address(int n) {
        return "10.0." + std::to_string(n / 256) + "." + std::to_string(n % 256);
    }
    static std::string Pending(const std::string& address) { return "(" + address + ")"; }
    std::string Request(const std::string& address) { return m_engine->RequestHostName(address); }
    bool WaitForState(int slot, SlotState state) {
        return WaitUntil([&] { return m_engine->State(slot) == state; });
    }

    std::shared_ptr<GatedLookup> m_lookup = std::make_shared<GatedLookup>();
    std::shared_ptr<ResolutionEngine> m_engine = MakeEngine();
};

// Refreshes walk the rows from the last up, as the list refresh does; none waits for a lookup.
TEST_F(WorkerSlotsTest, RefreshesFillTheLowestIdleSlotsAndNeverHandOutARunningAddress) {
    EXPECT_EQ(Request("0xA.0.0.1"), Pending("0xA.0.0.1"));
    ASSERT_TRUE(WaitForState(0, SlotState::Running));
    EXPECT_EQ(Request("0Xa.0.0.1"), Pending("0Xa.0.0.1"));
    EXPECT_EQ(m_engine->State(1), SlotState::Idle) << "running already, whatever its letter case";

    constexpr int Rows = 400;
    std::vector<std::string> answers(Rows);
    const auto refresh = [&] {
        int pending = 0;
        for (int row = Rows - 1; row >= 0; --row) {
            answers[row] = Request(Address(row));
            pending += answers[row].starts_with("(") ? 1 : 0;
        }
        return pending;
    };
    EXPECT_EQ(refresh(), Rows);
    ASSERT_TRUE(WaitUntil([&] { return m_lookup->inFlight == WorkerSlotCount; }));
    EXPECT_EQ(refresh(), Rows);
    for (int slot = 1; slot < WorkerSlotCount; ++slot) {
        EXPECT_EQ(m_engine->SlotAddress(slot), Address(Rows - slot));
    }
    // A freed slot takes the next row that is neither answered nor running.
    m_lookup->Open(Address(Rows - 2));
    ASSERT_TRUE(WaitForState(2, SlotState::Idle));
    EXPECT_EQ(refresh(), Rows - 1);
    EXPECT_EQ(answers[Rows - 2], "name-of-" + Address(Rows - 2));
    EXPECT_EQ(m_engine->SlotAddress(2), Address(Rows - WorkerSlotCount));

    m_lookup->Open("*");
    ASSERT_TRUE(WaitUntil([&] { return refresh() == 0; }, 60s));
    for (int row = 0; row < Rows; ++row) EXPECT_EQ(answers[row], "name-of-" + Address(row));
    EXPECT_EQ(m_lookup->mostInFlight, WorkerSlotCount);
}

TEST_F(WorkerSlotsTest, AnswersAreStoredBeforeTheSlotRestsAndStayUntilEmptied) {
    m_lookup->Open("*");
    const auto resolve = [&](const std::string& address) {
        const auto start = Clock::now();
        EXPECT_EQ(Request(address), Pending(address));
        EXPECT_TRUE(WaitForState(0, SlotState::Idle));
        EXPECT_TRUE(m_engine->Cache().Find(address).has_value()) << "stored before the rest";
        EXPECT_GE(Clock::now() - start, 10ms) << "the slot rests 10 ms";
        return Request(address);
    };
    EXPECT_EQ(resolve("192.0.2.1"), "name-of-192.0.2.1");
    EXPECT_EQ(resolve("192.0.2.13"), "192.0.2.13");
    EXPECT_EQ(Request("192.0.2.13"), "192.0.2.13") << "a failure is kept too";
    m_engine->ClearNameCache();
    EXPECT_EQ(resolve("192.0.2.1"), "name-of-192.0.2.1");
}

TEST_F(WorkerSlotsTest, AThreadThatCannotStartGivesItsSlotBack) {
    int failures = 2;
    m_engine = MakeEngine([&](std::function<void()> work) {
        if (failures-- > 0) return false;
        std::thread(std::move(work)).detach();
        return true;
    });
    m_lookup->Open("*");
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(Request("192.0.2.9"), Pending("192.0.2.9"));
        EXPECT_TRUE(m_engine->State(0) == SlotState::Idle && m_engine->SlotAddress(0).empty());
    }
    EXPECT_EQ(Request("192.0.2.9"), Pending("192.0.2.9"));
    ASSERT_TRUE(WaitForState(0, SlotState::Idle));
    EXPECT_EQ(Request("192.0.2.9"), "name-of-192.0.2.9");
}

TEST_F(WorkerSlotsTest, TeardownDropsLateAnswersAndWorkersKeepTheEngineAlive) {
    Request("192.0.2.1");
    Request("192.0.2.2");
    ASSERT_TRUE(WaitUntil([&] { return m_lookup->inFlight == 2; }));
    m_engine->Teardown();
    EXPECT_EQ(Request("192.0.2.3"), Pending("192.0.2.3"));
    EXPECT_EQ(m_engine->State(2), SlotState::Idle);
    m_lookup->Open("192.0.2.1");
    ASSERT_TRUE(WaitForState(0, SlotState::Idle));
    EXPECT_EQ(m_engine->Cache().Size(), 0u);

    // The program lets go of the engine while a lookup is still under way.
    std::weak_ptr<ResolutionEngine> watched = std::exchange(m_engine, nullptr);
    EXPECT_FALSE(watched.expired());
    m_lookup->Open("*");
    EXPECT_TRUE(WaitUntil([&] { return watched.expired(); }));
}

TEST(WorkerSlotsDeathTest, TheProcessExitsNormallyWhileLookupsAreUnderWay) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto exitWithLookupsUnderWay = [] {
        // A name service that never answers in time.
        SetResolverEntry([](const sockaddr*, socklen_t, char*, socklen_t, char*, socklen_t, int) {
            std::this_thread::sleep_for(10s);
            return EAI_AGAIN;
        });
        // Never released, like the program's: the process ends with its workers still inside.
        auto& engine = **new std::shared_ptr<ResolutionEngine>(ResolutionEngine::Create());
        for (int n = 0; n < WorkerSlotCount; ++n)
            engine.RequestHostName("10.0.0." + std::to_string(n));
        WaitUntil([&] { return engine.AnyWorkerRunning(); });
        std::exit(engine.AnyWorkerRunning() ? 0 : 1);
    };
    EXPECT_EXIT(exitWithLookupsUnderWay(), testing::ExitedWithCode(0), "");
}

TEST(NameCache, IsEmptiedBeforeAnInsertionOnceItHoldsTheLimitAndRefusesAllOnceClosed) {
    NameCache cache;
    for (std::size_t n = 0; n < NameCacheLimit - 1; ++n) cache.Insert(std::to_string(n), "x");
    cache.Insert("192.0.2.1", "new.example");
    EXPECT_EQ(cache.Size(), NameCacheLimit);
    cache.Insert("7", "again.example");  // replacing a present key empties it too
    EXPECT_EQ(cache.Size(), 1u);
    EXPECT_EQ(cache.Find("7"), "again.example");
    cache.Close();
    EXPECT_FALSE(cache.Insert("192.0.2.2", "late.example"));
    EXPECT_EQ(cache.Size(), 0u);
}

}  // namespace
}  // namespace ip2h
