// Address and range texts as typed into the range and interval boxes: the parser, the
// registration plan and the expansion of a range into table rows.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "address/AddressText.h"
#include "address/RangeRegistration.h"
#include "base/FixedText.h"
#include "results/RangeRows.h"
#include "results/ResultTable.h"

namespace ip2h::fuzz {
namespace {

ResultTable& Table() {
    static const std::unique_ptr<ResultTable> table = ResultTable::Create();
    return *table;
}

void CheckAddressText(std::string_view text) {
    const bool quad = IsDottedQuad(text);
    const auto fields = DottedQuadFields(text);
    const auto value = AddressValue(text);
    Require(quad == fields.has_value() && quad == value.has_value(),
            "the three address tests agree");
    if (!quad) return;
    const std::string canonical =
        NormaliseFields((*fields)[0], (*fields)[1], (*fields)[2], (*fields)[3]);
    Require(AddressValue(canonical) == value, "the canonical form names the same address");
}

// Checks the rows [from, to) that a walk from `start` to `end` wrote.
void CheckWalk(const ResultTable& table, int from, int to, std::uint32_t start, std::uint32_t end,
               std::int64_t interval, int maxLimit) {
    Require(to >= from && to <= MaxRows && to - from <= maxLimit, "row count within limits");
    if (start > end) {
        Require(to == from, "an inverted range writes nothing");
        return;
    }
    const std::uint64_t span = (static_cast<std::uint64_t>(end) - start) / interval + 1;
    const std::uint64_t room = static_cast<std::uint64_t>(MaxRows - from);
    std::uint64_t expected = std::min<std::uint64_t>(span, static_cast<std::uint64_t>(maxLimit));
    expected = std::min(expected, room);
    Require(static_cast<std::uint64_t>(to - from) == expected, "every address of the range");
    std::uint64_t next = start;
    for (int i = from; i < to; ++i) {
        const ResultEntry& row = table.Rows[i];
        const auto value = AddressValue(FieldText(row.Address));
        Require(value.has_value() && *value == next, "rows walk the range in order");
        Require(row.Answer.Status == RowStatus::Pending && row.DomainIndex == 0 &&
                    row.Value.V4 == next && row.Selected == 0,
                "new rows are pending");
        next += static_cast<std::uint64_t>(interval);
    }
}

}  // namespace
}  // namespace ip2h::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ip2h;
    using namespace ip2h::fuzz;
    InputReader input(data, size);
    const std::uint8_t mode = input.Byte();
    const std::uint32_t number = input.Number();
    const std::string_view rangeText = input.Field();
    const std::string_view intervalText = input.Field();

    CheckAddressText(rangeText);
    CheckAddressText(intervalText);
    const std::uint32_t interval = ClampInterval(intervalText);
    Require(interval >= kMinInterval && interval <= kMaxInterval, "interval clamped");
    if (const auto range = ParseRangeText(rangeText)) {
        Require(IsDottedQuad(range->Start) && IsDottedQuad(range->End), "a range of addresses");
    }

    if (const auto block = ParseCidrText(rangeText)) {
        const std::uint64_t first = *AddressValue(block->Start);
        const std::uint64_t size = *AddressValue(block->End) - first + 1;
        Require(size > 0 && (size & (size - 1)) == 0 && (first & (size - 1)) == 0,
                "a block is a power of two long and starts on its own boundary");
    }

    const RegistrationPlan plan = PlanRegistration(rangeText, intervalText);
    Require(plan.Interval == interval, "registration uses the clamped interval");
    Require(plan.Start.empty() == plan.End.empty(), "both ends or neither");
    if (plan.Start.empty()) return 0;
    Require(IsDottedQuad(plan.Start) && IsDottedQuad(plan.End), "planned ends are addresses");

    ResultTable& table = Table();
    const int maxLimit = 256 + static_cast<int>(number % 769);  // 256..1024
    const auto start = *AddressValue(plan.Start);
    const auto end = *AddressValue(plan.End);
    if ((mode & 0x07) == 0) {
        // Every eighth input replaces the table; the others append to it.
        const int rows = FillRange(table, plan.Start, plan.End, plan.Interval, maxLimit);
        Require(rows == table.RowCount, "FillRange sets the row count");
        CheckWalk(table, 0, rows, start, end, plan.Interval, maxLimit);
    } else {
        const int from = static_cast<int>((number >> 10) % MaxRows);
        if (from > 0) table.WriteNewRow(from - 1, "sentinel");
        // Half the inputs pass a raw step, also one outside 1..65536, which writes nothing.
        const std::int64_t step = (mode & 0x08) != 0
                                      ? static_cast<std::int64_t>(mode >> 4) * (number & 0xFFFF) - 1
                                      : plan.Interval;
        const int to = AppendRange(table, plan.Start, plan.End, step, from, maxLimit);
        if (step < kMinInterval || step > kMaxInterval) {
            Require(to == from, "an invalid step writes nothing");
        } else {
            CheckWalk(table, from, to, start, end, step, maxLimit);
        }
        if (from > 0) {
            Require(FieldText(table.Rows[from - 1].Address) == "sentinel",
                    "rows before the start stay");
        }
    }
    return 0;
}
