#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "address/AddressText.h"

namespace ip2h {

// The batch mode reads addresses strictly: a text is taken whole or refused, so that no typing
// slip becomes millions of lookups or an address nobody wrote.

// Exactly four fields of digits separated by dots, each 0 to 255, read as "%i" reads them
// ("010" is octal 8, so "09" is no field); nothing else, not even a blank.
std::optional<std::uint32_t> ReadExactAddress(std::string_view text);

// A command-line argument: exactly an address, a range of two addresses whose start is not
// above its end, or a block; otherwise the message of a usage error that names the argument.
struct BatchArgument {
    std::optional<AddressSpan> Span;
    std::string Error;
};
BatchArgument ReadBatchArgument(std::string_view text);

// A line of standard input, at most kMaxListLineLength characters: with the list fillers
// around it dropped, an address, a range or a block; or a line that starts with an address
// and a blank (a log line), which gives that address. Nothing for any other line.
std::optional<AddressSpan> ReadBatchLine(std::string_view line);

}  // namespace ip2h
