#pragma once

#include <cstdint>
#include <string_view>

namespace ip2h {

struct Rgb {
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct CellColour {
    Rgb Text;
    Rgb Background;
    bool TransparentBackground = false;
};

// The colours of one result-list cell, decided from its column and the text it shows:
// host names green, failed lookups black, placeholders grey; results coloured by outcome.
// `list` holds the list's own text and background colours (and whether its text background
// is transparent), which every cell starts from.
CellColour CellColours(int column, std::string_view text, bool japanese, const CellColour& list);

}  // namespace ip2h
