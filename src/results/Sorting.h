#pragma once

#include <cstdint>

#include "results/ResultTable.h"

namespace ip2h {

class ResultTable;

enum class SortDirection : std::uint8_t { Ascending, Descending };

// The list's sort order, as the main window keeps it.
struct SortState {
    std::int32_t Enabled = 1;  // 1 = sorting by column is on; any other value = off
    ListColumn Column = ListColumn::Address;
    SortDirection Direction = SortDirection::Ascending;

    friend bool operator==(const SortState&, const SortState&) = default;
};

// Rebuilds RowOrder for the rows in use: storage order, then, when sorting is enabled, sorted
// byte-wise by each row's primary key for the column (reversed when descending). Rows with equal
// keys (alike in every column) keep their storage order.
void BuildSortOrder(ResultTable& table, const SortState& sort);

// The primary key of one row for a sort column ("%s %s %05d %05d" and its variants), written
// into `out` (terminated, at most `size` - 1 characters); returns its length.
std::size_t PrimaryKey(const ResultEntry& row, ListColumn column, char* out, std::size_t size);

}  // namespace ip2h
