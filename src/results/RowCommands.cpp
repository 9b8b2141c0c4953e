#include "results/RowCommands.h"

#include "address/AddressText.h"
#include "results/RangeRows.h"
#include "results/ResultTable.h"

namespace ip2h {
namespace {

// Writes one pasted entry at position `p` and returns the next free position.
int PasteEntry(ResultTable& table, std::string_view entry, int p, std::uint32_t interval,
               int maxLimit) {
    const ListLine line = ReadListLine(entry);
    if (const auto* address = std::get_if<std::string_view>(&line)) {
        table.WriteNewRow(p, *address);
        return p + 1;
    }
    if (const auto* span = std::get_if<AddressSpan>(&line)) {
        return AppendRange(table, *span, interval, p, maxLimit);
    }
    return p;
}

}  // namespace

void AppendCopyLine(std::string& out, std::int32_t copyItems, const RowCells& cells) {
    const bool address = (copyItems & kCopyAddressBit) != 0;
    const bool host = (copyItems & kCopyHostNameBit) != 0;
    if (address && host) {
        out.append(cells[0]).append(" ").append(cells[1]);
    } else if (address) {
        out.append(cells[0]);
    } else if (host) {
        out.append(cells[1]);
    } else {
        for (const auto cell : cells) out.append(cell).append(",");
    }
    out.append("\r\n");
}

int PasteRows(ResultTable& table, std::string_view clipboardText, std::uint32_t interval,
              int maxLimit) {
    const int first = table.RowCount;
    if (first >= MaxRows) return 0;
    int p = first;
    const auto paste = [&](std::string_view line) {
        p = PasteEntry(table, line, p, interval, maxLimit);
        return p < MaxRows;
    };
    if (clipboardText.find_first_of("\r\n") == std::string_view::npos) {
        std::string entry(clipboardText);
        std::erase_if(entry, IsListFiller);
        paste(entry);
    } else {
        ListLineSplitter lines({.DropAllFillers = true, .NulEndsLine = false});
        if (lines.Feed(clipboardText, paste)) lines.Finish(paste);
    }
    table.RowCount = p;
    return p - first;
}

}  // namespace ip2h
