// Host names from the name service, as the Host name tooltip shows them: their Unicode form
// (whoever controls a reverse zone writes its labels) and the lines they are broken into.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "base/LineWrap.h"
#include "base/Punycode.h"

namespace {

// Whether `text` is well-formed UTF-8 with no code point a tooltip should not show as part
// of a name (the decoder's refusals: C0 and C1 controls, direction marks, separators).
bool ShowableUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (i + length > text.size()) return false;
        std::uint32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3F);
        }
        if (c >= 0x80 && c < 0xA0) return false;
        if (c >= 0x202A && c <= 0x202E) return false;
        i += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ip2h;
    using namespace ip2h::fuzz;
    InputReader input(data, size);
    const std::size_t columns = 1 + input.Byte() % 80;
    const std::string_view name = input.Rest();

    const std::string unicode = UnicodeHostName(name);
    if (!unicode.empty()) {
        Require(ShowableUtf8(unicode) || !ShowableUtf8(name),
                "a decoded name adds no control or direction override");
    }
    if (const auto label = DecodePunycode(name)) {
        Require(ShowableUtf8(*label) || !ShowableUtf8(name), "a decoded label is showable");
    }

    const std::string wrapped = WrapLongLines(name, columns);
    std::string joined;
    for (const char c : wrapped) {
        if (c != '\n') joined += c;
    }
    std::string original;
    for (const char c : name) {
        if (c != '\n') original += c;
    }
    Require(joined == original, "wrapping only adds line breaks");
    std::size_t characters = 0;
    for (const char c : wrapped) {
        if (c == '\n') {
            characters = 0;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            Require(++characters <= columns, "no line is longer than its columns");
        }
    }
    return 0;
}
