#include "base/Utf8Text.h"

namespace ip2h {

std::size_t Utf8SequenceLength(std::string_view text) {
    if (text.empty()) return 0;
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length;
    unsigned low = 0x80, high = 0xBF;  // the bounds of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
    }
    return length;
}

std::string EscapeInvalidUtf8(std::string_view text) {
    std::string mended;
    mended.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceLength(text.substr(i));
        if (length > 0) {
            mended.append(text.substr(i, length));
            i += length;
            continue;
        }
        const auto value = static_cast<unsigned char>(text[i++]);
        mended += '\\';
        mended += static_cast<char>('0' + value / 100);
        mended += static_cast<char>('0' + value / 10 % 10);
        mended += static_cast<char>('0' + value % 10);
    }
    return mended;
}

void AppendJsonString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        const auto value = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (value < 0x20) {
            out += "\\u00";
            out += kHex[value >> 4];
            out += kHex[value & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
}

}  // namespace ip2h
