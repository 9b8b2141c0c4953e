#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include "ui/MessageBox.h"

namespace ip2h {
namespace {

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override { MessageBox::resetForTest(); }
    void TearDown() override { MessageBox::resetForTest(); }
};

TEST_F(MessageBoxTest, HooksRecordWithoutShowing) {
    MessageBox::setNextAnswer(QMessageBox::Cancel);
    EXPECT_EQ(MessageBox::ShowWarning(nullptr, QStringLiteral("Not valid.")), QMessageBox::Cancel);
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Not valid."));
    EXPECT_EQ(MessageBox::lastCaption(), QStringLiteral("test_ui"));  // the executable's name

    // The answer was used up; record-only mode answers Ok.
    MessageBox::setRecordOnly(true);
    EXPECT_EQ(MessageBox::ShowWarning(nullptr, QStringLiteral("Limit over.")), QMessageBox::Ok);
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Limit over."));
    EXPECT_EQ(MessageBox::count(), 2);
}

TEST_F(MessageBoxTest, ShownBoxIsAPlainTextWarningWithOnlyOk) {
    bool inspected = false;
    QTimer::singleShot(0, [&inspected] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        EXPECT_EQ(box->windowTitle(), QStringLiteral("test_ui"));
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        inspected = true;
        box->button(QMessageBox::Ok)->click();
    });
    // Should the box not be found, close whatever is open rather than hang.
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, &guard, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    guard.start(5000);

    EXPECT_EQ(MessageBox::ShowWarning(nullptr, QStringLiteral("<b>1.2.3.4</b>")), QMessageBox::Ok);
    EXPECT_TRUE(inspected);
}

}  // namespace
}  // namespace ip2h
