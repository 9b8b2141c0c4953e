#pragma once

#include <QColor>
#include <QRect>

namespace ip2h {

// Sort directions the header shows; -1 in either field of the indicator means none.
inline constexpr int kSortAscending = 0;
inline constexpr int kSortDescending = 1;
inline constexpr int kNoIndicator = -1;

// Where the parts of one header item go. All rectangles are in the item's coordinates as the
// widget paints them (QRect, inclusive right and bottom); an empty one is not drawn.
struct HeaderItemGeometry {
    QRect Text;  // the title's rectangle, already moved 1 px right and down when pressed
    bool ShowText = false;
    bool ShowIndicator = false;
    QRect Box;  // the indicator's frame
    QRect Bar;  // the filled bar at the top (ascending) or bottom (descending) of the frame
};

// A quarter of the item's height, rounded toward zero: the unit of the margins and of the
// indicator's width.
int HeaderQuarter(int itemHeight);

// The title's rectangle before any pressed offset: the item less a margin of q + 1 on both
// sides, and less room for the indicator (3q) on the right of the sorted column.
QRect HeaderTextRect(const QRect& item, bool sortedColumn);

// The indicator's frame at the right end of the item, 4 px from its top and bottom edges.
QRect IndicatorBox(const QRect& item);

// The bar inside the frame: 5 px high, 2 px in from the frame's edges, at the top for
// ascending and at the bottom for any other direction.
QRect IndicatorBar(const QRect& box, int direction);

// Everything the item draws besides its colours.
HeaderItemGeometry LayoutHeaderItem(const QRect& item, int index, int indicatorColumn,
                                    int indicatorDirection, bool pressed);

// The colours: the base is the button face, 16 levels darker while pressed; background line
// y (0 at the top) is the base y levels darker; the border is raised when not pressed and
// sunken when pressed.
struct BorderColours {
    QColor TopLeft;
    QColor BottomRight;
};
QColor HeaderBaseColour(const QColor& buttonFace, bool pressed);
QColor HeaderLineColour(const QColor& base, int y);
BorderColours HeaderBorderColours(const QColor& base, bool pressed);
QColor IndicatorColour();

}  // namespace ip2h
