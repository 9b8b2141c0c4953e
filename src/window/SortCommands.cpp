#include "window/SortCommands.h"

namespace ip2h {

bool ApplyColumnClick(SortState& sort, ListColumn column, bool anyWorkerRunning) {
    if (anyWorkerRunning || sort.Enabled != 1) return false;
    if (column == sort.Column) {
        sort.Direction = sort.Direction == SortDirection::Ascending ? SortDirection::Descending
                                                                    : SortDirection::Ascending;
    }
    sort.Column = column;
    return true;
}

SortState SortAtOpening(std::int32_t storedSortEnable) {
    return SortState{storedSortEnable, ListColumn::Address, SortDirection::Ascending};
}

std::optional<SortIndicator> IndicatorOf(const SortState& sort) {
    if (sort.Enabled != 1) return std::nullopt;
    return SortIndicator{sort.Column, sort.Direction};
}

bool ResetSortOrder(SortState& sort) {
    if (sort.Enabled != 1) return false;
    sort.Column = ListColumn::Address;
    sort.Direction = SortDirection::Ascending;
    return true;
}

bool ToggleSortEnabled(SortState& sort) {
    // Only 1 sorts, so any other stored value counts as off and turns on: flipping the lowest
    // bit of a hand-edited 2 would give 3, checked in the menu but never sorting.
    sort.Enabled = sort.Enabled == 1 ? 0 : 1;
    if (sort.Enabled == 0) return false;
    sort.Column = ListColumn::Address;
    sort.Direction = SortDirection::Ascending;
    return true;
}

}  // namespace ip2h
