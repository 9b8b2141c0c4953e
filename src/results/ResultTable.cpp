#include "results/ResultTable.h"

#include <algorithm>
#include <cstring>

#include "base/FixedText.h"

namespace ip2h {
namespace {

int ClampCount(std::int32_t count) {
    return std::clamp<std::int32_t>(count, 0, MaxRows);
}

// Copies every field but SortKey: a slot keeps the sort key it had, whatever row moves in.
void CopyRowData(ResultEntry& to, const ResultEntry& from) {
    std::memcpy(to.Address, from.Address, sizeof to.Address);
    std::memcpy(to.HostName, from.HostName, sizeof to.HostName);
    to.Status = from.Status;
    to.DomainIndex = from.DomainIndex;
    std::memcpy(to.DomainInfo, from.DomainInfo, sizeof to.DomainInfo);
    to.Selected = from.Selected;
}

}  // namespace

ResultTable::ResultTable() {
    std::memset(Rows, 0, sizeof Rows);
    std::memset(CompactionBuffer, 0, sizeof CompactionBuffer);
    std::fill(std::begin(RowOrder), std::end(RowOrder), -1);
}

std::unique_ptr<ResultTable> ResultTable::Create() {
    return std::unique_ptr<ResultTable>(new ResultTable());
}

void ResultTable::ResetRows() {
    std::memset(Rows, 0, sizeof Rows);
    std::memset(CompactionBuffer, 0, sizeof CompactionBuffer);
    RowCount = 0;
    OrderedCount = 0;
}

void ResultTable::WriteNewRow(int index, std::string_view address) {
    if (index < 0 || index >= MaxRows) return;
    ResultEntry& row = Rows[index];
    CopyToField(row.Address, address);
    CopyToField(row.HostName, {});
    row.Status = Pending;
    row.DomainIndex = 0;
    row.Selected = 0;
}

void ResultTable::DeleteRows(std::span<const int> selectedPositions) {
    const int rowCount = ClampCount(RowCount);
    if (rowCount < 1) return;
    const int ordered = ClampCount(OrderedCount);

    // The list position at which each row is shown, or -1 for a row that RowOrder does not
    // reference (yet): it is listed after the ordered rows. An entry that is out of range or
    // repeats an earlier one shows nothing.
    std::int16_t shownAt[MaxRows];
    std::fill_n(shownAt, rowCount, static_cast<std::int16_t>(-1));
    for (int position = 0; position < ordered; ++position) {
        const std::int32_t row = RowOrder[position];
        if (row >= 0 && row < rowCount && shownAt[row] < 0) {
            shownAt[row] = static_cast<std::int16_t>(position);
        }
    }
    bool doomed[MaxRows];
    std::fill_n(doomed, rowCount, false);
    for (const int position : selectedPositions) {
        if (position < 0 || position >= ordered) continue;
        const std::int32_t row = RowOrder[position];
        if (row >= 0 && row < rowCount && shownAt[row] == position) doomed[row] = true;
    }

    // Lay the rows out in list order; a deleted row leaves a cleared entry behind.
    std::memset(CompactionBuffer, 0, sizeof CompactionBuffer);
    int listed = 0;
    for (int position = 0; position < ordered; ++position) {
        const std::int32_t row = RowOrder[position];
        if (row < 0 || row >= rowCount || shownAt[row] != position) continue;
        if (!doomed[row]) CopyRowData(CompactionBuffer[listed], Rows[row]);
        ++listed;
    }
    for (int row = 0; row < rowCount; ++row) {
        if (shownAt[row] < 0) CopyRowData(CompactionBuffer[listed++], Rows[row]);
    }

    int kept = 0;
    for (int i = 0; i < listed; ++i) {
        if (CompactionBuffer[i].Address[0] == '\0') continue;
        CopyRowData(Rows[kept++], CompactionBuffer[i]);
    }
    RowCount = kept;
    // Storage has moved under RowOrder; nothing it holds describes a row any more.
    OrderedCount = 0;
}

void ResultTable::SetSelectedWhere(const std::function<bool(const ResultEntry&)>& predicate) {
    const int rowCount = ClampCount(RowCount);
    for (int i = 0; i < rowCount; ++i) Rows[i].Selected = predicate(Rows[i]) ? 1 : 0;
}

}  // namespace ip2h
