#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace ip2h {

// Reads numbers the way the C formatted-input "%i" conversion does (leading white space
// skipped, optional sign, "0x" hexadecimal, leading "0" octal, otherwise decimal), without
// the undefined behaviour of sscanf on overflow: a value too large for 64 bits saturates.
//
// `format` holds "%i" conversions and literal characters; a white-space character in the
// format matches any run of white space. Reading stops at the first mismatch, and the
// number of conversions stored in `out` is returned. Text after the format is ignored.
int ScanFields(std::string_view text, std::string_view format, std::span<std::int64_t> out);

// One "%i" conversion starting at `pos`; on success stores the value, advances `pos`
// past the digits read and returns true.
bool ScanInteger(std::string_view text, std::size_t& pos, std::int64_t& value);

// The leading decimal integer as atoi/strtol(…, 10) reads it: leading white space, an
// optional sign, then decimal digits; 0 when there are none. Saturates instead of
// overflowing.
std::int64_t LeadingDecimal(std::string_view text);

// A text of decimal digits only (no sign, blank or base prefix) whose value lies in
// `low`..`high`; nothing otherwise.
std::optional<int> ExactDecimal(std::string_view text, int low, int high);

// `value` limited to the range of int.
int ClampToInt(std::int64_t value);

}  // namespace ip2h
