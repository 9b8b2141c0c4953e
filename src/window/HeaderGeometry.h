#pragma once

#include <optional>

#include "results/ResultTable.h"
#include "window/ScreenRect.h"
#include "window/SortCommands.h"

namespace ip2h {

// Where the parts of one column header item go, in the coordinates the item is painted in.
// An empty rectangle is not drawn.
struct HeaderItemGeometry {
    ScreenRect Text;  // the title's rectangle, already moved 1 px right and down when pressed
    bool ShowText = false;
    bool ShowIndicator = false;
    ScreenRect Box;  // the indicator's frame; empty when no indicator shows
    ScreenRect Bar;  // the filled bar at the top (ascending) or bottom (descending) of the frame

    friend bool operator==(const HeaderItemGeometry&, const HeaderItemGeometry&) = default;
};

// Everything the item of `column` draws besides its colours. With q a quarter of the item's
// height, rounded toward zero:
// - the title's rectangle is the item less q + 1 on the left and on the right, and less 3q
//   more on the right of the sorted column (the one the indicator names); it shows when it is
//   wider than 0 px;
// - the indicator shows on the sorted column when that title rectangle is wider than 3q. Its
//   frame's edges lie inside the item's by 3q - 1 px (left, from the item's right edge), 5 px
//   (right), 4 px (top) and 4 px (bottom); its bar is 5 px high and 2 px in from the frame's
//   edges, at the top of the frame when ascending and at the bottom when descending.
HeaderItemGeometry LayoutHeaderItem(const ScreenRect& item, ListColumn column,
                                    const std::optional<SortIndicator>& indicator, bool pressed);

}  // namespace ip2h
