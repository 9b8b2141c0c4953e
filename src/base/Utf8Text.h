#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ip2h {

// The length of the well-formed UTF-8 sequence at the start of `text` (RFC 3629: no overlong
// forms, no surrogates, nothing above U+10FFFF), or 0 when it starts with none.
std::size_t Utf8SequenceLength(std::string_view text);

// `text` with each byte that is not part of a well-formed UTF-8 sequence written as a
// backslash and three decimal digits, the way DNS presents such bytes, so that any name a
// server sends makes valid UTF-8 text. Valid text comes back unchanged.
std::string EscapeInvalidUtf8(std::string_view text);

// Appends `text`, which must be valid UTF-8, as a JSON string with its quotes.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace ip2h
