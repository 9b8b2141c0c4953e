// The about box, the message box, the program icon and the dialog-unit layout they rest on.
#include <QPointer>
#include <QAbstractButton>
#include <QApplication>
#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "ui/AboutDialog.h"
#include "ui/AppIcon.h"
#include "ui/DialogMetrics.h"
#include "ui/MessageBox.h"

namespace ip2h {
namespace {

TEST(AboutDialogTest, LayoutTextsAndWhiteBackgroundInBothLanguages) {
    for (const bool japanese : {false, true}) {
        SCOPED_TRACE(japanese);
        AboutDialog dialog(japanese, nullptr);
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(japanese ? "バージョン情報" : "About"));
        const DialogBaseUnits base = BaseUnitsOf(QFontMetrics(AboutDialogFont(japanese)));
        EXPECT_EQ(dialog.size(), DialogUnitsToPixels(QSize(243, 101), base));
        const std::pair<const char*, QRect> layout[] = {
            {"groupFrame", QRect(7, 4, 229, 88)},
            {"iconLabel", QRect(112, 24, 20, 20)},
            {"versionLabel", QRect(16, 49, 212, japanese ? 17 : 18)},
            {"creditLabel", QRect(16, 72, 212, 8)},
        };
        for (const auto& [name, units] : layout) {
            auto* widget = dialog.findChild<QWidget*>(QLatin1String(name));
            ASSERT_NE(widget, nullptr) << name;
            EXPECT_EQ(widget->geometry(), DialogUnitsToPixels(units, base)) << name;
        }
        auto* version = dialog.findChild<QLabel*>(QStringLiteral("versionLabel"));
        EXPECT_EQ(version->text(),
                  QString::fromUtf8(japanese ? "IPアドレス->ホスト名変換ツール Version 0.40"
                                             : "IP Address -> Hostname  Version 0.40"));
        EXPECT_EQ(version->textFormat(), Qt::PlainText);
        EXPECT_EQ(version->alignment(), Qt::AlignCenter);
        EXPECT_TRUE(version->font().bold());
        EXPECT_LE(QFontMetrics(version->font()).height(), 18);
        EXPECT_GE(QFontMetrics(version->font()).height(), 15);
        auto* icon = dialog.findChild<QLabel*>(QStringLiteral("iconLabel"));
        EXPECT_FALSE(icon->pixmap().isNull());

        // White inside and outside the frame; the frame itself is drawn.
        const QImage image = dialog.grab().toImage();
        const QRect frame = dialog.findChild<QFrame*>(QStringLiteral("groupFrame"))->geometry();
        EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::white));
        EXPECT_EQ(image.pixelColor(icon->x() - 4, icon->y() - 4), QColor(Qt::white));
        EXPECT_NE(image.pixelColor(frame.center().x(), frame.y()), QColor(Qt::white));
    }
}

TEST(AboutDialogTest, EnterAndEscEndItF1DoesNot) {
    const std::pair<Qt::Key, int> cases[] = {{Qt::Key_Return, QDialog::Accepted},
                                             {Qt::Key_Enter, QDialog::Accepted},
                                             {Qt::Key_Escape, QDialog::Rejected},
                                             {Qt::Key_F1, -1}};  // -1: still open
    for (const auto& [key, result] : cases) {
        SCOPED_TRACE(key);
        AboutDialog dialog(false, nullptr);
        QSignalSpy finished(&dialog, &QDialog::finished);
        dialog.open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(&dialog, key);
        EXPECT_EQ(dialog.isVisible(), result == -1);
        ASSERT_EQ(finished.count(), result == -1 ? 0 : 1);
        if (result != -1) {
            EXPECT_EQ(finished.at(0).at(0).toInt(), result);
        }
    }
}

TEST(AppIconTest, HasEverySize) {
    const QIcon icon = AppIcon();
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
    }
    const QImage image = icon.pixmap(QSize(32, 32)).toImage();
    EXPECT_GT(qAlpha(image.pixel(16, 16)), 0);  // drawn, not blank
}

TEST(MessageBoxTest, ShownBoxIsAPlainTextWarningWithOnlyOkAndTheProgramAsCaption) {
    MessageBox::ResetForTest();
    bool inspected = false;
    MessageBox::ShowWarning(nullptr, QStringLiteral("<b>1.2.3.4</b>"));
    // Opened without a nested event loop: the call has returned with the box open.
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        EXPECT_EQ(box->windowTitle(), QStringLiteral("test_ui"));  // the executable's name
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->text(), QStringLiteral("<b>1.2.3.4</b>"));
        inspected = true;
        QPointer<QMessageBox> closing = box;
        box->button(QMessageBox::Ok)->click();
        EXPECT_TRUE(QTest::qWaitFor([&closing] { return closing.isNull(); }));
    }
    EXPECT_TRUE(inspected);
}

TEST(DialogUnitsTest, RoundHalvesAwayFromZeroEachFieldOnItsOwnFromTheFontsCell) {
    struct Case {
        int Value, Base, Divisor, Expected;
    };
    // Halves go away from zero; no divisor gives nothing rather than a crash; no overflow.
    const Case cases[] = {{243, 6, 4, 365}, {101, 13, 8, 164},        {3, 5, 4, 4}, {1, 5, 4, 1},
                          {-1, 6, 4, -2},   {1 << 30, 8, 8, 1 << 30}, {7, 13, 0, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(MulDivRound(c.Value, c.Base, c.Divisor), c.Expected)
            << c.Value << " * " << c.Base << " / " << c.Divisor;
    }
    const DialogBaseUnits base{6, 13};
    EXPECT_EQ(DialogUnitsToPixels(QRect(7, 4, 229, 88), base), QRect(11, 7, 344, 143));
    // The width is mapped itself, not as the difference of rounded edges (which gives 1).
    EXPECT_EQ(DialogUnitsToPixels(QRect(1, 1, 1, 1), base), QRect(2, 2, 2, 2));
    EXPECT_EQ(DialogUnitsToPixels(QSize(243, 101), DialogBaseUnits{7, 16}), QSize(425, 202));

    // The base units of a fixed-pitch font are its cell.
    const QString family = FirstInstalledFamily(
        {QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Noto Sans Mono")});
    if (family.isEmpty()) GTEST_SKIP() << "no fixed-pitch font installed";
    QFont mono(family);
    mono.setPixelSize(13);
    const QFontMetrics metrics(mono);
    EXPECT_EQ(BaseUnitsOf(metrics).X, metrics.horizontalAdvance(QLatin1Char('M')));
    EXPECT_EQ(BaseUnitsOf(metrics).Y, metrics.height());
}

// Whatever face is asked for, the font chosen is installed, not a name left to the matcher.
TEST(DialogFontTest, FacesMapToInstalledFontsAtNinePoints) {
    for (const char16_t* face : {kProportionalGothicFace, kGothicFace, kSansSerifFace}) {
        SCOPED_TRACE(QString::fromUtf16(face).toStdString());
        const QFont font = MapDialogFont(QString::fromUtf16(face), 9);
        EXPECT_EQ(font.pointSize(), 9);
        EXPECT_TRUE(QFontDatabase::families().contains(font.family()));
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

TEST(ResultListHeightTest, EndsAtTheStatusBarAndShrinksUnderATallerFont) {
    EXPECT_EQ(ResultListHeight(376, 75, false), 376 - 99);
    EXPECT_EQ(ResultListHeight(376, 60, true), 376 - 84);
    EXPECT_EQ(ResultListHeight(376, 85, true), 376 - 24 - 85);
    EXPECT_EQ(ResultListHeight(50, 85, true), 0);
}

}  // namespace
}  // namespace ip2h
