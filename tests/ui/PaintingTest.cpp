// Drawing: colour shifts, the window's background and the list's column header to the pixel.
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

#include <gtest/gtest.h>

#include "ui/HeaderGeometry.h"
#include "ui/Painting.h"
#include "ui/SortHeader.h"

namespace ip2h {
namespace {

TEST(PaintingTest, ShiftColorAddsToEachChannelAndClamps) {
    EXPECT_EQ(ShiftColor(QColor(240, 240, 240), +16), QColor(255, 255, 255));
    EXPECT_EQ(ShiftColor(QColor(10, 128, 250), -16), QColor(0, 112, 234));
    EXPECT_EQ(ShiftColor(QColor(100, 200, 250), +10), QColor(110, 210, 255));
    EXPECT_EQ(ShiftColor(QColor(10, 20, 30, 77), 5).alpha(), 77);
}

TEST(PaintingTest, MainBackgroundIsAShadedBandAtTopAndAPlainStripAtBottom) {
    const QColor face(212, 208, 200);
    const QColor untouched(255, 0, 255);
    QImage image(600, 400, QImage::Format_RGB32);
    image.fill(untouched);
    {
        QPainter painter(&image);
        PaintMainBackground(painter, image.rect(), face);
    }
    // From the face 16 levels lighter down to 16 darker (the last line may stop one short).
    EXPECT_EQ(image.pixelColor(0, 0), QColor(228, 224, 216));
    EXPECT_NEAR(image.pixelColor(0, 83).blue(), 184, 1);
    for (int y = 1; y < 84; ++y) {
        EXPECT_LE(image.pixelColor(0, y).red(), image.pixelColor(0, y - 1).red()) << y;
        EXPECT_EQ(image.pixelColor(599, y), image.pixelColor(0, y)) << y;
    }
    for (const int x : {0, 599}) {
        EXPECT_EQ(image.pixelColor(x, 84), untouched);  // the list covers the middle
        EXPECT_EQ(image.pixelColor(x, 375), untouched);
        EXPECT_EQ(image.pixelColor(x, 376), face);
        EXPECT_EQ(image.pixelColor(x, 399), face);
    }
}

// (left, top, right, bottom) with right and bottom exclusive.
QRect Edges(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

// The standard item is checked pixel by pixel below.
TEST(HeaderGeometryTest, ScrolledPressedItemWithAnyDirectionButAscendingHasItsBarAtTheBottom) {
    // A scrolled header hands over items at negative offsets; pressing moves the text only.
    const HeaderItemGeometry g = LayoutHeaderItem(Edges(-40, 0, 60, 20), 2, 2, 7, true);
    EXPECT_EQ(g.Text, Edges(-33, 1, 40, 21));
    EXPECT_TRUE(g.ShowIndicator);
    EXPECT_EQ(g.Box, Edges(46, 4, 55, 16));
    EXPECT_EQ(g.Bar, Edges(48, 9, 53, 14));
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

constexpr int kIndicator = 64;

// A 20-pixel header with four 100-pixel columns on a button face of (240, 240, 240).
class SortHeaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_model.setHorizontalHeaderLabels({QStringLiteral("IP Address"), QStringLiteral("Hostname"),
                                           QStringLiteral("Result"), QStringLiteral("Domain")});
        m_model.setHeaderData(2, Qt::Horizontal, int(Qt::AlignHCenter), Qt::TextAlignmentRole);
        QPalette palette;
        palette.setColor(QPalette::Button, QColor(240, 240, 240));
        palette.setColor(QPalette::ButtonText, Qt::black);
        m_header.setPalette(palette);
        m_header.setModel(&m_model);
        m_header.setMinimumSectionSize(1);
        for (int i = 0; i < 4; ++i) m_header.resizeSection(i, 100);
        m_header.setFixedSize(420, 20);
        m_header.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_header));
    }

    QImage Render() { return m_header.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    // Expected grey levels, given as x, y, level triples.
    void ExpectPixels(std::initializer_list<int> triples) {
        const QImage image = Render();
        for (auto p = triples.begin(); p + 2 < triples.end(); p += 3) {
            EXPECT_EQ(image.pixelColor(p[0], p[1]), QColor(p[2], p[2], p[2]))
                << "at " << p[0] << "," << p[1];
        }
    }

    // Bounding box of the title's ink (dark pixels) inside `area`.
    static QRect Ink(const QImage& image, const QRect& area) {
        QRect ink;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (qGray(image.pixel(x, y)) < 128) ink |= QRect(x, y, 1, 1);
            }
        }
        return ink;
    }

    // A mouse move with the left button held.
    void DragTo(int x, int y) {
        QMouseEvent event(QEvent::MouseMove, QPointF(x, y),
                          m_header.viewport()->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_header.viewport(), &event);
    }

    QStandardItemModel m_model{0, 4};
    SortHeader m_header;
};

TEST_F(SortHeaderTest, ShadedRaisedItemsAndTheIndicatorBox) {
    m_header.SetSortIndicator(0, 0);
    ExpectPixels({0, 0, 255, 0, 18, 255});                    // raised border: top and left
    ExpectPixels({99, 0, 112, 99, 19, 112, 50, 19, 112});     // right and bottom
    ExpectPixels({197, 1, 239, 197, 10, 230, 197, 18, 222});  // one level darker per line
    ExpectPixels({86, 4, kIndicator, 94, 15, kIndicator});    // frame (86, 4)-(95, 16)
    ExpectPixels({88, 6, kIndicator, 92, 10, kIndicator});    // ascending bar (88, 6)-(93, 11)
    ExpectPixels({87, 5, 235, 88, 11, 229, 95, 4, 236});      // around the bar and the frame
    ExpectPixels({186, 4, 236});                              // unsorted column: no box
    m_header.SetSortIndicator(1, 1);
    EXPECT_EQ(m_header.IndicatorColumn(), 1);
    ExpectPixels({188, 9, kIndicator, 192, 13, kIndicator, 188, 8, 232, 86, 4, 236});
    m_header.SetSortIndicator(-1, -1);
    ExpectPixels({186, 4, 236, 190, 12, 228, 100, 0, 255, 199, 19, 112});
    EXPECT_FALSE(m_header.isSortIndicatorShown());
}

TEST_F(SortHeaderTest, TitlesAreAlignedAndElidedInsideTheirRectangles) {
    const QString longTitle = QStringLiteral("A title far too long for one hundred pixels");
    const QString shortTitle = QStringLiteral("WWW");
    for (int column = 0; column < 4; ++column) {
        m_model.setHeaderData(column, Qt::Horizontal, column < 2 ? longTitle : shortTitle);
    }
    m_model.setHeaderData(3, Qt::Horizontal, int(Qt::AlignRight), Qt::TextAlignmentRole);
    m_header.SetSortIndicator(0, 0);
    const QImage image = Render();
    auto ink = [&](int column, int width = 98) {
        return Ink(image, QRect(100 * column + 1, 1, width, 18)).translated(-100 * column, 0);
    };
    const QRect sorted = ink(0, 84);  // clear of the indicator box
    ASSERT_FALSE(sorted.isEmpty());
    EXPECT_GE(sorted.left(), 6);  // text rectangle (6, 0)-(79, 20)
    EXPECT_LE(sorted.right(), 78);
    EXPECT_GE(ink(1).left(), 6);  // left aligned by default
    EXPECT_LE(ink(1).left(), 8);
    EXPECT_LE(ink(1).right(), 93);  // text rectangle (6, 0)-(94, 20)
    EXPECT_NEAR((ink(2).left() + ink(2).right()) / 2.0, 49.5, 2.0);
    EXPECT_GE(ink(3).right(), 90);
    EXPECT_LE(ink(3).right(), 93);
}

TEST_F(SortHeaderTest, PressedItemIsDarkerSunkenAndShiftedWhileThePointerIsOverIt) {
    m_model.setHeaderData(1, Qt::Horizontal, QStringLiteral("WWW"));
    const QRect area(101, 1, 98, 18);
    const QRect unpressed = Ink(Render(), area);
    QSignalSpy clicked(&m_header, &QHeaderView::sectionClicked);

    QTest::mousePress(m_header.viewport(), Qt::LeftButton, {}, QPoint(150, 10));
    EXPECT_EQ(m_header.PressedSection(), 1);
    ExpectPixels({100, 0, 128, 199, 19, 200, 197, 5, 219, 297, 5, 235});
    EXPECT_EQ(Ink(Render(), area), unpressed.translated(1, 1));
    QTest::mouseRelease(m_header.viewport(), Qt::LeftButton, {}, QPoint(150, 10));
    EXPECT_EQ(m_header.PressedSection(), -1);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 1);
    ExpectPixels({197, 5, 235});

    // The pressed look stays with the pressed item: off it, nothing looks pressed.
    QTest::mousePress(m_header.viewport(), Qt::LeftButton, {}, QPoint(50, 10));
    DragTo(250, 10);
    EXPECT_EQ(m_header.PressedSection(), -1);
    DragTo(60, 10);
    EXPECT_EQ(m_header.PressedSection(), 0);
    DragTo(60, 40);  // below the header
    EXPECT_EQ(m_header.PressedSection(), -1);
    QTest::mouseRelease(m_header.viewport(), Qt::LeftButton, {}, QPoint(60, 40));
    // A press on a divider resizes; it presses nothing.
    QTest::mousePress(m_header.viewport(), Qt::LeftButton, {}, QPoint(100, 10));
    EXPECT_EQ(m_header.PressedSection(), -1);
    QTest::mouseRelease(m_header.viewport(), Qt::LeftButton, {}, QPoint(100, 10));
}

}  // namespace
}  // namespace ip2h
