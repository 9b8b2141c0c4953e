#include "ui/HeaderGeometry.h"

#include "ui/Painting.h"

namespace ip2h {
namespace {

// The item's drawing is worked out on edges with exclusive right and bottom; QRect's right()
// and bottom() are inclusive, so every conversion goes through here.
struct Edges {
    int Left;
    int Top;
    int Right;
    int Bottom;
};

Edges EdgesOf(const QRect& rect) {
    return {rect.x(), rect.y(), rect.x() + rect.width(), rect.y() + rect.height()};
}

QRect RectOf(const Edges& edges) {
    return QRect(edges.Left, edges.Top, edges.Right - edges.Left, edges.Bottom - edges.Top);
}

}  // namespace

int HeaderQuarter(int itemHeight) {
    return itemHeight / 4;
}

QRect HeaderTextRect(const QRect& item, bool sortedColumn) {
    const int q = HeaderQuarter(item.height());
    Edges text = EdgesOf(item);
    if (sortedColumn) text.Right -= 3 * q;
    text.Left += q + 1;
    text.Right -= q + 1;
    return RectOf(text);
}

QRect IndicatorBox(const QRect& item) {
    const int q = HeaderQuarter(item.height());
    const Edges r = EdgesOf(item);
    return RectOf({r.Right - 3 * q + 1, r.Top + 4, r.Right - 5, r.Bottom - 4});
}

QRect IndicatorBar(const QRect& box, int direction) {
    const Edges b = EdgesOf(box);
    if (direction == kSortAscending) return RectOf({b.Left + 2, b.Top + 2, b.Right - 2, b.Top + 7});
    return RectOf({b.Left + 2, b.Bottom - 7, b.Right - 2, b.Bottom - 2});
}

HeaderItemGeometry LayoutHeaderItem(const QRect& item, int index, int indicatorColumn,
                                    int indicatorDirection, bool pressed) {
    HeaderItemGeometry geometry;
    const bool sorted = index == indicatorColumn;
    const QRect text = HeaderTextRect(item, sorted);
    geometry.ShowText = text.width() > 0;
    geometry.Text = pressed ? text.translated(1, 1) : text;

    const int q = HeaderQuarter(item.height());
    geometry.ShowIndicator = sorted && text.width() > 3 * q && indicatorColumn != kNoIndicator &&
                             indicatorDirection != kNoIndicator;
    if (geometry.ShowIndicator) {
        geometry.Box = IndicatorBox(item);
        geometry.Bar = IndicatorBar(geometry.Box, indicatorDirection);
    }
    return geometry;
}

QColor HeaderBaseColour(const QColor& buttonFace, bool pressed) {
    return pressed ? ShiftColor(buttonFace, -16) : buttonFace;
}

QColor HeaderLineColour(const QColor& base, int y) {
    return ShiftColor(base, -y);
}

BorderColours HeaderBorderColours(const QColor& base, bool pressed) {
    if (pressed) return {ShiftColor(base, -96), ShiftColor(base, -24)};
    return {ShiftColor(base, +128), ShiftColor(base, -128)};
}

QColor IndicatorColour() {
    return QColor(64, 64, 64);
}

}  // namespace ip2h
