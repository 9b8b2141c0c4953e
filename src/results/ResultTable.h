#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "resolver/AnswerKind.h"

namespace ip2h {

inline constexpr int MaxRows = 9999;
inline constexpr std::size_t kTextFieldSize = 320;

// The list's columns, left to right.
enum class ListColumn : std::uint8_t { Address, HostName, Result, DomainInfo };
inline constexpr int kListColumnCount = 4;

enum RowStatus : std::int32_t { Pending = 0, Success = 1, Failure = 2 };

inline constexpr std::int32_t DomainIndexNoMatch = 9998;
inline constexpr std::int32_t DomainIndexFailure = 9999;

// One row of the result list. Plain data with fixed text fields stored in place, so rows
// are copied and moved without any allocation. The list order is built from the fields at
// each sort (BuildSortOrder), so no sort key is kept with the row.
struct ResultEntry {
    char Address[kTextFieldSize];
    char HostName[kTextFieldSize];
    std::int32_t Status;
    std::int32_t DomainIndex;
    char DomainInfo[kTextFieldSize];
    std::int32_t Selected;
    // How the answer was reached, for tooltips and exported files; set with HostName.
    AnswerKind Answer;
    Confirmation Confirmed;
    std::int32_t LookupStatus;  // the name service's status of an Error answer
    // Another name of the address that led back to it, for the tooltip; empty when the name
    // shown did, or nothing did.
    char ConfirmingName[kTextFieldSize];
};

// The rows behind the result list, at most MaxRows of them. Storage grows with the rows
// written and is given back when the table is emptied, so an idle window holds none and a
// registration costs in proportion to its rows. Touched by the user-interface thread only.
class ResultTable {
public:
    static std::unique_ptr<ResultTable> Create();

    // Forgets every row and the list order: RowCount and OrderedCount become 0.
    void ResetRows();

    // Initialises Rows[index] as a new Pending row for `address` (cut to the field), growing
    // the storage to hold it; an index outside 0..MaxRows-1 is ignored. DomainInfo keeps
    // what the entry held. The caller sets RowCount.
    void WriteNewRow(int index, std::string_view address);

    // Removes the rows shown at the given list positions and compacts the rest in list
    // order. Positions refer to the list as RowOrder last described it; positions that no
    // longer map to a row are ignored, and rows that RowOrder does not reference yet (added
    // since the last refresh) are kept after the others in storage order. Afterwards no
    // position maps to a row (OrderedCount 0) until the next sort; the caller refreshes.
    void DeleteRows(std::span<const int> selectedPositions);

    // RowCount, limited to the rows that exist (and so to MaxRows).
    int RowsInUse() const;

    // Sets Selected to 1 where the predicate holds and 0 elsewhere, in storage order.
    void SetSelectedWhere(const std::function<bool(const ResultEntry&)>& predicate);

    // The rows; at least RowCount of them.
    std::vector<ResultEntry> Rows;
    std::int32_t RowCount = 0;
    // List order: entry i is the index into Rows of list item i.
    std::vector<std::int32_t> RowOrder;
    // How many leading entries of RowOrder describe the list as last built.
    std::int32_t OrderedCount = 0;

private:
    ResultTable() = default;
};

}  // namespace ip2h
