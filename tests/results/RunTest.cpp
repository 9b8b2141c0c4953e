// The resolution engine under faults and load, driven as the window drives it: the progress
// timer's ticks decide when the list is refreshed, and each refresh asks for every row.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/FixedText.h"
#include "resolver/ResolutionEngine.h"
#include "results/ListRefresh.h"
#include "results/ProgressTimer.h"
#include "results/ResultTable.h"
#include "results/Sorting.h"

namespace ip2h {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using Clock = std::chrono::steady_clock;

std::string Address(int n, int block = 0) {
    return std::to_string(10 + block) + ".0." + std::to_string(n / 256) + "." +
           std::to_string(n % 256);
}

// `count` new, pending rows of the addresses of block `block`.
void SetRows(ResultTable& table, int count, int block = 0) {
    table.ResetRows();
    for (int i = 0; i < count; ++i) table.WriteNewRow(i, Address(i, block));
    table.RowCount = count;
}

// Ticks the timer on a simulated clock, 0.25 ms of real time per tick, and refreshes (then
// calls `onRefresh`) whenever it says so, until no row is pending. False when the run stalls:
// a minute without a change in the pending count, however slow the machine.
bool RunToTheEnd(
    ResultTable& table, ResolutionEngine& engine, const std::function<void()>& onRefresh = [] {}) {
    ProgressTimer timer;
    std::uint32_t now = 0;
    const HostNameRequest request = [&](std::string_view a, LookupAnswer& answer) {
        return engine.Request(a, answer) == RequestOutcome::Cached;
    };
    int pending = -1;
    for (auto changed = Clock::now(); Clock::now() < changed + 60s;) {
        if (timer.OnTick(now += ProgressTimer::kIntervalMs, table, false, false).Refresh) {
            RefreshRows(table, SortState{}, request, engine.Cache().Version(), true);
            onRefresh();
        }
        const int left = ProgressTimer::CountRows(table).Pending;
        if (left == 0) return true;
        if (left != std::exchange(pending, left)) changed = Clock::now();
        std::this_thread::sleep_for(250us);
    }
    return false;
}

bool AllSlotsIdleSoon(const ResolutionEngine& engine) {
    const auto idle = [&] {
        for (int slot = 0; slot < WorkerSlotCount; ++slot) {
            if (engine.State(slot) != SlotState::Idle) return false;
        }
        return true;
    };
    for (const auto deadline = Clock::now() + 30s; !idle(); std::this_thread::sleep_for(5ms)) {
        if (Clock::now() > deadline) return false;
    }
    return true;
}

// Names a hosts file or a NetBIOS responder may hand back. Each ends its row's run and stays
// inside the row's fields, whatever column the list is sorted by in either direction.
TEST(EngineFaultTest, OddNamesEndTheRunAndStayInTheirFieldsUnderEverySortOrder) {
    std::string longMultiByte;  // to be cut in the middle of a character
    while (longMultiByte.size() < 1000) longMultiByte += "\xE6\x97\xA5";
    const std::vector<std::string> names = {
        std::string(1020, 'n') + ".com",  longMultiByte,
        "line\r\nbreak.example",          "tab\tand\x1b[31mescape\x7f.example",
        "(looks-pending).example",        "(",
        "\xFF\xFE\x80 not utf-8.example", "",
        "nul\0inside.example"s,           "\xC2\x85next-line\xE2\x80\xA8separator.example"};
    // By value: a worker may outlive a failed assertion.
    auto engine = ResolutionEngine::Create([names](const std::string& address, LookupOptions) {
        return names[std::stoul(address.substr(address.rfind('.') + 1)) % names.size()];
    });
    auto table = ResultTable::Create();
    constexpr int kRows = 40;
    SetRows(*table, kRows);
    ASSERT_TRUE(RunToTheEnd(*table, *engine)) << "the run never ended";
    const HostNameRequest request = [&](std::string_view a, LookupAnswer& answer) {
        return engine->Request(a, answer) == RequestOutcome::Cached;
    };
    for (int sort = 0; sort < 8; ++sort) {
        SCOPED_TRACE(testing::Message() << "column " << sort / 2 << ", direction " << sort % 2);
        RefreshRows(*table,
                    {1, static_cast<ListColumn>(sort / 2), static_cast<SortDirection>(sort % 2)},
                    request, engine->Cache().Version(), true);
        std::vector<int> order(table->RowOrder.begin(), table->RowOrder.begin() + kRows);
        std::ranges::sort(order);
        for (int i = 0; i < kRows; ++i) {
            const ResultEntry& row = table->Rows[i];
            const std::string_view host = FieldText(row.HostName);
            ASSERT_EQ(order[i], i) << "the list shows every row once";
            ASSERT_EQ(FieldText(row.Address), Address(i));
            ASSERT_LT(host.size(), kTextFieldSize) << i;
            EXPECT_EQ(host.find_first_of("\r\n\t\x1b\x7f("), std::string_view::npos) << host;
            // The empty name is no name: its row fails rather than staying pending.
            EXPECT_EQ(row.Answer.Status,
                      names[i % names.size()].empty() ? RowStatus::Failure : RowStatus::Success)
                << i;
        }
    }
}

// A server that did not answer (or failed) ends its row's run as a failure, is not asked again
// within the run, and is asked again when the address is next registered; a name and a
// definite "no such name" stay cached.
TEST(EngineFaultTest, OnlyDefiniteAnswersOutliveTheirRun) {
    // The last: a name whose forward check got no answer.
    const AnswerKind kinds[] = {AnswerKind::Name,  AnswerKind::NoName,  AnswerKind::NoAnswer,
                                AnswerKind::Error, AnswerKind::NetBios, AnswerKind::Name};
    auto asked = std::make_shared<std::array<std::atomic<int>, 6>>();
    auto engine =
        ResolutionEngine::Create([asked, kinds](const std::string& address, LookupOptions) {
            const int n = address.back() - '0';
            ++(*asked)[n];
            const bool named = kinds[n] == AnswerKind::Name || kinds[n] == AnswerKind::NetBios;
            LookupAnswer answer(named ? "h" + address : address, kinds[n]);
            if (n == 5) answer.Confirmed = Confirmation::Unknown;
            return answer;
        });
    auto table = ResultTable::Create();
    int before[6] = {};
    for (const int run : {1, 2}) {
        SCOPED_TRACE(run);
        SetRows(*table, 6);
        // What a registration does for each address it writes.
        for (int i = 0; i < 6; ++i)
            engine->AskAgainUnlessLasting(FieldText(table->Rows[i].Address));
        ASSERT_TRUE(RunToTheEnd(*table, *engine)) << "the run never ended";
        // A late worker may still ask for an address handed out twice: wait for all to rest.
        ASSERT_TRUE(AllSlotsIdleSoon(*engine));
        for (int i = 0; i < 6; ++i) {
            const bool askedAgain = run == 1 || !IsLastingAnswer(kinds[i]) || i == 5;
            EXPECT_EQ((*asked)[i] > before[i], askedAgain) << i;
            EXPECT_EQ(table->Rows[i].Answer.Status,
                      i == 0 || i >= 4 ? RowStatus::Success : RowStatus::Failure)
                << i;
            before[i] = (*asked)[i];
        }
    }
}

// Whenever 7,000 rows are answered, the next range of 9,999 addresses replaces the list, four
// ranges in all. More answers than the cache holds arrive in one run, so it empties once on
// the way, and the run still ends with every row of the last range answered.
TEST(EngineLoadTest, MoreAnswersThanTheCacheHoldsInOneRunStillEndIt) {
    auto lookups = std::make_shared<std::atomic<int>>(0);
    auto engine = ResolutionEngine::Create([lookups](const std::string& address, LookupOptions) {
        ++*lookups;
        return "host-" + address;
    });
    auto table = ResultTable::Create();
    int range = 0, emptied = 0;
    std::size_t previous = 0;
    SetRows(*table, MaxRows);
    ASSERT_TRUE(RunToTheEnd(*table, *engine, [&] {
        const std::size_t size = engine->Cache().Size();
        EXPECT_LE(size, NameCacheLimit);
        emptied += size < previous;
        previous = size;
        const RowCounts counts = ProgressTimer::CountRows(*table);
        if (range < 3 && counts.Rows - counts.Pending >= 7000) {
            SetRows(*table, MaxRows, ++range);
        }
    })) << "the run never ended";

    ASSERT_EQ(range, 3);
    EXPECT_GT(lookups->load(), static_cast<int>(NameCacheLimit));
    EXPECT_EQ(emptied, 1);
    for (int i = 0; i < MaxRows; ++i) {
        ASSERT_EQ(FieldText(table->Rows[i].HostName), "host-" + Address(i, range)) << i;
    }
    // Workers end shortly after their last answer; a minute tells a stuck one on any machine.
    const auto deadline = Clock::now() + 60s;
    while (engine->AnyWorkerRunning() && Clock::now() < deadline) std::this_thread::sleep_for(5ms);
    EXPECT_FALSE(engine->AnyWorkerRunning());
}

}  // namespace
}  // namespace ip2h
