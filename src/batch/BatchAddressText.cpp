#include "batch/BatchAddressText.h"

#include <algorithm>

namespace ip2h {
namespace {

// One field as "%i" reads it, whole: decimal, or octal after a leading 0.
std::optional<std::uint32_t> ReadField(std::string_view digits) {
    // Four digits are enough to tell a field above 255; more could only overflow.
    if (digits.empty() || digits.size() > 4) return std::nullopt;
    const std::uint32_t base = digits.size() > 1 && digits.front() == '0' ? 8 : 10;
    std::uint32_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c >= static_cast<char>('0' + base)) return std::nullopt;
        value = value * base + static_cast<std::uint32_t>(c - '0');
    }
    return value <= 255 ? std::optional(value) : std::nullopt;
}

std::optional<AddressSpan> ReadSpan(std::string_view text) {
    if (const auto address = ReadExactAddress(text)) return AddressSpan{*address, *address};
    const std::size_t slash = text.find('/');
    if (slash != std::string_view::npos) {
        // The block reader is lenient about its address; this one is not.
        if (!ReadExactAddress(text.substr(0, slash))) return std::nullopt;
        const auto block = ParseCidrText(text);
        if (!block) return std::nullopt;
        return AddressSpan{*AddressValue(block->Start), *AddressValue(block->End)};
    }
    const std::size_t dash = text.find('-');
    if (dash == std::string_view::npos) return std::nullopt;
    const auto first = ReadExactAddress(text.substr(0, dash));
    const auto last = ReadExactAddress(text.substr(dash + 1));
    if (!first || !last) return std::nullopt;
    return AddressSpan{*first, *last};
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::optional<std::uint32_t> ReadExactAddress(std::string_view text) {
    std::uint32_t value = 0;
    for (int field = 0; field < 4; ++field) {
        const std::size_t dot = field < 3 ? text.find('.') : text.size();
        if (dot == std::string_view::npos) return std::nullopt;
        const auto number = ReadField(text.substr(0, dot));
        if (!number) return std::nullopt;
        value = value << 8 | *number;
        text.remove_prefix(std::min(dot + 1, text.size()));
    }
    return value;
}

BatchArgument ReadBatchArgument(std::string_view text) {
    const auto span = ReadSpan(text);
    if (span && span->First <= span->Last) return {span, {}};
    if (span) return {std::nullopt, Quoted(text) + " is a range that starts above its end"};
    std::string error = Quoted(text) + " is not an address, a range or a block";
    // "192.168.1.1-254", the last field's end alone, is a common shorthand elsewhere.
    const std::size_t dash = text.find('-');
    const std::string_view start = text.substr(0, dash);
    const std::size_t lastDot = start.rfind('.');
    if (dash != std::string_view::npos && ReadExactAddress(start) &&
        text.find('.', dash) == std::string_view::npos) {
        const std::string full =
            std::string(text.substr(0, lastDot + 1)).append(text.substr(dash + 1));
        const auto end = ReadExactAddress(full);
        if (end && *end >= *ReadExactAddress(start)) {
            error += " (write a range in full: " + std::string(start) + "-" +
                     std::string(FormatAddress(*end).View()) + ")";
        }
    }
    return {std::nullopt, error};
}

std::optional<AddressSpan> ReadBatchLine(std::string_view line) {
    while (!line.empty() && IsListFiller(line.front())) line.remove_prefix(1);
    while (!line.empty() && IsListFiller(line.back())) line.remove_suffix(1);
    if (const auto span = ReadSpan(line)) {
        if (span->First <= span->Last) return span;
        return std::nullopt;
    }
    const auto blank = std::find_if(line.begin(), line.end(), IsBlank);
    if (blank == line.end()) return std::nullopt;
    const auto address =
        ReadExactAddress(line.substr(0, static_cast<std::size_t>(blank - line.begin())));
    if (!address) return std::nullopt;
    return AddressSpan{*address, *address};
}

}  // namespace ip2h
