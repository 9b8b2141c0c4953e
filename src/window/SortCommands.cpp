#include "window/SortCommands.h"

namespace ip2h {

bool ApplyColumnClick(SortState& sort, int column, bool anyWorkerRunning) {
    if (anyWorkerRunning || sort.Enabled != 1) return false;
    if (column == sort.Column) sort.Direction = sort.Direction == 0 ? 1 : 0;
    sort.Column = column;
    return true;
}

SortState SortAtOpening(std::int32_t storedSortEnable) {
    return SortState{storedSortEnable, 0, 0};
}

std::pair<int, int> IndicatorOf(const SortState& sort) {
    if (sort.Enabled != 1) return {-1, -1};
    return {sort.Column, sort.Direction};
}

bool ResetSortOrder(SortState& sort) {
    if (sort.Enabled != 1) return false;
    sort.Column = 0;
    sort.Direction = 0;
    return true;
}

void SetSortEnabled(SortState& sort, std::int32_t enabled) {
    sort.Enabled = enabled;
    ResetSortOrder(sort);
}

}  // namespace ip2h
