#include "results/Sorting.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "input/AddressParser.h"
#include "input/IntScan.h"
#include "results/FixedText.h"
#include "results/ResultTable.h"

namespace ip2h {
namespace {

constexpr std::size_t kMaxKeyLength = 2046;

// Fields of an address text written with three digits each, so that text order is numeric
// order. Returns false when the text is not a dotted quad.
bool PaddedAddress(std::string_view text, char* out, std::size_t size) {
    if (!IsDottedQuad(text)) return false;
    std::int64_t f[4] = {};
    ScanFields(text, "%i.%i.%i.%i", f);
    std::snprintf(out, size, "%03" PRId64 ".%03" PRId64 ".%03" PRId64 ".%03" PRId64, f[0], f[1],
                  f[2], f[3]);
    return true;
}

void AddressPart(const ResultEntry& row, char* out, std::size_t size) {
    const std::string_view address = FieldText(row.Address);
    if (!PaddedAddress(address, out, size)) {
        std::snprintf(out, size, "%.*s", static_cast<int>(address.size()), address.data());
    }
}

void HostPart(const ResultEntry& row, char* out, std::size_t size) {
    const std::string_view host = FieldText(row.HostName);
    if (PaddedAddress(host, out, size)) return;
    if (host.find('(') != std::string_view::npos) {
        // The pending placeholder "(address)": fields not read count as 0.
        std::int64_t f[4] = {};
        ScanFields(host, "(%i.%i.%i.%i)", f);
        std::snprintf(out, size, "(%03" PRId64 ".%03" PRId64 ".%03" PRId64 ".%03" PRId64 ")",
                      f[0], f[1], f[2], f[3]);
        return;
    }
    std::snprintf(out, size, "@%.*s", static_cast<int>(host.size()), host.data());
}

}  // namespace

std::size_t PrimaryKey(const ResultEntry& row, std::int32_t column, char* out, std::size_t size) {
    char address[TextFieldSize + 8];
    char host[TextFieldSize + 8];
    AddressPart(row, address, sizeof address);
    HostPart(row, host, sizeof host);
    int length = 0;
    switch (column) {
        case 0:
            length = std::snprintf(out, size, "%s %s %05d %05d", address, host, row.Status,
                                   row.DomainIndex);
            break;
        case 1:
            length = std::snprintf(out, size, "%s %s %05d %05d", host, address, row.Status,
                                   row.DomainIndex);
            break;
        case 2:
            length = std::snprintf(out, size, "%05d %s %s %05d", row.Status, address, host,
                                   row.DomainIndex);
            break;
        case 3:
            length = std::snprintf(out, size, "%05d %s %s %05d", row.DomainIndex, address, host,
                                   row.Status);
            break;
        default:
            if (size > 0) out[0] = '\0';
            return 0;
    }
    if (length < 0) return 0;
    return std::min(static_cast<std::size_t>(length), size - 1);
}

void BuildSortOrder(ResultTable& table, const SortState& sort) {
    std::fill(std::begin(table.RowOrder), std::end(table.RowOrder), -1);
    const int count = std::clamp(table.RowCount, 0, MaxRows);
    char key[SortKeySize];
    for (int i = 0; i < count; ++i) {
        ResultEntry& row = table.Rows[i];
        // New key = primary key followed by the old key, so rows with equal primary keys keep
        // the order of the previous sort.
        const std::size_t primary = PrimaryKey(row, sort.Column, key, kMaxKeyLength + 1);
        const std::size_t room = kMaxKeyLength - primary;
        const std::size_t old = ::strnlen(row.SortKey, SortKeySize - 1);
        const std::size_t kept = std::min(old, room);
        std::memcpy(key + primary, row.SortKey, kept);
        key[primary + kept] = '\0';
        std::memcpy(row.SortKey, key, primary + kept + 1);
        table.RowOrder[i] = i;
    }
    table.OrderedCount = count;
    if (sort.Enabled != 1) return;

    const auto* rows = table.Rows;
    auto* first = table.RowOrder;
    if (sort.Direction == 0) {
        std::sort(first, first + count, [rows](std::int32_t a, std::int32_t b) {
            return std::strcmp(rows[a].SortKey, rows[b].SortKey) < 0;
        });
    } else {
        std::sort(first, first + count, [rows](std::int32_t a, std::int32_t b) {
            return std::strcmp(rows[a].SortKey, rows[b].SortKey) > 0;
        });
    }
}

bool ApplyColumnClick(SortState& sort, int column, bool anyWorkerRunning) {
    if (anyWorkerRunning || sort.Enabled != 1) return false;
    if (column == sort.Column) sort.Direction = sort.Direction == 0 ? 1 : 0;
    sort.Column = column;
    return true;
}

bool ResetSortOrder(SortState& sort) {
    if (sort.Enabled != 1) return false;
    sort.Column = 0;
    sort.Direction = 0;
    return true;
}

bool ToggleSortEnabled(SortState& sort) {
    sort.Enabled ^= 1;
    if (sort.Enabled == 0) return false;
    sort.Column = 0;
    sort.Direction = 0;
    return true;
}

}  // namespace ip2h
