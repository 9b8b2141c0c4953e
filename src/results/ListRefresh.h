#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "resolver/AnswerKind.h"

namespace ip2h {

class ResultTable;
struct ResultEntry;
struct SortState;

// Asks the resolution engine for an address's current answer: the cached host name, the
// address itself after a failed lookup, or the pending text "(address)".
using HostNameRequest = std::function<LookupAnswer(std::string_view address)>;

// What a refresh did to the list.
enum class RefreshOutcome {
    Unchanged,  // the table is empty and the list was empty already
    Cleared,    // the table is empty: the list is to be emptied
    Rebuilt,    // the list is to show rows RowOrder[0 .. OrderedCount)
};

// Brings every row up to date for a new list: sorts (BuildSortOrder), then walks the rows
// from the last displayed to the first, asking `request` for each row's answer and deciding
// its Status, DomainIndex and DomainInfo. `listHadItems` tells whether the list currently
// shows anything, which only matters for an empty table.
RefreshOutcome RefreshRows(ResultTable& table, const SortState& sort,
                           const HostNameRequest& request, bool japanese, bool listHadItems);

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

// The status of an answer: Failure when it equals the address, Pending when it is empty or
// holds "(", Success otherwise.
std::int32_t StatusOfAnswer(std::string_view address, std::string_view hostName);

// The text of a result cell ("-", "Success"/"成功", "Failure"/"失敗").
std::string_view StatusText(std::int32_t status, bool japanese);

// The text of a domain information cell: "-" while pending, "?" after a failure, the stored
// description otherwise.
std::string_view DomainCellText(const ResultEntry& row);

// The domain information of an answered address as a new row shows it: "-" for a private
// address (IPv4 or IPv6), the description of the host name's domain, or nothing when none matches.
std::string_view DomainDescriptionOf(std::string_view address, std::string_view hostName,
                                     bool japanese);

}  // namespace ip2h
