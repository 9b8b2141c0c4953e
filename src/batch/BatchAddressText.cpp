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

// An IPv6 address or block; blocks over the limit are kept, marked TooLarge.
std::optional<BatchSpan> ReadIpv6Span(std::string_view text) {
    if (const auto address = ParseIpv6(text)) return BatchSpan{{}, Ipv6Block{*address, 1, false}};
    if (const auto block = ParseIpv6Block(text)) return BatchSpan{{}, *block};
    return std::nullopt;
}

std::optional<BatchSpan> ReadSpan(std::string_view text) {
    if (text.find(':') != std::string_view::npos) return ReadIpv6Span(text);
    if (const auto address = ReadExactAddress(text)) return BatchSpan{{*address, *address}, {}};
    const std::size_t slash = text.find('/');
    if (slash != std::string_view::npos) {
        // The block reader is lenient about its address; this one is not.
        if (!ReadExactAddress(text.substr(0, slash))) return std::nullopt;
        const auto block = ParseCidrText(text);
        if (!block) return std::nullopt;
        return BatchSpan{{*AddressValue(block->Start), *AddressValue(block->End)}, {}};
    }
    const std::size_t dash = text.find('-');
    if (dash == std::string_view::npos) return std::nullopt;
    const auto first = ReadExactAddress(text.substr(0, dash));
    const auto last = ReadExactAddress(text.substr(dash + 1));
    if (!first || !last) return std::nullopt;
    return BatchSpan{{*first, *last}, {}};
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

RangeWalk BatchSpanWalk(const BatchSpan& span, std::uint32_t interval) {
    if (!span.V6) return RangeWalk(span.V4, interval);
    if (span.V6->TooLarge || span.V6->Count == 0) return RangeWalk();
    return RangeWalk(AddressSpan{0, span.V6->Count - 1}, interval);
}

BatchArgument ReadBatchArgument(std::string_view text) {
    const auto span = ReadSpan(text);
    if (span && span->V6 && span->V6->TooLarge) {
        return {std::nullopt, Quoted(text) + " is an IPv6 block of more than " +
                                  std::to_string(kMaxIpv6BlockSize) + " addresses (/" +
                                  std::to_string(kMinIpv6BlockPrefix) + " at most)"};
    }
    if (span && (span->V6 || span->V4.First <= span->V4.Last)) return {span, {}};
    if (span) return {std::nullopt, Quoted(text) + " is a range that starts above its end"};
    std::string error = Quoted(text) + " is not an address, a range or a block";
    if (text.find(':') != std::string_view::npos) {
        if (text.find('-') != std::string_view::npos) error += " (ranges are IPv4 only)";
        if (text.find('%') != std::string_view::npos) error += " (no zone index)";
        return {std::nullopt, error};
    }
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

std::optional<BatchSpan> ReadBatchLine(std::string_view line) {
    while (!line.empty() && IsListFiller(line.front())) line.remove_prefix(1);
    while (!line.empty() && IsListFiller(line.back())) line.remove_suffix(1);
    if (const auto span = ReadSpan(line)) {
        if (span->V6 || span->V4.First <= span->V4.Last) return span;
        return std::nullopt;
    }
    const auto blank = std::find_if(line.begin(), line.end(), IsBlank);
    if (blank == line.end()) return std::nullopt;
    const std::string_view first = line.substr(0, static_cast<std::size_t>(blank - line.begin()));
    if (const auto address = ReadExactAddress(first)) return BatchSpan{{*address, *address}, {}};
    if (const auto address = ParseIpv6(first)) return BatchSpan{{}, Ipv6Block{*address, 1, false}};
    return std::nullopt;
}

}  // namespace ip2h
