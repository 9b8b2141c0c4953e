// The resolution engine under faults: answers no host name should have, and more answers in
// one run than the name cache may hold. Runs are driven the way the window drives them: the
// progress timer's ticks decide when the list is refreshed, and each refresh asks the engine
// for every row.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "resolver/ProgressTimer.h"
#include "resolver/WorkerSlots.h"
#include "results/FixedText.h"
#include "results/ListRefresh.h"
#include "results/ResultTable.h"
#include "results/RowCommands.h"
#include "results/Sorting.h"

namespace ip2h {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::string Address(int n, int block = 0) {
    return std::to_string(10 + block) + "." + std::to_string(n / 65536) + "." +
           std::to_string(n / 256 % 256) + "." + std::to_string(n % 256);
}

void FillRows(ResultTable& table, int rows, int block = 0) {
    table.ResetRows();
    for (int i = 0; i < rows; ++i) table.WriteNewRow(i, Address(i, block));
    table.RowCount = rows;
}

// Ticks the progress timer on a simulated clock (one tick per 0.25 ms of real time, so a
// refresh interval of 20 ticks takes 5 ms plus the refresh) and refreshes whenever it says
// so, until no row is pending. `onRefresh` runs after every refresh. Returns false on a time-out.
bool RunToTheEnd(ResultTable& table, ResolutionEngine& engine, const SortState& sort,
                 const std::function<void()>& onRefresh = {}, Clock::duration limit = 120s) {
    ProgressTimer timer;
    std::uint32_t now = 0;
    const HostNameRequest request = [&](std::string_view a) { return engine.RequestHostName(a); };
    for (const auto deadline = Clock::now() + limit; Clock::now() < deadline;) {
        if (timer.OnTick(now += ProgressTimer::IntervalMs, table, false, false).Refresh) {
            RefreshRows(table, sort, request, false, true);
            if (onRefresh) onRefresh();
        }
        if (ProgressTimer::CountRows(table).Pending == 0) return true;
        std::this_thread::sleep_for(250us);
    }
    return false;
}

// Every text field of every row ends inside its field, and nothing spilled into the next.
void ExpectFieldsIntact(const ResultTable& table, const std::vector<std::string>& addresses) {
    for (int i = 0; i < table.RowCount; ++i) {
        const ResultEntry& row = table.Rows[i];
        ASSERT_LT(::strnlen(row.SortKey, SortKeySize), SortKeySize) << "row " << i;
        ASSERT_LT(::strnlen(row.HostName, TextFieldSize), TextFieldSize) << "row " << i;
        ASSERT_LT(::strnlen(row.DomainInfo, TextFieldSize), TextFieldSize) << "row " << i;
        ASSERT_EQ(FieldText(row.Address), addresses[static_cast<std::size_t>(i)]) << "row " << i;
        ASSERT_TRUE(row.Status == Success || row.Status == Failure) << "row " << i;
        ASSERT_TRUE(row.Selected == 0 || row.Selected == 1) << "row " << i;
    }
}

// Names from a hosts file or a NetBIOS responder may hold anything. Each must end its row's
// run, stay inside the row's fields under every sort, and copy as one line per row.
TEST(EngineFaultTest, OddNamesEndTheRunStayInTheirFieldsAndCopyOneLinePerRow) {
    const std::string longName = std::string(1020, 'n') + ".com";
    std::string longMultiByte;
    while (longMultiByte.size() < 1000) longMultiByte += "\xE6\x97\xA5";  // cut mid-character
    const std::vector<std::string> names = {
        longName,
        longMultiByte + ".jp",
        "line\r\nbreak.example",
        "tab\tand\x1b"
        "escape\x7f.example",
        "(pending-looking).example",
        "(",
        "\xFF\xFE\x80 not utf-8.example",
        "",
        std::string("nul\0inside.example", 18),
        "\xC2\x85next-line\xE2\x80\xA8separator.example",
    };
    // Captures by value: a worker may outlive a failed assertion.
    auto engine = ResolutionEngine::Create([names](const std::string& address) {
        const int last = std::stoi(address.substr(address.rfind('.') + 1));
        return names[static_cast<std::size_t>(last) % names.size()];
    });
    auto table = ResultTable::Create();
    constexpr int kRows = 40;
    FillRows(*table, kRows);
    std::vector<std::string> addresses;
    for (int i = 0; i < kRows; ++i) addresses.push_back(Address(i));

    ASSERT_TRUE(RunToTheEnd(*table, *engine, SortState{}, {}, 30s)) << "the run never ended";
    ExpectFieldsIntact(*table, addresses);
    for (int i = 0; i < kRows; ++i) {
        const ResultEntry& row = table->Rows[i];
        const std::string_view host = FieldText(row.HostName);
        EXPECT_EQ(host.find_first_of("\r\n\t\x1b\x7f("), std::string_view::npos) << host;
        // The empty name is no name: the row fails rather than staying pending.
        if (names[static_cast<std::size_t>(i) % names.size()].empty()) {
            EXPECT_EQ(row.Status, Failure);
        }
    }

    // Sorting by each column in both directions builds keys from the longest texts.
    for (int column = 0; column < 4; ++column) {
        for (int direction = 0; direction < 2; ++direction) {
            SCOPED_TRACE("column " + std::to_string(column));
            RefreshRows(
                *table, SortState{1, column, direction},
                [&](std::string_view a) { return engine->RequestHostName(a); }, false, true);
            ExpectFieldsIntact(*table, addresses);
            std::vector<int> order(table->RowOrder, table->RowOrder + kRows);
            std::sort(order.begin(), order.end());
            for (int i = 0; i < kRows; ++i) ASSERT_EQ(order[static_cast<std::size_t>(i)], i);
        }
    }

    // Copied with every column, then with address and name: one line per row.
    for (const int copyItems : {0, 3}) {
        std::string copied;
        for (int i = 0; i < kRows; ++i) {
            const ResultEntry& row = table->Rows[i];
            AppendCopyLine(copied, copyItems,
                           {FieldText(row.Address), FieldText(row.HostName),
                            StatusText(row.Status, false), DomainCellText(row)});
        }
        EXPECT_EQ(std::count(copied.begin(), copied.end(), '\n'), kRows);
        EXPECT_EQ(std::count(copied.begin(), copied.end(), '\r'), kRows);
        EXPECT_EQ(copied.find('\0'), std::string::npos);
    }
}

// One run that never runs dry: whenever 7,000 rows of a registration are answered, the next
// range of 9,999 distinct addresses replaces it, four times in all, against an instant
// resolver. More than 25,600 answers arrive before the run ends, so the cache empties once
// on the way; rows answered before that turn pending again and are looked up anew, and the
// run still ends with every row of the last range answered.
TEST(EngineFaultTest, MoreAnswersThanTheCacheHoldsInOneRunStillEndIt) {
    auto counter = std::make_shared<std::atomic<int>>(0);
    auto engine = ResolutionEngine::Create([counter](const std::string& address) {
        ++*counter;
        return "host-" + address + ".example.com";
    });
    auto table = ResultTable::Create();
    constexpr int kRegistrations = 4;
    int registration = 0;
    FillRows(*table, MaxRows, registration);
    std::size_t largest = 0;
    int emptied = 0;
    std::size_t previous = 0;
    ASSERT_TRUE(RunToTheEnd(*table, *engine, SortState{}, [&] {
        const std::size_t size = engine->Cache().Size();
        largest = std::max(largest, size);
        emptied += size < previous;
        previous = size;
        const RowCounts counts = ProgressTimer::CountRows(*table);
        if (registration + 1 < kRegistrations && counts.Rows - counts.Pending >= 7000) {
            FillRows(*table, MaxRows, ++registration);
        }
    })) << "the run never ended";

    ASSERT_EQ(registration + 1, kRegistrations);
    EXPECT_GT(counter->load(), static_cast<int>(NameCacheLimit));
    EXPECT_LE(largest, NameCacheLimit);
    EXPECT_EQ(emptied, 1);
    for (int i = 0; i < MaxRows; ++i) {
        const ResultEntry& row = table->Rows[i];
        ASSERT_EQ(row.Status, Success) << i;
        ASSERT_EQ(FieldText(row.HostName), "host-" + Address(i, registration) + ".example.com");
    }
    // Every row showing its name means every answer of the last range is cached.
    EXPECT_GE(engine->Cache().Size(), static_cast<std::size_t>(MaxRows));
    EXPECT_LT(engine->Cache().Size(), NameCacheLimit);
    // Workers end shortly after their last answer.
    for (const auto deadline = Clock::now() + 5s; engine->AnyWorkerRunning();) {
        ASSERT_LT(Clock::now(), deadline);
        std::this_thread::sleep_for(5ms);
    }
}

}  // namespace
}  // namespace ip2h
