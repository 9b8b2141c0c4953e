#include "base/Punycode.h"

#include <cstdint>
#include <limits>

#include "base/AsciiCase.h"

namespace ip2h {
namespace {

// The parameters of Punycode (RFC 3492, section 5).
constexpr std::uint32_t kBase = 36;
constexpr std::uint32_t kTMin = 1;
constexpr std::uint32_t kTMax = 26;
constexpr std::uint32_t kSkew = 38;
constexpr std::uint32_t kDamp = 700;
constexpr std::uint32_t kInitialBias = 72;
constexpr std::uint32_t kInitialN = 128;
constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();

std::uint32_t Adapt(std::uint32_t delta, std::uint32_t points, bool first) {
    delta = first ? delta / kDamp : delta / 2;
    delta += delta / points;
    std::uint32_t k = 0;
    while (delta > ((kBase - kTMin) * kTMax) / 2) {
        delta /= kBase - kTMin;
        k += kBase;
    }
    return k + (kBase - kTMin + 1) * delta / (delta + kSkew);
}

std::optional<std::uint32_t> DigitValue(char c) {
    if (c >= 'a' && c <= 'z') return static_cast<std::uint32_t>(c - 'a');
    if (c >= 'A' && c <= 'Z') return static_cast<std::uint32_t>(c - 'A');
    if (c >= '0' && c <= '9') return static_cast<std::uint32_t>(c - '0' + 26);
    return std::nullopt;
}

// False for what a tooltip must not show as part of a name: C1 controls, invisible and
// direction-changing format characters, line and paragraph separators, surrogates,
// noncharacters and anything beyond Unicode.
bool Showable(std::uint32_t c) {
    return !(c < 0xA0 || c == 0xAD || (c >= 0x200B && c <= 0x200F) ||
             (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) ||
             (c >= 0xD800 && c <= 0xDFFF) || (c >= 0xFDD0 && c <= 0xFDEF) || c == 0xFEFF ||
             (c & 0xFFFE) == 0xFFFE || c > 0x10FFFF);
}

void AppendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::optional<std::string> DecodePunycode(std::string_view encoded) {
    std::u32string output;
    std::size_t in = 0;
    // The basic characters stand before the last delimiter, when there are any.
    const std::size_t delimiter = encoded.rfind('-');
    if (delimiter != std::string_view::npos && delimiter > 0) {
        for (std::size_t j = 0; j < delimiter; ++j) {
            const char c = encoded[j];
            if (c < 0x21 || c > 0x7E) return std::nullopt;
            output.push_back(static_cast<char32_t>(c));
        }
        in = delimiter + 1;
    }
    if (in >= encoded.size()) return std::nullopt;  // nothing but ASCII: no Unicode form

    std::uint32_t n = kInitialN;
    std::uint32_t bias = kInitialBias;
    std::uint32_t i = 0;
    while (in < encoded.size()) {
        const std::uint32_t oldI = i;
        std::uint32_t w = 1;
        for (std::uint32_t k = kBase;; k += kBase) {
            if (in >= encoded.size()) return std::nullopt;
            const auto digit = DigitValue(encoded[in++]);
            if (!digit || *digit > (kMax - i) / w) return std::nullopt;
            i += *digit * w;
            const std::uint32_t t = k <= bias ? kTMin : k >= bias + kTMax ? kTMax : k - bias;
            if (*digit < t) break;
            if (w > kMax / (kBase - t)) return std::nullopt;
            w *= kBase - t;
        }
        const auto points = static_cast<std::uint32_t>(output.size() + 1);
        bias = Adapt(i - oldI, points, oldI == 0);
        if (i / points > kMax - n) return std::nullopt;
        n += i / points;
        i %= points;
        if (!Showable(n)) return std::nullopt;
        output.insert(output.begin() + i, static_cast<char32_t>(n));
        ++i;
    }
    std::string utf8;
    utf8.reserve(output.size() * 3);
    for (const char32_t c : output) AppendUtf8(utf8, static_cast<std::uint32_t>(c));
    return utf8;
}

std::string UnicodeHostName(std::string_view hostName) {
    std::string unicode;
    bool decoded = false;
    std::size_t start = 0;
    while (start <= hostName.size()) {
        std::size_t end = hostName.find('.', start);
        if (end == std::string_view::npos) end = hostName.size();
        const std::string_view label = hostName.substr(start, end - start);
        if (label.size() >= 4 && EqualIgnoringAsciiCase(label.substr(0, 4), "xn--")) {
            const auto form = DecodePunycode(label.substr(4));
            if (!form) return {};
            unicode += *form;
            decoded = true;
        } else {
            unicode += label;
        }
        if (end < hostName.size()) unicode += '.';
        start = end + 1;
    }
    return decoded ? unicode : std::string();
}

}  // namespace ip2h
