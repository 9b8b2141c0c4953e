#include "results/ResultTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "results/FixedText.h"

namespace ip2h {
namespace {

class ResultTableTest : public ::testing::Test {
protected:
    // Rows "r0".."r<count-1>", each slot with its own sort key and each row with answer
    // fields that must travel with it.
    void Fill(int count) {
        for (int i = 0; i < count; ++i) {
            const std::string name = "r" + std::to_string(i);
            m_table->WriteNewRow(i, name);
            CopyToField(m_table->Rows[i].SortKey, "key" + std::to_string(i));
            CopyToField(m_table->Rows[i].HostName, "host-" + name);
            CopyToField(m_table->Rows[i].DomainInfo, "info-" + name);
            m_table->Rows[i].Status = Success;
            m_table->Rows[i].DomainIndex = 100 + i;
            m_table->Rows[i].Selected = i % 2;
        }
        m_table->RowCount = count;
    }

    void Order(std::vector<int> order) {
        std::copy(order.begin(), order.end(), m_table->RowOrder);
        m_table->OrderedCount = static_cast<std::int32_t>(order.size());
    }

    std::vector<std::string> Addresses() const {
        std::vector<std::string> out;
        for (int i = 0; i < m_table->RowCount; ++i) {
            out.emplace_back(FieldText(m_table->Rows[i].Address));
        }
        return out;
    }

    std::unique_ptr<ResultTable> m_table = ResultTable::Create();
};

TEST_F(ResultTableTest, ResetRowsZeroesRowsButKeepsOrderEntries) {
    Fill(4);
    Order({3, 2, 1, 0});
    m_table->CompactionBuffer[7].Status = Failure;
    m_table->ResetRows();

    EXPECT_EQ(m_table->RowCount, 0);
    EXPECT_EQ(m_table->OrderedCount, 0);
    EXPECT_EQ(m_table->RowOrder[0], 3);
    const auto zero = [](const auto& array) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&array);
        return std::all_of(bytes, bytes + sizeof array, [](unsigned char b) { return b == 0; });
    };
    EXPECT_TRUE(zero(m_table->Rows));
    EXPECT_TRUE(zero(m_table->CompactionBuffer));
}

TEST_F(ResultTableTest, WriteNewRowStartsPendingAndCutsLongAddresses) {
    Fill(1);
    const std::string longAddress = std::string(400, '1');
    m_table->WriteNewRow(0, longAddress);

    const ResultEntry& row = m_table->Rows[0];
    EXPECT_EQ(FieldText(row.Address), longAddress.substr(0, 319));
    EXPECT_EQ(FieldText(row.HostName), "");
    EXPECT_EQ(row.Status, Pending);
    EXPECT_EQ(row.DomainIndex, 0);
    EXPECT_EQ(row.Selected, 0);
    EXPECT_EQ(FieldText(row.SortKey), "key0");
    EXPECT_EQ(FieldText(row.DomainInfo), "info-r0");
}

TEST_F(ResultTableTest, DeleteRowsCompactsInListOrder) {
    struct Case {
        const char* name;
        int rows;
        std::vector<int> order;  // RowOrder[0..OrderedCount)
        std::vector<int> selected;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"no selection stores list order", 3, {2, 0, 1}, {}, {"r2", "r0", "r1"}},
        {"positions index the list", 4, {3, 2, 1, 0}, {0, 2}, {"r2", "r0"}},
        {"every row", 3, {0, 1, 2}, {2, 0, 1}, {}},
        {"repeated and out-of-range positions", 3, {0, 1, 2}, {1, 1, -1, 3, 9999}, {"r0", "r2"}},
        // Rows pasted since the last refresh are not listed yet: they follow, kept.
        {"stale order after a paste", 5, {2, 0, 1}, {1, 3, 4}, {"r2", "r1", "r3", "r4"}},
        // Entries that no longer name a row, or name one twice, show nothing.
        {"invalid order entries", 3, {1, 1, 7, -1, 0}, {1, 2, 3}, {"r1", "r0", "r2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_table->ResetRows();
        Fill(c.rows);
        Order(c.order);
        m_table->DeleteRows(c.selected);
        EXPECT_EQ(Addresses(), c.expected);
    }
}

TEST_F(ResultTableTest, DeleteRowsMovesEverythingButTheSortKey) {
    Fill(4);
    Order({3, 2, 1, 0});
    const int selected[] = {1};
    m_table->DeleteRows(selected);

    ASSERT_EQ(Addresses(), (std::vector<std::string>{"r3", "r1", "r0"}));
    const ResultEntry& moved = m_table->Rows[0];
    EXPECT_EQ(FieldText(moved.HostName), "host-r3");
    EXPECT_EQ(FieldText(moved.DomainInfo), "info-r3");
    EXPECT_EQ(moved.Status, Success);
    EXPECT_EQ(moved.DomainIndex, 103);
    EXPECT_EQ(moved.Selected, 1);  // the row's own flag travels; the list selection does not
    EXPECT_EQ(m_table->Rows[2].Selected, 0);
    EXPECT_EQ(FieldText(moved.SortKey), "key0");
    EXPECT_EQ(FieldText(m_table->Rows[2].SortKey), "key2");
}

// RowOrder no longer describes storage after a refill or a deletion: until the next sort,
// positions delete nothing and the rows stay in storage order.
TEST_F(ResultTableTest, DeleteRowsIgnoresAnOrderThatStorageHasOutgrown) {
    Fill(5);
    Order({4, 3, 2, 1, 0});
    m_table->ResetRows();
    Fill(2);
    const int both[] = {0, 1};
    m_table->DeleteRows(both);
    EXPECT_EQ(Addresses(), (std::vector<std::string>{"r0", "r1"}));

    Fill(4);
    Order({3, 2, 1, 0});
    const int first[] = {0};
    m_table->DeleteRows(first);
    m_table->DeleteRows(both);
    EXPECT_EQ(Addresses(), (std::vector<std::string>{"r2", "r1", "r0"}));
}

TEST_F(ResultTableTest, SetSelectedWhereCoversExactlyTheRowsInUse) {
    Fill(4);
    m_table->Rows[1].Status = Failure;
    m_table->Rows[4].Selected = 1;  // beyond RowCount
    m_table->SetSelectedWhere([](const ResultEntry& row) { return row.Status == Failure; });

    std::vector<int> flags;
    for (int i = 0; i < 5; ++i) flags.push_back(m_table->Rows[i].Selected);
    EXPECT_EQ(flags, (std::vector<int>{0, 1, 0, 0, 1}));
}

}  // namespace
}  // namespace ip2h
