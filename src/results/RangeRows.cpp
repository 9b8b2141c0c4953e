#include "results/RangeRows.h"

#include <algorithm>

#include "address/AddressText.h"
#include "results/ResultTable.h"

namespace ip2h {
namespace {

// Writes at most `maxLimit` rows from `startIndex` on, never at or beyond MaxRows, and returns
// the index after the last one written.
int WriteRange(ResultTable& table, AddressSpan span, std::int64_t interval, int startIndex,
               int maxLimit) {
    int index = startIndex;
    for (RangeWalk walk(span, interval);
         !walk.Done() && index - startIndex < maxLimit && index < MaxRows;) {
        table.WriteNewRow(index++, FormatAddress(walk.Next()).View());
    }
    return index;
}

}  // namespace

int FillRange(ResultTable& table, std::string_view start, std::string_view end,
              std::int64_t interval, int maxLimit) {
    const auto first = AddressValue(start);
    const auto last = AddressValue(end);
    if (!first || !last || !ValidInterval(interval)) return 0;
    table.ResetRows();
    // Room for the rows this range can make, so that the storage grows once.
    table.Rows.reserve(static_cast<std::size_t>(
        std::min<std::uint64_t>(AddressCount({*first, *last}, interval),
                                static_cast<std::uint64_t>(std::clamp(maxLimit, 0, MaxRows)))));
    table.RowCount = WriteRange(table, {*first, *last}, interval, 0, maxLimit);
    return table.RowCount;
}

int AppendRange(ResultTable& table, std::string_view start, std::string_view end,
                std::int64_t interval, int startIndex, int maxLimit) {
    const auto first = AddressValue(start);
    const auto last = AddressValue(end);
    if (!first || !last) return startIndex;
    return AppendRange(table, AddressSpan{*first, *last}, interval, startIndex, maxLimit);
}

int AppendRange(ResultTable& table, AddressSpan span, std::int64_t interval, int startIndex,
                int maxLimit) {
    if (!ValidInterval(interval)) return startIndex;
    if (startIndex < 0 || startIndex >= MaxRows) return startIndex;
    return WriteRange(table, span, interval, startIndex, maxLimit);
}

}  // namespace ip2h
