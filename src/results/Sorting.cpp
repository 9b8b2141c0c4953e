#include "results/Sorting.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "address/AddressText.h"
#include "base/FixedText.h"
#include "base/IntScan.h"
#include "resolver/AnswerKind.h"
#include "results/ResultTable.h"

namespace ip2h {
namespace {

// Appends to a fixed buffer, cutting at its capacity; the keys are built for every row at
// every refresh, so this avoids the cost of formatted printing.
class KeyWriter {
public:
    KeyWriter(char* out, std::size_t size) : m_out(out), m_size(size) { Terminate(); }

    void Put(std::string_view text) {
        const std::size_t room = m_size - 1 - m_length;
        const std::size_t n = std::min(room, text.size());
        std::memcpy(m_out + m_length, text.data(), n);
        m_length += n;
        Terminate();
    }
    void Put(char c) { Put(std::string_view(&c, 1)); }

    // A number written with at least `width` digits, zero-padded ("%03d", "%05d").
    void Padded(std::int64_t value, int width) {
        char digits[32];
        if (value >= 0 && value < 100000) {
            char* p = digits + sizeof digits;
            std::int64_t v = value;
            int count = 0;
            do {
                *--p = static_cast<char>('0' + v % 10);
                v /= 10;
                ++count;
            } while (v != 0);
            while (count < width) {
                *--p = '0';
                ++count;
            }
            Put(std::string_view(p, static_cast<std::size_t>(count)));
            return;
        }
        const int n = std::snprintf(digits, sizeof digits, "%0*" PRId64, width, value);
        Put(std::string_view(digits, static_cast<std::size_t>(std::max(n, 0))));
    }

    // Four fields "%03d.%03d.%03d.%03d".
    template <typename Field>
    void PaddedQuad(const Field (&fields)[4]) {
        for (int i = 0; i < 4; ++i) {
            if (i > 0) Put('.');
            Padded(fields[i], 3);
        }
    }

    std::size_t Length() const { return m_length; }

private:
    void Terminate() { m_out[m_length] = '\0'; }

    char* m_out;
    std::size_t m_size;
    std::size_t m_length = 0;
};

// Fields of an address written with three digits each, so that text order is numeric order;
// any other text as it stands.
void AddressPart(const ResultEntry& row, KeyWriter& key) {
    const std::string_view address = FieldText(row.Address);
    if (const auto fields = DottedQuadFields(address)) {
        const int f[4] = {(*fields)[0], (*fields)[1], (*fields)[2], (*fields)[3]};
        key.PaddedQuad(f);
    } else {
        key.Put(address);
    }
}

void HostPart(const ResultEntry& row, KeyWriter& key) {
    const std::string_view host = FieldText(row.HostName);
    if (const auto fields = DottedQuadFields(host)) {
        // A failed lookup answers with the address itself.
        const int f[4] = {(*fields)[0], (*fields)[1], (*fields)[2], (*fields)[3]};
        key.PaddedQuad(f);
    } else if (HasPendingMark(host)) {
        // The pending placeholder "(address)": fields not read count as 0.
        std::int64_t f[4] = {};
        ScanFields(host, "(%i.%i.%i.%i)", f);
        key.Put('(');
        key.PaddedQuad(f);
        key.Put(')');
    } else {
        key.Put('@');
        key.Put(host);
    }
}

}  // namespace

std::size_t PrimaryKey(const ResultEntry& row, ListColumn column, char* out, std::size_t size) {
    if (size == 0) return 0;
    KeyWriter key(out, size);
    // The sorted column's part comes first; the others follow to break ties.
    enum Part { Address, Host, Status, Domain };
    static constexpr Part kOrder[4][4] = {{Address, Host, Status, Domain},
                                          {Host, Address, Status, Domain},
                                          {Status, Address, Host, Domain},
                                          {Domain, Address, Host, Status}};
    for (int i = 0; i < 4; ++i) {
        if (i > 0) key.Put(' ');
        switch (kOrder[static_cast<int>(column)][i]) {
            case Address:
                AddressPart(row, key);
                break;
            case Host:
                HostPart(row, key);
                break;
            case Status:
                key.Padded(row.Status, 5);
                break;
            case Domain:
                key.Padded(row.DomainIndex, 5);
                break;
        }
    }
    return key.Length();
}

void BuildSortOrder(ResultTable& table, const SortState& sort) {
    const int count = table.RowsInUse();
    table.RowOrder.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) table.RowOrder[i] = i;
    table.OrderedCount = count;
    if (sort.Enabled != 1) return;

    // Every row's key for the column, in one block that lives for this sort only. A key holds
    // all four parts of the row, so rows with equal keys look alike in every column; a stable
    // sort keeps such rows in storage order.
    std::string keys;
    keys.reserve(static_cast<std::size_t>(count) * 64);
    std::vector<std::pair<std::size_t, std::size_t>> spans(static_cast<std::size_t>(count));
    char primary[2 * kTextFieldSize + 64];
    for (int i = 0; i < count; ++i) {
        const std::size_t length = PrimaryKey(table.Rows[i], sort.Column, primary, sizeof primary);
        spans[i] = {keys.size(), length};
        keys.append(primary, length);
    }
    const auto key = [&keys, &spans](std::int32_t row) {
        return std::string_view(keys).substr(spans[row].first, spans[row].second);
    };
    auto& order = table.RowOrder;
    if (sort.Direction == SortDirection::Ascending) {
        std::stable_sort(order.begin(), order.end(),
                         [&key](std::int32_t a, std::int32_t b) { return key(a) < key(b); });
    } else {
        std::stable_sort(order.begin(), order.end(),
                         [&key](std::int32_t a, std::int32_t b) { return key(a) > key(b); });
    }
}

}  // namespace ip2h
