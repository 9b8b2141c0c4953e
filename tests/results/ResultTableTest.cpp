#include "results/ResultTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "base/FixedText.h"
#include "results/ListRefresh.h"
#include "results/RowCommands.h"
#include "results/Sorting.h"

namespace ip2h {
namespace {

class ResultTableTest : public ::testing::Test {
protected:
    ResultEntry& Add(std::string_view address, std::string_view host = "",
                     std::int32_t status = Pending, std::int32_t domainIndex = 0) {
        ResultEntry& row = m_table->Rows[m_table->RowCount];
        m_table->WriteNewRow(m_table->RowCount++, address);
        CopyToField(row.HostName, host);
        row.Status = status;
        row.DomainIndex = domainIndex;
        return row;
    }

    void Order(const std::vector<int>& order) {
        std::copy(order.begin(), order.end(), m_table->RowOrder);
        m_table->OrderedCount = static_cast<std::int32_t>(order.size());
    }

    // The addresses in storage order, or in list order, separated by blanks.
    std::string Addresses(bool listed = false) const {
        std::string out;
        for (int i = 0; i < (listed ? m_table->OrderedCount : m_table->RowCount); ++i) {
            (out += out.empty() ? "" : " ") +=
                m_table->Rows[listed ? m_table->RowOrder[i] : i].Address;
        }
        return out;
    }

    // Answers from the map, or the pending text, recording the order of the requests.
    RefreshOutcome Refresh(bool japanese = false) {
        const auto request = [this](std::string_view address) {
            m_requests.emplace_back(address);
            const auto it = m_answers.find(std::string(address));
            return it != m_answers.end() ? it->second : "(" + std::string(address) + ")";
        };
        return RefreshRows(*m_table, SortState{0, 0, 0}, request, japanese, m_listHadItems);
    }

    const ResultEntry& Shown(int item) { return m_table->Rows[m_table->RowOrder[item]]; }

    std::unique_ptr<ResultTable> m_table = ResultTable::Create();
    std::map<std::string, std::string> m_answers;
    std::vector<std::string> m_requests;
    bool m_listHadItems = false;
};

TEST_F(ResultTableTest, ResetRowsForgetsRowsKeysAndOrder) {
    CopyToField(Add("10.0.0.1").SortKey, "key");
    Order({0});
    m_table->ResetRows();
    EXPECT_EQ(std::tie(m_table->RowCount, m_table->OrderedCount), std::tuple(0, 0));
    EXPECT_STREQ(m_table->Rows[0].SortKey, "") << "an old key would order new rows";
}

TEST_F(ResultTableTest, DeleteRowsCompactsInListOrder) {
    struct Case {
        const char* name;
        int rows;
        std::vector<int> order, selected;
        std::string expected;
    };
    const Case cases[] = {
        {"no selection stores list order", 3, {2, 0, 1}, {}, "r2 r0 r1"},
        {"positions index the list", 4, {3, 2, 1, 0}, {0, 2}, "r2 r0"},
        {"every row", 3, {0, 1, 2}, {2, 0, 1}, ""},
        {"repeated and out-of-range positions", 3, {0, 1, 2}, {1, 1, -1, 3, 9999}, "r0 r2"},
        // Rows pasted since the last refresh are not listed yet: they follow, kept.
        {"stale order after a paste", 5, {2, 0, 1}, {1, 3, 4}, "r2 r1 r3 r4"},
        // Entries that no longer name a row, or name one twice, show nothing.
        {"invalid order entries", 3, {1, 1, 7, -1, 0}, {1, 2, 3}, "r1 r0 r2"},
        {"no order since a refill", 2, {}, {0, 1}, "r0 r1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_table->ResetRows();
        for (int i = 0; i < c.rows; ++i) Add("r" + std::to_string(i));
        Order(c.order);
        m_table->DeleteRows(c.selected);
        EXPECT_EQ(Addresses(), c.expected);
        // Storage has moved: until the next sort, the same positions delete nothing.
        m_table->DeleteRows(c.selected);
        EXPECT_EQ(Addresses(), c.expected);
    }
}

TEST_F(ResultTableTest, DeleteRowsMovesEverythingButTheSortKey) {
    for (int i = 0; i < 3; ++i) {
        const std::string n = std::to_string(i);
        ResultEntry& row = Add("r" + n, "h" + n, i, 100 + i);
        CopyToField(row.SortKey, "k" + n);
        CopyToField(row.DomainInfo, "i" + n);
        row.Selected = i / 2;
    }
    Order({2, 1, 0});
    const int second[] = {1};
    m_table->DeleteRows(second);
    ASSERT_EQ(Addresses(), "r2 r0");
    const ResultEntry& moved = m_table->Rows[0];
    EXPECT_EQ(std::string(moved.HostName) + moved.DomainInfo + moved.SortKey, "h2i2k0");
    EXPECT_EQ(std::tie(moved.Status, moved.DomainIndex, moved.Selected),
              std::tuple(Failure, 102, 1));
    EXPECT_EQ(m_table->Rows[1].Selected, 0);
}

// At most MaxLimit rows per range, however many ranges one paste holds, each a new row.
TEST_F(ResultTableTest, PasteAppendsNewRowsWithinTheLimitPerRange) {
    Add("1.1.1.1");
    ResultEntry& reused = Add("2.2.2.2", "old.example", Failure, DomainIndexFailure);
    reused.Selected = 1;
    m_table->RowCount = 1;  // as after a deletion: the slot still holds its old row
    EXPECT_EQ(PasteRows(*m_table, "10.0.0.250-\n10.1.0.0-", 1, 256), 512);
    ASSERT_EQ(m_table->RowCount, 513);
    EXPECT_STREQ(m_table->Rows[1].Address, "10.0.0.250");
    EXPECT_STREQ(m_table->Rows[512].Address, "10.1.0.255");
    EXPECT_STREQ(reused.HostName, "");
    EXPECT_EQ(std::tie(reused.Status, reused.DomainIndex, reused.Selected),
              std::tuple(Pending, 0, 0));
}

// Pasted text: the cleaning, every kind of line end, ranges stepped by the interval.
TEST_F(ResultTableTest, PasteReadsEveryLineWhateverItsEndAndCleansIt) {
    const struct {
        std::uint32_t interval;
        const char* clipboard;
        const char* added;
    } cases[] = {
        {1, "\"10.0.0.1\"", "10.0.0.1"},
        {1, " 10.0.0.1\t", "10.0.0.1"},
        {1, "'10.0.0.1'\r\n\"10.0.0.2\"\r\n", "10.0.0.1 10.0.0.2"},
        {1, "1.1.1.1\r2.2.2.2\r3.3.3.3\r", "1.1.1.1 2.2.2.2 3.3.3.3"},
        {1, "1.1.1.1\r\r\n2.2.2.2\n\r3.3.3.3", "1.1.1.1 2.2.2.2 3.3.3.3"},
        {1, "10.0.0.1,10.0.0.2", ""},  // a comma separates nothing
        {1, "192.168.000.001\n", "192.168.000.001"},
        {1, "10.0.0.0 - 10.0.0.3", "10.0.0.0 10.0.0.1 10.0.0.2 10.0.0.3"},
        {1, "1.2.3.4\r\n\r\nnot an address\r\n5.6.7.8\r\n", "1.2.3.4 5.6.7.8"},
        {1, "8.8.8.8\n9.9.9.9", "8.8.8.8 9.9.9.9"},  // unterminated last line
        {1, "", ""},
        {64, "10.0.1.0-10.0.1.255", "10.0.1.0 10.0.1.64 10.0.1.128 10.0.1.192"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clipboard);
        m_table->ResetRows();
        PasteRows(*m_table, c.clipboard, c.interval, 256);
        EXPECT_EQ(Addresses(), c.added);
    }
}

// When a command rebuilds the list at once instead of leaving it to the timer.
TEST(RefreshAtOnceTest, AnEmptiedTableOrAChangedSortShowsAtOnce) {
    const struct {
        const char* what;
        TableChange change;
        int rows;
        bool listShowsRows, atOnce;
    } cases[] = {
        {"registration that wrote rows: the timer paces it", {true, true}, 20, true, false},
        {"registration that wrote none empties the list", {true, false}, 0, true, true},
        {"...and an empty list stays as it is", {true, true}, 0, false, false},
        {"paste that reset the sort", {false, true}, 30, true, true},
        {"paste into an empty list that reset the sort", {false, true}, 30, false, true},
        {"paste with the sort as it was", {false, false}, 30, true, false},
        {"sorting switched off or on", {false, true}, 5, true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RefreshAtOnce(c.change, c.rows, c.listShowsRows), c.atOnce) << c.what;
    }
}

// The list's selection follows the rows' flags, run by run in list order.
TEST_F(ResultTableTest, SelectionFromFlagsGivesRunsAndFocusInListOrder) {
    for (int i = 0; i < 6; ++i) Add("r" + std::to_string(i)).Selected = i == 1 || i >= 3;
    Order({5, 4, 0, 1, 3, 2});
    const ListSelection selection = SelectionFromFlags(*m_table);
    EXPECT_EQ(selection.Runs, (std::vector<std::pair<int, int>>{{0, 1}, {3, 4}}));
    EXPECT_EQ(selection.Focused, 4);
    m_table->SetSelectedWhere([](const ResultEntry&) { return false; });
    EXPECT_EQ(SelectionFromFlags(*m_table).Focused, -1);
}

TEST_F(ResultTableTest, SortKeysOrderByColumn) {
    Add("10.0.0.2", "@", Success, 1);
    Add("9.255.255.255", "9.255.255.255", Failure, DomainIndexFailure);
    Add("192.168.0.1", "(192.168.0.1)", Pending, 0);
    Add("10.0.0.10", "zeta.example.com", Success, 1);
    Add("10.0.0.3", "Alpha.example.jp", Success, 20);
    Add("10.0.0.4", "beta.example.local", Success, DomainIndexNoMatch);
    // Addresses by number; hosts: placeholders, failures, names byte-wise; domains by index.
    const std::pair<SortState, std::string> cases[] = {
        {{1, 0, 0}, "9.255.255.255 10.0.0.2 10.0.0.3 10.0.0.4 10.0.0.10 192.168.0.1"},
        {{1, 1, 0}, "192.168.0.1 9.255.255.255 10.0.0.2 10.0.0.3 10.0.0.4 10.0.0.10"},
        {{1, 2, 0}, "192.168.0.1 10.0.0.2 10.0.0.3 10.0.0.4 10.0.0.10 9.255.255.255"},
        {{1, 3, 1}, "9.255.255.255 10.0.0.4 10.0.0.3 10.0.0.10 10.0.0.2 192.168.0.1"},
        // Any value but 1 switches sorting off: storage order.
        {{2, 3, 1}, "10.0.0.2 9.255.255.255 192.168.0.1 10.0.0.10 10.0.0.3 10.0.0.4"},
    };
    for (const auto& [sort, expected] : cases) {
        SCOPED_TRACE(sort.Column);
        BuildSortOrder(*m_table, sort);
        EXPECT_EQ(Addresses(true), expected);
    }
}

TEST_F(ResultTableTest, EqualSortKeysKeepThePreviousOrderAndKeysStayBounded) {
    // Two pasted copies of one address: only their previous keys tell them apart.
    CopyToField(Add("10.0.0.1", "same.example.com", Success, 1).SortKey, "2");
    CopyToField(Add("10.0.0.1", "same.example.com", Success, 1).SortKey, "1");
    Add("10.0.0.0", "first.example.com", Success, 1);
    BuildSortOrder(*m_table, SortState{1, 0, 0});
    EXPECT_EQ(std::vector(m_table->RowOrder, m_table->RowOrder + 3), (std::vector{2, 1, 0}));
    for (int i = 0; i < 200; ++i) BuildSortOrder(*m_table, SortState{1, 0, 0});
    for (int i = 0; i < 3; ++i) EXPECT_EQ(std::strlen(m_table->Rows[i].SortKey), 2046u);
}

// Header clicks and the sort switch are tested through the window; these refusals are not.
TEST(SortDecisions, ClicksAreRefusedWhileResolvingOrSwitchedOff) {
    SortState sort{1, 2, 1};
    EXPECT_FALSE(ApplyColumnClick(sort, 3, true));
    sort.Enabled = 0;
    EXPECT_FALSE(ApplyColumnClick(sort, 3, false));
    EXPECT_FALSE(ResetSortOrder(sort));
    EXPECT_EQ(std::tie(sort.Column, sort.Direction), std::tuple(2, 1));

    // A stored value other than 0 and 1 is off, and the switch turns it on, not to 3.
    sort.Enabled = 2;
    EXPECT_TRUE(ToggleSortEnabled(sort));
    EXPECT_EQ(std::tie(sort.Enabled, sort.Column, sort.Direction), std::tuple(1, 0, 0));
    EXPECT_FALSE(ToggleSortEnabled(sort));
    EXPECT_EQ(sort.Enabled, 0);
}

using ListRefreshTest = ResultTableTest;

TEST_F(ListRefreshTest, DecidesStatusAndDomainInformation) {
    const std::tuple<const char*, const char*, std::int32_t, std::int32_t, std::string_view>
        rows[] = {
            {"8.8.8.1", "Mail.Example.CO.JP", Success, 12, "Japan: General Company"},
            {"8.8.8.2", "8.8.8.2", Failure, DomainIndexFailure, "?"},
            {"8.8.8.3", "printer.example.local", Success, DomainIndexNoMatch, ""},
            {"8.8.8.4", "4.8.8.8.in-addr.arpa", Success, 0, "Infrastructure"},
            // A private address shows no description but sorts among its domain.
            {"10.1.1.1", "gateway.example.com", Success, 1, "-"},
            {"8.8.8.5", "(8.8.8.5)", Pending, 0, "-"},
        };
    for (const auto& [address, answer, status, index, cell] : rows) {
        m_answers[Add(address).Address] = answer;
    }
    EXPECT_EQ(Refresh(), RefreshOutcome::Rebuilt);
    for (int i = 0; i < 6; ++i) {
        const auto& [address, answer, status, index, cell] = rows[i];
        EXPECT_STREQ(Shown(i).HostName, answer);
        EXPECT_EQ(Shown(i).Status, status) << address;
        EXPECT_EQ(Shown(i).DomainIndex, index) << address;
        EXPECT_EQ(DomainCellText(Shown(i)), cell) << address;
    }
    // Asked for from the last row shown to the first: the order workers take them in.
    EXPECT_EQ(m_requests.front() + " " + m_requests.back(), "8.8.8.5 8.8.8.1");

    // A failure answered later, and a row pending again, are classified afresh.
    m_answers["8.8.8.2"] = "dns.example.net";
    m_answers.erase("8.8.8.1");
    Refresh(true);
    EXPECT_EQ(DomainCellText(Shown(1)), "ネットワーク用");
    m_answers["8.8.8.1"] = "host.example.de";
    Refresh(true);
    EXPECT_EQ(DomainCellText(Shown(0)), "ドイツ");
}

TEST_F(ListRefreshTest, LongAnswersAreCutAndEmptyTablesReportTheirList) {
    Add("8.8.8.8");
    m_answers["8.8.8.8"] = std::string(1024, 'a') + ".example.com";
    Refresh();
    EXPECT_EQ(FieldText(Shown(0).HostName).size(), 319u);
    EXPECT_EQ(Shown(0).Status, Success);

    m_table->ResetRows();
    m_listHadItems = true;
    EXPECT_EQ(Refresh(), RefreshOutcome::Cleared);
    EXPECT_EQ(m_table->OrderedCount, 0) << "a later deletion must not map list positions";
    m_listHadItems = false;
    EXPECT_EQ(Refresh(), RefreshOutcome::Unchanged);
}

}  // namespace
}  // namespace ip2h
