#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "address/RangeRegistration.h"

namespace ip2h {
namespace {

// Address fields are read as %i reads them (octal, hex); the fuzz target checks that every
// reader agrees with the others and that a plan's range walks as it should.
TEST(RangeRegistrationTest, PlansFromTypedTexts) {
    // Spaces go; without "-" one address (0.0.0.0 if unreadable); an unreadable end is open.
    // The interval is read like atoi ("010" is ten, "0x10" zero) and kept within 1..65536.
    const std::tuple<std::string_view, std::string_view, std::string_view> plans[] = {
        {"192.168.0.1 - 192.168.0.3", "1", "192.168.0.1-192.168.0.3 step 1"},
        {"010.0.0.300", "", "8.0.0.255-8.0.0.255 step 1"},
        {"abc", "x", "0.0.0.0-0.0.0.0 unreadable step 1"},
        {"192.168.0-192.168.1", "256", "- unreadable step 256"},
        {"192.168.0.10-20", "0", "192.168.0.10-255.255.255.255 step 1"},
        {"300.1.1.1-010.0.0.0x3", "70000", "255.1.1.1-8.0.0.3 step 65536"},
        {"   ", "1", "invalid step 1"},
        // Fields beyond 32 or 64 bits, or negative, end at 255 instead of wrapping.
        {"4294967297.4294967296.-1.99999999999999999999", "1",
         "255.255.255.255-255.255.255.255 step 1"},
        {"1.1.1.1", "010", "1.1.1.1-1.1.1.1 step 10"},
        {"1.1.1.1", " 256abc", "1.1.1.1-1.1.1.1 step 256"},
        {"1.1.1.1", "0x10", "1.1.1.1-1.1.1.1 step 1"},
        {"1.1.1.1", "-1", "1.1.1.1-1.1.1.1 step 65536"},
        {"1.1.1.1", "4294967297", "1.1.1.1-1.1.1.1 step 65536"},
        // Blocks: host bits ignored, walked with the interval. Any other text with "/" is read
        // as before: one address from its four leading fields, or a range when it has "-".
        {"0.0.0.0/0", "1", "0.0.0.0-255.255.255.255 step 1"},
        {"10.20.30.40 /8", "256", "10.0.0.0-10.255.255.255 step 256"},
        {"10.0.0.77/24", "1", "10.0.0.0-10.0.0.255 step 1"},
        {"192.168.1.7/31", "1", "192.168.1.6-192.168.1.7 step 1"},
        {"192.168.1.7/32", "1", "192.168.1.7-192.168.1.7 step 1"},
        {"010.0.0.1/08", "1", "8.0.0.0-8.255.255.255 step 1"},
        {"10.0.0.77/33", "1", "10.0.0.77-10.0.0.77 step 1"},
        {"10.0.0.77/024", "1", "10.0.0.77-10.0.0.77 step 1"},
        {"10.0.0.77/2x", "1", "10.0.0.77-10.0.0.77 step 1"},
        {"10.0.0.77/", "1", "10.0.0.77-10.0.0.77 step 1"},
        {"10.0.0.77/-1", "1", "10.0.0.77-255.255.255.255 step 1"},
        {"1.2.3.4.5/24", "1", "1.2.3.4-1.2.3.4 step 1"},
        {"10.0.0/24", "1", "0.0.0.0-0.0.0.0 unreadable step 1"},
        {"10.0.0.1/24-10.0.0.9", "1", "10.0.0.1-255.255.255.255 step 1"}};
    for (const auto& [text, interval, expected] : plans) {
        const RegistrationPlan plan = PlanRegistration(text, interval);
        std::string range = plan.Valid ? plan.Start + "-" + plan.End : "invalid";
        if (plan.Valid && !plan.Readable) range += " unreadable";
        EXPECT_EQ(range + " step " + std::to_string(plan.Interval), expected) << text;
    }
}

}  // namespace
}  // namespace ip2h
