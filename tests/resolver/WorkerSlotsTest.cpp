#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include <netdb.h>

#include "resolver/ReverseLookup.h"
#include "resolver/WorkerSlots.h"

namespace ip2h {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A lookup held at a gate: an address is answered once its gate, or every gate, is open.
// Addresses ending in ".13" get an empty name, which is stored as a failure.
class GatedLookup {
public:
    static std::string NameOf(const std::string& address) {
        return address.ends_with(".13") ? address : "name-of-" + address;
    }
    void Open(const std::string& address) {
        std::lock_guard lock(m_mutex);
        m_open.insert(address);
        m_changed.notify_all();
    }
    void OpenAll() { Open("*"); }
    std::atomic<int> Calls{0};
    std::atomic<int> InFlight{0};
    std::atomic<int> MostInFlight{0};

    std::string Resolve(const std::string& address) {
        std::unique_lock lock(m_mutex);
        ++Calls;
        MostInFlight = std::max(MostInFlight.load(), ++InFlight);
        m_changed.wait(lock, [&] { return m_open.contains("*") || m_open.contains(address); });
        --InFlight;
        return address.ends_with(".13") ? "" : NameOf(address);
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::set<std::string> m_open;
};

template <typename Predicate>
bool WaitUntil(Predicate done, Clock::duration timeout = 20s) {
    for (const auto deadline = Clock::now() + timeout; !done(); std::this_thread::sleep_for(1ms)) {
        if (Clock::now() > deadline) {
            return false;
        }
    }
    return true;
}

bool AllIdle(const ResolutionEngine& engine) {
    for (int slot = 0; slot < WorkerSlotCount; ++slot) {
        if (engine.State(slot) != SlotState::Idle) {
            return false;
        }
    }
    return true;
}

std::string Address(int n) {
    return "10.0." + std::to_string(n / 256) + "." + std::to_string(n % 256);
}
std::string Pending(const std::string& address) {
    return "(" + address + ")";
}

// The lookup is shared with the workers, so it outlives every one of them; each test still
// ends with its workers gone.
class WorkerSlotsTest : public testing::Test {
protected:
    void TearDown() override {
        m_lookup->OpenAll();
        EXPECT_TRUE(WaitUntil([&] { return AllIdle(*m_engine); }));
    }
    std::shared_ptr<ResolutionEngine> MakeEngine(ResolutionEngine::ThreadStarter start = {}) {
        return ResolutionEngine::Create(
            [lookup = m_lookup](const std::string& address) { return lookup->Resolve(address); },
            std::move(start));
    }

    std::shared_ptr<GatedLookup> m_lookup = std::make_shared<GatedLookup>();
    std::shared_ptr<ResolutionEngine> m_engine = MakeEngine();
};

TEST_F(WorkerSlotsTest, DispatchTakesTheLowestIdleSlotAndSkipsAddressesBeingResolved) {
    for (int n = 0; n < 5; ++n) {
        EXPECT_EQ(m_engine->RequestHostName(Address(n)), Pending(Address(n)));
    }
    ASSERT_TRUE(WaitUntil([&] { return m_lookup->InFlight == 5; }));
    EXPECT_EQ(m_engine->RequestHostName(Address(5)), Pending(Address(5)));
    EXPECT_EQ(m_engine->SlotAddress(5), Address(5));

    m_lookup->Open(Address(2));
    ASSERT_TRUE(WaitUntil([&] { return m_engine->State(2) == SlotState::Idle; }));
    EXPECT_EQ(m_engine->RequestHostName(Address(2)), GatedLookup::NameOf(Address(2)));
    EXPECT_EQ(m_engine->RequestHostName(Address(6)), Pending(Address(6)));
    EXPECT_EQ(m_engine->SlotAddress(2), Address(6));

    // A running address is not handed out again, whatever its letter case.
    ASSERT_TRUE(WaitUntil([&] { return m_lookup->InFlight == 6; }));
    EXPECT_EQ(m_engine->RequestHostName("0xA.0.0.1"), Pending("0xA.0.0.1"));
    ASSERT_TRUE(WaitUntil([&] { return m_engine->State(6) == SlotState::Running; }));
    EXPECT_EQ(m_engine->RequestHostName("0Xa.0.0.1"), Pending("0Xa.0.0.1"));
    EXPECT_EQ(m_engine->State(7), SlotState::Idle);
    EXPECT_EQ(m_lookup->Calls, 8);
}

TEST_F(WorkerSlotsTest, RefreshesResolveEveryRowWithAtMost96LookupsInFlight) {
    constexpr int Rows = 400;
    std::vector<std::string> answers(Rows);
    auto refresh = [&] {
        int pending = 0;
        for (int row = Rows - 1; row >= 0; --row) {
            answers[row] = m_engine->RequestHostName(Address(row));
            pending += answers[row].starts_with("(") ? 1 : 0;
        }
        return pending;
    };

    // While every slot is busy, the rows nearest the end hold them and nothing else changes.
    const auto start = Clock::now();
    EXPECT_EQ(refresh(), Rows);
    ASSERT_TRUE(WaitUntil([&] { return m_lookup->InFlight == WorkerSlotCount; }));
    EXPECT_EQ(refresh(), Rows);
    EXPECT_LT(Clock::now() - start, 2s) << "a refresh must not wait for lookups";
    for (int slot = 0; slot < WorkerSlotCount; ++slot) {
        EXPECT_EQ(m_engine->SlotAddress(slot), Address(Rows - 1 - slot));
    }
    EXPECT_EQ(m_lookup->Calls, WorkerSlotCount);

    m_lookup->OpenAll();
    ASSERT_TRUE(WaitUntil([&] { return refresh() == 0; }, 60s));
    for (int row = 0; row < Rows; ++row) {
        EXPECT_EQ(answers[row], GatedLookup::NameOf(Address(row)));
    }
    EXPECT_EQ(m_lookup->MostInFlight, WorkerSlotCount);
}

TEST_F(WorkerSlotsTest, AnswersAreStoredBeforeTheSlotRestsAndStayUntilEmptied) {
    auto resolve = [&](const std::string& address) {
        const auto start = Clock::now();
        EXPECT_EQ(m_engine->RequestHostName(address), Pending(address));
        EXPECT_TRUE(WaitUntil([&] { return m_engine->State(0) == SlotState::Idle; }));
        // Idle again: the answer is already there, and the slot rested 10 ms at least.
        EXPECT_TRUE(m_engine->Cache().Find(address).has_value());
        EXPECT_GE(Clock::now() - start, 10ms);
        return m_engine->RequestHostName(address);
    };
    m_lookup->OpenAll();
    EXPECT_EQ(resolve("192.0.2.1"), "name-of-192.0.2.1");
    EXPECT_EQ(resolve("192.0.2.13"), "192.0.2.13");
    EXPECT_EQ(m_engine->RequestHostName("192.0.2.13"), "192.0.2.13");
    EXPECT_EQ(m_lookup->Calls, 2);
    m_engine->ClearNameCache();
    EXPECT_EQ(resolve("192.0.2.1"), "name-of-192.0.2.1");
    EXPECT_EQ(m_lookup->Calls, 3);

    // A worker's insertion into a full cache empties it first.
    for (std::size_t n = m_engine->Cache().Size(); n < NameCacheLimit; ++n) {
        m_engine->Cache().Insert("filler-" + std::to_string(n), "x");
    }
    EXPECT_EQ(resolve("192.0.2.2"), "name-of-192.0.2.2");
    EXPECT_EQ(m_engine->Cache().Size(), 1u);
    EXPECT_EQ(m_engine->RequestHostName("192.0.2.1"), Pending("192.0.2.1"));
}

TEST_F(WorkerSlotsTest, AThreadThatCannotStartGivesItsSlotBack) {
    int failures = 2;
    m_engine = MakeEngine([&](std::function<void()> work) {
        if (failures-- > 0) {
            return false;
        }
        std::thread(std::move(work)).detach();
        return true;
    });
    m_lookup->OpenAll();
    for (int attempt = 0; attempt < 3; ++attempt) {
        EXPECT_EQ(m_engine->RequestHostName("192.0.2.9"), Pending("192.0.2.9"));
        EXPECT_TRUE(attempt == 2 || (AllIdle(*m_engine) && m_engine->SlotAddress(0).empty()));
    }
    ASSERT_TRUE(WaitUntil([&] { return AllIdle(*m_engine); }));
    EXPECT_EQ(m_engine->RequestHostName("192.0.2.9"), "name-of-192.0.2.9");
}

TEST_F(WorkerSlotsTest, TeardownDropsLateAnswersAndWorkersKeepTheEngineAlive) {
    m_engine->RequestHostName("192.0.2.1");
    m_engine->RequestHostName("192.0.2.2");
    ASSERT_TRUE(WaitUntil([&] { return m_lookup->InFlight == 2; }));
    m_engine->Teardown();
    EXPECT_EQ(m_engine->RequestHostName("192.0.2.3"), Pending("192.0.2.3"));
    EXPECT_EQ(m_engine->State(2), SlotState::Idle);
    m_lookup->Open("192.0.2.1");
    ASSERT_TRUE(WaitUntil([&] { return m_engine->State(0) == SlotState::Idle; }));
    EXPECT_EQ(m_engine->Cache().Size(), 0u);

    // The program lets go of the engine while a lookup is still under way.
    std::weak_ptr<ResolutionEngine> watched = m_engine;
    m_engine = ResolutionEngine::Create();
    EXPECT_FALSE(watched.expired());
    m_lookup->OpenAll();
    EXPECT_TRUE(WaitUntil([&] { return watched.expired(); }));
}

TEST(WorkerSlotsDeathTest, TheProcessExitsNormallyWhileLookupsAreUnderWay) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            // A name service that never answers in time.
            SetResolverEntry(
                [](const sockaddr*, socklen_t, char*, socklen_t, char*, socklen_t, int) {
                    std::this_thread::sleep_for(10s);
                    return EAI_AGAIN;
                });
            auto& engine = ResolutionEngine::Instance();
            for (int n = 0; n < WorkerSlotCount; ++n) {
                engine.RequestHostName(Address(n));
            }
            WaitUntil([&] { return engine.AnyWorkerRunning(); });
            std::exit(engine.AnyWorkerRunning() ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace ip2h
