#include "results/ResultTable.h"

#include <gtest/gtest.h>
#include <netdb.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "base/FixedText.h"
#include "base/Punycode.h"
#include "resolver/ReverseLookup.h"
#include "results/ListRefresh.h"
#include "results/RangeRows.h"
#include "results/ResultExport.h"
#include "results/RowCommands.h"
#include "results/Sorting.h"
#include "support/TempDir.h"

namespace ip2h {
namespace {

using enum RowStatus;

class ResultTableTest : public ::testing::Test {
protected:
    // A row answered as a refresh records it: `host` names a Success row.
    ResultEntry& Add(std::string_view address, std::string_view host = "",
                     RowStatus status = Pending, std::optional<int> domainIndex = 0) {
        m_table->WriteNewRow(m_table->RowCount, address);
        ResultEntry& row = m_table->Rows[m_table->RowCount++];
        const LookupAnswer answer = status == Success
                                        ? LookupAnswer(std::string(host))
                                        : LookupAnswer(std::string(address), AnswerKind::NoName);
        ApplyAnswer(row, status == Pending ? nullptr : &answer);
        if (domainIndex) row.DomainIndex = *domainIndex;
        return row;
    }
    void Order(const std::vector<int>& order) {
        m_table->RowOrder.assign(order.begin(), order.end());
        m_table->OrderedCount = static_cast<std::int32_t>(order.size());
    }
    // The addresses in storage order, or in list order, separated by blanks.
    std::string Addresses(bool listed = false) const {
        std::string out;
        for (int i = 0; i < (listed ? m_table->OrderedCount : m_table->RowCount); ++i) {
            (out += out.empty() ? "" : " ") +=
                FieldText(m_table->Rows[listed ? m_table->RowOrder[i] : i].Address);
        }
        return out;
    }

    std::string_view Address(int i) const {
        return i < std::ssize(m_table->Rows) ? FieldText(m_table->Rows[i].Address) : "";
    }

    std::unique_ptr<ResultTable> m_table = ResultTable::Create();
};

TEST_F(ResultTableTest, DeleteRowsCompactsInListOrder) {
    const struct {
        const char* name;
        int rows;
        std::vector<int> order, selected;
        std::string expected;
    } cases[] = {
        {"no selection stores list order", 3, {2, 0, 1}, {}, "r2 r0 r1"},
        {"positions index the list", 4, {3, 2, 1, 0}, {0, 2}, "r2 r0"},
        {"repeated and out-of-range positions", 3, {0, 1, 2}, {1, 1, -1, 3, 9999}, "r0 r2"},
        // Rows pasted since the last refresh are not listed yet: they follow, kept.
        {"stale order after a paste", 5, {2, 0, 1}, {1, 3, 4}, "r2 r1 r3 r4"},
        // Entries that no longer name a row, or name one twice, show nothing.
        {"invalid order entries", 3, {1, 1, 7, -1, 0}, {1, 2, 3}, "r1 r0 r2"},
        {"no order since a refill", 2, {}, {0, 1}, "r0 r1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_table->ResetRows();
        for (int i = 0; i < c.rows; ++i) {
            Add("r" + std::to_string(i), "h" + std::to_string(i), Success);
        }
        Order(c.order);
        m_table->DeleteRows(c.selected);
        EXPECT_EQ(Addresses(), c.expected);
        // Storage has moved: until the next sort, the same positions delete nothing.
        m_table->DeleteRows(c.selected);
        EXPECT_EQ(Addresses(), c.expected);
        for (int i = 0; i < m_table->RowCount; ++i) {
            EXPECT_EQ(FieldText(m_table->Rows[i].HostName)[1],
                      FieldText(m_table->Rows[i].Address)[1])
                << "moved whole";
        }
    }
}

// Pasted text: the cleaning, every kind of line end, ranges stepped by the interval.
TEST_F(ResultTableTest, PasteReadsEveryLineWhateverItsEndAndCleansIt) {
    const std::tuple<std::uint32_t, const char*, const char*> cases[] = {
        {1, "\"10.0.0.1\"", "10.0.0.1"},
        {1, " 10.0.0.1\t", "10.0.0.1"},
        {1, "'10.0.0.1'\r\n\"10.0.0.2\"\r\n", "10.0.0.1 10.0.0.2"},
        {1, "1.1.1.1\r2.2.2.2\r3.3.3.3\r", "1.1.1.1 2.2.2.2 3.3.3.3"},
        {1, "1.1.1.1\r\r\n2.2.2.2\n\r3.3.3.3", "1.1.1.1 2.2.2.2 3.3.3.3"},
        {1, "10.0.0.1,10.0.0.2", ""},  // a comma separates nothing
        {1, "192.168.000.001\n", "192.168.000.001"},
        {1, "10.0.0.0 - 10.0.0.3", "10.0.0.0 10.0.0.1 10.0.0.2 10.0.0.3"},
        {1, "10.0.0.3-10.0.0.1", ""},  // a range that starts above its end walks nothing
        {1, "1.2.3.4\r\n\r\nnot an address\r\n5.6.7.8\r\n", "1.2.3.4 5.6.7.8"},
        {1, "8.8.8.8\n9.9.9.9", "8.8.8.8 9.9.9.9"},  // unterminated last line
        {1, "", ""},
        {64, "10.0.1.0-10.0.1.255", "10.0.1.0 10.0.1.64 10.0.1.128 10.0.1.192"},
        // Blocks like ranges; other texts with "/" are not addresses.
        {2, "\"10.0.0.77 /29\"\r\n10.0.0.9/33\r\n10.0.0.9/\n1.2.3.4/32",
         "10.0.0.72 10.0.0.74 10.0.0.76 10.0.0.78 1.2.3.4"},
    };
    for (const auto& [interval, clipboard, added] : cases) {
        m_table->ResetRows();
        PasteRows(*m_table, clipboard, interval, 256);
        EXPECT_EQ(Addresses(), added) << clipboard;
    }
    // At most MaxLimit rows per range, however many ranges one paste holds.
    m_table->ResetRows();
    EXPECT_EQ(PasteRows(*m_table, "10.0.0.250-\n10.1.0.0/8", 1, 256), 512);
    EXPECT_EQ(std::string(Address(255)) + " " += Address(511), "10.0.1.249 10.0.0.255");
}

TEST_F(ResultTableTest, FillRangeWalksTheRange) {
    const struct {
        std::string_view start, end;
        std::int64_t interval;
        int maxLimit, count;
        std::string_view second, last;
    } cases[] = {
        {"192.168.0.0", "192.168.3.255", 1, 256, 256, "192.168.0.1", "192.168.0.255"},
        {"10.0.0.0", "10.255.255.255", 65536, 1024, 256, "10.1.0.0", "10.255.0.0"},
        {"10.0.0.200", "10.0.1.144", 100, 256, 3, "10.0.1.44", "10.0.1.144"},  // ends on the end
        // The walk ends at 255.255.255.255 instead of wrapping round to 0.0.0.0.
        {"255.255.255.250", "255.255.255.255", 3, 256, 2, "255.255.255.253", "255.255.255.253"},
        {"255.255.255.255", "255.255.255.255", 65536, 256, 1, "", "255.255.255.255"},
        // No row is written beyond the table, whatever the limit.
        {"0.0.0.0", "255.255.255.255", 1, 100000, MaxRows, "0.0.0.1", "0.0.39.14"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.start) + "-" += c.end);
        ASSERT_EQ(FillRange(*m_table, c.start, c.end, c.interval, c.maxLimit), c.count);
        EXPECT_EQ(m_table->RowCount, c.count);
        EXPECT_EQ(Address(c.count - 1), c.last);
        EXPECT_EQ(Address(1), c.second);
        EXPECT_EQ(m_table->Rows.size(), static_cast<std::size_t>(c.count))
            << "rows are held as used";
    }
}

// The exported file: list order, quoting, the formula guard, the words of each column.
TEST_F(ResultTableTest, ExportWritesTheListAsShownAndSavesAtomically) {
    const auto add = [this](const char* address, const char* host, RowStatus status,
                            AnswerKind kind, Confirmation confirmed) {
        ResultEntry& row = Add(address, host, status, std::nullopt);
        row.Answer.Kind = kind;
        row.Answer.Confirmed = confirmed;
    };
    add("192.0.2.1", "a,b.example.com", Success, AnswerKind::Name, Confirmation::Confirmed);
    add("192.0.2.2", "", Failure, AnswerKind::NoAnswer, Confirmation::None);
    add("10.0.0.3", "=HYPERLINK(\"x\")", Success, AnswerKind::NetBios, Confirmation::None);
    add("192.0.2.4", "", Pending, AnswerKind::Name, Confirmation::None);
    add("192.0.2.5", "-x.example", Success, AnswerKind::Name, Confirmation::NotConfirmed);
    add("192.0.2.6", "not.listed.yet", Success, AnswerKind::Name, Confirmation::None);
    add("192.0.2.7", "c.example", Success, AnswerKind::Name, Confirmation::Unknown);
    Order({4, 0, 1, 2, 3, 6});
    const std::string csv =
        "address,hostname,result,domain,answer,confirmed\r\n"
        "192.0.2.5,'-x.example,success,,name,no\r\n"
        "192.0.2.1,\"a,b.example.com\",success,Commercial,name,yes\r\n"
        "192.0.2.2,,failure,?,no-answer,\r\n"
        "10.0.0.3,\"'=HYPERLINK(\"\"x\"\")\",success,-,netbios,\r\n"
        "192.0.2.4,,pending,-,,\r\n"
        "192.0.2.7,c.example,success,,name,unknown\r\n";
    EXPECT_EQ(ExportList(*m_table, ExportFormat::Csv, false), csv);
    EXPECT_TRUE(ExportList(*m_table, ExportFormat::Tsv, false)
                    .starts_with("address\thostname\tresult\tdomain\tanswer\tconfirmed\n"
                                 "192.0.2.5\t'-x.example\tsuccess\t\tname\tno\n"
                                 "192.0.2.1\ta,b.example.com\tsuccess\tCommercial\tname\tyes\n"));

    test::TempDir dir;
    EXPECT_EQ(SaveListAsCsv(*m_table, dir / "r.csv", false), "");
    EXPECT_EQ(test::ReadFile(dir / "r.csv"), csv);
    // A failure says why and leaves the file as it was.
    std::filesystem::permissions(dir / "r.csv", std::filesystem::perms::owner_read);
    Order({0});
    EXPECT_EQ(SaveListAsCsv(*m_table, dir / "r.csv", false), "Permission denied");
    EXPECT_EQ(SaveListAsCsv(*m_table, dir / "no" / "r.csv", false), "No such file or directory");
    EXPECT_EQ(std::filesystem::file_size(dir / "r.csv"), csv.size());
    EXPECT_EQ(SuggestedCsvName(2026, 1, 2, 3, 4, 5), "ip2hostname-20260102-030405.csv");
}

// When a command rebuilds the list at once instead of leaving it to the timer.
TEST(RefreshAtOnceTest, AnEmptiedTableOrAChangedSortShowsAtOnce) {
    const struct {
        const char* what;
        bool sortChanged;
        int rows;
        bool listShowsRows, atOnce;
    } cases[] = {
        {"registration (also a refused one) that reset the sort", true, 20, true, true},
        {"registration with the sort as it was: the timer paces it", false, 20, true, false},
        {"registration that wrote none empties the list", false, 0, true, true},
        {"...and an empty list stays as it is", true, 0, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RefreshAtOnce(c.sortChanged, c.rows, c.listShowsRows), c.atOnce) << c.what;
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

TEST_F(ResultTableTest, RowsSortByColumn) {
    constexpr auto kUp = SortDirection::Ascending;
    constexpr auto kDown = SortDirection::Descending;
    Add("10.0.0.2", "@", Success, 1);
    Add("9.255.255.255", "9.255.255.255", Failure, DomainIndexFailure);
    Add("192.168.0.1", "(192.168.0.1)", Pending, 0);
    Add("10.0.0.10", "zeta.example.com", Success, 1);
    Add("10.0.0.3", "Alpha.example.jp", Success, 20);
    Add("10.0.0.4", "beta.example.local", Success, DomainIndexNoMatch);
    // Addresses by number; hosts: placeholders, failures, names byte-wise; domains by index.
    const std::pair<SortState, std::string> cases[] = {
        {{1, ListColumn::Address, kUp},
         "9.255.255.255 10.0.0.2 10.0.0.3 10.0.0.4 10.0.0.10 192.168.0.1"},
        {{1, ListColumn::Address, kDown},
         "192.168.0.1 10.0.0.10 10.0.0.4 10.0.0.3 10.0.0.2 9.255.255.255"},
        {{1, ListColumn::HostName, kUp},
         "192.168.0.1 9.255.255.255 10.0.0.2 10.0.0.3 10.0.0.4 10.0.0.10"},
        {{1, ListColumn::Result, kUp},
         "192.168.0.1 10.0.0.2 10.0.0.3 10.0.0.4 10.0.0.10 9.255.255.255"},
        {{1, ListColumn::DomainInfo, kDown},
         "9.255.255.255 10.0.0.4 10.0.0.3 10.0.0.10 10.0.0.2 192.168.0.1"},
    };
    for (const auto& [sort, expected] : cases) {
        BuildSortOrder(*m_table, sort);
        EXPECT_EQ(Addresses(true), expected) << static_cast<int>(sort.Column);
    }
}

using ListRefreshTest = ResultTableTest;

TEST_F(ListRefreshTest, DecidesStatusAndDomainInformation) {
    std::map<std::string, std::string> answers = {{"8.8.8.1", "Mail.Example.CO.JP"},
                                                  {"8.8.8.2", "8.8.8.2"},
                                                  {"8.8.8.3", "printer.example.local"},
                                                  {"10.1.1.1", "gateway.example.com"}};
    std::string asked;
    std::uint64_t version = 0;
    const auto refresh = [&](bool listHadItems = true, bool answersChanged = true) {
        const auto request = [&](std::string_view address, LookupAnswer& answer) {
            asked += std::string(address) + " ";
            const auto it = answers.find(std::string(address));
            if (it == answers.end()) return false;
            answer = SettleAnswer(LookupAnswer(it->second), address);
            return true;
        };
        // The answers change between refreshes, and so does the version that tells so.
        if (answersChanged) ++version;
        return RefreshRows(*m_table, SortState{0}, request, version, listHadItems);
    };
    const auto shown = [&](bool japanese) {  // status and domain cell of each row
        std::string out;
        for (int i = 0; i < m_table->RowCount; ++i) {
            const ResultEntry& row = m_table->Rows[i];
            (out += std::to_string(static_cast<int>(row.Answer.Status)) + ":") +=
                std::string(DomainCellText(row, japanese)) + "|";
        }
        return out;
    };
    for (const char* address : {"8.8.8.1", "8.8.8.2", "8.8.8.3", "10.1.1.1", "8.8.8.5"}) {
        Add(address);
    }
    EXPECT_EQ(refresh(), RefreshOutcome::Rebuilt);
    // A private address shows no description. Rows are asked for last first, as workers take them.
    EXPECT_EQ(shown(false), "1:Japan: General Company|2:?|1:|1:-|0:-|");
    EXPECT_EQ(asked, "8.8.8.5 10.1.1.1 8.8.8.3 8.8.8.2 8.8.8.1 ");
    // While the cache is as it was, only the pending row is asked again.
    asked.clear();
    refresh(true, false);
    EXPECT_EQ(asked, "8.8.8.5 ");
    // A failure answered later, and a row pending again, are classified afresh.
    answers["8.8.8.2"] = "dns.example.net";
    answers.erase("8.8.8.1");
    refresh();
    answers["8.8.8.1"] = "host.example.de";
    // A name longer than the row's field is classified by its own last labels, not the cut.
    answers["8.8.8.5"] = std::string(400, 'a') + ".example.co.jp";
    refresh();
    EXPECT_EQ(shown(true), "1:ドイツ|1:ネットワーク用|1:|1:-|1:日本: 一般企業|");

    m_table->ResetRows();
    EXPECT_EQ(refresh(), RefreshOutcome::Cleared);
    EXPECT_EQ(m_table->OrderedCount, 0) << "a later deletion must not map list positions";
    EXPECT_EQ(refresh(false), RefreshOutcome::Unchanged);
}

}  // namespace
}  // namespace ip2h
