#include "base/LineWrap.h"

#include <vector>

namespace ip2h {
namespace {

bool StartsCharacter(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

// Appends `line` to `out` in pieces of at most `columns` characters.
void AppendWrapped(std::string& out, std::string_view line, std::size_t columns) {
    while (true) {
        // The byte offset where each of the first columns + 1 characters starts.
        std::vector<std::size_t> starts;
        for (std::size_t i = 0; i < line.size() && starts.size() <= columns; ++i) {
            if (StartsCharacter(line[i])) starts.push_back(i);
        }
        if (starts.size() <= columns) {
            out += line;
            return;
        }
        std::size_t cut = starts[columns];
        for (std::size_t k = columns; k > columns / 2; --k) {
            const char before = line[starts[k] - 1];
            if (before == '.' || before == ' ') {
                cut = starts[k];
                break;
            }
        }
        out.append(line.substr(0, cut)).append("\n");
        line.remove_prefix(cut);
    }
}

}  // namespace

std::string WrapLongLines(std::string_view text, std::size_t columns) {
    if (columns == 0) return std::string(text);
    std::string out;
    out.reserve(text.size() + text.size() / columns + 1);
    while (true) {
        const std::size_t end = text.find('\n');
        AppendWrapped(out, text.substr(0, end), columns);
        if (end == std::string_view::npos) return out;
        out += '\n';
        text.remove_prefix(end + 1);
    }
}

}  // namespace ip2h
