#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "resolver/AnswerKind.h"
#include "results/ResultTable.h"

namespace ip2h {

struct SortState;

// Asks the resolution engine for an address's current answer: true with the cached one
// copied into `answer` (its storage reused), false while the address is pending.
using HostNameRequest = std::function<bool(std::string_view address, LookupAnswer& answer)>;

// What a refresh did to the list.
enum class RefreshOutcome {
    Unchanged,  // the table is empty and the list was empty already
    Cleared,    // the table is empty: the list is to be emptied
    Rebuilt,    // the list is to show rows RowOrder[0 .. OrderedCount)
};

// Told of each row as soon as the refresh has brought it up to date, with its list position,
// so that the list is built while the row is at hand.
using ShowRow = std::function<void(int position, const ResultEntry& row)>;

// Brings every row up to date for a new list: sorts (BuildSortOrder), then walks the rows
// from the last displayed to the first, asking `request` for each row's answer (ApplyAnswer)
// and handing the row to `show`. `answersVersion` is the name cache's version (NameCache::
// Version): when it is the one the last refresh saw, no answer can have changed, and only the
// pending rows are asked. `listHadItems` tells whether the list currently shows anything,
// which only matters for an empty table.
RefreshOutcome RefreshRows(ResultTable& table, const SortState& sort,
                           const HostNameRequest& request, std::uint64_t answersVersion,
                           bool listHadItems, const ShowRow& show = {});

// Records a row's current answer (nothing while pending): its status from the answer's kind,
// the name of a Success, and its domain's class (DomainIndex), found once per answer.
void ApplyAnswer(ResultEntry& row, const LookupAnswer* answer);

// True when a command must rebuild the list at once instead of leaving it, as usual, to the
// timer's next refresh: the table is empty while the list still shows rows (they would look
// current), or the sort changed (`sortChanged`), so that the rows follow the indicator
// (storage order when sorting is off) whatever the command did to the rows, also when a
// registration refused its range and left them as they were.
bool RefreshAtOnce(bool sortChanged, int rowCount, bool listShowsRows);

// The list's selection as the rows' Selected flags give it, in list order: runs of
// consecutive positions (first and last included) and the position that takes the focus,
// the last flagged one (-1 when none is).
struct ListSelection {
    std::vector<std::pair<int, int>> Runs;
    int Focused = -1;
};
ListSelection SelectionFromFlags(const ResultTable& table);

// The texts the list shows, made from a row's state. The Host name cell: the name, the
// address itself after a failure, "(address)" while pending.
void AppendHostNameCell(std::string& out, const ResultEntry& row);
// The Result cell: "-", "Success"/"成功" or "Failure"/"失敗".
std::string_view StatusText(RowStatus status, bool japanese);
// The Domain cell: "-" while pending, "?" after a failure; for a Success "-" for a private
// address, or else the description of its domain's class (empty when none matched).
std::string_view DomainCellText(const ResultEntry& row, bool japanese);

}  // namespace ip2h
