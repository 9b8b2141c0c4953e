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

std::string CleanPastedText(std::string_view text) {
    std::string clean;
    clean.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        // CR LF, LF and a lone CR (as some programs still copy) all end a line.
        if (c == '\r') {
            clean.push_back('\n');
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (!IsListFiller(c)) {
            clean.push_back(c);
        }
    }
    return clean;
}

int PasteRows(ResultTable& table, std::string_view clipboardText, std::uint32_t interval,
              int maxLimit) {
    const int first = table.RowCount;
    if (first >= MaxRows) return 0;
    const std::string text = CleanPastedText(clipboardText);
    int p = first;
    if (text.find('\n') == std::string::npos) {
        p = PasteEntry(table, text, p, interval, maxLimit);
    } else {
        // Every line counts, also an unterminated last one: dropping it would silently lose
        // the last address of a list copied without a final line feed.
        std::size_t start = 0;
        while (start < text.size() && p < MaxRows) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::string_view line(text.data() + start, end - start);
            if (line.size() > kMaxListLineLength) line = line.substr(0, kMaxListLineLength);
            if (!line.empty()) p = PasteEntry(table, line, p, interval, maxLimit);
            start = end + 1;
        }
    }
    table.RowCount = p;
    return p - first;
}

}  // namespace ip2h
