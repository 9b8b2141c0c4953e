#pragma once

#include <cstdint>

#include "results/ResultTable.h"

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

// The colours of one result-list cell, decided from its column and its row's answer: host
// names green, failed lookups (and names that read as addresses) black, pending rows grey;
// results coloured by outcome; the domain cell grey while it shows "-", that is while
// pending or for a private address. `list` holds the list's own text and background colours
// (and whether its text background is transparent), which every cell starts from.
CellColour CellColours(ListColumn column, const RowAnswer& answer, bool privateAddress,
                       const CellColour& list);

}  // namespace ip2h
