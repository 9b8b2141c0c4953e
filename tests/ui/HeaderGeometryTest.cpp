#include <gtest/gtest.h>

#include "ui/HeaderGeometry.h"

namespace ip2h {
namespace {

// (left, top, right, bottom) with right and bottom exclusive, as the examples are written.
QRect Edges(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

TEST(HeaderGeometryTest, TextBoxAndBarRectangles) {
    struct Case {
        const char* Name;
        QRect Item;
        int Index, Column, Direction;
        bool Pressed;
        QRect Text, Box, Bar;
    };
    const Case cases[] = {
        {"unsorted", Edges(0, 0, 100, 20), 1, 0, 0, false, Edges(6, 0, 94, 20), {}, {}},
        {"ascending", Edges(0, 0, 100, 20), 0, 0, 0, false, Edges(6, 0, 79, 20),
         Edges(86, 4, 95, 16), Edges(88, 6, 93, 11)},
        {"descending", Edges(0, 0, 100, 20), 0, 0, 1, false, Edges(6, 0, 79, 20),
         Edges(86, 4, 95, 16), Edges(88, 9, 93, 14)},
        {"other direction", Edges(0, 0, 100, 20), 0, 0, 7, false, Edges(6, 0, 79, 20),
         Edges(86, 4, 95, 16), Edges(88, 9, 93, 14)},
        // A scrolled header hands over items at negative offsets.
        {"scrolled", Edges(-40, 0, 60, 20), 2, 2, 1, false, Edges(-34, 0, 39, 20),
         Edges(46, 4, 55, 16), Edges(48, 9, 53, 14)},
        {"pressed moves the text only", Edges(100, 0, 200, 20), 1, 1, 0, true,
         Edges(107, 1, 180, 21), Edges(186, 4, 195, 16), Edges(188, 6, 193, 11)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const HeaderItemGeometry g =
            LayoutHeaderItem(c.Item, c.Index, c.Column, c.Direction, c.Pressed);
        EXPECT_EQ(g.Text, c.Text);
        EXPECT_EQ(g.ShowIndicator, !c.Box.isNull());
        if (g.ShowIndicator) {
            EXPECT_EQ(g.Box, c.Box);
            EXPECT_EQ(g.Bar, c.Bar);
        }
    }
}

TEST(HeaderGeometryTest, IndicatorNeedsRoomAndBothFields) {
    struct Case {
        const char* Name;
        int Width, Column, Direction;
        bool Indicator, Text;
    };
    const Case cases[] = {
        // At h = 20 the sorted text is w - 27 wide and must exceed 3q = 15.
        {"just wide enough", 43, 0, 0, true, true},
        {"text exactly 3q wide", 42, 0, 0, false, true},
        {"sorted, text rectangle empty", 27, 0, 0, false, false},
        {"unsorted, text 1 px", 13, 1, 0, false, true},
        {"unsorted, text rectangle empty", 12, 1, 0, false, false},
        {"no column", 100, kNoIndicator, 0, false, true},
        {"no direction", 100, 0, kNoIndicator, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const HeaderItemGeometry g =
            LayoutHeaderItem(QRect(0, 0, c.Width, 20), 0, c.Column, c.Direction, false);
        EXPECT_EQ(g.ShowIndicator, c.Indicator);
        EXPECT_EQ(g.ShowText, c.Text);
    }
}

TEST(HeaderGeometryTest, ColoursForButtonFace240) {
    const QColor face(240, 240, 240);
    // The bottom line of a 20-pixel item, under the border in the finished drawing.
    EXPECT_EQ(HeaderLineColour(HeaderBaseColour(face, false), 19), QColor(221, 221, 221));
    const BorderColours raised = HeaderBorderColours(face, false);
    EXPECT_EQ(raised.TopLeft, QColor(255, 255, 255));
    EXPECT_EQ(raised.BottomRight, QColor(112, 112, 112));
    EXPECT_EQ(HeaderBaseColour(face, true), QColor(224, 224, 224));
}

}  // namespace
}  // namespace ip2h
