#include "input/IntScan.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace ip2h {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

struct ScanCase {
    std::string_view text;
    std::string_view format;
    std::vector<std::int64_t> expected;  // the fields stored; its size is the count
};

TEST(IntScanTest, ScanFieldsReadsLikePercentI) {
    const ScanCase cases[] = {
        // Bases by prefix.
        {"192.168.0.1", "%i.%i.%i.%i", {192, 168, 0, 1}},
        {"010.0x0A.0X1f.0", "%i.%i.%i.%i", {8, 10, 31, 0}},
        // Octal stops before 8 or 9, so the next literal no longer matches.
        {"192.168.09.1", "%i.%i.%i.%i", {192, 168, 0}},
        // "0x" without a hex digit is the number 0 followed by text.
        {"0x.5", "%i.%i", {0}},
        // Signs and leading white space, but no white space inside the number.
        {" \t-1.+2", "%i.%i", {-1, 2}},
        {"-0x10", "%i", {-16}},
        {"- 5", "%i", {}},
        // A literal does not skip white space; a blank in the format matches any run of it.
        {"1 .2", "%i.%i", {1}},
        {"1 \n 2", "%i %i", {1, 2}},
        // Partial reads and ignored tails.
        {"1.2.3", "%i.%i.%i.%i", {1, 2, 3}},
        {"1.2.3.4.5", "%i.%i.%i.%i", {1, 2, 3, 4}},
        {"1.2.3.4-20", "%i.%i.%i.%i-%i.%i.%i.%i", {1, 2, 3, 4, 20}},
        {"abc", "%i", {}},
        // Values beyond 32 and 64 bits are kept or saturate instead of wrapping.
        {"4294967297", "%i", {4294967297}},
        {"99999999999999999999999", "%i", {kMax}},
        {"-99999999999999999999999", "%i", {-kMax}},
        {"0xFFFFFFFFFFFFFFFFFF", "%i", {kMax}},
    };
    for (const ScanCase& c : cases) {
        std::int64_t out[8] = {};
        const int count = ScanFields(c.text, c.format, out);
        EXPECT_EQ(count, static_cast<int>(c.expected.size())) << '"' << c.text << '"';
        for (std::size_t i = 0; i < c.expected.size() && i < 8; ++i) {
            EXPECT_EQ(out[i], c.expected[i]) << '"' << c.text << "\" field " << i;
        }
    }
}

TEST(IntScanTest, LeadingDecimalReadsLikeAtoi) {
    // "0x10" and "010" are decimal here: 0 and 10.
    const std::pair<std::string_view, std::int64_t> cases[] = {
        {" \t42abc", 42}, {"-1", -1}, {"0x10", 0},
        {"010", 10},      {"", 0},    {"9999999999999999999999", kMax}};
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(LeadingDecimal(text), expected) << '"' << text << '"';
    }
}

}  // namespace
}  // namespace ip2h
