#pragma once

#include <cstdint>

#include "results/ResultTable.h"

namespace ip2h {

enum class SortDirection : std::uint8_t { Ascending, Descending };

// The list's sort order, as the main window keeps it.
struct SortState {
    std::int32_t Enabled = 1;  // 1 = sorting by column is on; any other value = off
    ListColumn Column = ListColumn::Address;
    SortDirection Direction = SortDirection::Ascending;

    friend bool operator==(const SortState&, const SortState&) = default;
};

// Rebuilds RowOrder for the rows in use: storage order, then, when sorting is enabled, sorted
// by each row's key for the column (reversed when descending). A key is the row's four
// parts, the sorted column's first: the address as "%03d.%03d.%03d.%03d"; the host as the
// address in parentheses while pending, the padded quad of a failed address or of a name
// that reads as one, "@" and the name otherwise; status and domain index as "%05d". Keys
// compare as those texts, joined by blanks, compare byte-wise. Rows with equal
// keys (alike in every column) keep their storage order.
void BuildSortOrder(ResultTable& table, const SortState& sort);

}  // namespace ip2h
