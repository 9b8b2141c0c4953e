#include "window/HeaderGeometry.h"

namespace ip2h {
namespace {

ScreenRect IndicatorBox(const ScreenRect& item, int q) {
    return {item.Right - 3 * q + 1, item.Top + 4, item.Right - 5, item.Bottom - 4};
}

ScreenRect IndicatorBar(const ScreenRect& box, SortDirection direction) {
    if (direction == SortDirection::Ascending)
        return {box.Left + 2, box.Top + 2, box.Right - 2, box.Top + 7};
    return {box.Left + 2, box.Bottom - 7, box.Right - 2, box.Bottom - 2};
}

}  // namespace

HeaderItemGeometry LayoutHeaderItem(const ScreenRect& item, ListColumn column,
                                    const std::optional<SortIndicator>& indicator, bool pressed) {
    const int q = item.Height() / 4;
    const bool sorted = indicator && indicator->Column == column;
    ScreenRect text = item;
    if (sorted) text.Right -= 3 * q;
    text.Left += q + 1;
    text.Right -= q + 1;

    HeaderItemGeometry geometry;
    geometry.ShowText = text.Width() > 0;
    geometry.ShowIndicator = sorted && text.Width() > 3 * q;
    if (pressed) text = {text.Left + 1, text.Top + 1, text.Right + 1, text.Bottom + 1};
    geometry.Text = text;
    if (geometry.ShowIndicator) {
        geometry.Box = IndicatorBox(item, q);
        geometry.Bar = IndicatorBar(geometry.Box, indicator->Direction);
    }
    return geometry;
}

}  // namespace ip2h
