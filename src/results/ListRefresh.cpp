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

// Classifies a row whose status was just set by its whole name: the row's field may cut a
// long one. A Success keeps its class until its address is asked again from scratch; its
// description is made from the class when shown.
void Classify(ResultEntry& row, std::string_view name) {
    switch (row.Answer.Status) {
        case RowStatus::Pending:
            row.DomainIndex = 0;
            return;
        case RowStatus::Failure:
            row.DomainIndex = DomainIndexFailure;
            return;
        case RowStatus::Success:
            break;
    }
    // A row that showed a failure and now has a name is classified like a new answer, so it
    // never shows a stale description.
    if (row.DomainIndex != 0 && row.DomainIndex != DomainIndexFailure) return;
    row.DomainIndex = FindDomainEntry(name).value_or(DomainIndexNoMatch);
}

}  // namespace

void ApplyAnswer(ResultEntry& row, const LookupAnswer* answer) {
    RowAnswer& state = row.Answer;
    std::string_view name;
    if (answer == nullptr) {
        state = RowAnswer{};
        CopyToField(row.HostName, {});
        CopyToField(row.ConfirmingName, {});
    } else {
        state.Status = NamesTheAddress(answer->Kind) ? RowStatus::Success : RowStatus::Failure;
        state.Kind = answer->Kind;
        state.Confirmed = answer->Confirmed;
        state.ErrorCode = answer->ErrorCode;
        if (state.Status == RowStatus::Success) name = answer->Text;
        // A name is read for its quad only when it changes, not at every refresh.
        if (name.substr(0, kTextFieldSize - 1) != FieldText(row.HostName)) {
            CopyToField(row.HostName, name);
            const auto quad = AddressValue(FieldText(row.HostName));
            state.NameIsDottedQuad = quad.has_value();
            state.NameValue = quad.value_or(0);
        }
        CopyToField(row.ConfirmingName, answer->ConfirmingName);
    }
    Classify(row, name);
}

void AppendHostNameCell(std::string& out, const ResultEntry& row) {
    switch (row.Answer.Status) {
        case RowStatus::Success:
            out += FieldText(row.HostName);
            return;
        case RowStatus::Failure:
            out += FieldText(row.Address);
            return;
        case RowStatus::Pending:
            out.append("(").append(FieldText(row.Address)).append(")");
            return;
    }
}

std::string_view StatusText(RowStatus status, bool japanese) {
    switch (status) {
        case RowStatus::Success:
            return Tr(TextId::ResultSuccess, japanese);
        case RowStatus::Failure:
            return Tr(TextId::ResultFailure, japanese);
        case RowStatus::Pending:
            break;
    }
    return Tr(TextId::ResultPending, japanese);
}

std::string_view DomainCellText(const ResultEntry& row, bool japanese) {
    switch (row.Answer.Status) {
        case RowStatus::Success:
            // The window holds IPv4 alone; the batch mode writes IPv6 rows by the same rule.
            return IsPrivate(row.Value) ? "-" : DomainDescription(row.DomainIndex, japanese);
        case RowStatus::Failure:
            return Tr(TextId::DomainInfoFailure);
        case RowStatus::Pending:
            break;
    }
    return Tr(TextId::DomainInfoPending);
}

RefreshOutcome RefreshRows(ResultTable& table, const SortState& sort,
                           const HostNameRequest& request, std::uint64_t answersVersion,
                           bool listHadItems, const ShowRow& show) {
    const int count = table.RowsInUse();
    if (count == 0) {
        // Nothing describes the list any more; a later deletion must not map positions.
        table.OrderedCount = 0;
        return listHadItems ? RefreshOutcome::Cleared : RefreshOutcome::Unchanged;
    }
    BuildSortOrder(table, sort);
    // From the last displayed row to the first: that is the order in which unanswered
    // addresses are handed to free workers.
    const bool answersAsBefore = table.AnsweredAt == answersVersion;
    LookupAnswer answer("");
    for (int k = count - 1; k >= 0; --k) {
        ResultEntry& row = table.Rows[table.RowOrder[k]];
        if (!answersAsBefore || row.Answer.Status == RowStatus::Pending) {
            const bool answered = request(FieldText(row.Address), answer);
            ApplyAnswer(row, answered ? &answer : nullptr);
        }
        if (show) show(k, row);
    }
    table.AnsweredAt = answersVersion;
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
