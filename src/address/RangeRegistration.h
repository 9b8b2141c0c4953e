#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ip2h {

// What the register command makes of the two typed texts.
struct RegistrationPlan {
    bool Valid = false;  // false: the range text is empty once its spaces are removed
    std::string Start;   // the first address, or empty when no range could be read
    std::string End;     // the last address, or empty when no range could be read
    std::uint32_t Interval = 1;
    // false: the text is no block, address or range, so Start is the fallback "0.0.0.0" or
    // empty (the box accepts that; batch mode refuses it).
    bool Readable = false;
};

// Spaces are removed from the range text (other blanks stay); a block "a.b.c.d/n" is its
// range (ParseCidrText); any other text without "-" is one address (or "0.0.0.0" when it
// does not read as four fields); a text with "-" is a range.
RegistrationPlan PlanRegistration(std::string_view rangeText, std::string_view intervalText);

}  // namespace ip2h
