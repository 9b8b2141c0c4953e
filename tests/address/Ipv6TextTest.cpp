#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "address/Ipv6Text.h"

namespace ip2h {
namespace {

TEST(Ipv6TextTest, ReadsEveryTextFormAndWritesTheCanonicalOne) {
    // Text as typed, and its canonical form ("" when refused).
    const std::pair<std::string_view, std::string_view> forms[] = {
        {"2001:0DB8:0000:0000:0000:0000:0000:0001", "2001:db8::1"},
        {"2001:db8::1", "2001:db8::1"},
        {"2001:db8:0:0:1:0:0:1", "2001:db8::1:0:0:1"},     // the first of two equal runs
        {"2001:db8:0:1:1:1:1:1", "2001:db8:0:1:1:1:1:1"},  // one zero group stays
        {"::", "::"},
        {"::1", "::1"},
        {"fe80::", "fe80::"},
        {"::ffff:192.0.2.1", "::ffff:192.0.2.1"},
        {"::FFFF:c000:0201", "::ffff:192.0.2.1"},
        {"64:ff9b::192.0.2.33", "64:ff9b::c000:221"},
        {"::192.0.2.1", "::c000:201"},
        {"fe80::1%eth0", ""},
        {"2001:db8::1::2", ""},
        {"2001:db8:1:2:3:4:5:6:7", ""},
        {"12345::", ""},
        {"::ffff:192.0.2.256", ""},
        {"::ffff:192.0.2", ""},
        {"192.0.2.1", ""},
        {" ::1", ""},
        {"", ""}};
    for (const auto& [text, canonical] : forms) {
        const auto address = ParseIpv6(text);
        EXPECT_EQ(address ? FormatIpv6(*address) : std::string(), canonical) << text;
    }
}

TEST(Ipv6TextTest, BlocksUpToTheLimit) {
    // Text, first address and count ("" when refused, "too large" when over the limit).
    const std::pair<std::string_view, std::string_view> blocks[] = {
        {"2001:db8::77/112", "2001:db8:: 65536"},
        {"2001:db8::1:77/120", "2001:db8::1:0 256"},
        {"2001:db8::77/128", "2001:db8::77 1"},
        {"2001:db8::/111", "too large"},
        {"2001:db8::/0", "too large"},
        {"2001:db8::/129", ""},
        {"2001:db8::/0112", ""},
        {"2001:db8::/", ""},
        {"fe80::1%eth0/128", ""}};
    for (const auto& [text, expected] : blocks) {
        const auto block = ParseIpv6Block(text);
        std::string shown;
        if (block) {
            shown = block->TooLarge ? "too large"
                                    : FormatIpv6(block->First) + " " + std::to_string(block->Count);
        }
        EXPECT_EQ(shown, expected) << text;
    }
    EXPECT_EQ(FormatIpv6(Ipv6At(*ParseIpv6("2001:db8::ff:ffff"), 0x101)), "2001:db8::100:100");
}

TEST(Ipv6TextTest, ReverseNamesAndPrivateBlocks) {
    EXPECT_EQ(Ipv6ReverseName(*ParseIpv6("2001:db8::567:89ab")),
              "b.a.9.8.7.6.5.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa");
    for (const auto* text : {"fc00::1", "fdff::", "fe80::1", "febf::", "::1"})
        EXPECT_TRUE(IsPrivateIpv6(*ParseIpv6(text))) << text;
    for (const auto* text : {"fe00::", "fec0::1", "2001:db8::1", "::", "::2", "::ffff:10.0.0.1"})
        EXPECT_FALSE(IsPrivateIpv6(*ParseIpv6(text))) << text;
}

}  // namespace
}  // namespace ip2h
