#include "results/RowCommands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "results/FixedText.h"
#include "results/ResultTable.h"

namespace ip2h {
namespace {

std::vector<std::string> Addresses(const ResultTable& table) {
    std::vector<std::string> out;
    for (int i = 0; i < table.RowCount; ++i) out.emplace_back(FieldText(table.Rows[i].Address));
    return out;
}

TEST(CopyLinesTest, FormatsByCopyItems) {
    const RowCells row{"192.168.0.1", "a.example", "Success", "-"};
    const std::pair<int, std::string> cases[] = {
        {1, "192.168.0.1\r\n"},
        {2, "a.example\r\n"},
        {3, "192.168.0.1 a.example\r\n"},
        {0, "192.168.0.1,a.example,Success,-,\r\n"},
    };
    for (const auto& [items, line] : cases) {
        std::string out;
        AppendCopyLine(out, items, row);
        EXPECT_EQ(out, line) << items;
    }
}

TEST(PasteRowsTest, LinesEntriesAndCleaning) {
    struct Case {
        const char* text;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {"192.168.0.1", {"192.168.0.1"}},
        {"192.168.0.1\n", {"192.168.0.1"}},
        {"\"10.0.0.1\"", {"10.0.0.1"}},
        {" \t'10.0.0.1'\r\n", {"10.0.0.1"}},
        {"192.168.000.001", {"192.168.000.001"}},  // a single address is kept as pasted
        {"10.0.0.0 - 10.0.0.3", {"10.0.0.0", "10.0.0.1", "10.0.0.2", "10.0.0.3"}},
        {"10.0.0.1,10.0.0.2", {}},
        {"host.example.com\nnot an address\n\n", {}},
        // The last line counts without a final line feed.
        {"8.8.8.8\r\n9.9.9.9", {"8.8.8.8", "9.9.9.9"}},
        {"1.1.1.1\n8.8.8.8", {"1.1.1.1", "8.8.8.8"}},
    };
    auto table = ResultTable::Create();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        table->ResetRows();
        const int added = PasteRows(*table, c.text, 1, 256);
        EXPECT_EQ(added, static_cast<int>(c.rows.size()));
        EXPECT_EQ(Addresses(*table), c.rows);
    }
}

TEST(PasteRowsTest, AppendsAfterExistingRowsWithinLimits) {
    auto table = ResultTable::Create();
    table->WriteNewRow(0, "1.1.1.1");
    table->RowCount = 1;
    // An open range gives MaxLimit rows per range, however many ranges one paste holds.
    EXPECT_EQ(PasteRows(*table, "10.0.0.250-\n10.1.0.0-\n", 1, 256), 512);
    EXPECT_EQ(table->RowCount, 513);
    EXPECT_EQ(Addresses(*table)[1], "10.0.0.250");
    EXPECT_EQ(table->Rows[1].Status, Pending);

    table->RowCount = MaxRows - 2;
    EXPECT_EQ(PasteRows(*table, "2.2.2.2\n3.3.3.3\n4.4.4.4\n", 1, 256), 2);
    EXPECT_EQ(table->RowCount, MaxRows);
    EXPECT_EQ(PasteRows(*table, "5.5.5.5", 1, 256), 0);
    EXPECT_EQ(table->RowCount, MaxRows);
}

TEST(RowCommandAvailabilityTest, FollowsTheListState) {
    const auto none = AvailableRowCommands(0, 0);
    EXPECT_FALSE(none.Copy || none.Delete || none.SelectAll || none.SelectSuccess ||
                 none.SelectFailure);
    EXPECT_TRUE(none.Paste);
    const auto unselected = AvailableRowCommands(5, 0);
    EXPECT_FALSE(unselected.Copy || unselected.Delete);
    EXPECT_TRUE(unselected.SelectAll && unselected.SelectSuccess && unselected.SelectFailure);
    const auto selected = AvailableRowCommands(5, 2);
    EXPECT_TRUE(selected.Copy && selected.Delete && selected.Paste && selected.SelectAll);
}

}  // namespace
}  // namespace ip2h
