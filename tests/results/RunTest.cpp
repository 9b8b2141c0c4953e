// Runs: the progress timer that paces them, and the resolution engine under faults and load,
// driven as the window drives it (ticks decide when the list is refreshed, and each refresh
// asks the engine for every row).

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "results/ProgressTimer.h"
#include "resolver/WorkerSlots.h"
#include "base/FixedText.h"
#include "results/ListRefresh.h"
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

// `count` rows: the first `pending` pending, the next `success` answered, the rest failed.
void SetRows(ResultTable& table, int count, int pending, int success = 0, int block = 0) {
    table.ResetRows();
    for (int i = 0; i < count; ++i) {
        table.WriteNewRow(i, Address(i, block));
        table.Rows[i].Status = i < pending ? Pending : i < pending + success ? Success : Failure;
    }
    table.RowCount = count;
}

// Ticks the timer on a simulated clock, 0.25 ms of real time per tick, and refreshes (then
// calls `onRefresh`) whenever it says so, until no row is pending. False on a time-out.
bool RunToTheEnd(
    ResultTable& table, ResolutionEngine& engine, const std::function<void()>& onRefresh = [] {}) {
    ProgressTimer timer;
    std::uint32_t now = 0;
    const HostNameRequest request = [&](std::string_view a) { return engine.RequestHostName(a); };
    for (const auto deadline = Clock::now() + 180s; Clock::now() < deadline;) {
        if (timer.OnTick(now += ProgressTimer::kIntervalMs, table, false, false).Refresh) {
            RefreshRows(table, SortState{}, request, false, true);
            onRefresh();
        }
        if (ProgressTimer::CountRows(table).Pending == 0) return true;
        std::this_thread::sleep_for(250us);
    }
    return false;
}

bool AllSlotsIdleSoon(const ResolutionEngine& engine) {
    for (const auto deadline = Clock::now() + 30s; Clock::now() < deadline;) {
        bool idle = true;
        for (int slot = 0; idle && slot < WorkerSlotCount; ++slot) {
            idle = engine.State(slot) == SlotState::Idle;
        }
        if (idle) return true;
        std::this_thread::sleep_for(5ms);
    }
    return false;
}

TEST(ProgressTimer, FormatsStatusTexts) {
    StatusTexts t = ProgressTimer::FormatTexts(93723004, {10, 5, 3}, false);
    EXPECT_EQ(t.Time, " Time Required : 26:02:03.004 ");  // hours do not wrap at 24
    EXPECT_EQ(t.Progress, " Progress :    5/  10");
    EXPECT_EQ(t.Success, " Success :    3/  10");
    t = ProgressTimer::FormatTexts(0, {9999, 0, 9999}, true);
    EXPECT_EQ(t.Time, " 所要タイム : 00:00:00.000 ");
    EXPECT_EQ(t.Progress, " 進捗 : 9999/9999");
    EXPECT_EQ(t.Success, " 成功 : 9999/9999");
}

// The period grows with the row count; 0: nothing is pending, so there is no refresh at all.
TEST(ProgressTimer, RefreshesEveryNthTickWhileRowsArePending) {
    const auto table = ResultTable::Create();
    const std::pair<int, int> periods[] = {{10, 5},    {2560, 5},  {2561, 10},
                                           {5120, 10}, {5121, 15}, {7680, 15},
                                           {7681, 20}, {9999, 20}, {10, 0}};
    for (const auto& [rows, period] : periods) {
        SetRows(*table, rows, period == 0 ? 0 : 1);
        ProgressTimer timer;
        for (int tick = 1; tick <= 40; ++tick) {
            ASSERT_EQ(timer.OnTick(tick * 100, *table, false, false).Refresh,
                      period != 0 && tick % period == 0)
                << rows << " rows, tick " << tick;
        }
    }
}

// One tick per step, 100 ms apart: the pending rows it sees (of four), whether there is a status
// bar, and the time it writes ("" for nothing written).
TEST(ProgressTimer, TimesRunsAcrossClockWrapAndWritesTextsOnlyWhenTheyChange) {
    const auto table = ResultTable::Create();
    const std::tuple<int, bool, std::string> steps[] = {
        {0, true, " Time Required : 00:00:00.000 "},  // the first tick always writes
        {0, true, ""},
        {4, true, " Time Required : 00:00:00.100 "},  // a run starts; the clock wraps here
        {4, true, " Time Required : 00:00:00.200 "},
        {2, true, " Time Required : 00:00:00.300 "},
        {0, true, " Time Required : 00:00:00.300 "},  // the run is over: its time stays
        {0, true, ""},
        {4, false, ""}};
    std::uint32_t now = 0xFFFFFF00u;
    const auto written = [&](ProgressTimer& timer, bool statusBar) {
        const auto shown = timer.OnTick(now += 100, *table, statusBar, false).Show;
        return shown ? shown->Time : "";
    };
    ProgressTimer timer;
    for (const auto& [pending, statusBar, time] : steps) {
        SetRows(*table, 4, pending);
        EXPECT_EQ(written(timer, statusBar), time) << now;
    }
    // A run already pending at the first tick after the window opens is timed from the opening.
    ProgressTimer opened;
    opened.Start(now);
    EXPECT_EQ(written(opened, true), " Time Required : 00:00:00.100 ");
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
    auto engine = ResolutionEngine::Create([names](const std::string& address) {
        return names[std::stoul(address.substr(address.rfind('.') + 1)) % names.size()];
    });
    auto table = ResultTable::Create();
    constexpr int kRows = 40;
    SetRows(*table, kRows, kRows);
    ASSERT_TRUE(RunToTheEnd(*table, *engine)) << "the run never ended";
    const HostNameRequest request = [&](std::string_view a) { return engine->RequestHostName(a); };
    for (int sort = 0; sort < 8; ++sort) {
        SCOPED_TRACE(testing::Message() << "column " << sort / 2 << ", direction " << sort % 2);
        RefreshRows(*table, {1, sort / 2, sort % 2}, request, false, true);
        std::vector<int> order(table->RowOrder, table->RowOrder + kRows);
        std::ranges::sort(order);
        for (int i = 0; i < kRows; ++i) {
            const ResultEntry& row = table->Rows[i];
            const std::string_view host = FieldText(row.HostName);
            ASSERT_EQ(order[i], i) << "the list shows every row once";
            ASSERT_LT(::strnlen(row.SortKey, kSortKeySize), kSortKeySize) << i;
            ASSERT_LT(host.size(), kTextFieldSize) << i;
            ASSERT_LT(::strnlen(row.DomainInfo, kTextFieldSize), kTextFieldSize) << i;
            ASSERT_EQ(FieldText(row.Address), Address(i));
            ASSERT_TRUE(row.Selected == 0 || row.Selected == 1) << i;
            EXPECT_EQ(host.find_first_of("\r\n\t\x1b\x7f("), std::string_view::npos) << host;
            // The empty name is no name: its row fails rather than staying pending.
            EXPECT_EQ(row.Status, names[i % names.size()].empty() ? Failure : Success) << i;
        }
    }
}

// A server that did not answer (or failed) ends its row's run as a failure, is not asked again
// within the run, and is asked again when the address is next registered; a name and a
// definite "no such name" stay cached.
TEST(EngineFaultTest, OnlyDefiniteAnswersOutliveTheirRun) {
    const AnswerKind kinds[] = {AnswerKind::Name, AnswerKind::NoName, AnswerKind::NoAnswer,
                                AnswerKind::Error, AnswerKind::NetBios};
    auto asked = std::make_shared<std::array<std::atomic<int>, 5>>();
    auto engine = ResolutionEngine::Create([asked, kinds](const std::string& address) {
        const int n = address.back() - '0';
        ++(*asked)[n];
        const bool named = kinds[n] == AnswerKind::Name || kinds[n] == AnswerKind::NetBios;
        return LookupAnswer(named ? "h" + address : address, kinds[n]);
    });
    auto table = ResultTable::Create();
    int before[5] = {};
    for (const int run : {1, 2}) {
        SCOPED_TRACE(run);
        SetRows(*table, 5, 5);
        // What a registration does for each address it writes.
        for (int i = 0; i < 5; ++i) engine->AskAgainUnlessLasting(table->Rows[i].Address);
        ASSERT_TRUE(RunToTheEnd(*table, *engine)) << "the run never ended";
        // An address handed out twice (its first worker had not started yet) may still be
        // asked by a late worker: wait for every slot to be idle.
        ASSERT_TRUE(AllSlotsIdleSoon(*engine));
        for (int i = 0; i < 5; ++i) {
            const bool askedAgain = run == 1 || !IsLastingAnswer(kinds[i]);
            EXPECT_EQ((*asked)[i] > before[i], askedAgain) << i;
            EXPECT_EQ(table->Rows[i].Status, i == 0 || i == 4 ? Success : Failure) << i;
            before[i] = (*asked)[i];
        }
    }
}

// Whenever 7,000 rows are answered, the next range of 9,999 addresses replaces the list, four
// ranges in all. More answers than the cache holds arrive in one run, so it empties once on
// the way, and the run still ends with every row of the last range answered.
TEST(EngineLoadTest, MoreAnswersThanTheCacheHoldsInOneRunStillEndIt) {
    auto lookups = std::make_shared<std::atomic<int>>(0);
    auto engine = ResolutionEngine::Create([lookups](const std::string& address) {
        ++*lookups;
        return "host-" + address;
    });
    auto table = ResultTable::Create();
    int range = 0, emptied = 0;
    std::size_t previous = 0;
    SetRows(*table, MaxRows, MaxRows);
    ASSERT_TRUE(RunToTheEnd(*table, *engine, [&] {
        const std::size_t size = engine->Cache().Size();
        EXPECT_LE(size, NameCacheLimit);
        emptied += size < previous;
        previous = size;
        const RowCounts counts = ProgressTimer::CountRows(*table);
        if (range < 3 && counts.Rows - counts.Pending >= 7000) {
            SetRows(*table, MaxRows, MaxRows, 0, ++range);
        }
    })) << "the run never ended";

    ASSERT_EQ(range, 3);
    EXPECT_GT(lookups->load(), static_cast<int>(NameCacheLimit));
    EXPECT_EQ(emptied, 1);
    for (int i = 0; i < MaxRows; ++i) {
        ASSERT_EQ(FieldText(table->Rows[i].HostName), "host-" + Address(i, range)) << i;
    }
    const auto deadline = Clock::now() + 5s;  // workers end shortly after their last answer
    while (engine->AnyWorkerRunning() && Clock::now() < deadline) std::this_thread::sleep_for(5ms);
    EXPECT_FALSE(engine->AnyWorkerRunning());
}

}  // namespace
}  // namespace ip2h
