#include "results/Sorting.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "results/FixedText.h"
#include "results/ResultTable.h"

namespace ip2h {
namespace {

struct Row {
    std::string address;
    std::string host;
    std::int32_t status;
    std::int32_t domainIndex;
};

class SortingTest : public ::testing::Test {
protected:
    void Fill(const std::vector<Row>& rows) {
        m_table->ResetRows();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            ResultEntry& e = m_table->Rows[i];
            CopyToField(e.Address, rows[i].address);
            CopyToField(e.HostName, rows[i].host);
            e.Status = rows[i].status;
            e.DomainIndex = rows[i].domainIndex;
        }
        m_table->RowCount = static_cast<int>(rows.size());
    }

    std::vector<std::string> Order(int column) {
        std::vector<std::string> out;
        for (int i = 0; i < m_table->OrderedCount; ++i) {
            const ResultEntry& e = m_table->Rows[m_table->RowOrder[i]];
            out.emplace_back(column == 1 ? FieldText(e.HostName) : FieldText(e.Address));
        }
        return out;
    }

    std::unique_ptr<ResultTable> m_table = ResultTable::Create();
};

TEST_F(SortingTest, KeyOrdersByColumn) {
    Fill({{"10.0.0.2", "@", Success, 1},
          {"9.255.255.255", "9.255.255.255", Failure, DomainIndexFailure},
          {"192.168.0.1", "(192.168.0.1)", Pending, 0},
          {"10.0.0.10", "zeta.example.com", Success, 1},
          {"10.0.0.3", "Alpha.example.jp", Success, 20},
          {"10.0.0.4", "beta.example.local", Success, DomainIndexNoMatch}});

    SortState sort{1, 0, 0};
    BuildSortOrder(*m_table, sort);
    // Addresses compare field by field as numbers, not as text.
    EXPECT_EQ(Order(0), (std::vector<std::string>{"9.255.255.255", "10.0.0.2", "10.0.0.3",
                                                   "10.0.0.4", "10.0.0.10", "192.168.0.1"}));

    sort.Column = 1;
    BuildSortOrder(*m_table, sort);
    // Placeholders before failed rows before names; names byte-wise, capitals first.
    EXPECT_EQ(Order(1), (std::vector<std::string>{"(192.168.0.1)", "9.255.255.255", "@",
                                                   "Alpha.example.jp", "beta.example.local",
                                                   "zeta.example.com"}));

    sort.Column = 2;
    BuildSortOrder(*m_table, sort);
    EXPECT_EQ(Order(0), (std::vector<std::string>{"192.168.0.1", "10.0.0.2", "10.0.0.3",
                                                   "10.0.0.4", "10.0.0.10", "9.255.255.255"}));

    sort.Column = 3;
    sort.Direction = 1;
    BuildSortOrder(*m_table, sort);
    // Descending by domain index: failed, unmatched, table order, then unclassified.
    EXPECT_EQ(Order(0), (std::vector<std::string>{"9.255.255.255", "10.0.0.4", "10.0.0.3",
                                                   "10.0.0.10", "10.0.0.2", "192.168.0.1"}));
}

TEST_F(SortingTest, EqualKeysKeepThePreviousOrderAndKeysStayBounded) {
    // Two pasted copies of one address: only their previous keys tell them apart.
    Fill({{"10.0.0.1", "same.example.com", Success, 1},
          {"10.0.0.1", "same.example.com", Success, 1},
          {"10.0.0.0", "first.example.com", Success, 1}});
    CopyToField(m_table->Rows[0].SortKey, "2");
    CopyToField(m_table->Rows[1].SortKey, "1");
    CopyToField(m_table->Rows[0].DomainInfo, "was second");
    CopyToField(m_table->Rows[1].DomainInfo, "was first");
    BuildSortOrder(*m_table, SortState{1, 0, 0});
    EXPECT_EQ(m_table->RowOrder[0], 2);
    EXPECT_STREQ(m_table->Rows[m_table->RowOrder[1]].DomainInfo, "was first");
    EXPECT_STREQ(m_table->Rows[m_table->RowOrder[2]].DomainInfo, "was second");

    for (int i = 0; i < 200; ++i) BuildSortOrder(*m_table, SortState{1, 0, 0});
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(std::strlen(m_table->Rows[i].SortKey), 2046u);
    }
}

TEST_F(SortingTest, DisabledSortKeepsStorageOrderAndClearsTheRest) {
    Fill({{"10.0.0.9", "", Pending, 0}, {"10.0.0.1", "", Pending, 0}});
    m_table->RowOrder[5] = 5;
    BuildSortOrder(*m_table, SortState{0, 0, 0});
    EXPECT_EQ(Order(0), (std::vector<std::string>{"10.0.0.9", "10.0.0.1"}));
    EXPECT_EQ(m_table->RowOrder[5], -1);
    EXPECT_EQ(m_table->OrderedCount, 2);
}

TEST(SortDecisions, ColumnClicksToggleAndRefuse) {
    SortState sort;
    EXPECT_TRUE(ApplyColumnClick(sort, 0, false));
    EXPECT_EQ(sort.Direction, 1);
    EXPECT_TRUE(ApplyColumnClick(sort, 0, false));
    EXPECT_EQ(sort.Direction, 0);
    EXPECT_TRUE(ApplyColumnClick(sort, 0, false));
    // A new column keeps the direction.
    EXPECT_TRUE(ApplyColumnClick(sort, 2, false));
    EXPECT_EQ(sort.Column, 2);
    EXPECT_EQ(sort.Direction, 1);

    const SortState before = sort;
    EXPECT_FALSE(ApplyColumnClick(sort, 3, true));  // a lookup is running
    sort.Enabled = 0;
    EXPECT_FALSE(ApplyColumnClick(sort, 3, false));
    EXPECT_EQ(sort.Column, before.Column);
    EXPECT_EQ(sort.Direction, before.Direction);

    EXPECT_FALSE(ResetSortOrder(sort));  // off: nothing moves
    EXPECT_TRUE(ToggleSortEnabled(sort));
    EXPECT_EQ(sort.Column, 0);
    EXPECT_EQ(sort.Direction, 0);
    EXPECT_FALSE(ToggleSortEnabled(sort));
    EXPECT_EQ(sort.Enabled, 0);
}

}  // namespace
}  // namespace ip2h
