#pragma once

#include <optional>

#include "results/Sorting.h"

namespace ip2h {

// What a click on a column header does. Returns true when the order changed and the list is
// to be re-sorted: the caller then shows the indicator, clears the selection and refreshes.
// Ignored while a worker is resolving or sorting is off.
bool ApplyColumnClick(SortState& sort, ListColumn column, bool anyWorkerRunning);

// The sort the window opens with: the first column, ascending, on when the stored switch is 1.
SortState SortAtOpening(std::int32_t storedSortEnable);

// What the header's indicator shows for a sort: its column and direction, or nothing when
// sorting is off.
struct SortIndicator {
    ListColumn Column;
    SortDirection Direction;
    friend bool operator==(const SortIndicator&, const SortIndicator&) = default;
};
std::optional<SortIndicator> IndicatorOf(const SortState& sort);

// Registering and pasting put an enabled sort back on the first column, ascending. Returns
// true when the indicator is to move there.
bool ResetSortOrder(SortState& sort);

// The sort-enable option's new value; when it sorts, the order is back on the first column,
// ascending.
void SetSortEnabled(SortState& sort, std::int32_t enabled);

}  // namespace ip2h
