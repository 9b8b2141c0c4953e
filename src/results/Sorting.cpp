#include "results/Sorting.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/FixedText.h"
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

    std::size_t Length() const { return m_length; }

private:
    void Terminate() { m_out[m_length] = '\0'; }

    char* m_out;
    std::size_t m_size;
    std::size_t m_length = 0;
};

// The host part of a row's key. Its text would be "(" and the address's padded quad while
// pending, the padded quad of the address after a failure or of a name that reads as one,
// and "@" and the name otherwise; the three kinds sort in that order, as '(' < '0' < '@'.
enum class HostClass : std::uint8_t { Pending, Quad, Name };
struct HostKey {
    HostClass Class;
    std::uint32_t Quad;
    std::string_view Name;
};

HostKey HostKeyOf(const ResultEntry& row) {
    switch (row.Answer.Status) {
        case RowStatus::Pending:
            return {HostClass::Pending, row.Value.V4, {}};
        case RowStatus::Failure:
            return {HostClass::Quad, row.Value.V4, {}};
        case RowStatus::Success:
            break;
    }
    if (row.Answer.NameIsDottedQuad) return {HostClass::Quad, row.Answer.NameValue, {}};
    return {HostClass::Name, 0, FieldText(row.HostName)};
}

// A row's key as values, read once per sort.
struct RowKey {
    std::uint32_t Address;
    HostKey Host;
    std::int32_t Status;
    std::int32_t Domain;
};

enum Part { AddressPart, HostPart, StatusPart, DomainPart };
// The sorted column's part comes first; the others follow to break ties.
constexpr Part kPartOrder[kListColumnCount][4] = {{AddressPart, HostPart, StatusPart, DomainPart},
                                                  {HostPart, AddressPart, StatusPart, DomainPart},
                                                  {StatusPart, AddressPart, HostPart, DomainPart},
                                                  {DomainPart, AddressPart, HostPart, StatusPart}};

void PutQuad(KeyWriter& key, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        if (shift != 24) key.Put('.');
        key.Padded((value >> shift) & 0xFFu, 3);
    }
}

// The key as text: every part, separated by blanks. Two keys compare byte-wise.
std::size_t WriteKey(const RowKey& row, ListColumn column, char* out, std::size_t size) {
    KeyWriter key(out, size);
    for (int i = 0; i < 4; ++i) {
        if (i > 0) key.Put(' ');
        switch (kPartOrder[static_cast<int>(column)][i]) {
            case AddressPart:
                PutQuad(key, row.Address);
                break;
            case HostPart:
                if (row.Host.Class == HostClass::Name) {
                    key.Put('@');
                    key.Put(row.Host.Name);
                } else if (row.Host.Class == HostClass::Pending) {
                    key.Put('(');
                    PutQuad(key, row.Host.Quad);
                    key.Put(')');
                } else {
                    PutQuad(key, row.Host.Quad);
                }
                break;
            case StatusPart:
                key.Padded(row.Status, 5);
                break;
            case DomainPart:
                key.Padded(row.Domain, 5);
                break;
        }
    }
    return key.Length();
}

template <typename T>
int Order(T a, T b) {
    return a < b ? -1 : b < a ? 1 : 0;
}

// The byte-wise order of two names as the key holds them: each followed by a blank and the
// rest of its key. Nothing when that blank meets a blank of the longer name, so that the
// rest of the keys decide.
std::optional<int> NameOrder(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (a[i] != b[i]) {
            return Order(static_cast<unsigned char>(a[i]), static_cast<unsigned char>(b[i]));
        }
    }
    if (a.size() == b.size()) return 0;
    const bool aShorter = a.size() < b.size();
    const auto next = static_cast<unsigned char>(aShorter ? b[common] : a[common]);
    if (next == ' ') return std::nullopt;
    const int shorterFirst = next > ' ' ? -1 : 1;
    return aShorter ? shorterFirst : -shorterFirst;
}

// Compares two keys as their texts would compare, without writing them but for the rare
// names that hold a blank where the other name ends.
int CompareKeys(const RowKey& a, const RowKey& b, ListColumn column) {
    for (const Part part : kPartOrder[static_cast<int>(column)]) {
        int order = 0;
        switch (part) {
            case AddressPart:
                order = Order(a.Address, b.Address);
                break;
            case HostPart:
                if (a.Host.Class != b.Host.Class) {
                    order = Order(a.Host.Class, b.Host.Class);
                } else if (a.Host.Class != HostClass::Name) {
                    order = Order(a.Host.Quad, b.Host.Quad);
                } else if (const auto names = NameOrder(a.Host.Name, b.Host.Name)) {
                    order = *names;
                } else {
                    char textA[2 * kTextFieldSize + 64];
                    char textB[2 * kTextFieldSize + 64];
                    const std::size_t lengthA = WriteKey(a, column, textA, sizeof textA);
                    const std::size_t lengthB = WriteKey(b, column, textB, sizeof textB);
                    const int text = std::string_view(textA, lengthA).compare({textB, lengthB});
                    return Order(text, 0);
                }
                break;
            case StatusPart:
                order = Order(a.Status, b.Status);
                break;
            case DomainPart:
                order = Order(a.Domain, b.Domain);
                break;
        }
        if (order != 0) return order;
    }
    return 0;
}

}  // namespace

void BuildSortOrder(ResultTable& table, const SortState& sort) {
    const int count = table.RowsInUse();
    table.RowOrder.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) table.RowOrder[i] = i;
    table.OrderedCount = count;
    if (sort.Enabled != 1) return;

    // A key holds all four parts of the row, so rows with equal keys look alike in every
    // column; a stable sort keeps such rows in storage order. Each row also gets its first
    // part as a number that orders as that part does (a name's part counts only by its
    // kind), so that most comparisons are of two numbers side by side.
    struct Item {
        std::uint64_t First;
        std::int32_t Row;
    };
    // Kept from sort to sort: fresh blocks of this size would be new pages every time.
    static thread_local std::vector<RowKey> keyScratch;
    static thread_local std::vector<Item> itemScratch;
    std::vector<RowKey>& keys = keyScratch;
    std::vector<Item>& items = itemScratch;
    keys.resize(static_cast<std::size_t>(count));
    items.resize(static_cast<std::size_t>(count));
    const ListColumn column = sort.Column;
    for (int i = 0; i < count; ++i) {
        const ResultEntry& row = table.Rows[i];
        const RowKey& key =
            keys[i] = {row.Value.V4, HostKeyOf(row), static_cast<std::int32_t>(row.Answer.Status),
                       row.DomainIndex};
        std::uint64_t first = 0;
        switch (kPartOrder[static_cast<int>(column)][0]) {
            case AddressPart:
                first = key.Address;
                break;
            case HostPart:
                first = static_cast<std::uint64_t>(key.Host.Class) << 32 |
                        (key.Host.Class == HostClass::Name ? 0 : key.Host.Quad);
                break;
            case StatusPart:
                first = static_cast<std::uint32_t>(key.Status);
                break;
            case DomainPart:
                first = static_cast<std::uint32_t>(key.Domain);
                break;
        }
        items[i] = {first, i};
    }
    const auto order = [&keys, column](const Item& a, const Item& b) {
        if (a.First != b.First) return a.First < b.First ? -1 : 1;
        return CompareKeys(keys[a.Row], keys[b.Row], column);
    };
    // Rows registered from a range already stand in address order: a check in one pass spares
    // the sort, and a stable sort would leave them as they are anyway.
    const auto sortBy = [&items](const auto& before) {
        if (!std::is_sorted(items.begin(), items.end(), before)) {
            std::stable_sort(items.begin(), items.end(), before);
        }
    };
    if (sort.Direction == SortDirection::Ascending) {
        sortBy([&order](const Item& a, const Item& b) { return order(a, b) < 0; });
    } else {
        sortBy([&order](const Item& a, const Item& b) { return order(a, b) > 0; });
    }
    for (int i = 0; i < count; ++i) table.RowOrder[i] = items[i].Row;
}

}  // namespace ip2h
