// The main window's commands driven through the real window: keys, menus, the list's popup
// menu, the system clipboard and the zoom. Lookups go through an injected resolver.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <atomic>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "app/Language.h"
#include "resolver/WorkerSlots.h"
#include "results/FixedText.h"
#include "results/ResultTable.h"
#include "support/TempDir.h"
#include "ui/MainDialog.h"
#include "ui/MessageBox.h"
#include "ui/Painting.h"
#include "ui/ResultModel.h"
#include "ui/SortHeader.h"

namespace ip2h {
namespace {

using Addresses = std::vector<std::string>;

// Odd last fields resolve to "h<field>.example.com", even ones fail.
std::string FakeLookup(const std::string& address) {
    const int last = std::stoi(address.substr(address.rfind('.') + 1));
    if (last % 2 == 1) return "h" + std::to_string(last) + ".example.com";
    return address;
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) return false;
        QTest::qWait(10);
    }
    return true;
}

// Keys go to whatever has the focus, as typed keys do.
void Type(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(static_cast<QWidget*>(nullptr), static_cast<Qt::Key>(key), modifiers);
}

void Wheel(QWidget* target, int delta, Qt::KeyboardModifiers modifiers) {
    const QPointF local = QRectF(target->rect()).center();
    QWheelEvent event(local, target->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

QString Clipboard() {
    return QApplication::clipboard()->text();
}

QAction* FindAction(const QMenu& menu, Command command) {
    for (QAction* action : menu.actions()) {
        if (action->menu() != nullptr) {
            if (QAction* inner = FindAction(*action->menu(), command)) return inner;
        } else if (action->data().toInt() == static_cast<int>(command)) {
            return action;
        }
    }
    return nullptr;
}

class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetLanguageCode("EN");
        MessageBox::resetForTest();
        MessageBox::setRecordOnly(true);
        QApplication::clipboard()->clear();
        m_paths.SettingsFile = m_dir / "x.ini";
        m_paths.HistoryFile = m_dir / "x_history.txt";
    }
    void TearDown() override {
        m_dialog.reset();
        MessageBox::resetForTest();
    }

    MainDialog& Open(ResolutionEngine::LookupFunction lookup = FakeLookup) {
        m_dialog.reset();
        m_engine = ResolutionEngine::Create(std::move(lookup));
        m_dialog = std::make_unique<MainDialog>(m_paths, m_engine);
        m_dialog->Open();
        m_dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
        return *m_dialog;
    }

    QComboBox* Range() const { return Child<QComboBox>("rangeComboBox"); }
    QComboBox* Interval() const { return Child<QComboBox>("intervalComboBox"); }
    QTableView* List() const { return &m_dialog->ListView(); }
    template <class T>
    T* Child(const char* name) const {
        T* child = m_dialog->findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    void Focus(QWidget* widget) {
        widget->setFocus(Qt::OtherFocusReason);
        EXPECT_TRUE(WaitFor([widget] { return widget->hasFocus(); }));
    }

    void Paste(const QString& text) {
        QApplication::clipboard()->setText(text);
        m_dialog->Dispatch(Command::Paste);
    }

    // Refreshes until the list shows every row with its answer and no worker is busy.
    bool ShowAllAnswers() {
        return WaitFor([this] {
            m_dialog->RefreshList();
            const ResultModel& model = m_dialog->Model();
            if (model.rowCount() != m_dialog->Table().RowCount) return false;
            for (int row = 0; row < model.rowCount(); ++row) {
                if (model.Cells(row)[2] == "-") return false;
            }
            return !m_engine->AnyWorkerRunning();
        });
    }

    Addresses Listed() const {
        Addresses out;
        for (int row = 0; row < m_dialog->Model().rowCount(); ++row) {
            out.emplace_back(m_dialog->Model().Cells(row)[0]);
        }
        return out;
    }
    Addresses Stored(int from = 0) const {
        Addresses out;
        const ResultTable& table = m_dialog->Table();
        for (int i = from; i < table.RowCount; ++i)
            out.emplace_back(FieldText(table.Rows[i].Address));
        return out;
    }
    int SelectedCount() const {
        return static_cast<int>(List()->selectionModel()->selectedRows().size());
    }

    void ClickHeader(int column) {
        SortHeader& header = m_dialog->Header();
        const QPoint at(header.sectionViewportPosition(column) + header.sectionSize(column) / 2,
                        header.height() / 2);
        QTest::mouseClick(header.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }

    test::TempDir m_dir;
    SettingsPaths m_paths;
    std::shared_ptr<ResolutionEngine> m_engine;
    std::unique_ptr<MainDialog> m_dialog;
};

TEST_F(CommandsTest, CtrlACVActOnTheListWhicheverControlHasTheFocus) {
    MainDialog& dialog = Open();
    Paste(QStringLiteral("192.0.2.1\n192.0.2.2\n"));
    ASSERT_TRUE(ShowAllAnswers());
    QLineEdit* rangeEdit = Range()->lineEdit();
    QLineEdit* intervalEdit = Interval()->lineEdit();

    for (QWidget* target : {static_cast<QWidget*>(Range()), static_cast<QWidget*>(Interval()),
                            static_cast<QWidget*>(List()),
                            static_cast<QWidget*>(Child<QPushButton>("registerPushButton"))}) {
        SCOPED_TRACE(target->objectName().toStdString());
        dialog.Table().SetSelectedWhere([](const ResultEntry&) { return false; });
        dialog.RefreshList();
        rangeEdit->setText(QStringLiteral("typed"));
        intervalEdit->setText(QStringLiteral("7"));
        Focus(target);
        // Selected typed text is what the boxes' own Ctrl+C and Ctrl+V would act on.
        rangeEdit->selectAll();
        intervalEdit->selectAll();

        Type(Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(SelectedCount(), dialog.Table().RowCount);

        Type(Qt::Key_C, Qt::ControlModifier);
        QString lines;
        for (const std::string& address : Listed()) {
            lines += QString::fromStdString(address) + QStringLiteral("\r\n");
        }
        EXPECT_EQ(Clipboard(), lines);

        const int rows = dialog.Table().RowCount;
        QApplication::clipboard()->setText(QStringLiteral("10.1.1.1"));
        Type(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(dialog.Table().RowCount, rows + 1);

        EXPECT_EQ(rangeEdit->text(), QStringLiteral("typed"));
        EXPECT_EQ(intervalEdit->text(), QStringLiteral("7"));
        EXPECT_TRUE(dialog.isVisible());
    }

    Focus(Range());
    Type(Qt::Key_F4, Qt::AltModifier);
    EXPECT_TRUE(WaitFor([&] { return !dialog.isVisible(); }));
}

TEST_F(CommandsTest, EnterEscAndF1ByFocusAndDropDownState) {
    enum Effect { Nothing, Registers, Closes };
    struct Case {
        const char* Focus;
        int Key;
        bool DropDownOpen;
        Effect Expected;
    };
    const Case cases[] = {
        {"rangeComboBox", Qt::Key_Return, false, Registers},
        {"intervalComboBox", Qt::Key_Enter, false, Registers},
        {"rangeComboBox", Qt::Key_Escape, false, Closes},
        {"intervalComboBox", Qt::Key_Escape, false, Closes},
        // Elsewhere the keys act as in a dialog: the default button, and cancel.
        {"resultTableView", Qt::Key_Return, false, Registers},
        {"resultTableView", Qt::Key_Escape, false, Closes},
        // An open drop-down list keeps both keys for itself.
        {"rangeComboBox", Qt::Key_Return, true, Nothing},
        {"intervalComboBox", Qt::Key_Escape, true, Nothing},
        {"rangeComboBox", Qt::Key_F1, false, Nothing},
        {"resultTableView", Qt::Key_F1, false, Nothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Focus) + " key " + std::to_string(c.Key) +
                     (c.DropDownOpen ? " with the list open" : ""));
        MainDialog& dialog = Open();
        Range()->setEditText(QStringLiteral("10.0.0.0-10.0.0.3"));
        Interval()->setEditText(QStringLiteral("1"));
        auto* combo = m_dialog->findChild<QComboBox*>(QLatin1String(c.Focus));
        Focus(combo != nullptr ? static_cast<QWidget*>(combo) : List());
        if (c.DropDownOpen) {
            combo->showPopup();
            ASSERT_TRUE(WaitFor([combo] { return combo->view()->isVisible(); }));
        }
        Type(c.Key);
        switch (c.Expected) {
            case Registers:
                EXPECT_TRUE(WaitFor([&] { return dialog.Table().RowCount == 4; }));
                EXPECT_TRUE(dialog.isVisible());
                break;
            case Closes:
                EXPECT_TRUE(WaitFor([&] { return !dialog.isVisible(); }));
                break;
            case Nothing:
                QTest::qWait(50);
                EXPECT_EQ(dialog.Table().RowCount, 0);
                EXPECT_TRUE(dialog.isVisible());
                EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
                if (c.DropDownOpen) {
                    EXPECT_TRUE(WaitFor([combo] { return !combo->view()->isVisible(); }));
                }
                break;
        }
    }
}

TEST_F(CommandsTest, DeleteKeyDeletesRowsOnlyWhileTheListHasTheFocus) {
    MainDialog& dialog = Open();
    Paste(QStringLiteral("10.0.0.1\n10.0.0.2\n10.0.0.3\n"));
    ASSERT_TRUE(ShowAllAnswers());
    List()->selectRow(1);

    // In an entry box the key edits the text there.
    Focus(Range());
    Range()->lineEdit()->setText(QStringLiteral("x10.0.0.0"));
    Range()->lineEdit()->setCursorPosition(0);
    Type(Qt::Key_Delete);
    QTest::qWait(20);
    EXPECT_EQ(Range()->lineEdit()->text(), QStringLiteral("10.0.0.0"));
    EXPECT_EQ(dialog.Table().RowCount, 3);

    Focus(List());
    List()->selectRow(1);
    Type(Qt::Key_Delete);
    EXPECT_TRUE(WaitFor([&] { return dialog.Table().RowCount == 2; }));
    EXPECT_EQ(Listed(), (Addresses{"10.0.0.1", "10.0.0.3"}));
    EXPECT_EQ(Range()->lineEdit()->text(), QStringLiteral("10.0.0.0"));
}

TEST_F(CommandsTest, PopupMenuEnablesItemsByTheListStateAndTogglesCopyItems) {
    struct Enabled {
        bool Copy, Paste, Delete, SelectAll, SelectSuccess, SelectFailure;
    };
    MainDialog& dialog = Open();
    auto expectEnabled = [&](const Enabled& e) {
        const std::unique_ptr<QMenu> menu = dialog.BuildListContextMenu();
        const std::pair<Command, bool> expected[] = {
            {Command::Copy, e.Copy},
            {Command::Paste, e.Paste},
            {Command::Delete, e.Delete},
            {Command::SelectAll, e.SelectAll},
            {Command::SelectSuccess, e.SelectSuccess},
            {Command::SelectFailure, e.SelectFailure},
            {Command::CopyItemAddress, true},
            {Command::CopyItemHostName, true},
        };
        for (const auto& [command, enabled] : expected) {
            QAction* action = FindAction(*menu, command);
            ASSERT_NE(action, nullptr) << static_cast<int>(command);
            EXPECT_EQ(action->isEnabled(), enabled) << static_cast<int>(command);
        }
    };
    {
        SCOPED_TRACE("no items");
        expectEnabled({false, true, false, false, false, false});
    }
    Paste(QStringLiteral("10.0.0.1\n10.0.0.2\n"));
    {
        // Rows pasted but not yet listed still count as no items.
        SCOPED_TRACE("rows not listed yet");
        expectEnabled({false, true, false, false, false, false});
    }
    ASSERT_TRUE(ShowAllAnswers());
    {
        SCOPED_TRACE("items, none selected");
        expectEnabled({false, true, false, true, true, true});
    }
    List()->selectRow(0);
    {
        SCOPED_TRACE("one selected");
        expectEnabled({true, true, true, true, true, true});
    }

    // The Copy Item marks show the bits as they are when the menu opens; choosing an item
    // flips its bit only.
    struct Toggle {
        Command Choose;
        int CopyItems;
    };
    for (const Toggle& t :
         {Toggle{Command::CopyItemAddress, 0}, Toggle{Command::CopyItemHostName, 2},
          Toggle{Command::CopyItemAddress, 3}}) {
        FindAction(*dialog.BuildListContextMenu(), t.Choose)->trigger();
        EXPECT_EQ(dialog.CopyItems(), t.CopyItems);
        const std::unique_ptr<QMenu> menu = dialog.BuildListContextMenu();
        EXPECT_EQ(FindAction(*menu, Command::CopyItemAddress)->isChecked(), (t.CopyItems & 1) != 0);
        EXPECT_EQ(FindAction(*menu, Command::CopyItemHostName)->isChecked(),
                  (t.CopyItems & 2) != 0);
    }
    EXPECT_EQ(SelectedCount(), 1);
}

TEST_F(CommandsTest, PopupMenuOpensWhereAskedAndItsItemsRunTheirCommands) {
    MainDialog& dialog = Open();
    Paste(QStringLiteral("10.0.0.1\n10.0.0.2\n10.0.0.3\n"));
    ASSERT_TRUE(ShowAllAnswers());
    Focus(Range());

    // From the keyboard: beside the client area's top-left corner, the list takes the focus.
    QContextMenuEvent fromKeyboard(QContextMenuEvent::Keyboard, QPoint(3, 3),
                                   List()->mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(List(), &fromKeyboard);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->pos(), dialog.centralWidget()->mapToGlobal(QPoint(5, 5)));
    EXPECT_TRUE(List()->hasFocus());
    QTest::keyClick(menu, Qt::Key_F);  // "Select Failure(&F)"
    EXPECT_TRUE(WaitFor([] { return QApplication::activePopupWidget() == nullptr; }));
    EXPECT_EQ(SelectedCount(), 1);

    // From the mouse: at the cursor.
    const QPoint cursor = List()->viewport()->mapToGlobal(QPoint(20, 10));
    QContextMenuEvent fromMouse(QContextMenuEvent::Mouse, QPoint(20, 10), cursor);
    QApplication::sendEvent(List()->viewport(), &fromMouse);
    menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->pos(), cursor);
    QTest::keyClick(menu, Qt::Key_D);  // "Delete(&D)"
    EXPECT_TRUE(WaitFor([] { return QApplication::activePopupWidget() == nullptr; }));
    EXPECT_EQ(Listed(), (Addresses{"10.0.0.1", "10.0.0.3"}));

    // The header is not the list: no popup there.
    QContextMenuEvent onHeader(QContextMenuEvent::Mouse, QPoint(5, 5),
                               dialog.Header().mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(dialog.Header().viewport(), &onHeader);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
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
        MainDialog& dialog = Open();
        Paste(QStringLiteral("192.0.2.1\n192.0.2.2\n"));
        ASSERT_TRUE(ShowAllAnswers());
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

TEST_F(CommandsTest, CopyWithoutSelectionEmptiesTheClipboardAndWithoutRowsLeavesIt) {
    MainDialog& dialog = Open();
    QApplication::clipboard()->setText(QStringLiteral("kept"));
    dialog.Dispatch(Command::Copy);
    EXPECT_EQ(Clipboard(), QStringLiteral("kept"));

    Paste(QStringLiteral("10.0.0.1"));
    ASSERT_TRUE(ShowAllAnswers());
    QApplication::clipboard()->setText(QStringLiteral("kept"));
    dialog.Dispatch(Command::Copy);
    EXPECT_EQ(Clipboard(), QString());
}

TEST_F(CommandsTest, PasteCleansTheTextAndReadsEveryLine) {
    struct Case {
        const char* Clipboard;
        Addresses Added;
    };
    const Case cases[] = {
        {"\"10.0.0.1\"", {"10.0.0.1"}},
        {" 10.0.0.1\t", {"10.0.0.1"}},
        {"'10.0.0.1'\r\n\"10.0.0.2\"\r\n", {"10.0.0.1", "10.0.0.2"}},
        {"10.0.0.1,10.0.0.2", {}},  // a comma separates nothing
        {"192.168.000.001\n", {"192.168.000.001"}},
        {"10.0.0.0 - 10.0.0.3", {"10.0.0.0", "10.0.0.1", "10.0.0.2", "10.0.0.3"}},
        {"1.2.3.4\r\n\r\nnot an address\r\n5.6.7.8\r\n", {"1.2.3.4", "5.6.7.8"}},
        // An unterminated last line counts like any other.
        {"8.8.8.8\n9.9.9.9", {"8.8.8.8", "9.9.9.9"}},
        {"10.0.0.1\n", {"10.0.0.1"}},
        {"", {}},
    };
    MainDialog& dialog = Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Clipboard);
        const int before = dialog.Table().RowCount;
        Paste(QString::fromUtf8(c.Clipboard));
        EXPECT_EQ(Stored(before), c.Added);
    }

    // Ranges step by the interval box's text, which the paste leaves as typed.
    struct IntervalCase {
        const char* Interval;
        const char* Range;
        Addresses Added;
    };
    const IntervalCase intervals[] = {
        {"64", "10.0.1.0-10.0.1.255", {"10.0.1.0", "10.0.1.64", "10.0.1.128", "10.0.1.192"}},
        {"2", "10.0.2.0-10.0.2.5", {"10.0.2.0", "10.0.2.2", "10.0.2.4"}},
    };
    for (const IntervalCase& c : intervals) {
        SCOPED_TRACE(c.Interval);
        Interval()->setEditText(QString::fromUtf8(c.Interval));
        const int before = dialog.Table().RowCount;
        Paste(QString::fromUtf8(c.Range));
        EXPECT_EQ(Stored(before), c.Added);
        EXPECT_EQ(Interval()->currentText(), QString::fromUtf8(c.Interval));
    }
    EXPECT_EQ(MessageBox::count(), 0);
}

TEST_F(CommandsTest, PasteOnAFullTableSaysLimitOverAndStillResetsTheSort) {
    MainDialog& dialog = Open();
    ClickHeader(2);
    ClickHeader(2);
    ASSERT_EQ(dialog.Sort().Column, 2);
    ASSERT_EQ(dialog.Sort().Direction, 1);

    ResultTable& table = dialog.Table();
    for (int i = 0; i < MaxRows; ++i) table.WriteNewRow(i, "10.0.0.1");
    table.RowCount = MaxRows;
    Paste(QStringLiteral("10.9.9.9"));
    EXPECT_EQ(MessageBox::count(), 1);
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Limit over."));
    EXPECT_EQ(table.RowCount, MaxRows);
    EXPECT_EQ(dialog.Sort().Column, 0);
    EXPECT_EQ(dialog.Sort().Direction, 0);
    EXPECT_EQ(dialog.Header().IndicatorColumn(), 0);
    EXPECT_EQ(dialog.Header().IndicatorDirection(), 0);

    // Short of the limit, a paste fills the table up and stops without a word.
    table.RowCount = MaxRows - 3;
    Paste(QStringLiteral("10.9.9.0-10.9.9.255"));
    EXPECT_EQ(table.RowCount, MaxRows);
    EXPECT_EQ(Stored(MaxRows - 3), (Addresses{"10.9.9.0", "10.9.9.1", "10.9.9.2"}));
    EXPECT_EQ(MessageBox::count(), 1);
}

TEST_F(CommandsTest, HeaderClicksSortAndMoveTheIndicatorUnlessSortingIsOff) {
    MainDialog& dialog = Open();
    Paste(QStringLiteral("10.0.0.1\n10.0.0.2\n10.0.0.3\n"));
    ASSERT_TRUE(ShowAllAnswers());
    struct Click {
        int Column;
        int SortColumn;
        int Direction;
        Addresses Order;
    };
    const Click clicks[] = {
        {0, 0, 1, {"10.0.0.3", "10.0.0.2", "10.0.0.1"}},
        {2, 2, 1, {"10.0.0.2", "10.0.0.3", "10.0.0.1"}},  // failures, then successes
        {2, 2, 0, {"10.0.0.1", "10.0.0.3", "10.0.0.2"}},
        {1, 1, 0, {"10.0.0.2", "10.0.0.1", "10.0.0.3"}},  // failed names before host names
    };
    for (const Click& c : clicks) {
        SCOPED_TRACE(c.Column);
        List()->selectRow(0);
        ClickHeader(c.Column);
        EXPECT_EQ(dialog.Header().IndicatorColumn(), c.SortColumn);
        EXPECT_EQ(dialog.Header().IndicatorDirection(), c.Direction);
        EXPECT_EQ(Listed(), c.Order);
        EXPECT_EQ(SelectedCount(), 0);
    }

    dialog.MenuAction(Command::SortEnable)->trigger();
    EXPECT_EQ(dialog.Header().IndicatorColumn(), -1);
    ClickHeader(0);
    EXPECT_EQ(dialog.Header().IndicatorColumn(), -1);
    dialog.RefreshList();
    EXPECT_EQ(Listed(), (Addresses{"10.0.0.1", "10.0.0.2", "10.0.0.3"}));

    dialog.MenuAction(Command::SortEnable)->trigger();
    EXPECT_EQ(dialog.Header().IndicatorColumn(), 0);
    EXPECT_EQ(dialog.Header().IndicatorDirection(), 0);
}

TEST_F(CommandsTest, CtrlWheelZoomsTheListOnePointPerMessageBetween9And32) {
    MainDialog& dialog = Open();
    QWidget* viewport = List()->viewport();
    ASSERT_EQ(List()->font().pointSize(), 9);
    const int headerStart = dialog.Header().font().pointSize();
    Range()->setEditText(QStringLiteral("typed"));

    struct Step {
        int Delta;
        Qt::KeyboardModifiers Modifiers;
        QWidget* Over;
        int ListPoints;
        int HeaderPoints;
    };
    const Step steps[] = {
        {-120, Qt::ControlModifier, viewport, 9, headerStart},  // floor
        {119, Qt::ControlModifier, viewport, 9, headerStart},   // less than a notch
        {120, Qt::NoModifier, viewport, 9, headerStart},        // scrolls, no zoom
        {480, Qt::ControlModifier, viewport, 10, headerStart},  // one step per message
        {120, Qt::ControlModifier, Range(), 11, headerStart},
        {120, Qt::ControlModifier, dialog.Header().viewport(), 12, headerStart},
        {120, Qt::ControlModifier, viewport, 13, headerStart},
        {120, Qt::ControlModifier, viewport, 14, 16},
        {120, Qt::ControlModifier, viewport, 15, 16},
        {-120, Qt::ControlModifier, viewport, 14, 16},
        {-120, Qt::ControlModifier, viewport, 13, 16},  // the header keeps its 16 points
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.Delta);
        Wheel(s.Over, s.Delta, s.Modifiers);
        EXPECT_EQ(List()->font().pointSize(), s.ListPoints);
        EXPECT_EQ(dialog.Header().font().pointSize(), s.HeaderPoints);
    }
    for (int i = 0; i < 25; ++i) Wheel(viewport, 120, Qt::ControlModifier);
    EXPECT_EQ(List()->font().pointSize(), 32);
    for (int i = 0; i < 25; ++i) Wheel(viewport, -120, Qt::ControlModifier);
    EXPECT_EQ(List()->font().pointSize(), 9);
    EXPECT_EQ(dialog.Header().font().pointSize(), 16);
    EXPECT_EQ(Range()->currentText(), QStringLiteral("typed"));
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
    MainDialog& dialog = Open();
    const QRect geometry = dialog.geometry();
    for (const Option& o : options) {
        SCOPED_TRACE(o.Stored);
        QAction* action = dialog.MenuAction(o.Item);
        ASSERT_NE(action, nullptr);
        EXPECT_TRUE(action->isCheckable());
        EXPECT_EQ(action->isChecked(), o.CheckedAtFirst);
        for (int i = 1; i <= 3; ++i) {
            action->trigger();
            EXPECT_EQ(action->isChecked(), o.CheckedAtFirst != (i % 2 == 1));
        }
    }
    // The band changes, the window neither moves nor resizes.
    EXPECT_TRUE(dialog.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(dialog.geometry(), geometry);
    EXPECT_EQ(dialog.TopMost(), 1);
    FindAction(*dialog.BuildListContextMenu(), Command::CopyItemHostName)->trigger();

    dialog.MenuAction(Command::Exit)->trigger();
    ASSERT_TRUE(WaitFor([&] { return !dialog.isVisible(); }));
    const std::string settings = test::ReadFile(m_paths.SettingsFile);
    for (const Option& o : options) {
        EXPECT_NE(settings.find(o.Stored), std::string::npos) << o.Stored << "\n" << settings;
    }
    EXPECT_NE(settings.find("CopyItem=3"), std::string::npos) << settings;

    MainDialog& reopened = Open();
    for (const Option& o : options) {
        EXPECT_EQ(reopened.MenuAction(o.Item)->isChecked(), !o.CheckedAtFirst) << o.Stored;
    }
    EXPECT_TRUE(reopened.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(reopened.Header().IndicatorColumn(), -1);
    reopened.MenuAction(Command::WindowTopMost)->trigger();
    EXPECT_FALSE(reopened.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(reopened.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(reopened.isVisible());
}

TEST_F(CommandsTest, ExitDuringARunClosesAtOnceWithoutWaitingForLookups) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> started{0};
    MainDialog& dialog = Open([released, &started](const std::string& address) {
        ++started;
        released.wait();
        return address;
    });
    Paste(QStringLiteral("10.0.0.1\n10.0.0.2\n"));
    dialog.RefreshList();
    ASSERT_TRUE(WaitFor([&] { return started == 2 && m_engine->AnyWorkerRunning(); }));

    QElapsedTimer clock;
    clock.start();
    dialog.MenuAction(Command::Exit)->trigger();
    EXPECT_TRUE(WaitFor([&] { return !dialog.isVisible(); }, 1000));
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_NE(test::ReadFile(m_paths.SettingsFile).find("CopyItem=1"), std::string::npos);
    release.set_value();
    EXPECT_TRUE(WaitFor([&] { return !m_engine->AnyWorkerRunning(); }));
}

TEST_F(CommandsTest, MenuBarItemsCarryTheirIdsMnemonicsAndShortcutText) {
    MainDialog& dialog = Open();
    QStringList titles;
    for (QAction* menu : dialog.menuBar()->actions()) titles << menu->text();
    EXPECT_EQ(titles, (QStringList{QStringLiteral("FILE(&F)"), QStringLiteral("VIEW(&V)"),
                                   QStringLiteral("SETTING(&S)"), QStringLiteral("HELP(&H)")}));
    EXPECT_EQ(dialog.MenuAction(Command::Exit)->text(),
              QStringLiteral("EXIT(&X)\tESC  or  Alt+F4"));
    const QList<QAction*> setting = dialog.menuBar()->actions().at(2)->menu()->actions();
    ASSERT_EQ(setting.size(), 5);
    EXPECT_TRUE(setting.at(3)->isSeparator());
    EXPECT_EQ(setting.at(4)->text(), QStringLiteral("Claer internal DNS Cache(&C)"));
    EXPECT_EQ(setting.at(4)->data().toInt(), 32785);
    for (QAction* menu : dialog.menuBar()->actions()) {
        for (QAction* item : menu->menu()->actions()) {
            EXPECT_TRUE(item->isEnabled()) << item->text().toStdString();
        }
    }
}

TEST_F(CommandsTest, ClearingTheCacheForgetsAnswersAndKeepsTheRows) {
    MainDialog& dialog = Open();
    Paste(QStringLiteral("10.0.0.1\n10.0.0.3\n"));
    ASSERT_TRUE(ShowAllAnswers());
    ASSERT_EQ(m_engine->Cache().Size(), 2u);
    const QRect geometry = dialog.geometry();

    dialog.MenuAction(Command::ClearCache)->trigger();
    EXPECT_EQ(m_engine->Cache().Size(), 0u);
    EXPECT_EQ(Listed(), (Addresses{"10.0.0.1", "10.0.0.3"}));
    EXPECT_EQ(dialog.geometry(), geometry);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(CommandsTest, AboutBoxOpensModallyFromTheHelpMenu) {
    MainDialog& dialog = Open();
    QString seen;
    QTimer closer;
    closer.setInterval(10);
    QObject::connect(&closer, &QTimer::timeout, &closer, [&seen] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            seen = modal->objectName();
            QTest::keyClick(modal, Qt::Key_Escape);
        }
    });
    closer.start();
    dialog.MenuAction(Command::HelpAbout)->trigger();  // returns once the box has ended
    closer.stop();
    EXPECT_EQ(seen, QStringLiteral("aboutDialog"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(CommandsTest, BandAndBottomStripArePaintedFromTheButtonFace) {
    const QPalette original = QApplication::palette();
    QPalette palette = original;
    const QColor face(100, 150, 200);
    palette.setColor(QPalette::Button, face);
    palette.setColor(QPalette::Window, QColor(250, 250, 250));
    QApplication::setPalette(palette);

    MainDialog& dialog = Open();
    const QImage image = dialog.grab().toImage();
    const QRect client = dialog.centralWidget()->geometry();
    const int x = client.right() - 3;  // clear of the controls on the band
    EXPECT_EQ(image.pixelColor(x, client.top()), ShiftColor(face, +16));
    const QColor lower = image.pixelColor(x, client.top() + 60);
    EXPECT_LT(lower.red(), ShiftColor(face, +16).red());
    EXPECT_GT(lower.red(), ShiftColor(face, -16).red());

    const QRect bar = dialog.statusBar()->geometry();
    EXPECT_EQ(bar.height(), kBackgroundStripHeight);
    EXPECT_EQ(bar.bottom(), dialog.height() - 1);
    EXPECT_EQ(image.pixelColor(bar.left() + 520, bar.center().y()), face);

    m_dialog.reset();
    QApplication::setPalette(original);
}

}  // namespace
}  // namespace ip2h
