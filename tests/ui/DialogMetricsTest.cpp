#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QStringList>

#include <gtest/gtest.h>

#include "ui/DialogMetrics.h"

namespace ip2h {
namespace {

TEST(DialogUnitsTest, RoundsHalvesAwayFromZero) {
    struct Case {
        int Value, Base, Divisor, Expected;
    };
    const Case cases[] = {
        {243, 6, 4, 365},          // 364.5
        {101, 13, 8, 164},         // 164.125
        {3, 5, 4, 4},              // 3.75
        {1, 5, 4, 1},              // 1.25
        {-1, 6, 4, -2},            // -1.5
        {7, 13, 0, 0},             // no divisor: nothing rather than a crash
        {1 << 30, 8, 8, 1 << 30},  // no overflow on the way
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MulDivRound(c.Value, c.Base, c.Divisor), c.Expected)
            << c.Value << " * " << c.Base << " / " << c.Divisor;
    }
}

TEST(DialogUnitsTest, MapsPositionAndSizeEachOnItsOwn) {
    const DialogBaseUnits base{6, 13};
    EXPECT_EQ(DialogUnitsToPixels(QRect(7, 4, 229, 88), base), QRect(11, 7, 344, 143));
    // The width is mapped itself, not as the difference of rounded edges (which gives 1).
    EXPECT_EQ(DialogUnitsToPixels(QRect(1, 1, 1, 1), base), QRect(2, 2, 2, 2));
    EXPECT_EQ(DialogUnitsToPixels(QSize(243, 101), DialogBaseUnits{7, 16}), QSize(425, 202));
}

TEST(DialogUnitsTest, BaseUnitsOfAFixedPitchFontAreItsCellSize) {
    const QString mono = FirstInstalledFamily(
        {QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Noto Sans Mono")});
    if (mono.isEmpty()) GTEST_SKIP() << "no fixed-pitch font installed";
    QFont font(mono);
    font.setPixelSize(13);
    const QFontMetrics metrics(font);
    const DialogBaseUnits base = BaseUnitsOf(metrics);
    EXPECT_EQ(base.X, metrics.horizontalAdvance(QLatin1Char('M')));
    EXPECT_EQ(base.Y, metrics.height());
}

TEST(DialogFontTest, FacesMapToInstalledFontsAtNinePoints) {
    struct Case {
        QString Face;
        QStringList Preferred;  // the first of these installed is expected
    };
    const Case cases[] = {
        {QString::fromUtf16(kProportionalGothicFace), {QStringLiteral("Noto Sans CJK JP")}},
        {QString::fromUtf16(kGothicFace),
         {QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("Noto Sans CJK JP")}},
        {QString::fromUtf16(kSansSerifFace), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Face.toStdString());
        const QFont font = MapDialogFont(c.Face, 9);
        EXPECT_EQ(font.pointSize(), 9);
        // Whatever was chosen is installed, not a name left to the font matcher.
        EXPECT_TRUE(QFontDatabase::families().contains(font.family()));
        const QString expected = FirstInstalledFamily(c.Preferred);
        if (!expected.isEmpty()) {
            EXPECT_EQ(QFontInfo(font).family(), expected);
        }
    }
}

TEST(DialogFontTest, CellHeightFontFillsButDoesNotExceedTheCell) {
    for (const int cell : {12, 18, 24}) {
        SCOPED_TRACE(cell);
        const QFont font = CellHeightFont(QFont(), QStringLiteral("Arial"), cell, QFont::Bold);
        EXPECT_EQ(font.weight(), QFont::Bold);
        EXPECT_LE(QFontMetrics(font).height(), cell);
        QFont bigger = font;
        bigger.setPixelSize(font.pixelSize() + 1);
        EXPECT_GT(QFontMetrics(bigger).height(), cell);
    }
}

}  // namespace
}  // namespace ip2h

namespace ip2h {
namespace {

TEST(ResultListHeightTest, EndsAtTheStatusBar) {
    // With the fonts the layout was made for, the list ends exactly at the status bar.
    EXPECT_EQ(ResultListHeight(376, 75, false), 376 - 99);
    EXPECT_EQ(ResultListHeight(376, 60, true), 376 - 84);
    // A taller font moves the list down: it is shortened rather than hidden.
    EXPECT_EQ(ResultListHeight(376, 85, true), 376 - 24 - 85);
    EXPECT_EQ(ResultListHeight(50, 85, true), 0);
}

}  // namespace
}  // namespace ip2h
