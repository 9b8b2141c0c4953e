#include "input/AddressParser.h"

#include <charconv>
#include <span>
#include <system_error>

#include "input/IntScan.h"
#include "results/ResultTable.h"

namespace ip2h {
namespace {

constexpr std::string_view kQuadFormat = "%i.%i.%i.%i";

bool ReadQuad(std::string_view text, std::int64_t (&fields)[4]) {
    return ScanFields(text, kQuadFormat, fields) == 4;
}

// Long enough for "255.255.255.255". Every append is bounded by the buffer, so the
// compiler can see that no write leaves it whatever the values.
struct AddressText {
    char Text[16];
    std::size_t Length = 0;

    std::string_view View() const { return {Text, Length}; }

    void AppendDot() {
        if (Length < sizeof Text) Text[Length++] = '.';
    }
    void AppendNumber(unsigned value) {
        const auto [end, error] = std::to_chars(Text + Length, Text + sizeof Text, value);
        if (error == std::errc{}) Length = static_cast<std::size_t>(end - Text);
    }
};

AddressText FormatAddress(std::uint32_t value) {
    AddressText out;
    for (int shift = 24; shift >= 0; shift -= 8) {
        if (shift != 24) out.AppendDot();
        out.AppendNumber((value >> shift) & 0xFFu);
    }
    return out;
}

unsigned ClampField(std::int64_t value) {
    return (value < 0 || value >= 255) ? 255u : static_cast<unsigned>(value);
}

std::uint32_t QuadValue(const std::int64_t (&fields)[4]) {
    std::uint32_t value = 0;
    for (const std::int64_t field : fields)
        value = (value << 8) | static_cast<std::uint32_t>(field);
    return value;
}

// Writes rows from `startIndex` for start..end; the value is held in 64 bits so that a step
// past 255.255.255.255 ends the walk instead of wrapping round to 0.0.0.0.
int WalkRange(ResultTable& table, std::uint32_t start, std::uint32_t end, std::int64_t interval,
              int startIndex, int maxLimit) {
    std::uint64_t current = start;
    int index = startIndex;
    if (current > end) return index;
    int written = 0;
    for (;;) {
        table.WriteNewRow(index, FormatAddress(static_cast<std::uint32_t>(current)).View());
        ++index;
        ++written;
        if (written >= maxLimit || index >= MaxRows) break;
        current += static_cast<std::uint64_t>(interval);
        if (current > end) break;
    }
    return index;
}

bool ValidInterval(std::int64_t interval) {
    return interval >= MinInterval && interval <= MaxInterval;
}

}  // namespace

std::optional<std::array<int, 4>> DottedQuadFields(std::string_view text) {
    for (const char c : text) {
        if (c != '.' && (c < '0' || c > '9')) return std::nullopt;
    }
    std::int64_t fields[4];
    if (!ReadQuad(text, fields)) return std::nullopt;
    std::array<int, 4> result{};
    for (std::size_t i = 0; i < 4; ++i) {
        if (fields[i] < 0 || fields[i] > 255) return std::nullopt;
        result[i] = static_cast<int>(fields[i]);
    }
    return result;
}

bool IsDottedQuad(std::string_view text) { return DottedQuadFields(text).has_value(); }

std::string NormaliseFields(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d) {
    AddressText out;
    for (const std::int64_t field : {a, b, c, d}) {
        if (out.Length != 0) out.AppendDot();
        out.AppendNumber(ClampField(field));
    }
    return std::string(out.View());
}

std::optional<AddressRange> ParseRangeText(std::string_view text) {
    if (text.find('-') == std::string_view::npos) return std::nullopt;
    std::int64_t f[8];
    if (ScanFields(text, "%i.%i.%i.%i-%i.%i.%i.%i", f) == 8) {
        return AddressRange{NormaliseFields(f[0], f[1], f[2], f[3]),
                            NormaliseFields(f[4], f[5], f[6], f[7])};
    }
    // The "-" takes no part in the decision: four fields are enough for an open range.
    if (ScanFields(text, "%i.%i.%i.%i-", std::span(f, 4)) == 4) {
        return AddressRange{NormaliseFields(f[0], f[1], f[2], f[3]), "255.255.255.255"};
    }
    return std::nullopt;
}

std::optional<std::uint32_t> AddressValue(std::string_view text) {
    if (!IsDottedQuad(text)) return std::nullopt;
    std::int64_t fields[4];
    ReadQuad(text, fields);
    return QuadValue(fields);
}

bool IsPrivateNetwork(std::int64_t first, std::int64_t second) {
    return first == 10 || (first == 172 && second >= 16 && second <= 31) ||
           (first == 192 && second == 168);
}

bool IsPrivateAddress(std::string_view text) {
    const auto fields = DottedQuadFields(text);
    return fields && IsPrivateNetwork((*fields)[0], (*fields)[1]);
}

int FillRange(ResultTable& table, std::string_view start, std::string_view end,
              std::int64_t interval, int maxLimit) {
    const auto first = AddressValue(start);
    const auto last = AddressValue(end);
    if (!first || !last || !ValidInterval(interval)) return 0;
    table.ResetRows();
    const int count = WalkRange(table, *first, *last, interval, 0, maxLimit);
    table.RowCount = count;
    return count;
}

int AppendRange(ResultTable& table, std::string_view start, std::string_view end,
                std::int64_t interval, int startIndex, int maxLimit) {
    const auto first = AddressValue(start);
    const auto last = AddressValue(end);
    if (!first || !last || !ValidInterval(interval)) return startIndex;
    if (startIndex < 0 || startIndex >= MaxRows) return startIndex;
    return WalkRange(table, *first, *last, interval, startIndex, maxLimit);
}

std::uint32_t ClampInterval(std::string_view intervalText) {
    const std::int64_t value = LeadingDecimal(intervalText);
    if (value < 0 || value >= MaxInterval) return static_cast<std::uint32_t>(MaxInterval);
    if (value <= MinInterval) return static_cast<std::uint32_t>(MinInterval);
    return static_cast<std::uint32_t>(value);
}

}  // namespace ip2h
