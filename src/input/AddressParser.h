#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ip2h {

class ResultTable;

// Smallest and largest step between consecutive addresses of a range.
inline constexpr std::int64_t MinInterval = 1;
inline constexpr std::int64_t MaxInterval = 65536;

// True for digits and dots only that read as four "%i" fields of 0 to 255 each. Text after
// the fourth field is ignored ("1.2.3.4.5" passes); "010" is octal 8.
bool IsDottedQuad(std::string_view text);

// The four fields of a dotted quad, read as IsDottedQuad reads them; nothing for any other text.
std::optional<std::array<int, 4>> DottedQuadFields(std::string_view text);

// The canonical "%d.%d.%d.%d" text of four parsed fields. A field outside 0..254 (negative,
// 255 or more, or beyond 32 bits) becomes 255, so the result is always a dotted quad.
std::string NormaliseFields(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d);

struct AddressRange {
    std::string Start;
    std::string End;
};

// Reads "a.b.c.d-e.f.g.h" into two canonical addresses; a text whose part after "-" does
// not read as four fields runs from its first address to 255.255.255.255. Nothing for a
// text without "-" or without four leading fields.
std::optional<AddressRange> ParseRangeText(std::string_view text);

// The address as a number, first field most significant; only for dotted quads.
std::optional<std::uint32_t> AddressValue(std::string_view text);

// A dotted quad in 10/8, 172.16/12 or 192.168/16.
bool IsPrivateAddress(std::string_view text);
// Whether an address with these first two fields lies in one of those networks.
bool IsPrivateNetwork(std::int64_t first, std::int64_t second);

// Replaces the table's rows by the addresses from `start` to `end` stepping by `interval`,
// at most `maxLimit` of them, and sets RowCount. Returns the rows written; 0 and the table
// untouched when the addresses are not dotted quads or the interval is outside 1..65536.
int FillRange(ResultTable& table, std::string_view start, std::string_view end,
              std::int64_t interval, int maxLimit);

// Writes the addresses of the range into rows `startIndex` onwards, at most `maxLimit` of
// them and never at or beyond MaxRows, and returns the index after the last row written.
// Leaves RowCount to the caller. Invalid input writes nothing and returns `startIndex`.
int AppendRange(ResultTable& table, std::string_view start, std::string_view end,
                std::int64_t interval, int startIndex, int maxLimit);

// The interval typed by the user: the leading decimal integer (0 when there is none);
// 0 and 1 give 1, negative values and 65536 or more give 65536.
std::uint32_t ClampInterval(std::string_view intervalText);

}  // namespace ip2h
