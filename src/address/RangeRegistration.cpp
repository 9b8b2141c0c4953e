#include "address/RangeRegistration.h"

#include "address/AddressText.h"
#include "base/IntScan.h"

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
        std::int64_t f[4] = {};
        if (ScanFields(work, "%i.%i.%i.%i", f) == 4) {
            plan.Start = NormaliseFields(f[0], f[1], f[2], f[3]);
            plan.Readable = true;
        } else {
            plan.Start = "0.0.0.0";
        }
        plan.End = plan.Start;
    } else if (const auto range = ParseRangeText(work)) {
        plan.Start = range->Start;
        plan.End = range->End;
        plan.Readable = true;
    }
    return plan;
}

}  // namespace ip2h
