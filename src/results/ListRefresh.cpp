#include "results/ListRefresh.h"

#include <algorithm>

#include "address/AddressText.h"
#include "address/IpAddress.h"
#include "base/FixedText.h"
#include "base/Texts.h"
#include "resolver/AnswerKind.h"
#include "results/DomainInfoTable.h"
#include "results/ResultTable.h"
#include "results/Sorting.h"

namespace ip2h {
namespace {

// The description shown for an answered address whose name matched `index`, if any.
std::string_view DescriptionFor(std::string_view address, std::optional<int> index, bool japanese) {
    // The window holds IPv4 alone; the batch mode writes IPv6 rows by the same rule.
    if (IsPrivateAddressText(address)) return "-";
    return index ? DomainDescription(*index, japanese) : std::string_view();
}

// Decides the domain information of a row whose status was just set.
void Classify(ResultEntry& row, bool japanese) {
    switch (row.Status) {
        case Pending:
            row.DomainIndex = 0;
            return;
        case Failure:
            row.DomainIndex = DomainIndexFailure;
            return;
        default:
            break;
    }
    // A row that showed a failure and now has a name is classified like a new answer, so it
    // never shows a stale description.
    if (row.DomainIndex != 0 && row.DomainIndex != DomainIndexFailure) return;
    const auto index = FindDomainEntry(FieldText(row.HostName));
    row.DomainIndex = index.value_or(DomainIndexNoMatch);
    CopyToField(row.DomainInfo, DescriptionFor(FieldText(row.Address), index, japanese));
}

}  // namespace

std::string_view DomainDescriptionOf(std::string_view address, std::string_view hostName,
                                     bool japanese) {
    return DescriptionFor(address, FindDomainEntry(hostName), japanese);
}

std::int32_t StatusOfAnswer(std::string_view address, std::string_view hostName) {
    if (hostName == address) return Failure;
    if (hostName.empty() || HasPendingMark(hostName)) return Pending;
    return Success;
}

std::string_view StatusText(std::int32_t status, bool japanese) {
    switch (status) {
        case Success:
            return Tr(TextId::ResultSuccess, japanese);
        case Failure:
            return Tr(TextId::ResultFailure, japanese);
        default:
            return Tr(TextId::ResultPending, japanese);
    }
}

std::string_view DomainCellText(const ResultEntry& row) {
    switch (row.Status) {
        case Success:
            return FieldText(row.DomainInfo);
        case Failure:
            return Tr(TextId::DomainInfoFailure);
        default:
            return Tr(TextId::DomainInfoPending);
    }
}

RefreshOutcome RefreshRows(ResultTable& table, const SortState& sort,
                           const HostNameRequest& request, bool japanese, bool listHadItems) {
    const int count = table.RowsInUse();
    if (count == 0) {
        // Nothing describes the list any more; a later deletion must not map positions.
        table.OrderedCount = 0;
        return listHadItems ? RefreshOutcome::Cleared : RefreshOutcome::Unchanged;
    }
    BuildSortOrder(table, sort);
    // From the last displayed row to the first: that is the order in which unanswered
    // addresses are handed to free workers.
    for (int k = count - 1; k >= 0; --k) {
        ResultEntry& row = table.Rows[table.RowOrder[k]];
        const LookupAnswer answer = request(FieldText(row.Address));
        CopyToField(row.HostName, answer.Text);
        row.Answer = answer.Kind;
        row.Confirmed = answer.Confirmed;
        row.LookupStatus = answer.Status;
        CopyToField(row.ConfirmingName, answer.ConfirmingName);
        row.Status = StatusOfAnswer(FieldText(row.Address), FieldText(row.HostName));
        Classify(row, japanese);
    }
    return RefreshOutcome::Rebuilt;
}

ListSelection SelectionFromFlags(const ResultTable& table) {
    ListSelection selection;
    int runStart = -1;
    const int count = table.OrderedCount;
    const int rows = table.RowsInUse();
    for (int i = 0; i <= count; ++i) {
        const int row = i < count ? table.RowOrder[i] : -1;
        const bool flagged = row >= 0 && row < rows && table.Rows[row].Selected == 1;
        if (flagged) {
            selection.Focused = i;
            if (runStart < 0) runStart = i;
        } else if (runStart >= 0) {
            selection.Runs.emplace_back(runStart, i - 1);
            runStart = -1;
        }
    }
    return selection;
}

bool RefreshAtOnce(bool sortChanged, int rowCount, bool listShowsRows) {
    if (rowCount == 0) return listShowsRows;
    return sortChanged;
}

}  // namespace ip2h
