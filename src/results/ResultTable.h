#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>

namespace ip2h {

inline constexpr int MaxRows = 9999;
inline constexpr std::size_t kTextFieldSize = 320;
inline constexpr std::size_t kSortKeySize = 2048;

enum RowStatus : std::int32_t { Pending = 0, Success = 1, Failure = 2 };

inline constexpr std::int32_t DomainIndexNoMatch = 9998;
inline constexpr std::int32_t DomainIndexFailure = 9999;

// One row of the result list. Plain data with fixed text fields stored in place, so rows
// are zeroed, copied and moved without any allocation.
struct ResultEntry {
    char SortKey[kSortKeySize];
    char Address[kTextFieldSize];
    char HostName[kTextFieldSize];
    std::int32_t Status;
    std::int32_t DomainIndex;
    char DomainInfo[kTextFieldSize];
    std::int32_t Selected;
};

// The rows behind the result list, with a fixed capacity reserved once. Touched by the
// user-interface thread only.
class ResultTable {
public:
    // A separate table (tests, benchmarks); about 60 MB, zeroed.
    static std::unique_ptr<ResultTable> Create();

    // Zeroes every byte of Rows and CompactionBuffer and sets RowCount to 0. RowOrder
    // keeps its entries, but none of them is considered valid any more (OrderedCount 0):
    // the rows they referred to are gone.
    void ResetRows();

    // Initialises Rows[index] as a new Pending row for `address` (cut to the field).
    // SortKey and DomainInfo keep what the entry held. The caller sets RowCount.
    void WriteNewRow(int index, std::string_view address);

    // Removes the rows shown at the given list positions and compacts the rest in list
    // order. Positions refer to the list as RowOrder last described it; positions that no
    // longer map to a row are ignored, and rows that RowOrder does not reference yet (added
    // since the last refresh) are kept after the others in storage order. Afterwards no
    // position maps to a row (OrderedCount 0) until the next sort; the caller refreshes.
    void DeleteRows(std::span<const int> selectedPositions);

    // Sets Selected to 1 where the predicate holds and 0 elsewhere, in storage order.
    void SetSelectedWhere(const std::function<bool(const ResultEntry&)>& predicate);

    ResultEntry Rows[MaxRows];
    std::int32_t RowCount = 0;
    // List order: entry i is the index into Rows of list item i, or -1.
    std::int32_t RowOrder[MaxRows];
    // How many leading entries of RowOrder describe the list as last built.
    std::int32_t OrderedCount = 0;
    ResultEntry CompactionBuffer[MaxRows];

private:
    ResultTable();
};

}  // namespace ip2h
