#include "ui/MainDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "app/Language.h"
#include "resolver/WorkerSlots.h"
#include "results/ResultTable.h"
#include "support/TempDir.h"
#include "support/TestNamespace.h"
#include "ui/MessageBox.h"
#include "ui/ResultModel.h"

namespace ip2h {
namespace {

QString Cell(const MainDialog& dialog, int row, int column) {
    return dialog.Model().index(row, column).data().toString();
}

QColor Colour(const MainDialog& dialog, int row, int column, int role) {
    return dialog.Model().index(row, column).data(role).value<QBrush>().color();
}

QString Pane(const MainDialog& dialog, const char* name) {
    return dialog.findChild<QLabel*>(QLatin1String(name))->text();
}

class MainDialogEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::InTestNamespace()) GTEST_SKIP() << "needs the test namespace's DNS server";
        SetLanguageCode("EN");
        MessageBox::resetForTest();
        MessageBox::setRecordOnly(true);
        m_paths.SettingsFile = m_dir / "ip2hostname_tester@testhost.ini";
        m_paths.HistoryFile = m_dir / "ip2hostname_history.txt";
    }
    void TearDown() override { MessageBox::resetForTest(); }

    std::unique_ptr<MainDialog> OpenDialog() {
        auto dialog = std::make_unique<MainDialog>(m_paths, ResolutionEngine::Create());
        dialog->Open();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return dialog;
    }

    test::TempDir m_dir;
    SettingsPaths m_paths;
};

TEST_F(MainDialogEndToEnd, RegisteredRangeIsResolvedThroughTheRealResolver) {
    test::TestDnsLock lock(false);
    auto dialog = OpenDialog();
    auto* range = dialog->findChild<QComboBox*>(QStringLiteral("rangeComboBox"));
    auto* interval = dialog->findChild<QComboBox*>(QStringLiteral("intervalComboBox"));
    auto* registerButton = dialog->findChild<QPushButton*>(QStringLiteral("registerPushButton"));
    ASSERT_TRUE(range && interval && registerButton);

    range->lineEdit()->clear();
    QTest::keyClicks(range->lineEdit(), QStringLiteral("192.0.2.9 - 192.0.2.21"));
    interval->lineEdit()->clear();
    QTest::keyClicks(interval->lineEdit(), QStringLiteral("1"));
    QTest::mouseClick(registerButton, Qt::LeftButton);

    // Nothing is shown until the timer's first refresh; then the run goes to its end.
    QTRY_COMPARE_WITH_TIMEOUT(Pane(*dialog, "progressStatusLabel"),
                              QStringLiteral(" Progress :   13/  13"), 20000);
    EXPECT_EQ(Pane(*dialog, "successStatusLabel"), QStringLiteral(" Success :   12/  13"));
    EXPECT_TRUE(Pane(*dialog, "timeStatusLabel").startsWith(QStringLiteral(" Time Required : ")));
    // The last answers reach the list at the refresh after they arrived.
    QTRY_COMPARE_WITH_TIMEOUT(Cell(*dialog, 12, 2), QStringLiteral("Failure"), 5000);

    ASSERT_EQ(dialog->Model().rowCount(), 13);
    EXPECT_EQ(Cell(*dialog, 0, 0), QStringLiteral("192.0.2.9"));
    EXPECT_EQ(Cell(*dialog, 0, 1), QStringLiteral("Host-09.Example.COM"));
    EXPECT_EQ(Cell(*dialog, 0, 2), QStringLiteral("Success"));
    EXPECT_EQ(Cell(*dialog, 0, 3), QStringLiteral("Commercial"));
    EXPECT_EQ(Colour(*dialog, 0, 1, Qt::ForegroundRole), QColor(0, 150, 0));
    EXPECT_EQ(Colour(*dialog, 0, 2, Qt::ForegroundRole), QColor(0, 140, 0));
    EXPECT_EQ(Colour(*dialog, 0, 2, Qt::BackgroundRole), QColor(230, 255, 230));
    EXPECT_EQ(Cell(*dialog, 12, 0), QStringLiteral("192.0.2.21"));
    EXPECT_EQ(Cell(*dialog, 12, 1), QStringLiteral("192.0.2.21"));
    EXPECT_EQ(Cell(*dialog, 12, 3), QStringLiteral("?"));
    EXPECT_EQ(Colour(*dialog, 12, 1, Qt::ForegroundRole), QColor(0, 0, 0));
    EXPECT_EQ(Colour(*dialog, 12, 2, Qt::ForegroundRole), QColor(210, 0, 0));
    EXPECT_EQ(Colour(*dialog, 12, 2, Qt::BackgroundRole), QColor(255, 238, 238));

    dialog->close();
    dialog.reset();

    // Reopened, the window shows what was typed and remembers it in the history.
    auto reopened = OpenDialog();
    range = reopened->findChild<QComboBox*>(QStringLiteral("rangeComboBox"));
    EXPECT_EQ(range->currentText(), QStringLiteral("192.0.2.9 - 192.0.2.21"));
    EXPECT_GE(range->findText(QStringLiteral("192.0.2.9 - 192.0.2.21")), 0);
    EXPECT_GE(range->findText(QStringLiteral("192.168.0.0-192.168.0.255")), 0);
    EXPECT_EQ(reopened->findChild<QComboBox*>(QStringLiteral("intervalComboBox"))->currentText(),
              QStringLiteral("1"));
    const std::string settings = test::ReadFile(m_paths.SettingsFile);
    EXPECT_NE(settings.find("IpAdrsRange=192.0.2.9 - 192.0.2.21"), std::string::npos);
    EXPECT_NE(settings.find("ColnmWidth=120:250:70:120"), std::string::npos);
    EXPECT_EQ(test::ReadFile(m_paths.HistoryFile),
              "192.0.2.9 - 192.0.2.21\r\n192.168.0.0-192.168.0.255\r\n");
}

}  // namespace
}  // namespace ip2h
