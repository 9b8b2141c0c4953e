#include "results/RangeRows.h"

#include <gtest/gtest.h>

#include <string>

#include "base/FixedText.h"
#include "results/ResultTable.h"

namespace ip2h {
namespace {

class RangeTest : public ::testing::Test {
protected:
    std::string_view Address(int i) const { return FieldText(m_table->Rows[i].Address); }

    std::unique_ptr<ResultTable> m_table = ResultTable::Create();
};

TEST_F(RangeTest, FillRangeWalks) {
    struct Case {
        std::string_view start, end;
        std::int64_t interval;
        int maxLimit, count;
        std::string_view second, last;
    };
    const Case cases[] = {
        {"192.168.0.0", "192.168.3.255", 1, 256, 256, "192.168.0.1", "192.168.0.255"},
        {"10.0.0.0", "10.255.255.255", 65536, 1024, 256, "10.1.0.0", "10.255.0.0"},
        {"10.0.0.200", "10.0.1.200", 100, 256, 3, "10.0.1.44", "10.0.1.144"},
        // The walk ends at 255.255.255.255 instead of wrapping round to 0.0.0.0.
        {"255.255.255.250", "255.255.255.255", 3, 256, 2, "255.255.255.253", "255.255.255.253"},
        {"255.255.255.255", "255.255.255.255", 65536, 256, 1, "", "255.255.255.255"},
        // No row is written beyond the table, whatever the limit.
        {"0.0.0.0", "255.255.255.255", 1, 100000, MaxRows, "0.0.0.1", "0.0.39.14"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + "-" += c.end);
        ASSERT_EQ(FillRange(*m_table, c.start, c.end, c.interval, c.maxLimit), c.count);
        EXPECT_EQ(m_table->RowCount, c.count);
        EXPECT_EQ(Address(c.count - 1), c.last);
        EXPECT_EQ(Address(1), c.second);
        if (c.count < MaxRows) {
            EXPECT_EQ(Address(c.count), "") << "stale row after the range";
        }
    }
}

// Unreadable or reversed ranges write nothing; a reversed FillRange still empties the table.
TEST_F(RangeTest, BadOrReversedRangesWriteNothing) {
    ASSERT_EQ(FillRange(*m_table, "1.1.1.1", "1.1.1.3", 1, 256), 3);
    for (const char* bad : {"", "1.1.1", "1.1.1.0x"}) {
        EXPECT_EQ(FillRange(*m_table, "1.1.1.1", bad, 1, 256), 0);
        EXPECT_EQ(FillRange(*m_table, bad, "1.1.1.1", 1, 256), 0);
        EXPECT_EQ(AppendRange(*m_table, bad, "1.1.1.9", 1, 1, 256), 1);
    }
    EXPECT_EQ(AppendRange(*m_table, "1.1.1.9", "1.1.1.0", 1, 1, 256), 1);
    EXPECT_EQ(m_table->RowCount, 3);
    EXPECT_EQ(std::string(Address(1)) + " " += Address(2), "1.1.1.2 1.1.1.3");
    EXPECT_EQ(FillRange(*m_table, "192.168.0.255", "192.168.0.0", 1, 256), 0);
    EXPECT_EQ(m_table->RowCount, 0);
    EXPECT_EQ(Address(0), "");
}

TEST_F(RangeTest, AppendRangeWritesWithinTheTableOnly) {
    m_table->WriteNewRow(0, "9.9.9.9");
    EXPECT_EQ(AppendRange(*m_table, "10.0.0.250", "255.255.255.255", 1, 1, 256), 257);
    EXPECT_EQ(std::string(Address(0)) + " " += Address(256), "9.9.9.9 10.0.1.249");
    EXPECT_EQ(AppendRange(*m_table, "10.0.0.0", "10.0.0.9", 1, MaxRows - 1, 256), MaxRows);
    EXPECT_EQ(Address(MaxRows - 1), "10.0.0.0");
    for (int index : {MaxRows, -1}) {
        EXPECT_EQ(AppendRange(*m_table, "10.0.0.0", "10.0.0.9", 1, index, 256), index);
    }
}

}  // namespace
}  // namespace ip2h
