#include <QImage>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

#include <gtest/gtest.h>

#include "ui/SortHeader.h"

namespace ip2h {
namespace {

constexpr int kIndicator = 64;

struct Pixel {
    int X, Y, Level;  // expected grey level at (X, Y)
};

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

    void ExpectPixels(std::initializer_list<Pixel> pixels) {
        const QImage image = Render();
        for (const Pixel& p : pixels) {
            EXPECT_EQ(image.pixelColor(p.X, p.Y), QColor(p.Level, p.Level, p.Level))
                << "at " << p.X << "," << p.Y;
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
    ExpectPixels({
        {0, 0, 255},
        {0, 18, 255},  // raised border, top and left
        {99, 0, 112},
        {99, 19, 112},
        {50, 19, 112},  // right and bottom
        {197, 1, 239},
        {197, 10, 230},
        {197, 18, 222},  // one level darker per line
        {86, 4, kIndicator},
        {94, 15, kIndicator},  // frame (86, 4)-(95, 16)
        {88, 6, kIndicator},
        {92, 10, kIndicator},  // ascending bar (88, 6)-(93, 11)
        {87, 5, 235},
        {88, 11, 229},
        {95, 4, 236},   // around the bar and the frame
        {186, 4, 236},  // unsorted column: no box
    });

    m_header.SetSortIndicator(1, 1);
    EXPECT_EQ(m_header.IndicatorColumn(), 1);
    ExpectPixels({{188, 9, kIndicator}, {192, 13, kIndicator}, {188, 8, 232}, {86, 4, 236}});

    m_header.SetSortIndicator(-1, -1);
    ExpectPixels({{186, 4, 236}, {190, 12, 228}, {100, 0, 255}, {199, 19, 112}});
    EXPECT_FALSE(m_header.isSortIndicatorShown());
}

TEST_F(SortHeaderTest, TitlesAreAlignedAndElidedInsideTheirRectangles) {
    const QString longTitle = QStringLiteral("A title far too long for one hundred pixels");
    m_model.setHeaderData(0, Qt::Horizontal, longTitle);
    m_model.setHeaderData(1, Qt::Horizontal, longTitle);
    m_model.setHeaderData(2, Qt::Horizontal, QStringLiteral("WWW"));
    m_model.setHeaderData(3, Qt::Horizontal, QStringLiteral("WWW"));
    m_model.setHeaderData(3, Qt::Horizontal, int(Qt::AlignRight), Qt::TextAlignmentRole);
    m_header.SetSortIndicator(0, 0);
    const QImage image = Render();

    const QRect sorted = Ink(image, QRect(1, 1, 84, 18));  // text rectangle (6, 0)-(79, 20)
    ASSERT_FALSE(sorted.isEmpty());
    EXPECT_GE(sorted.left(), 6);
    EXPECT_LE(sorted.right(), 78);
    const QRect plain = Ink(image, QRect(101, 1, 98, 18)).translated(-100, 0);
    EXPECT_GE(plain.left(), 6);  // left aligned by default
    EXPECT_LE(plain.left(), 8);
    EXPECT_LE(plain.right(), 93);  // text rectangle (6, 0)-(94, 20)

    const QRect centre = Ink(image, QRect(201, 1, 98, 18)).translated(-200, 0);
    EXPECT_NEAR((centre.left() + centre.right()) / 2.0, 49.5, 2.0);
    const QRect right = Ink(image, QRect(301, 1, 98, 18)).translated(-300, 0);
    EXPECT_GE(right.right(), 90);
    EXPECT_LE(right.right(), 93);
}

TEST_F(SortHeaderTest, PressedItemIsDarkerSunkenAndShiftedUntilReleased) {
    m_model.setHeaderData(1, Qt::Horizontal, QStringLiteral("WWW"));
    const QRect area(101, 1, 98, 18);
    const QRect unpressed = Ink(Render(), area);
    QSignalSpy clicked(&m_header, &QHeaderView::sectionClicked);

    QTest::mousePress(m_header.viewport(), Qt::LeftButton, {}, QPoint(150, 10));
    EXPECT_EQ(m_header.PressedSection(), 1);
    ExpectPixels({{100, 0, 128}, {199, 19, 200}, {197, 5, 219}, {297, 5, 235}});
    EXPECT_EQ(Ink(Render(), area), unpressed.translated(1, 1));

    QTest::mouseRelease(m_header.viewport(), Qt::LeftButton, {}, QPoint(150, 10));
    EXPECT_EQ(m_header.PressedSection(), -1);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 1);
    ExpectPixels({{197, 5, 235}});
}

TEST_F(SortHeaderTest, PressFollowsTheMouseWhileHeld) {
    QTest::mousePress(m_header.viewport(), Qt::LeftButton, {}, QPoint(50, 10));
    DragTo(250, 10);
    EXPECT_EQ(m_header.PressedSection(), 2);
    DragTo(250, 40);  // below the header
    EXPECT_EQ(m_header.PressedSection(), -1);
    QTest::mouseRelease(m_header.viewport(), Qt::LeftButton, {}, QPoint(250, 40));

    // A press on a divider resizes; it presses nothing.
    QTest::mousePress(m_header.viewport(), Qt::LeftButton, {}, QPoint(100, 10));
    EXPECT_EQ(m_header.PressedSection(), -1);
    QTest::mouseRelease(m_header.viewport(), Qt::LeftButton, {}, QPoint(100, 10));
}

}  // namespace
}  // namespace ip2h
