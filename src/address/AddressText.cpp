#include "address/AddressText.h"

#include <algorithm>
#include <charconv>
#include <system_error>

#include "base/IntScan.h"

namespace ip2h {
namespace {

constexpr std::string_view kQuadFormat = "%i.%i.%i.%i";
// Two quads joined by "-".
constexpr auto kRangeFormatText = [] {
    std::array<char, kQuadFormat.size() * 2 + 1> text{};
    const auto dash = std::ranges::copy(kQuadFormat, text.begin()).out;
    *dash = '-';
    std::ranges::copy(kQuadFormat, dash + 1);
    return text;
}();
constexpr std::string_view kRangeFormat(kRangeFormatText.data(), kRangeFormatText.size());

bool ReadQuad(std::string_view text, std::int64_t (&fields)[4]) {
    return ScanFields(text, kQuadFormat, fields) == 4;
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

}  // namespace

void DottedQuadText::AppendDot() {
    if (Length < sizeof Text) Text[Length++] = '.';
}

void DottedQuadText::AppendNumber(unsigned value) {
    const auto [end, error] = std::to_chars(Text + Length, Text + sizeof Text, value);
    if (error == std::errc{}) Length = static_cast<std::size_t>(end - Text);
}

DottedQuadText FormatAddress(std::uint32_t value) {
    DottedQuadText out;
    for (int shift = 24; shift >= 0; shift -= 8) {
        if (shift != 24) out.AppendDot();
        out.AppendNumber((value >> shift) & 0xFFu);
    }
    return out;
}

bool ValidInterval(std::int64_t interval) {
    return interval >= kMinInterval && interval <= kMaxInterval;
}

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

bool IsDottedQuad(std::string_view text) {
    return DottedQuadFields(text).has_value();
}

std::string NormaliseFields(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d) {
    DottedQuadText out;
    for (const std::int64_t field : {a, b, c, d}) {
        if (out.Length != 0) out.AppendDot();
        out.AppendNumber(ClampField(field));
    }
    return std::string(out.View());
}

std::optional<std::string> ReadLeadingQuad(std::string_view text) {
    std::int64_t f[4];
    if (!ReadQuad(text, f)) return std::nullopt;
    return NormaliseFields(f[0], f[1], f[2], f[3]);
}

std::optional<AddressRange> ParseRangeText(std::string_view text) {
    if (text.find('-') == std::string_view::npos) return std::nullopt;
    std::int64_t f[8];
    if (ScanFields(text, kRangeFormat, f) == 8) {
        return AddressRange{NormaliseFields(f[0], f[1], f[2], f[3]),
                            NormaliseFields(f[4], f[5], f[6], f[7])};
    }
    // The "-" takes no part in the decision: four fields are enough for an open range.
    if (auto start = ReadLeadingQuad(text))
        return AddressRange{std::move(*start), "255.255.255.255"};
    return std::nullopt;
}

std::optional<AddressRange> ParseCidrText(std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const std::string_view quad = text.substr(0, slash);
    const std::string_view prefixText = text.substr(slash + 1);
    if (std::count(quad.begin(), quad.end(), '.') != 3) return std::nullopt;
    const auto value = AddressValue(quad);
    // One or two digits: "/024" is not a prefix length.
    const auto prefix = prefixText.size() <= 2 ? ExactDecimal(prefixText, 0, 32) : std::nullopt;
    if (!value || !prefix) return std::nullopt;
    const std::uint32_t hostBits = *prefix == 0 ? ~0u : (1u << (32 - *prefix)) - 1u;
    const std::uint32_t first = *value & ~hostBits;
    return AddressRange{std::string(FormatAddress(first).View()),
                        std::string(FormatAddress(first | hostBits).View())};
}

std::optional<std::uint32_t> AddressValue(std::string_view text) {
    if (!IsDottedQuad(text)) return std::nullopt;
    std::int64_t fields[4];
    ReadQuad(text, fields);
    return QuadValue(fields);
}

ListLine ReadListLine(std::string_view line) {
    if (const auto block = ParseCidrText(line)) {
        return AddressSpan{*AddressValue(block->Start), *AddressValue(block->End)};
    }
    if (IsDottedQuad(line)) return line;
    if (const auto range = ParseRangeText(line)) {
        const auto first = AddressValue(range->Start);
        const auto last = AddressValue(range->End);
        if (first && last) return AddressSpan{*first, *last};
    }
    return std::monostate{};
}

bool IsPrivateIpv4(std::uint32_t value) {
    const std::uint32_t first = value >> 24;
    const std::uint32_t second = (value >> 16) & 0xFFu;
    return first == 10 || (first == 172 && second >= 16 && second <= 31) ||
           (first == 192 && second == 168);
}

bool IsPrivateAddress(std::string_view text) {
    const auto value = AddressValue(text);
    return value && IsPrivateIpv4(*value);
}

std::uint32_t ClampInterval(std::string_view intervalText) {
    const std::int64_t value = LeadingDecimal(intervalText);
    if (value < 0 || value >= kMaxInterval) return static_cast<std::uint32_t>(kMaxInterval);
    if (value <= kMinInterval) return static_cast<std::uint32_t>(kMinInterval);
    return static_cast<std::uint32_t>(value);
}

}  // namespace ip2h
