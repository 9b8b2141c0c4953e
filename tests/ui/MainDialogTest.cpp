// End to end: a range typed into the real window, resolved by the test namespace's DNS server.
#include <QLineEdit>
#include <QPushButton>

#include <array>
#include <string_view>

#include "WindowHarness.h"
#include "support/TestNamespace.h"
#include "ui/ResultModel.h"

namespace ip2h {
namespace {

using namespace Qt::StringLiterals;
using MainDialogEndToEnd = test::WindowTest;

TEST_F(MainDialogEndToEnd, RegisteredRangeIsResolvedThroughTheRealResolver) {
    IP2H_REQUIRE_TEST_NAMESPACE();
    test::TestDnsLock lock(false);
    MainDialog& dialog = Open();
    for (const auto& [box, typed] : {std::pair{"rangeComboBox", u"192.0.2.9 - 192.0.2.21"_s},
                                     std::pair{"intervalComboBox", u"1"_s}}) {
        QLineEdit* edit = test::Child<QComboBox>(dialog, box)->lineEdit();
        edit->clear();
        QTest::keyClicks(edit, typed);
    }
    QTest::mouseClick(test::Child<QPushButton>(dialog, "registerPushButton"), Qt::LeftButton);

    // Nothing is shown until the timer's first refresh; then the run goes to its end.
    QTRY_COMPARE_WITH_TIMEOUT(test::Pane(dialog, "progressStatusLabel"), u" Progress :   13/  13"_s,
                              60000);
    EXPECT_EQ(test::Pane(dialog, "successStatusLabel"), u" Success :   12/  13"_s);
    EXPECT_TRUE(test::Pane(dialog, "timeStatusLabel").startsWith(u" Time Required : "_s));
    // The last answers reach the list at the refresh after they arrived.
    using Cells = std::array<std::string_view, 4>;
    QTRY_VERIFY_WITH_TIMEOUT(dialog.Model().Cells(12)[2] == "Failure", 60000);
    ASSERT_EQ(dialog.Model().rowCount(), 13);
    EXPECT_EQ(dialog.Model().Cells(0),
              (Cells{"192.0.2.9", "Host-09.Example.COM", "Success", "Commercial"}));
    EXPECT_EQ(dialog.Model().Cells(12), (Cells{"192.0.2.21", "192.0.2.21", "Failure", "?"}));

    // Reopened, the window shows what was typed and remembers it in the history.
    m_dialog->close();
    MainDialog& reopened = Open();
    auto* range = test::Child<QComboBox>(reopened, "rangeComboBox");
    EXPECT_EQ(range->currentText(), u"192.0.2.9 - 192.0.2.21"_s);
    EXPECT_GE(range->findText(u"192.0.2.9 - 192.0.2.21"_s), 0);
    EXPECT_GE(range->findText(u"192.168.0.0-192.168.0.255"_s), 0);
    EXPECT_EQ(test::Child<QComboBox>(reopened, "intervalComboBox")->currentText(), u"1"_s);
    const std::string settings = test::ReadFile(m_paths.SettingsFile);
    EXPECT_NE(settings.find("IpAdrsRange=192.0.2.9 - 192.0.2.21"), std::string::npos);
    EXPECT_NE(settings.find("ColnmWidth=120:250:70:120"), std::string::npos);
    EXPECT_EQ(test::ReadFile(m_paths.HistoryFile),
              "192.0.2.9 - 192.0.2.21\r\n192.168.0.0-192.168.0.255\r\n");
}

}  // namespace
}  // namespace ip2h
