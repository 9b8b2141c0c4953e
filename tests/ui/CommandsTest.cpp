// The main window's commands driven through the real window: keys, menus, the list's popup
// menu, the system clipboard and the zoom. Lookups go through an injected resolver.
#include <QAction>
#include <QPointer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <string>
#include <vector>

#include "WindowHarness.h"
#include "base/FixedText.h"
#include "results/ResultTable.h"
#include "ui/DialogMetrics.h"
#include "ui/Painting.h"
#include "ui/ResultModel.h"
#include "ui/SortHeader.h"

namespace ip2h {
namespace {

using Addresses = std::vector<std::string>;
using namespace Qt::StringLiterals;

// Odd last fields resolve to "h<field>.example.com", even ones fail.
std::string FakeLookup(const std::string& address) {
    const int last = std::stoi(address.substr(address.rfind('.') + 1));
    return last % 2 == 1 ? "h" + std::to_string(last) + ".example.com" : address;
}

QString Clipboard() {
    return QApplication::clipboard()->text();
}

class CommandsTest : public test::WindowTest {
protected:
    // A fresh window with the fake resolver and `pasted` rows shown with their answers.
    MainDialog& OpenWith(const char* pasted = "") {
        MainDialog& dialog = Open(ResolutionEngine::Create(FakeLookup));
        QApplication::clipboard()->clear();
        if (*pasted != '\0') {
            Paste(QString::fromLatin1(pasted));
            EXPECT_TRUE(ShowAllAnswers());
        }
        return dialog;
    }
    QComboBox* Range() const { return test::Child<QComboBox>(*m_dialog, "rangeComboBox"); }
    QComboBox* Interval() const { return test::Child<QComboBox>(*m_dialog, "intervalComboBox"); }
    QTableView* List() const { return &m_dialog->ListView(); }

    void Focus(QWidget* widget) {
        widget->setFocus(Qt::OtherFocusReason);
        EXPECT_TRUE(QTest::qWaitFor([widget] { return widget->hasFocus(); }));
    }
    void Paste(const QString& text) {
        QApplication::clipboard()->setText(text);
        m_dialog->Dispatch(Command::Paste);
    }
    // Refreshes until the list shows every row with its answer and no worker is busy.
    bool ShowAllAnswers() {
        return QTest::qWaitFor([this] {
            m_dialog->RefreshList();
            const ResultModel& model = m_dialog->Model();
            bool done = model.rowCount() == m_dialog->Table().RowCount;
            for (int row = 0; done && row < model.rowCount(); ++row)
                done = model.Cells(row)[2] != "-";
            return done && !m_engine->AnyWorkerRunning();
        });
    }
    Addresses Listed() const {
        Addresses out;
        for (int row = 0; row < m_dialog->Model().rowCount(); ++row)
            out.emplace_back(m_dialog->Model().Cells(row)[0]);
        return out;
    }
    Addresses Stored(int from = 0) const {
        Addresses out;
        for (int i = from; i < m_dialog->Table().RowCount; ++i)
            out.emplace_back(FieldText(m_dialog->Table().Rows[i].Address));
        return out;
    }
    int SelectedCount() const {
        return static_cast<int>(List()->selectionModel()->selectedRows().size());
    }
    // The sort state and the header's indicator, which must agree.
    std::pair<int, int> Sort() const {
        const SortHeader& header = m_dialog->Header();
        EXPECT_EQ(header.IndicatorColumn(), m_dialog->Sort().Column);
        EXPECT_EQ(header.IndicatorDirection(), m_dialog->Sort().Direction);
        return {m_dialog->Sort().Column, m_dialog->Sort().Direction};
    }
    void ClickHeader(int column) {
        SortHeader& header = m_dialog->Header();
        const QPoint at(header.sectionViewportPosition(column) + header.sectionSize(column) / 2,
                        header.height() / 2);
        QTest::mouseClick(header.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
};

// Each key route through the real window, from three listed rows with the second selected,
// a range of four typed in its box and "10.1.1.1" on the clipboard.
TEST_F(CommandsTest, KeysReachTheirCommandsByFocusAndDropDownState) {
    const Addresses kept{"10.0.0.1", "10.0.0.2", "10.0.0.3"};
    const Addresses pasted{"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.1.1.1"};
    const Addresses registered{"10.0.0.0", "10.0.0.1", "10.0.0.2", "10.0.0.3"};
    const Addresses deleted{"10.0.0.1", "10.0.0.3"};
    const char *range = "rangeComboBox", *interval = "intervalComboBox";
    const char *list = "resultTableView", *button = "registerPushButton";
    const char *copied = "10.0.0.2\r\n", *before = "10.1.1.1";
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, none = Qt::NoModifier;
    struct Case {
        const char* Focus;
        int Key;
        Qt::KeyboardModifiers Modifiers;
        bool DropDownOpen;
        const Addresses* Rows;  // nullptr: the window has closed
        int Selected;           // -1: not checked
        const char* Clipboard;
    };
    std::vector<Case> cases = {
        {range, Qt::Key_F4, Qt::AltModifier, false, nullptr, -1, before},
        // In a box Enter registers and Esc closes; elsewhere they act as in a dialog.
        {range, Qt::Key_Return, none, false, &registered, -1, before},
        {interval, Qt::Key_Enter, none, false, &registered, -1, before},
        {list, Qt::Key_Return, none, false, &registered, -1, before},
        {range, Qt::Key_Escape, none, false, nullptr, -1, before},
        {interval, Qt::Key_Escape, none, false, nullptr, -1, before},
        {list, Qt::Key_Escape, none, false, nullptr, -1, before},
        // An open drop-down list keeps both keys for itself; F1 does nothing anywhere.
        {range, Qt::Key_Return, none, true, &kept, -1, before},
        {interval, Qt::Key_Escape, none, true, &kept, -1, before},
        {range, Qt::Key_F1, none, false, &kept, 1, before},
        {list, Qt::Key_F1, none, false, &kept, 1, before},
        // Delete deletes the selected rows in the list only; in a box it edits the text.
        {list, Qt::Key_Delete, none, false, &deleted, -1, before},
        {range, Qt::Key_Delete, none, false, &kept, 1, before},
    };
    // Ctrl+A, Ctrl+C and Ctrl+V act on the list wherever the focus is, even in a text box.
    for (const char* focus : {range, interval, list, button}) {
        cases.push_back({focus, Qt::Key_A, ctrl, false, &kept, 3, before});
        cases.push_back({focus, Qt::Key_C, ctrl, false, &kept, 1, copied});
        cases.push_back({focus, Qt::Key_V, ctrl, false, &pasted, -1, before});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Focus) + " key " + std::to_string(c.Key) + " modifiers " +
                     std::to_string(c.Modifiers) + (c.DropDownOpen ? " with the list open" : ""));
        MainDialog& dialog = OpenWith("10.0.0.1\n10.0.0.2\n10.0.0.3\n");
        Range()->setEditText(u"10.0.0.0-10.0.0.3"_s);
        Interval()->setEditText(u"1"_s);
        Focus(test::Child<QWidget>(dialog, c.Focus));
        List()->selectRow(1);
        Range()->lineEdit()->setCursorPosition(0);
        QApplication::clipboard()->setText(QString::fromLatin1(before));
        auto* combo = dialog.findChild<QComboBox*>(QLatin1String(c.Focus));
        if (c.DropDownOpen) {
            combo->showPopup();
            ASSERT_TRUE(QTest::qWaitFor([combo] { return combo->view()->isVisible(); }));
        }
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key(c.Key), c.Modifiers);  // as typed
        QTest::qWait(50);
        ASSERT_EQ(dialog.isVisible(), c.Rows != nullptr);
        if (c.Rows == nullptr) continue;
        EXPECT_EQ(Stored(), *c.Rows);
        EXPECT_TRUE(c.Selected < 0 || SelectedCount() == c.Selected) << SelectedCount();
        EXPECT_EQ(Clipboard(), QString::fromLatin1(c.Clipboard));
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_TRUE(combo == nullptr || !combo->view()->isVisible());
        EXPECT_EQ(Interval()->currentText(), u"1"_s);
        if (!c.DropDownOpen) {
            const bool edited = combo != nullptr && c.Key == Qt::Key_Delete;
            EXPECT_EQ(Range()->currentText(),
                      edited ? u"0.0.0.0-10.0.0.3"_s : u"10.0.0.0-10.0.0.3"_s);
        }
    }
}

TEST_F(CommandsTest, PopupMenuEnablesItemsByListStateOpensWhereAskedAndRunsItsItems) {
    MainDialog& dialog = OpenWith();
    // '1' for each enabled item in order: Copy, Paste, Delete, Select All, Select Success,
    // Select Failure, then Copy Item's Address and Host Name.
    auto enabled = [&] {
        std::string out;
        const std::unique_ptr<QMenu> menu = dialog.BuildListContextMenu();
        for (QAction* action : menu->actions()) {
            for (QAction* item : action->menu() ? action->menu()->actions() : QList{action}) {
                if (!item->isSeparator()) out += item->isEnabled() ? '1' : '0';
            }
        }
        return out;
    };
    EXPECT_EQ(enabled(), "01000011") << "no items";
    Paste(u"10.0.0.1\n10.0.0.2\n10.0.0.3\n"_s);
    EXPECT_EQ(enabled(), "01000011") << "rows not listed yet";
    ASSERT_TRUE(ShowAllAnswers());
    EXPECT_EQ(enabled(), "01011111") << "items, none selected";
    List()->selectRow(0);
    EXPECT_EQ(enabled(), "11111111") << "one selected";

    // Copy Item's marks show the bits as the menu opens; each of its items flips one bit.
    const std::pair<int, int> toggles[] = {{0, 0}, {1, 2}, {0, 3}};  // item chosen, bits after
    for (const auto& [item, copyItems] : toggles) {
        std::unique_ptr<QMenu> menu = dialog.BuildListContextMenu();
        menu->actions().last()->menu()->actions().at(item)->trigger();
        EXPECT_EQ(dialog.CopyItems(), copyItems);
        menu = dialog.BuildListContextMenu();
        const QList<QAction*> marks = menu->actions().last()->menu()->actions();
        EXPECT_EQ(marks.at(0)->isChecked(), (copyItems & 1) != 0);
        EXPECT_EQ(marks.at(1)->isChecked(), (copyItems & 2) != 0);
    }
    EXPECT_EQ(SelectedCount(), 1);

    auto popup = [](QWidget* target, QContextMenuEvent::Reason reason, QPoint at) {
        QContextMenuEvent event(reason, at, target->mapToGlobal(at));
        QApplication::sendEvent(target, &event);
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    };
    auto choose = [](QMenu* menu, Qt::Key mnemonic) {
        QTest::keyClick(menu, mnemonic);
        return QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; });
    };
    // From the keyboard: beside the client area's top-left corner; the list takes the focus.
    Focus(Range());
    QMenu* menu = popup(List(), QContextMenuEvent::Keyboard, QPoint(3, 3));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->pos(), dialog.centralWidget()->mapToGlobal(QPoint(5, 5)));
    EXPECT_TRUE(List()->hasFocus());
    EXPECT_TRUE(choose(menu, Qt::Key_F));  // "Select Failure(&F)"
    EXPECT_EQ(SelectedCount(), 1);
    // From the mouse: at the cursor.
    menu = popup(List()->viewport(), QContextMenuEvent::Mouse, QPoint(20, 10));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->pos(), List()->viewport()->mapToGlobal(QPoint(20, 10)));
    EXPECT_TRUE(choose(menu, Qt::Key_D));  // "Delete(&D)"
    EXPECT_EQ(Listed(), (Addresses{"10.0.0.1", "10.0.0.3"}));
    EXPECT_EQ(popup(dialog.Header().viewport(), QContextMenuEvent::Mouse, QPoint(5, 5)), nullptr);
}

TEST_F(CommandsTest, CopyAndPasteBackThroughTheClipboardInEveryCopyItemsMode) {
    struct Case {
        int CopyItems;
        const char* Copied;
        Addresses PastedBack;  // only lines that are addresses come back
    };
    const Case cases[] = {
        {1, "192.0.2.1\r\n192.0.2.2\r\n", {"192.0.2.1", "192.0.2.2"}},
        {2, "h1.example.com\r\n192.0.2.2\r\n", {"192.0.2.2"}},
        {3, "192.0.2.1 h1.example.com\r\n192.0.2.2 192.0.2.2\r\n", {}},
        {0,
         "192.0.2.1,h1.example.com,Success,Commercial,\r\n192.0.2.2,192.0.2.2,Failure,?,\r\n",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.CopyItems);
        MainDialog& dialog = OpenWith();
        QApplication::clipboard()->setText(u"kept"_s);
        dialog.Dispatch(Command::Copy);
        EXPECT_EQ(Clipboard(), u"kept"_s);  // no rows: the clipboard is left alone
        Paste(u"192.0.2.1\n192.0.2.2\n"_s);
        ASSERT_TRUE(ShowAllAnswers());
        dialog.Dispatch(Command::Copy);
        EXPECT_EQ(Clipboard(), QString());  // rows, none selected: the clipboard is emptied

        if ((dialog.CopyItems() ^ c.CopyItems) & 1) dialog.Dispatch(Command::CopyItemAddress);
        if ((dialog.CopyItems() ^ c.CopyItems) & 2) dialog.Dispatch(Command::CopyItemHostName);
        ASSERT_EQ(dialog.CopyItems(), c.CopyItems);
        dialog.Dispatch(Command::SelectAll);
        dialog.Dispatch(Command::Copy);
        EXPECT_EQ(Clipboard(), QString::fromUtf8(c.Copied));
        dialog.Dispatch(Command::Delete);
        ASSERT_EQ(dialog.Table().RowCount, 0);
        dialog.Dispatch(Command::Paste);
        EXPECT_EQ(Stored(), c.PastedBack);
    }
}

// The window steps pasted ranges by the interval typed in its box and leaves the box alone.
TEST_F(CommandsTest, PasteStepsRangesByTheIntervalBox) {
    MainDialog& dialog = OpenWith();
    Interval()->setEditText(u"2"_s);
    Paste(u"10.0.2.0-10.0.2.5\r10.0.3.1"_s);
    EXPECT_EQ(Stored(0), (Addresses{"10.0.2.0", "10.0.2.2", "10.0.2.4", "10.0.3.1"}));
    EXPECT_EQ(Interval()->currentText(), u"2"_s);
    EXPECT_EQ(dialog.Table().RowCount, 4);
    EXPECT_EQ(MessageBox::Count(), 0);
}

TEST_F(CommandsTest, PasteOnAFullTableSaysLimitOverResetsTheSortAndOtherwiseStopsAt9999) {
    MainDialog& dialog = OpenWith();
    ClickHeader(2);
    ClickHeader(2);
    ASSERT_EQ(Sort(), std::pair(2, 1));
    ResultTable& table = dialog.Table();
    for (int i = 0; i < MaxRows; ++i) table.WriteNewRow(i, "10.0.0.1");
    table.RowCount = MaxRows;
    Paste(u"10.9.9.9"_s);
    EXPECT_EQ(MessageBox::Count(), 1);
    EXPECT_EQ(MessageBox::LastText(), u"Limit over."_s);
    EXPECT_EQ(table.RowCount, 9999);
    EXPECT_EQ(Sort(), std::pair(0, 0));

    // Short of the limit, a paste fills the table up and stops without a word.
    table.RowCount = MaxRows - 3;
    Paste(u"10.9.9.0-10.9.9.255"_s);
    EXPECT_EQ(table.RowCount, 9999);
    EXPECT_EQ(Stored(MaxRows - 3), (Addresses{"10.9.9.0", "10.9.9.1", "10.9.9.2"}));
    EXPECT_EQ(MessageBox::Count(), 1);
}

TEST_F(CommandsTest, HeaderClicksSortAndMoveTheIndicatorUnlessSortingIsOff) {
    MainDialog& dialog = OpenWith("10.0.0.1\n10.0.0.2\n10.0.0.3\n");
    struct Click {
        int Column, Direction;
        Addresses Order;
    };
    const Click clicks[] = {
        {0, 1, {"10.0.0.3", "10.0.0.2", "10.0.0.1"}},
        {2, 1, {"10.0.0.2", "10.0.0.3", "10.0.0.1"}},  // failures, then successes
        {2, 0, {"10.0.0.1", "10.0.0.3", "10.0.0.2"}},
        {1, 0, {"10.0.0.2", "10.0.0.1", "10.0.0.3"}},  // failed names before host names
    };
    for (const Click& c : clicks) {
        SCOPED_TRACE(c.Column);
        List()->selectRow(0);
        ClickHeader(c.Column);
        EXPECT_EQ(Sort(), std::pair(c.Column, c.Direction));
        EXPECT_EQ(Listed(), c.Order);
        EXPECT_EQ(SelectedCount(), 0);
    }
    dialog.MenuAction(Command::SortEnable)->trigger();
    ClickHeader(0);
    EXPECT_EQ(dialog.Header().IndicatorColumn(), -1);
    dialog.RefreshList();
    EXPECT_EQ(Listed(), (Addresses{"10.0.0.1", "10.0.0.2", "10.0.0.3"}));
    dialog.MenuAction(Command::SortEnable)->trigger();
    EXPECT_EQ(Sort(), std::pair(0, 0));
}

// A size in points is a cell height: the font's whole line fits it, a pixel more would not.
bool HasCellHeight(const QFont& font, int points) {
    const int cell = MulDivRound(points, QFontMetrics(font).fontDpi(), 72);
    QFont larger = font;
    larger.setPixelSize(font.pixelSize() + 1);
    return QFontMetrics(font).height() <= cell && QFontMetrics(larger).height() > cell;
}

TEST_F(CommandsTest, CtrlWheelZoomsTheListOnePointPerMessageBetween9And32) {
    MainDialog& dialog = OpenWith();
    auto wheel = [](QWidget* target, int delta, Qt::KeyboardModifiers modifiers) {
        const QPointF at = QRectF(target->rect()).center();
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    };
    QWidget* viewport = List()->viewport();
    ASSERT_EQ(List()->font().pointSize(), 9);
    const QFont header = dialog.Header().font();
    Range()->setEditText(u"typed"_s);
    Interval()->setCurrentIndex(1);
    ASSERT_EQ(Interval()->currentText(), u"256"_s);
    struct Step {
        int Delta;
        Qt::KeyboardModifiers Modifiers;
        QWidget* Over;
        int ListPoints, HeaderPoints;  // 0: the font the window opened with
    };
    const Step steps[] = {
        {-120, Qt::ControlModifier, viewport, 0, 0},  // floor
        {119, Qt::ControlModifier, viewport, 0, 0},   // less than a notch
        {120, Qt::NoModifier, viewport, 0, 0},        // scrolls, no zoom
        {-120, Qt::NoModifier, Interval(), 0, 0},     // changes nothing in an entry box
        {120, Qt::NoModifier, Range()->lineEdit(), 0, 0},
        {480, Qt::ControlModifier, viewport, 10, 0},  // one step per message
        {120, Qt::ControlModifier, Range(), 11, 0},
        {120, Qt::ControlModifier, dialog.Header().viewport(), 12, 0},
        {120, Qt::ControlModifier, viewport, 13, 0},
        {120, Qt::ControlModifier, viewport, 14, 16},
        {-120, Qt::ControlModifier, viewport, 13, 16},  // the header keeps its 16 points
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.ListPoints);
        wheel(s.Over, s.Delta, s.Modifiers);
        if (s.ListPoints == 0) {
            EXPECT_EQ(List()->font().pointSize(), 9);
        } else {
            EXPECT_TRUE(HasCellHeight(List()->font(), s.ListPoints));
        }
        if (s.HeaderPoints == 0) {
            EXPECT_EQ(dialog.Header().font(), header);
        } else {
            EXPECT_TRUE(HasCellHeight(dialog.Header().font(), s.HeaderPoints));
        }
        EXPECT_EQ(Interval()->currentText(), u"256"_s);
    }
    for (int i = 0; i < 25; ++i) wheel(viewport, 120, Qt::ControlModifier);
    EXPECT_TRUE(HasCellHeight(List()->font(), 32));
    for (int i = 0; i < 25; ++i) wheel(viewport, -120, Qt::ControlModifier);
    EXPECT_TRUE(HasCellHeight(List()->font(), 9));
    EXPECT_EQ(Range()->currentText(), u"typed"_s);
}

// A refresh keeps the last visible item in view, or shows the first rows when it is gone;
// rows flagged by Select All come back selected whatever was clicked in between.
TEST_F(CommandsTest, RefreshKeepsTheViewAndTheFlaggedSelection) {
    MainDialog& dialog = OpenWith("10.0.0.0-10.0.0.255\n");
    List()->scrollToBottom();
    const int top = List()->rowAt(0);
    ASSERT_GT(top, 200);
    dialog.Dispatch(Command::SelectAll);
    List()->selectRow(3);
    dialog.RefreshList();
    EXPECT_EQ(List()->rowAt(0), top);
    EXPECT_EQ(SelectedCount(), 256);

    Range()->setEditText(u"10.1.0.0-10.1.0.19"_s);
    dialog.Dispatch(Command::Register);
    ASSERT_TRUE(ShowAllAnswers());
    EXPECT_EQ(List()->rowAt(0), 0);
    EXPECT_EQ(SelectedCount(), 0);
}

// What is typed is registered, never a longer list item that begins with it.
TEST_F(CommandsTest, TypedTextIsRegisteredExactlyAsTyped) {
    MainDialog& dialog = OpenWith();
    Range()->setEditText(u"198.51.100.1-198.51.100.5"_s);
    dialog.Dispatch(Command::Register);
    for (const auto& [box, typed] : {std::pair{Range(), u"198.51.100.1"_s},
                                     std::pair{Interval(), u"2"_s}}) {
        Focus(box->lineEdit());
        box->lineEdit()->clear();
        QTest::keyClicks(box->lineEdit(), typed);
        EXPECT_EQ(box->currentText(), typed);
    }
    QTest::keyClick(Interval()->lineEdit(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.Table().RowCount == 1; }));
    EXPECT_EQ(Stored(), (Addresses{"198.51.100.1"}));
    const std::string settings = test::ReadFile(m_paths.SettingsFile);
    EXPECT_NE(settings.find("IpAdrsRange=198.51.100.1\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("IpIncrement=2\n"), std::string::npos) << settings;
}

// A session checkpoint (the desktop's commitDataRequest) saves, and the window goes on:
// it still resolves, and what changes later is saved when it closes.
TEST_F(CommandsTest, ACheckpointSavesAndTheWindowGoesOn) {
    MainDialog& dialog = OpenWith();
    Range()->setEditText(u"10.0.0.1-10.0.0.3"_s);
    dialog.Dispatch(Command::Register);
    dialog.SaveSettingsAndHistory();
    EXPECT_NE(test::ReadFile(m_paths.SettingsFile).find("CopyItem=1"), std::string::npos);
    EXPECT_NE(test::ReadFile(m_paths.HistoryFile).find("10.0.0.1-10.0.0.3"), std::string::npos);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return test::Pane(dialog, "progressStatusLabel") == u" Progress :    3/   3"_s; },
        10000));
    EXPECT_EQ(Listed(), (Addresses{"10.0.0.1", "10.0.0.2", "10.0.0.3"}));
    dialog.Dispatch(Command::CopyItemHostName);
    dialog.close();
    EXPECT_NE(test::ReadFile(m_paths.SettingsFile).find("CopyItem=3"), std::string::npos);
}

TEST_F(CommandsTest, OptionTogglesShowCheckMarksAndAreWrittenAtClose) {
    struct Option {
        Command Item;
        bool CheckedAtFirst;
        const char* Stored;  // after one toggle
    };
    const Option options[] = {
        {Command::WindowTopMost, false, "WindowTopMost=1"},
        {Command::UseNbt, false, "NBT=1"},
        {Command::History, true, "History=0"},
        {Command::SortEnable, true, "SortEnable=0"},
    };
    // The stays-on-top band, as the native window and the widget each have it.
    auto onTop = [](const MainDialog& d) {
        return std::pair(d.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint),
                         d.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    };
    MainDialog& dialog = OpenWith();
    const QRect geometry = dialog.geometry();
    for (const Option& o : options) {
        SCOPED_TRACE(o.Stored);
        QAction* action = dialog.MenuAction(o.Item);
        EXPECT_TRUE(action->isCheckable());
        EXPECT_EQ(action->isChecked(), o.CheckedAtFirst);
        for (int i = 1; i <= 3; ++i) {
            action->trigger();
            EXPECT_EQ(action->isChecked(), o.CheckedAtFirst != (i % 2 == 1));
        }
    }
    EXPECT_EQ(onTop(dialog), std::pair(true, true));
    EXPECT_EQ(dialog.geometry(), geometry);  // the band changes, the window stays where it is
    dialog.Dispatch(Command::CopyItemHostName);
    dialog.MenuAction(Command::Exit)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }));
    const std::string settings = test::ReadFile(m_paths.SettingsFile);
    for (const char* stored :
         {"WindowTopMost=1", "NBT=1", "History=0", "SortEnable=0", "CopyItem=3"}) {
        EXPECT_NE(settings.find(stored), std::string::npos) << stored << "\n" << settings;
    }

    MainDialog& reopened = Open(ResolutionEngine::Create(FakeLookup));
    for (const Option& o : options) {
        EXPECT_EQ(reopened.MenuAction(o.Item)->isChecked(), !o.CheckedAtFirst) << o.Stored;
    }
    EXPECT_EQ(onTop(reopened), std::pair(true, true));
    EXPECT_EQ(reopened.Header().IndicatorColumn(), -1);
    reopened.MenuAction(Command::WindowTopMost)->trigger();
    EXPECT_EQ(onTop(reopened), std::pair(false, false));
    EXPECT_TRUE(reopened.isVisible());
}

TEST_F(CommandsTest, MenuBarTextsClearCacheAndModalAboutBox) {
    MainDialog& dialog = OpenWith("10.0.0.1\n10.0.0.3\n");
    QStringList titles;
    for (QAction* menu : dialog.menuBar()->actions()) {
        titles << menu->text();
        for (QAction* item : menu->menu()->actions()) EXPECT_TRUE(item->isEnabled());
    }
    EXPECT_EQ(titles, QStringList({u"FILE(&F)"_s, u"VIEW(&V)"_s, u"SETTING(&S)"_s, u"HELP(&H)"_s}));
    EXPECT_EQ(dialog.MenuAction(Command::Exit)->text(), u"EXIT(&X)\tESC  or  Alt+F4"_s);
    const QList<QAction*> setting = dialog.menuBar()->actions().at(2)->menu()->actions();
    ASSERT_EQ(setting.size(), 5);
    EXPECT_TRUE(setting.at(3)->isSeparator());
    EXPECT_EQ(setting.at(4), dialog.MenuAction(Command::ClearCache));
    EXPECT_EQ(setting.at(4)->text(), u"Claer internal DNS Cache(&C)"_s);

    // Clearing the cache forgets the answers and keeps the rows and the window as they are.
    ASSERT_EQ(m_engine->Cache().Size(), 2u);
    const QRect geometry = dialog.geometry();
    dialog.MenuAction(Command::ClearCache)->trigger();
    EXPECT_EQ(m_engine->Cache().Size(), 0u);
    EXPECT_EQ(Listed(), (Addresses{"10.0.0.1", "10.0.0.3"}));
    EXPECT_EQ(dialog.geometry(), geometry);

    // The about box opens without a nested event loop and goes away on Esc.
    dialog.MenuAction(Command::About)->trigger();
    QPointer<QWidget> about = QApplication::activeModalWidget();
    ASSERT_FALSE(about.isNull());
    EXPECT_EQ(about->objectName(), u"aboutDialog"_s);
    QTest::keyClick(about, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&about] { return about.isNull(); }));
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(CommandsTest, BandAndBottomStripArePaintedFromTheButtonFace) {
    const QPalette original = QApplication::palette();
    QPalette palette = original;
    const QColor face(100, 150, 200);
    palette.setColor(QPalette::Button, face);
    palette.setColor(QPalette::Window, QColor(250, 250, 250));
    QApplication::setPalette(palette);
    MainDialog& dialog = OpenWith();
    const QImage image = dialog.grab().toImage();
    QApplication::setPalette(original);
    const QRect client = dialog.centralWidget()->geometry();
    const int x = client.right() - 3;  // clear of the controls on the band
    EXPECT_EQ(image.pixelColor(x, client.top()), ShiftColor(face, +16));
    const int lower = image.pixelColor(x, client.top() + 60).red();
    EXPECT_TRUE(lower < ShiftColor(face, +16).red() && lower > ShiftColor(face, -16).red());
    const QRect bar = dialog.statusBar()->geometry();
    EXPECT_EQ(bar.height(), kStatusBarHeight);
    EXPECT_EQ(bar.bottom(), dialog.height() - 1);
    EXPECT_EQ(image.pixelColor(bar.left() + 520, bar.center().y()), face);

    // The panes end at 170, 320 and 470 pixels, at any width; the last one at the edge.
    for (const int width : {600, dialog.minimumWidth()}) {
        dialog.resize(width, dialog.height());
        QTest::qWait(1);
        std::vector<int> edges;
        for (const char* pane : {"timeStatusLabel", "progressStatusLabel", "successStatusLabel",
                                 "spareStatusLabel"}) {
            const QRect at = test::Child<QLabel>(dialog, pane)->geometry();
            edges.push_back(at.left() + at.width());
        }
        EXPECT_EQ(edges, (std::vector<int>{170, 320, 470, std::max(470, width)})) << width;
    }
}

}  // namespace
}  // namespace ip2h
