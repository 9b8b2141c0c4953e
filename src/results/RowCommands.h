#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace ip2h {

class ResultTable;

// Bits of the "Copy Item" option: what Copy puts on the clipboard.
inline constexpr std::int32_t kCopyAddressBit = 1;
inline constexpr std::int32_t kCopyHostNameBit = 2;

// The four cell texts of one list row, as displayed.
using RowCells = std::array<std::string_view, 4>;

// One copied line with its "\r\n": the address, the host name, both separated by a blank,
// or (neither bit set) all four columns each followed by a comma.
void AppendCopyLine(std::string& out, std::int32_t copyItems, const RowCells& cells);

// Appends the addresses and ranges of pasted text as new rows and sets RowCount. The text is
// split into lines (ListLineSplitter) with every list filler in them removed, since a copied
// list or a spreadsheet puts blanks, quotes and tabs around and between the parts of an
// address; a text without a line end is one line, read whole. Each line is an address (kept as
// pasted), a range or a block "a.b.c.d/n" expanded with `interval` (at most `maxLimit` rows
// per range), or ignored. Stops at the table's capacity. Returns the rows added. The caller
// has checked that the table is not full.
int PasteRows(ResultTable& table, std::string_view clipboardText, std::uint32_t interval,
              int maxLimit);

}  // namespace ip2h
