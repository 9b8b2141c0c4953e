#include "input/AddressParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "results/FixedText.h"
#include "results/ResultTable.h"

namespace ip2h {
namespace {

TEST(AddressParserTest, RecognisesDottedQuadsAndPrivateAddresses) {
    const std::pair<std::string_view, bool> quads[] = {
        {"0.0.0.0", true},   {"255.255.255.255", true},  {"1.2.3.4.5", true},
        {"010.0.0.1", true}, {"192.168.09.1", false},    {"", false},
        {"1.2.3", false},    {"256.1.1.1", false},       {"1.2.3.4a", false},
        {" 1.2.3.4", false}, {"1.2.3.4294967297", false}};
    for (const auto& [text, expected] : quads) EXPECT_EQ(IsDottedQuad(text), expected) << text;

    const std::pair<std::string_view, bool> privates[] = {
        {"012.0.0.1", true},   {"172.16.0.1", true},   {"172.31.0.1", true}, {"172.32.0.1", false},
        {"192.168.1.1", true}, {"192.169.1.1", false}, {"10.0.0", false}};
    for (const auto& [text, expected] : privates) {
        EXPECT_EQ(IsPrivateAddress(text), expected) << text;
    }
    EXPECT_EQ(AddressValue("1.2.3.010"), 0x01020308u);
}

TEST(AddressParserTest, ClampsFieldsAndIntervalsWithoutWrapping) {
    // 2^32 + 1 and 2^32 would wrap to 1 and 0 if read as 32 bits.
    EXPECT_EQ(NormaliseFields(0, 254, 255, -1), "0.254.255.255");
    EXPECT_EQ(NormaliseFields(4294967297, 4294967296, -4294967295, 1), "255.255.255.1");

    const std::pair<std::string_view, std::uint32_t> intervals[] = {
        {"0", 1},         {"", 1},          {"x", 1},      {" 256", 256},
        {"65535", 65535}, {"65536", 65536}, {"-1", 65536}, {"4294967297", 65536}};
    for (const auto& [text, expected] : intervals) EXPECT_EQ(ClampInterval(text), expected);
}

TEST(AddressParserTest, ParseRangeText) {
    const std::tuple<std::string_view, std::string_view, std::string_view> cases[] = {
        {"192.168.0.0-192.168.0.255", "192.168.0.0", "192.168.0.255"},
        {"192.168.0.10-", "192.168.0.10", "255.255.255.255"},
        {"192.168.0.10-20", "192.168.0.10", "255.255.255.255"},
        {"300.1.1.1-010.0.0.0x3", "255.1.1.1", "8.0.0.3"},
        {"192.168.0-192.168.1", "", ""},
        {"192.168.0.1", "", ""}};
    for (const auto& [text, start, end] : cases) {
        const auto range = ParseRangeText(text);
        ASSERT_EQ(range.has_value(), !start.empty()) << text;
        if (range) {
            EXPECT_EQ(range->Start, start) << text;
            EXPECT_EQ(range->End, end) << text;
        }
    }
}

class RangeTest : public ::testing::Test {
protected:
    std::string_view Address(int i) const { return FieldText(m_table->Rows[i].Address); }

    std::unique_ptr<ResultTable> m_table = ResultTable::Create();
};

TEST_F(RangeTest, FillRangeWalks) {
    struct Case {
        std::string_view start, end;
        std::int64_t interval;
        int maxLimit;
        int count;
        std::string_view second, last;
    };
    const Case cases[] = {
        {"192.168.0.0", "192.168.3.255", 1, 256, 256, "192.168.0.1", "192.168.0.255"},
        {"10.0.0.0", "10.255.255.255", 65536, 1024, 256, "10.1.0.0", "10.255.0.0"},
        {"10.0.0.200", "10.0.1.200", 100, 256, 3, "10.0.1.44", "10.0.1.144"},
        // The walk ends at 255.255.255.255 instead of wrapping round to 0.0.0.0.
        {"255.255.255.250", "255.255.255.255", 3, 256, 2, "255.255.255.253", "255.255.255.253"},
        {"255.255.255.255", "255.255.255.255", 65536, 256, 1, "", "255.255.255.255"},
        {"010.0.0.1", "010.0.0.3", 1, 256, 3, "8.0.0.2", "8.0.0.3"},
        // No row is written beyond the table, whatever the limit.
        {"0.0.0.0", "255.255.255.255", 1, 100000, MaxRows, "0.0.0.1", "0.0.39.14"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + "-" += c.end);
        ASSERT_EQ(FillRange(*m_table, c.start, c.end, c.interval, c.maxLimit), c.count);
        EXPECT_EQ(m_table->RowCount, c.count);
        EXPECT_EQ(Address(c.count - 1), c.last);
        if (c.count > 1) {
            EXPECT_EQ(Address(1), c.second);
        }
        if (c.count < MaxRows) {
            EXPECT_EQ(Address(c.count), "") << "stale row after the range";
        }
    }
}

TEST_F(RangeTest, FillRangeRefusesBadInputAndEmptiesOnReversedRange) {
    ASSERT_EQ(FillRange(*m_table, "1.1.1.1", "1.1.1.3", 1, 256), 3);
    EXPECT_EQ(FillRange(*m_table, "", "", 1, 256), 0);
    EXPECT_EQ(FillRange(*m_table, "1.1.1.1", "1.1.1", 1, 256), 0);
    EXPECT_EQ(FillRange(*m_table, "1.1.1.1", "1.1.1.9", 0, 256), 0);
    EXPECT_EQ(FillRange(*m_table, "1.1.1.1", "1.1.1.9", 65537, 256), 0);
    EXPECT_EQ(m_table->RowCount, 3);
    EXPECT_EQ(Address(2), "1.1.1.3");

    EXPECT_EQ(FillRange(*m_table, "192.168.0.255", "192.168.0.0", 1, 256), 0);
    EXPECT_EQ(m_table->RowCount, 0);
    EXPECT_EQ(Address(0), "");
}

TEST_F(RangeTest, AppendRangeLimits) {
    m_table->WriteNewRow(0, "9.9.9.9");
    EXPECT_EQ(AppendRange(*m_table, "10.0.0.250", "255.255.255.255", 1, 1, 256), 257);
    EXPECT_EQ(Address(0), "9.9.9.9");
    EXPECT_EQ(Address(256), "10.0.1.249");
    EXPECT_EQ(m_table->RowCount, 0) << "the caller sets the count";

    EXPECT_EQ(AppendRange(*m_table, "10.0.0.0", "10.0.0.9", 1, MaxRows - 1, 256), MaxRows);
    EXPECT_EQ(Address(MaxRows - 1), "10.0.0.0");
    EXPECT_EQ(AppendRange(*m_table, "10.0.0.0", "10.0.0.9", 1, MaxRows, 256), MaxRows);
    EXPECT_EQ(AppendRange(*m_table, "10.0.0.0", "10.0.0.9", 1, -1, 256), -1);
    EXPECT_EQ(AppendRange(*m_table, "10.0.0.9", "10.0.0.0", 1, 5, 256), 5);
    EXPECT_EQ(AppendRange(*m_table, "10.0.0.0", "10.0.0.9", 0, 5, 256), 5);
    EXPECT_EQ(Address(5), "10.0.0.254");
}

}  // namespace
}  // namespace ip2h
