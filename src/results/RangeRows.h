#pragma once

#include <cstdint>
#include <string_view>

#include "address/AddressText.h"

namespace ip2h {

class ResultTable;

// Replaces the table's rows by the addresses from `start` to `end` stepping by `interval`,
// at most `maxLimit` of them, and sets RowCount. Returns the rows written; 0 and the table
// untouched when the addresses are not dotted quads or the interval is outside 1..65536.
int FillRange(ResultTable& table, std::string_view start, std::string_view end,
              std::int64_t interval, int maxLimit);

// Writes the addresses of the range into rows `startIndex` onwards, at most `maxLimit` of
// them and never at or beyond MaxRows, and returns the index after the last row written.
// Leaves RowCount to the caller. Invalid input writes nothing and returns `startIndex`.
int AppendRange(ResultTable& table, std::string_view start, std::string_view end,
                std::int64_t interval, int startIndex, int maxLimit);
// The same for a range already read into numbers.
int AppendRange(ResultTable& table, AddressSpan span, std::int64_t interval, int startIndex,
                int maxLimit);

}  // namespace ip2h
