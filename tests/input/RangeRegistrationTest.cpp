#include "input/RangeRegistration.h"

#include <gtest/gtest.h>

namespace ip2h {
namespace {

TEST(RangeRegistrationTest, PlansFromTypedTexts) {
    struct Case {
        const char* range;
        const char* interval;
        bool valid;
        const char* start;
        const char* end;
        std::uint32_t step;
    };
    const Case cases[] = {
        {"192.168.0.1 - 192.168.0.3", "1", true, "192.168.0.1", "192.168.0.3", 1},
        {"192.168.0.1", "", true, "192.168.0.1", "192.168.0.1", 1},
        {"abc", "x", true, "0.0.0.0", "0.0.0.0", 1},
        {"192.168.0.10-20", "0", true, "192.168.0.10", "255.255.255.255", 1},
        {"192.168.0-192.168.1", "256", true, "", "", 256},
        {"300.1.1.1-1.1.1.1", "70000", true, "255.1.1.1", "1.1.1.1", 65536},
        {"010.0.0.1-010.0.0.3", "-1", true, "8.0.0.1", "8.0.0.3", 65536},
        {"1.2.3.4\t", " 65535", true, "1.2.3.4", "1.2.3.4", 65535},
        {"   ", "1", false, "", "", 1},
        {"", "1", false, "", "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.range);
        const RegistrationPlan plan = PlanRegistration(c.range, c.interval);
        EXPECT_EQ(plan.Valid, c.valid);
        EXPECT_EQ(plan.Start, c.start);
        EXPECT_EQ(plan.End, c.end);
        EXPECT_EQ(plan.Interval, c.step);
    }
}

}  // namespace
}  // namespace ip2h
