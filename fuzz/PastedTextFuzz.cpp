// Clipboard text pasted into the list: whatever another program put there.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "address/AddressText.h"
#include "base/FixedText.h"
#include "results/ResultTable.h"
#include "results/RowCommands.h"

namespace {

ip2h::ResultTable& Table() {
    static const std::unique_ptr<ip2h::ResultTable> table = ip2h::ResultTable::Create();
    return *table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ip2h;
    using namespace ip2h::fuzz;
    InputReader input(data, size);
    const std::uint32_t number = input.Number();
    const std::string_view clipboard = input.Rest();

    // The text's lines, fed whole or in two pieces cut anywhere: the same lines either way.
    const auto split = [clipboard](std::size_t cut) {
        std::vector<std::string> lines;
        const auto take = [&lines](std::string_view line) {
            lines.emplace_back(line);
            return true;
        };
        ListLineSplitter splitter({.DropAllFillers = true, .NulEndsLine = false});
        splitter.Feed(clipboard.substr(0, cut), take);
        splitter.Feed(clipboard.substr(cut), take);
        splitter.Finish(take);
        return lines;
    };
    const std::vector<std::string> lines = split(clipboard.size());
    Require(split(number % (clipboard.size() + 1)) == lines, "pieces split as the whole does");
    for (const std::string& line : lines) {
        Require(!line.empty() && line.size() <= kMaxListLineLength, "lines are cut at the limit");
        Require(line.find_first_of(std::string_view(" \"'\t\r\n")) == std::string::npos,
                "blanks, quotes, tabs and line ends are removed");
    }

    ResultTable& table = Table();
    // Anywhere from an empty table to one row short of full.
    const int first = static_cast<int>(number % MaxRows);
    const int maxLimit = 256 + static_cast<int>((number >> 14) % 769);
    const auto interval = static_cast<std::uint32_t>(1 + (number >> 24) * 257 % 65536);
    table.RowCount = first;
    if (first > 0) table.WriteNewRow(first - 1, "sentinel");

    const int added = PasteRows(table, clipboard, interval, maxLimit);
    Require(added >= 0 && table.RowCount == first + added, "RowCount counts the added rows");
    Require(table.RowCount <= MaxRows, "the table never overflows");
    if (first > 0) {
        Require(FieldText(table.Rows[first - 1].Address) == "sentinel", "earlier rows stay");
    }
    // Every new row holds an address; a pasted address is kept as pasted, so it may be longer
    // than the canonical form but always reads as one.
    for (int i = first; i < table.RowCount; ++i) {
        const ResultEntry& row = table.Rows[i];
        Require(IsDottedQuad(FieldText(row.Address)), "pasted rows are addresses");
        Require(row.Answer.Status == RowStatus::Pending && row.Selected == 0,
                "pasted rows are pending");
    }
    // Pasting never adds more rows than the text has lines times the per-range limit (a text
    // without a line end is one line).
    const std::size_t lineCount = std::max<std::size_t>(lines.size(), 1);
    Require(static_cast<std::size_t>(added) <= lineCount * static_cast<std::size_t>(maxLimit),
            "at most MaxLimit rows per pasted line");
    return 0;
}
