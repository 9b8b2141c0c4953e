#include "settings/ProfileStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <limits>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "base/AsciiCase.h"
#include "base/AtomicFile.h"
#include "base/FixedText.h"
#include "base/IntScan.h"

namespace ip2h {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool NamesEqual(std::string_view a, std::string_view b) {
    return EqualIgnoringAsciiCase(a, b);
}

// The file's bytes; nullopt when it exists but cannot be used (not a regular file, too
// large, unreadable). A missing file reads as empty.
std::optional<std::string> LoadFile(const std::filesystem::path& path) {
    // A FIFO or a device at the path must not block the program.
    const int fd = OpenRegularFile(path);
    if (fd < 0) {
        if (errno == ENOENT) return std::string{};
        return std::nullopt;
    }
    struct stat info {};
    std::optional<std::string> bytes;
    if (::fstat(fd, &info) == 0 &&
        static_cast<std::uintmax_t>(info.st_size) <= kMaxProfileFileSize) {
        std::string data(static_cast<std::size_t>(info.st_size), '\0');
        std::size_t got = 0;
        bool failed = false;
        while (got < data.size()) {
            const ssize_t n = ReadSome(fd, data.data() + got, data.size() - got);
            if (n < 0) failed = true;
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        if (!failed) {
            data.resize(got);  // the file may have shrunk meanwhile
            bytes = std::move(data);
        }
    }
    ::close(fd);
    return bytes;
}

enum class LineKind { Other, Section, Key };

struct Line {
    std::size_t Begin = 0;
    std::size_t ContentEnd = 0;  // before the line ending
    std::size_t End = 0;         // after the line ending
    LineKind Kind = LineKind::Other;
    std::string_view Name;       // section or key name, blanks trimmed
    std::size_t ValueBegin = 0;  // Key: the byte after "="
};

// An INI file as lines over its own bytes, which it never changes.
class IniText {
public:
    explicit IniText(std::string_view text) : m_text(text) { Split(); }

    // Index of the line holding `key` in the first section named `section` that has it.
    std::optional<std::size_t> FindKey(std::string_view section, std::string_view key) const {
        bool inSection = false;
        for (std::size_t i = 0; i < m_lines.size(); ++i) {
            const Line& line = m_lines[i];
            if (line.Kind == LineKind::Section) {
                inSection = NamesEqual(line.Name, section);
            } else if (inSection && line.Kind == LineKind::Key && NamesEqual(line.Name, key)) {
                return i;
            }
        }
        return std::nullopt;
    }

    // Index of the last non-blank line of the first section named `section` (its header
    // when it holds nothing else).
    std::optional<std::size_t> LastLineOfSection(std::string_view section) const {
        std::optional<std::size_t> last;
        for (std::size_t i = 0; i < m_lines.size(); ++i) {
            const Line& line = m_lines[i];
            if (line.Kind == LineKind::Section) {
                if (last) break;
                if (NamesEqual(line.Name, section)) last = i;
            } else if (last && !TrimBlanks(Content(line)).empty()) {
                last = i;
            }
        }
        return last;
    }

    std::string_view Value(std::size_t index) const {
        const Line& line = m_lines[index];
        return m_text.substr(line.ValueBegin, line.ContentEnd - line.ValueBegin);
    }

    const Line& At(std::size_t index) const { return m_lines[index]; }

    // The line ending new lines get: the file's first one, LF in a file that has none.
    std::string_view NewLineEnding() const {
        for (const Line& line : m_lines) {
            if (line.End > line.ContentEnd) {
                return m_text.substr(line.ContentEnd, line.End - line.ContentEnd);
            }
        }
        return "\n";
    }

private:
    std::string_view Content(const Line& line) const {
        return m_text.substr(line.Begin, line.ContentEnd - line.Begin);
    }

    void Split() {
        std::size_t begin = 0;
        while (begin < m_text.size()) {
            Line line;
            line.Begin = begin;
            const std::size_t newline = m_text.find('\n', begin);
            if (newline == std::string_view::npos) {
                line.ContentEnd = line.End = m_text.size();
            } else {
                line.End = newline + 1;
                line.ContentEnd =
                    (newline > begin && m_text[newline - 1] == '\r') ? newline - 1 : newline;
            }
            Classify(line);
            m_lines.push_back(line);
            begin = line.End;
        }
    }

    void Classify(Line& line) const {
        const std::string_view content = Content(line);
        const std::string_view trimmed = TrimBlanks(content);
        if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') return;
        if (trimmed.front() == '[') {
            const std::size_t close = trimmed.find(']');
            if (close != std::string_view::npos) {
                line.Kind = LineKind::Section;
                line.Name = TrimBlanks(trimmed.substr(1, close - 1));
            }
            return;
        }
        const std::size_t equals = content.find('=');
        if (equals == std::string_view::npos) return;
        const std::string_view name = TrimBlanks(content.substr(0, equals));
        if (name.empty()) return;
        line.Kind = LineKind::Key;
        line.Name = name;
        line.ValueBegin = line.Begin + equals + 1;
    }

    std::string_view m_text;
    std::vector<Line> m_lines;
};

// The text as a read returns it.
std::string ExtractText(std::string_view value) {
    value = value.substr(0, value.find('\0'));
    value = TrimBlanks(value);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    return std::string{CutAtCharacterBoundary(value, kMaxProfileTextLength)};
}

bool NameWritable(std::string_view name, std::string_view forbidden) {
    const std::string_view trimmed = TrimBlanks(name);
    return !trimmed.empty() && trimmed.size() == name.size() &&
           name.find_first_of(forbidden) == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

}  // namespace

ProfileStore::ProfileStore(std::filesystem::path file) : m_file(std::move(file)) {}

std::string ProfileStore::ReadText(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) const {
    const std::optional<std::string> bytes = LoadFile(m_file);
    if (!bytes) return std::string{defaultValue};
    const IniText ini(*bytes);
    const std::optional<std::size_t> index = ini.FindKey(section, key);
    if (!index) return std::string{defaultValue};
    return ExtractText(ini.Value(*index));
}

int ProfileStore::ReadInteger(std::string_view section, std::string_view key,
                              int defaultValue) const {
    const std::optional<std::string> bytes = LoadFile(m_file);
    if (!bytes) return defaultValue;
    const IniText ini(*bytes);
    const std::optional<std::size_t> index = ini.FindKey(section, key);
    if (!index) return defaultValue;
    const std::string text = ExtractText(ini.Value(*index));
    if (text.empty()) return defaultValue;
    const std::int64_t value = LeadingDecimal(text);
    return ClampToInt(value);
}

bool ProfileStore::WriteInteger(std::string_view section, std::string_view key, int value) {
    return WriteText(section, key, std::to_string(value));
}

bool ProfileStore::WriteText(std::string_view section, std::string_view key,
                             std::string_view text) {
    if (!NameWritable(section, "[]\r\n") || !NameWritable(key, "=[\r\n;#")) return false;
    text = text.substr(0, text.find_first_of(std::string_view("\r\n\0", 3)));

    const DirectoryWriteLock lock(m_file);
    const std::optional<std::string> bytes = LoadFile(m_file);
    if (!bytes) return false;
    const std::string_view old = *bytes;
    const IniText ini(old);
    const std::string_view eol = ini.NewLineEnding();

    std::string updated;
    updated.reserve(old.size() + section.size() + key.size() + text.size() + 8);
    if (const std::optional<std::size_t> index = ini.FindKey(section, key)) {
        const Line& line = ini.At(*index);
        updated.append(old.substr(0, line.ValueBegin));
        updated.append(text);
        updated.append(old.substr(line.ContentEnd));
    } else if (const std::optional<std::size_t> last = ini.LastLineOfSection(section)) {
        const Line& line = ini.At(*last);
        updated.append(old.substr(0, line.End));
        if (line.End == line.ContentEnd) updated.append(eol);  // last line had no ending
        updated.append(key).append("=").append(text).append(eol);
        updated.append(old.substr(line.End));
    } else {
        updated.append(old);
        if (!old.empty() && old.back() != '\n') updated.append(eol);
        updated.append("[").append(section).append("]").append(eol);
        updated.append(key).append("=").append(text).append(eol);
    }
    return ReplaceFileAtomically(m_file, updated);
}

}  // namespace ip2h
