#include "window/CellColours.h"

#include "address/AddressText.h"
#include "base/Texts.h"
#include "resolver/AnswerKind.h"

namespace ip2h {
namespace {

constexpr Rgb kGrey{192, 192, 192};

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

}  // namespace

CellColour CellColours(int column, std::string_view text, bool japanese, const CellColour& list) {
    CellColour colour = list;
    switch (column) {
        case 1:
            if (IsDottedQuad(text)) {
                colour.Text = Rgb{0, 0, 0};
            } else if (!HasPendingMark(text)) {
                colour.Text = Rgb{0, 150, 0};
            } else {
                colour.Text = kGrey;
            }
            colour.Background = list.Background;
            colour.TransparentBackground = false;
            break;
        case 2:
            // Later rules override earlier ones when a text holds several rule texts.
            if (Contains(text, "-")) {
                colour.Text = kGrey;
                colour.Background = list.Background;
                colour.TransparentBackground = false;
            }
            if (Contains(text, Tr(TextId::ResultSuccess, japanese))) {
                colour.Text = Rgb{0, 140, 0};
                colour.Background = Rgb{230, 255, 230};
                colour.TransparentBackground = false;
            }
            if (Contains(text, Tr(TextId::ResultFailure, japanese))) {
                colour.Text = Rgb{210, 0, 0};
                colour.Background = Rgb{255, 238, 238};
                colour.TransparentBackground = false;
            }
            break;
        case 3:
            if (text == "-") {
                colour.Text = kGrey;
                colour.Background = list.Background;
                colour.TransparentBackground = false;
            }
            break;
        default:
            break;
    }
    return colour;
}

}  // namespace ip2h
