#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "address/AddressText.h"
#include "address/Ipv6Text.h"

namespace ip2h {

// The batch mode reads addresses strictly: a text is taken whole or refused, so that no typing
// slip becomes millions of lookups or an address nobody wrote.

// Exactly four fields of digits separated by dots, each 0 to 255, read as "%i" reads them
// ("010" is octal 8, so "09" is no field); nothing else, not even a blank.
std::optional<std::uint32_t> ReadExactAddress(std::string_view text);

// What an argument or a line stands for: the IPv4 addresses V4.First to V4.Last or, when V6
// is set, an IPv6 block (an IPv6 address is a block of one). Ranges "a-b" are IPv4 alone.
struct BatchSpan {
    AddressSpan V4;
    std::optional<Ipv6Block> V6;
};
// The walk of `span` stepping by `interval`: its IPv4 addresses, or the offsets from V6->First
// of its IPv6 block (none for a block over the limit).
RangeWalk BatchSpanWalk(const BatchSpan& span, std::uint32_t interval);
// How many addresses that walk visits.
inline std::uint64_t BatchSpanCount(const BatchSpan& span, std::uint32_t interval) {
    return BatchSpanWalk(span, interval).Remaining();
}

// A command-line argument: exactly an address (IPv4 or IPv6), a range of two IPv4 addresses
// whose start is not above its end, or a block of either family (IPv6: at most
// kMaxIpv6BlockSize addresses); otherwise the message of a usage error that names the
// argument.
struct BatchArgument {
    std::optional<BatchSpan> Span;
    std::string Error;
};
BatchArgument ReadBatchArgument(std::string_view text);

// A line of standard input, at most kMaxListLineLength characters: with the list fillers
// around it dropped, an address, a range or a block; or a line that starts with an address
// and a blank (a log line), which gives that address. Nothing for any other line. An IPv6
// block over the limit comes back with V6->TooLarge set, for the run to skip with a word.
std::optional<BatchSpan> ReadBatchLine(std::string_view line);

}  // namespace ip2h
