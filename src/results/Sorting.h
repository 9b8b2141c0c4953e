#pragma once

#include <cstdint>

namespace ip2h {

class ResultTable;

// The list's sort order, as the main window keeps it.
struct SortState {
    std::int32_t Enabled = 1;    // 1 = sorting by column is on; any other value = off
    std::int32_t Column = 0;     // 0..3
    std::int32_t Direction = 0;  // 0 ascending, 1 descending

    friend bool operator==(const SortState&, const SortState&) = default;
};

// Rebuilds RowOrder for the rows in use: storage order, then, when sorting is enabled, sorted
// byte-wise by each row's primary key for the column (reversed for a direction other than
// 0). Rows with equal keys (alike in every column) keep their storage order.
void BuildSortOrder(ResultTable& table, const SortState& sort);

// The primary key of one row for a sort column ("%s %s %05d %05d" and its variants), written
// into `out` (terminated, at most `size` - 1 characters); returns its length.
std::size_t PrimaryKey(const struct ResultEntry& row, std::int32_t column, char* out,
                       std::size_t size);

}  // namespace ip2h
