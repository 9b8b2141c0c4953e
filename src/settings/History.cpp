#include "settings/History.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <system_error>

#include "base/AsciiCase.h"
#include "base/AtomicFile.h"

namespace ip2h {
namespace {

// Reads a file in blocks and hands out the pieces a line reader with a bounded buffer
// would: up to and including the next line feed, but at most kHistoryPieceLength bytes.
class PieceReader {
public:
    explicit PieceReader(int fd) : m_fd(fd) {}

    bool Next(std::string& piece) {
        piece.clear();
        while (piece.size() < kHistoryPieceLength) {
            if (m_pos == m_end && !Fill()) break;
            const std::size_t room = std::min(kHistoryPieceLength - piece.size(), m_end - m_pos);
            const char* start = m_block + m_pos;
            const void* newline = std::memchr(start, '\n', room);
            const std::size_t take =
                newline != nullptr ? static_cast<const char*>(newline) - start + 1 : room;
            piece.append(start, take);
            m_pos += take;
            if (newline != nullptr) break;
        }
        return !piece.empty();
    }

private:
    bool Fill() {
        if (m_total >= kHistoryMaxBytes) return false;
        const ssize_t n = ReadSome(m_fd, m_block, sizeof m_block);
        if (n <= 0) return false;
        m_pos = 0;
        m_end = static_cast<std::size_t>(n);
        m_total += m_end;
        return true;
    }

    int m_fd;
    char m_block[8192];
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    std::size_t m_total = 0;
};

void RemoveLineBreaks(std::string& text) {
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
}

}  // namespace

std::vector<std::string> LoadHistory(const std::filesystem::path& path, bool enabled,
                                     std::string_view rangeText) {
    std::vector<std::string> texts;
    if (!enabled) return texts;
    // A FIFO or a device at the path must neither block nor flood the window's opening.
    const int fd = OpenRegularFile(path);
    if (fd < 0) return texts;

    PieceReader reader(fd);
    std::string piece;
    std::size_t kept = 0;
    while (kept < kHistoryMaxPieces && reader.Next(piece)) {
        // A NUL ends the text the way it ends a C string.
        piece.resize(std::min(piece.size(), piece.find('\0')));
        const auto first = piece.empty() ? 0u : static_cast<unsigned char>(piece.front());
        if (first < 0x20 || first > 0x7F) continue;
        ++kept;
        RemoveLineBreaks(piece);
        if (piece != rangeText) texts.push_back(piece);
    }
    ::close(fd);
    return texts;
}

bool SaveHistory(const std::filesystem::path& path, bool enabled,
                 const std::vector<std::string>& listItems) {
    if (IsWriteProtected(path)) return false;
    if (!enabled) {
        std::error_code error;
        std::filesystem::remove(path, error);
        return !error;
    }
    // Another copy of the program may have saved its ranges since this one read the file:
    // they are merged in, under the lock that also orders the settings writes.
    const DirectoryWriteLock lock(path);
    std::vector<std::string> merged = listItems;
    for (const std::string& saved : LoadHistory(path, true, {})) AddToSortedList(merged, saved);

    std::string content;
    std::string previous;
    bool havePrevious = false;
    std::size_t written = 0;
    for (const std::string& listItem : merged) {
        if (written == kHistoryMaxPieces) break;
        if (listItem.empty()) continue;
        std::string item = listItem;
        RemoveLineBreaks(item);
        // A longer item would be read back as several pieces, each a range of its own.
        if (item.size() > kHistoryPieceLength) continue;
        const bool repeat = havePrevious && item == previous;
        if (!item.empty() && !repeat) {
            content.append(item).append("\r\n");
            ++written;
        }
        previous = std::move(item);
        havePrevious = true;
    }
    return ReplaceFileAtomically(path, content);
}

bool AddToSortedList(std::vector<std::string>& items, std::string_view text) {
    if (std::find(items.begin(), items.end(), text) != items.end()) return false;
    const auto position = std::upper_bound(
        items.begin(), items.end(), text,
        [](std::string_view a, const std::string& b) { return LessIgnoringAsciiCase(a, b); });
    items.insert(position, std::string{text});
    return true;
}

}  // namespace ip2h
