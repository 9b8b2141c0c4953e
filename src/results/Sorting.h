#pragma once

#include <cstdint>
#include <utility>

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

// What a click on a column header does. Returns true when the order changed and the list is
// to be re-sorted: the caller then shows the indicator, clears the selection and refreshes.
// Ignored while a worker is resolving or sorting is off.
bool ApplyColumnClick(SortState& sort, int column, bool anyWorkerRunning);

// The sort the window opens with: the first column, ascending, on when the stored switch is 1.
SortState SortAtOpening(std::int32_t storedSortEnable);

// What the header's indicator shows for a sort: its column and direction, or (-1, -1) when
// sorting is off.
std::pair<int, int> IndicatorOf(const SortState& sort);

// Registering and pasting put an enabled sort back on the first column, ascending. Returns
// true when the indicator is to move there.
bool ResetSortOrder(SortState& sort);

// The sort-enable command: on becomes off, anything else on. Returns the new state; when on,
// the order is back on the first column, ascending.
bool ToggleSortEnabled(SortState& sort);

}  // namespace ip2h
