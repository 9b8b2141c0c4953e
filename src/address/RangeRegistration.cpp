#include "address/RangeRegistration.h"

#include "address/AddressText.h"

namespace ip2h {

RegistrationPlan PlanRegistration(std::string_view rangeText, std::string_view intervalText) {
    RegistrationPlan plan;
    std::string work;
    work.reserve(rangeText.size());
    for (const char c : rangeText) {
        if (c != ' ') work.push_back(c);
    }
    plan.Interval = ClampInterval(intervalText);
    if (work.empty()) return plan;
    plan.Valid = true;

    if (const auto block = ParseCidrText(work)) {
        plan.Start = block->Start;
        plan.End = block->End;
        plan.Readable = true;
    } else if (work.find('-') == std::string::npos) {
        const auto address = ReadLeadingQuad(work);
        plan.Start = address.value_or("0.0.0.0");
        plan.End = plan.Start;
        plan.Readable = address.has_value();
    } else if (const auto range = ParseRangeText(work)) {
        plan.Start = range->Start;
        plan.End = range->End;
        plan.Readable = true;
    }
    return plan;
}

}  // namespace ip2h
