#include "base/IntScan.h"

#include <algorithm>
#include <limits>

namespace ip2h {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

// Accumulates digits of `base` from `pos`; saturates at kMax. Returns the digit count.
std::size_t ReadDigits(std::string_view text, std::size_t& pos, int base, std::int64_t& value) {
    std::size_t count = 0;
    while (pos < text.size() && DigitValue(text[pos]) < base) {
        const int digit = DigitValue(text[pos]);
        value = (value > (kMax - digit) / base) ? kMax : value * base + digit;
        ++pos;
        ++count;
    }
    return count;
}

// Skips leading white space and an optional sign; returns true for a minus sign.
bool SkipSpaceAndSign(std::string_view text, std::size_t& p) {
    while (p < text.size() && IsSpace(text[p])) ++p;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) return text[p++] == '-';
    return false;
}

}  // namespace

bool ScanInteger(std::string_view text, std::size_t& pos, std::int64_t& value) {
    std::size_t p = pos;
    const bool negative = SkipSpaceAndSign(text, p);
    std::int64_t magnitude = 0;
    if (p < text.size() && text[p] == '0') {
        // "0x" followed by a hex digit is hexadecimal; a bare "0" (or "0x" without a
        // digit, read like strtol does) is the number 0 and reading goes on in octal.
        if (p + 2 < text.size() && (text[p + 1] == 'x' || text[p + 1] == 'X') &&
            DigitValue(text[p + 2]) < 16) {
            p += 2;
            ReadDigits(text, p, 16, magnitude);
        } else {
            ++p;
            ReadDigits(text, p, 8, magnitude);
        }
    } else if (ReadDigits(text, p, 10, magnitude) == 0) {
        return false;
    }
    value = negative ? -magnitude : magnitude;
    pos = p;
    return true;
}

int ScanFields(std::string_view text, std::string_view format, std::span<std::int64_t> out) {
    std::size_t pos = 0;
    int stored = 0;
    for (std::size_t f = 0; f < format.size(); ++f) {
        const char fc = format[f];
        if (fc == '%' && f + 1 < format.size() && format[f + 1] == 'i') {
            ++f;
            if (static_cast<std::size_t>(stored) >= out.size()) break;
            std::int64_t value = 0;
            if (!ScanInteger(text, pos, value)) break;
            out[static_cast<std::size_t>(stored++)] = value;
        } else if (IsSpace(fc)) {
            while (pos < text.size() && IsSpace(text[pos])) ++pos;
        } else {
            if (pos >= text.size() || text[pos] != fc) break;
            ++pos;
        }
    }
    return stored;
}

std::int64_t LeadingDecimal(std::string_view text) {
    std::size_t p = 0;
    const bool negative = SkipSpaceAndSign(text, p);
    std::int64_t magnitude = 0;
    ReadDigits(text, p, 10, magnitude);
    return negative ? -magnitude : magnitude;
}

std::optional<int> ExactDecimal(std::string_view text, int low, int high) {
    // Nine digits always fit in an int.
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) return std::nullopt;
    return value;
}

int ClampToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

}  // namespace ip2h
