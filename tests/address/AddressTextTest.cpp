#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "address/AddressText.h"
#include "base/IntScan.h"
#include "address/RangeRegistration.h"

namespace ip2h {
namespace {

TEST(IntScanTest, ScanFieldsReadsLikePercentI) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"010.0x0A.0X1f.0", "8 10 31 0"},
        {"192.168.09.1", "192 168 0"},  // octal stops before 9; the "." no longer matches
        {"0x.5", "0"},                  // "0x" without a hex digit is 0 followed by text
        {" \t-1.+2", "-1 2"},
        {"-0x10", "-16"},
        {"- 5", ""},
        {"1 .2", "1"},  // a literal does not skip white space
        {"abc", ""},
        // Beyond 64 bits saturates instead of wrapping.
        {"99999999999999999999999", "9223372036854775807"},
    };
    for (const auto& [text, expected] : cases) {
        std::int64_t out[4] = {};
        const int count = ScanFields(text, "%i.%i.%i.%i", out);
        std::string read;
        for (int i = 0; i < count; ++i) read += (i ? " " : "") + std::to_string(out[i]);
        EXPECT_EQ(read, expected) << text;
    }
}

TEST(AddressParserTest, RecognisesDottedQuadsAndPrivateAddresses) {
    for (std::string_view text : {"0.0.0.0", "255.255.255.255", "1.2.3.4.5", "010.0.0.1"}) {
        EXPECT_TRUE(IsDottedQuad(text)) << text;
    }
    for (std::string_view text :
         {"192.168.09.1", "", "1.2.3", "256.1.1.1", "1.2.3.4a", " 1.2.3.4", "1.2.3.4294967297"}) {
        EXPECT_FALSE(IsDottedQuad(text)) << text;
    }
    for (std::string_view text : {"012.0.0.1", "172.16.0.1", "172.31.0.1", "192.168.1.1"}) {
        EXPECT_TRUE(IsPrivateAddress(text)) << text;
    }
    for (std::string_view text : {"172.15.0.1", "172.32.0.1", "192.169.1.1", "10.0.0"}) {
        EXPECT_FALSE(IsPrivateAddress(text)) << text;
    }
    EXPECT_EQ(AddressValue("1.2.3.010"), 0x01020308u);
}

TEST(AddressParserTest, ClampsFieldsAndIntervalsWithoutWrapping) {
    // 2^32 + 1 and 2^32 would wrap to 1 and 0 if read as 32 bits.
    EXPECT_EQ(NormaliseFields(0, 254, 255, -1), "0.254.255.255");
    EXPECT_EQ(NormaliseFields(4294967297, 4294967296, -4294967295, 1), "255.255.255.1");

    // The interval is read like atoi: "010" is ten, "0x10" is zero.
    const std::pair<std::string_view, std::uint32_t> intervals[] = {
        {"0", 1},         {"", 1},         {"x", 1},      {" 256abc", 256},
        {"010", 10},      {"0x10", 1},     {"-1", 65536}, {"4294967297", 65536},
        {"65535", 65535}, {"65536", 65536}};
    for (const auto& [text, expected] : intervals) EXPECT_EQ(ClampInterval(text), expected) << text;
}

TEST(RangeRegistrationTest, PlansFromTypedTexts) {
    // Spaces go; without "-" one address (0.0.0.0 if unreadable); an unreadable end is open.
    const std::tuple<std::string_view, std::string_view, std::string_view> plans[] = {
        {"192.168.0.1 - 192.168.0.3", "1", "192.168.0.1-192.168.0.3 step 1"},
        {"010.0.0.300", "", "8.0.0.255-8.0.0.255 step 1"},
        {"abc", "x", "0.0.0.0-0.0.0.0 step 1"},
        {"192.168.0-192.168.1", "256", "- step 256"},
        {"192.168.0.10-20", "0", "192.168.0.10-255.255.255.255 step 1"},
        {"300.1.1.1-010.0.0.0x3", "70000", "255.1.1.1-8.0.0.3 step 65536"},
        {"   ", "1", "invalid step 1"}};
    for (const auto& [text, interval, expected] : plans) {
        const RegistrationPlan plan = PlanRegistration(text, interval);
        const std::string range = plan.Valid ? plan.Start + "-" + plan.End : "invalid";
        EXPECT_EQ(range + " step " + std::to_string(plan.Interval), expected) << text;
    }
}

}  // namespace
}  // namespace ip2h
