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

void SetSortEnabled(SortState& sort, std::int32_t enabled) {
    sort.Enabled = enabled;
    ResetSortOrder(sort);
}

}  // namespace ip2h
