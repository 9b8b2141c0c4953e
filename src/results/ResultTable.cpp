#include "results/ResultTable.h"

#include <algorithm>
#include <cstring>

#include "address/AddressText.h"
#include "base/FixedText.h"

namespace ip2h {

std::unique_ptr<ResultTable> ResultTable::Create() {
    return std::unique_ptr<ResultTable>(new ResultTable());
}

void ResultTable::ResetRows() {
    // Swapped out rather than cleared, so that the storage of a large list is given back.
    std::vector<ResultEntry>().swap(Rows);
    std::vector<std::int32_t>().swap(RowOrder);
    RowCount = 0;
    OrderedCount = 0;
}

void ResultTable::WriteNewRow(int index, std::string_view address) {
    if (index < 0 || index >= MaxRows) return;
    if (static_cast<std::size_t>(index) >= Rows.size()) Rows.resize(index + 1, ResultEntry{});
    ResultEntry& row = Rows[index];
    CopyToField(row.Address, address);
    row.Value = IpAddress::Of(AddressValue(FieldText(row.Address)).value_or(0));
    row.Answer = RowAnswer{};
    CopyToField(row.HostName, {});
    CopyToField(row.ConfirmingName, {});
    row.DomainIndex = 0;
    row.Selected = 0;
}

void ResultTable::DeleteRows(std::span<const int> selectedPositions) {
    const int rowCount = RowsInUse();
    if (rowCount < 1) return;
    const int ordered = std::clamp<int>(OrderedCount, 0, static_cast<int>(RowOrder.size()));

    // The list position at which each row is shown, or -1 for a row that RowOrder does not
    // reference (yet): it is listed after the ordered rows. An entry that is out of range or
    // repeats an earlier one shows nothing.
    std::vector<std::int16_t> shownAt(rowCount, -1);
    for (int position = 0; position < ordered; ++position) {
        const std::int32_t row = RowOrder[position];
        if (row >= 0 && row < rowCount && shownAt[row] < 0) {
            shownAt[row] = static_cast<std::int16_t>(position);
        }
    }
    std::vector<bool> doomed(rowCount, false);
    for (const int position : selectedPositions) {
        if (position < 0 || position >= ordered) continue;
        const std::int32_t row = RowOrder[position];
        if (row >= 0 && row < rowCount && shownAt[row] == position) doomed[row] = true;
    }

    // Where each row comes from: the rows kept in list order, then those not listed yet in
    // storage order, then the deleted ones, which are cut off. The rows are moved in place,
    // one cycle of the permutation at a time, so that no second copy of the list is made and
    // the storage stays for the rows pasted next.
    std::vector<std::int32_t> source;
    source.reserve(rowCount);
    for (int position = 0; position < ordered; ++position) {
        const std::int32_t row = RowOrder[position];
        if (row >= 0 && row < rowCount && shownAt[row] == position && !doomed[row]) {
            source.push_back(row);
        }
    }
    for (int row = 0; row < rowCount; ++row) {
        if (shownAt[row] < 0) source.push_back(row);
    }
    const auto kept = static_cast<std::int32_t>(source.size());
    for (int row = 0; row < rowCount; ++row) {
        if (doomed[row]) source.push_back(row);
    }
    std::vector<bool> placed(rowCount, false);
    for (int start = 0; start < rowCount; ++start) {
        if (placed[start] || source[start] == start) continue;
        ResultEntry first = std::move(Rows[start]);
        int to = start;
        while (source[to] != start) {
            Rows[to] = std::move(Rows[source[to]]);
            placed[to] = true;
            to = source[to];
        }
        Rows[to] = std::move(first);
        placed[to] = true;
    }
    RowCount = kept;
    Rows.resize(static_cast<std::size_t>(kept));
    // Storage has moved under RowOrder; nothing it holds describes a row any more.
    OrderedCount = 0;
}

int ResultTable::RowsInUse() const {
    return std::clamp<int>(RowCount, 0,
                           static_cast<int>(std::min<std::size_t>(Rows.size(), MaxRows)));
}

void ResultTable::SetSelectedWhere(const std::function<bool(const ResultEntry&)>& predicate) {
    const int rowCount = RowsInUse();
    for (int i = 0; i < rowCount; ++i) Rows[i].Selected = predicate(Rows[i]) ? 1 : 0;
}

}  // namespace ip2h
