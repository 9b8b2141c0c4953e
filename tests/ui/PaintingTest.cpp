#include <QImage>
#include <QPainter>

#include <cstdlib>

#include <gtest/gtest.h>

#include "ui/Painting.h"

namespace ip2h {
namespace {

const QColor kUntouched(255, 0, 255);

QImage Blank(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kUntouched);
    return image;
}

// Each channel within one level: the far end of a gradient may stop one step short.
bool Near(const QColor& actual, const QColor& expected) {
    return std::abs(actual.red() - expected.red()) <= 1 &&
           std::abs(actual.green() - expected.green()) <= 1 &&
           std::abs(actual.blue() - expected.blue()) <= 1;
}

TEST(ShiftColorTest, AddsToEachChannelAndClamps) {
    struct Case {
        QColor In;
        int Amount;
        QColor Expected;
    };
    const Case cases[] = {
        {QColor(240, 240, 240), +16, QColor(255, 255, 255)},
        {QColor(240, 240, 240), -19, QColor(221, 221, 221)},
        {QColor(10, 128, 250), -16, QColor(0, 112, 234)},
        {QColor(100, 200, 250), +10, QColor(110, 210, 255)},
        {QColor(0, 0, 0), -128, QColor(0, 0, 0)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShiftColor(c.In, c.Amount), c.Expected)
            << c.In.name().toStdString() << " shifted by " << c.Amount;
    }
    EXPECT_EQ(ShiftColor(QColor(10, 20, 30, 77), 5).alpha(), 77);
}

TEST(FillGradientTest, RunsFromStartAtOneEdgeToEndAtTheOther) {
    const QColor start(250, 20, 128);
    const QColor end(200, 60, 128);
    for (const int direction : {kGradientVertical, kGradientHorizontal}) {
        SCOPED_TRACE(direction);
        QImage image = Blank(90, 90);
        {
            QPainter painter(&image);
            FillGradient(painter, QRect(5, 5, 80, 80), start, end, direction);
        }
        // `along` runs with the gradient, `across` along its lines.
        auto at = [&](int along, int across) {
            return direction == kGradientVertical ? image.pixelColor(5 + across, 5 + along)
                                                  : image.pixelColor(5 + along, 5 + across);
        };
        EXPECT_EQ(at(0, 0), start);
        EXPECT_TRUE(Near(at(79, 0), end)) << at(79, 0).name().toStdString();
        for (int along = 1; along < 80; ++along) {
            EXPECT_LE(at(along, 0).red(), at(along - 1, 0).red());
            EXPECT_GE(at(along, 0).green(), at(along - 1, 0).green());
            EXPECT_EQ(at(along, 79), at(along, 0));
        }
        EXPECT_EQ(image.pixelColor(4, 4), kUntouched);
        EXPECT_EQ(image.pixelColor(85, 85), kUntouched);
    }
}

TEST(PaintMainBackgroundTest, ShadedBandAtTopPlainStripAtBottom) {
    const QColor face(212, 208, 200);
    QImage image = Blank(600, 400);
    {
        QPainter painter(&image);
        PaintMainBackground(painter, image.rect(), face);
    }
    for (const int x : {0, 599}) {
        SCOPED_TRACE(x);
        EXPECT_EQ(image.pixelColor(x, 0), QColor(228, 224, 216));
        EXPECT_TRUE(Near(image.pixelColor(x, 83), QColor(196, 192, 184)));
        EXPECT_EQ(image.pixelColor(x, 84), kUntouched);  // the list covers the middle
        EXPECT_EQ(image.pixelColor(x, 375), kUntouched);
        EXPECT_EQ(image.pixelColor(x, 376), face);
        EXPECT_EQ(image.pixelColor(x, 399), face);
    }
}

TEST(MinimisedIconPositionTest, CentresWithTheOddPixelRightAndDown) {
    EXPECT_EQ(MinimisedIconPosition({100, 100}, {32, 32}), QPoint(34, 34));
    EXPECT_EQ(MinimisedIconPosition({101, 36}, {32, 32}), QPoint(35, 2));
    EXPECT_EQ(MinimisedIconPosition({20, 20}, {32, 32}), QPoint(-5, -5));
}

}  // namespace
}  // namespace ip2h
