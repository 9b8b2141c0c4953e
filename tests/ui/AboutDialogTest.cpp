#include <QFrame>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "ui/AboutDialog.h"
#include "ui/AppIcon.h"
#include "ui/DialogMetrics.h"

namespace ip2h {
namespace {

TEST(AboutDialogTest, LayoutTextsAndWhiteBackgroundInBothLanguages) {
    struct Case {
        bool Japanese;
        const char* Title;
        const char* Version;
        int VersionHeight;  // dialog units
    };
    const Case cases[] = {
        {false, "About", "IP Address -> Hostname  Version 0.40", 18},
        {true, "バージョン情報", "IPアドレス->ホスト名変換ツール Version 0.40", 17},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        AboutDialog dialog(c.Japanese, nullptr);
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(c.Title));
        const DialogBaseUnits base = BaseUnitsOf(QFontMetrics(AboutDialogFont(c.Japanese)));
        EXPECT_EQ(dialog.size(), DialogUnitsToPixels(QSize(243, 101), base));

        auto* version = dialog.findChild<QLabel*>(QStringLiteral("versionLabel"));
        auto* credit = dialog.findChild<QLabel*>(QStringLiteral("creditLabel"));
        auto* icon = dialog.findChild<QLabel*>(QStringLiteral("iconLabel"));
        auto* frame = dialog.findChild<QFrame*>(QStringLiteral("groupFrame"));
        ASSERT_TRUE(version && credit && icon && frame);

        EXPECT_EQ(version->text(), QString::fromUtf8(c.Version));
        EXPECT_EQ(version->textFormat(), Qt::PlainText);  // "&" shown as it is
        EXPECT_EQ(version->alignment(), Qt::AlignCenter);
        EXPECT_EQ(version->geometry(),
                  DialogUnitsToPixels(QRect(16, 49, 212, c.VersionHeight), base));
        EXPECT_TRUE(version->font().bold());
        EXPECT_LE(QFontMetrics(version->font()).height(), 18);
        EXPECT_GE(QFontMetrics(version->font()).height(), 15);
        EXPECT_FALSE(credit->text().isEmpty());
        EXPECT_EQ(credit->geometry(), DialogUnitsToPixels(QRect(16, 72, 212, 8), base));
        EXPECT_EQ(frame->geometry(), DialogUnitsToPixels(QRect(7, 4, 229, 88), base));
        EXPECT_EQ(icon->pos(), DialogUnitsToPixels(QRect(112, 24, 20, 20), base).topLeft());
        EXPECT_FALSE(icon->pixmap().isNull());

        const QImage image = dialog.grab().toImage();
        EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::white));
        EXPECT_EQ(image.pixelColor(icon->x() - 4, icon->y() - 4), QColor(Qt::white));  // framed
        EXPECT_NE(image.pixelColor(frame->geometry().center().x(), frame->y()), QColor(Qt::white));
    }
}

TEST(AboutDialogTest, EnterEscAndCloseEndItF1DoesNot) {
    struct Case {
        const char* Name;
        int Key;  // 0: the close box
        bool Ends;
        int Result;
    };
    const Case cases[] = {
        {"Enter", Qt::Key_Return, true, QDialog::Accepted},
        {"keypad Enter", Qt::Key_Enter, true, QDialog::Accepted},
        {"Esc", Qt::Key_Escape, true, QDialog::Rejected},
        {"close box", 0, true, QDialog::Rejected},
        {"F1", Qt::Key_F1, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        AboutDialog dialog(false, nullptr);
        QSignalSpy finished(&dialog, &QDialog::finished);
        dialog.open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        if (c.Key == 0) {
            dialog.close();
        } else {
            QTest::keyClick(&dialog, Qt::Key(c.Key));
        }
        EXPECT_EQ(dialog.isVisible(), !c.Ends);
        ASSERT_EQ(finished.count(), c.Ends ? 1 : 0);
        if (c.Ends) {
            EXPECT_EQ(finished.at(0).at(0).toInt(), c.Result);
        }
    }
}

TEST(AppIconTest, HasEverySize) {
    const QIcon icon = AppIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (const int size : AppIconSizes()) {
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    }
    const QImage image = icon.pixmap(QSize(32, 32)).toImage();
    ASSERT_EQ(image.size(), QSize(32, 32));
    EXPECT_GT(qAlpha(image.pixel(16, 16)), 0);  // drawn, not blank
}

}  // namespace
}  // namespace ip2h
