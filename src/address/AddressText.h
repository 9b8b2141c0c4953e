#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace ip2h {

// Smallest and largest step between consecutive addresses of a range.
inline constexpr std::int64_t kMinInterval = 1;
inline constexpr std::int64_t kMaxInterval = 65536;

// True for digits and dots only that read as four "%i" fields of 0 to 255 each. Text after
// the fourth field is ignored ("1.2.3.4.5" passes); "010" is octal 8.
bool IsDottedQuad(std::string_view text);

// The four fields of a dotted quad, read as IsDottedQuad reads them; nothing for any other text.
std::optional<std::array<int, 4>> DottedQuadFields(std::string_view text);

// The canonical "%d.%d.%d.%d" text of four parsed fields. A field outside 0..254 (negative,
// 255 or more, or beyond 32 bits) becomes 255, so the result is always a dotted quad.
std::string NormaliseFields(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d);

// The canonical text (NormaliseFields) of the four "%i" fields `text` starts with; text after
// them is ignored. Nothing when it does not start with four fields.
std::optional<std::string> ReadLeadingQuad(std::string_view text);

struct AddressRange {
    std::string Start;
    std::string End;
};

// Reads "a.b.c.d-e.f.g.h" into two canonical addresses; a text whose part after "-" does
// not read as four fields runs from its first address to 255.255.255.255. Nothing for a
// text without "-" or without four leading fields.
std::optional<AddressRange> ParseRangeText(std::string_view text);

// Reads a block in prefix notation, "a.b.c.d/n": a dotted quad of exactly four fields, a
// slash and a decimal prefix length of 0 to 32, nothing else. The address's host bits are
// ignored, so "10.0.0.77/24" is 10.0.0.0-10.0.0.255. Nothing for any other text.
std::optional<AddressRange> ParseCidrText(std::string_view text);

// The first and last address of a range, as numbers.
struct AddressSpan {
    std::uint32_t First = 0;
    std::uint32_t Last = 0;
};

// Whether a step between addresses lies in 1..65536.
bool ValidInterval(std::int64_t interval);

// The walk of a range from its first address to its last, stepping by an interval, one
// address at a time: a few numbers whatever the size of the range, so that a caller can stop
// anywhere and go on later. It never wraps past 255.255.255.255. A start above the end or an
// interval outside 1..65536 walks nothing.
class RangeWalk {
public:
    RangeWalk() = default;  // walks nothing
    RangeWalk(AddressSpan span, std::int64_t interval) {
        if (span.First > span.Last || !ValidInterval(interval)) return;
        m_next = span.First;
        m_last = span.Last;
        m_interval = static_cast<std::uint64_t>(interval);
    }

    bool Done() const { return m_next > m_last; }
    // The addresses still to come.
    std::uint64_t Remaining() const { return Done() ? 0 : (m_last - m_next) / m_interval + 1; }
    // The next address; only while not Done.
    std::uint32_t Next() {
        const auto address = static_cast<std::uint32_t>(m_next);
        m_next += m_interval;
        return address;
    }

private:
    // 64 bits, so that the step past 255.255.255.255 ends the walk instead of wrapping round
    // to 0.0.0.0.
    std::uint64_t m_next = 1;
    std::uint64_t m_last = 0;
    std::uint64_t m_interval = 1;
};

// How many addresses a walk of `span` stepping by `interval` visits.
inline std::uint64_t AddressCount(AddressSpan span, std::int64_t interval) {
    return RangeWalk(span, interval).Remaining();
}

// What a copied list or a spreadsheet puts around addresses, dropped before a line is read:
// blanks, quotes and tabs.
constexpr bool IsListFiller(char c) {
    return c == ' ' || c == '"' || c == '\'' || c == '\t';
}
// A list line is read up to this many characters; the rest of a longer one is ignored.
inline constexpr std::size_t kMaxListLineLength = 4095;

// Splits a list of addresses (a paste, or standard input in batch mode) into its lines, taken
// in pieces of any size as they come. CR LF, LF and a lone CR each end a line, and a line is
// kept up to kMaxListLineLength characters. List fillers before a line's text are dropped as
// they come, so that a long run of them cannot push the text out of the kept part. Lines that
// keep nothing are passed over.
class ListLineSplitter {
public:
    struct Rules {
        bool DropAllFillers = false;  // fillers inside and after a line's text go too
        bool NulEndsLine = false;     // a NUL ends a line as well
    };
    explicit ListLineSplitter(Rules rules) : m_rules(rules) {}

    // Calls `take` with each line that `text` ends until it returns false, and returns false
    // then.
    template <typename Take>
    bool Feed(std::string_view text, Take&& take) {
        for (const char c : text) {
            if (c == '\n' && m_afterCr) {
                m_afterCr = false;
                continue;
            }
            m_afterCr = c == '\r';
            if (c == '\r' || c == '\n' || (c == '\0' && m_rules.NulEndsLine)) {
                if (!EndLine(take)) return false;
            } else if (m_line.size() < kMaxListLineLength &&
                       !(IsListFiller(c) && (m_rules.DropAllFillers || m_line.empty()))) {
                m_line.push_back(c);
            }
        }
        return true;
    }

    // The list has ended: an unterminated last line counts like any other, since dropping it
    // would lose the last address of a list copied without a final line end.
    template <typename Take>
    void Finish(Take&& take) {
        EndLine(take);
        m_afterCr = false;
    }

private:
    template <typename Take>
    bool EndLine(Take& take) {
        if (m_line.empty()) return true;
        const bool more = take(std::string_view(m_line));
        m_line.clear();
        return more;
    }

    Rules m_rules;
    std::string m_line;
    bool m_afterCr = false;
};

// What one line of a list of addresses stands for (a paste, or standard input in batch mode):
// a block "a.b.c.d/n" or a range "a-b" whose both ends read as addresses (an AddressSpan), a
// dotted quad (kept as written, so "010.0.0.1" stays that text), or nothing. The line is
// taken as it is; cleaning it is the caller's part.
using ListLine = std::variant<std::monostate, std::string_view, AddressSpan>;
ListLine ReadListLine(std::string_view line);

// The address as a number, first field most significant; only for dotted quads.
std::optional<std::uint32_t> AddressValue(std::string_view text);

// An address in 10/8, 172.16/12 or 192.168/16; the text form takes dotted quads only.
bool IsPrivateIpv4(std::uint32_t value);
bool IsPrivateAddress(std::string_view text);

// The canonical "%d.%d.%d.%d" text of an address, built in place. Every append is bounded
// by the buffer, so no value can make it write past its end.
struct DottedQuadText {
    char Text[16];  // long enough for "255.255.255.255"
    std::size_t Length = 0;

    std::string_view View() const { return {Text, Length}; }
    void AppendDot();
    void AppendNumber(unsigned value);
};
DottedQuadText FormatAddress(std::uint32_t value);

// The interval typed by the user: the leading decimal integer (0 when there is none);
// 0 and 1 give 1, negative values and 65536 or more give 65536.
std::uint32_t ClampInterval(std::string_view intervalText);

}  // namespace ip2h
