// The main window's commands driven through the real window: keys, menus, the clipboard and
// the zoom. Lookups go through an injected resolver.
#include <QAction>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpontaneKeyEvent>
#include <QStatusBar>
#include <QTableView>
#include <QToolTip>
#include <QWheelEvent>
#include <QWindow>

#include <filesystem>
#include <string>
#include <vector>

#include "WindowHarness.h"
#include "base/FixedText.h"
#include "ui/DialogMetrics.h"
#include "ui/Painting.h"
#include "ui/ResultModel.h"
#include "ui/SortHeader.h"

namespace ip2h {
namespace {

using Addresses = std::vector<std::string>;
using namespace Qt::StringLiterals;

// A name of 250 characters, internationalised under a domain outside Qt's own list.
const std::string kLongName = "xn--bcher-kva." + std::string(233, 'a') + ".ru";

// The order registering and pasting put an enabled sort back to.
constexpr SortIndicator kFirstAscending{ListColumn::Address, SortDirection::Ascending};

// Odd last fields resolve to "h<field>.example.com", even ones fail; 99 has the long name.
std::string FakeLookup(const std::string& address, LookupOptions) {
    const int last = std::stoi(address.substr(address.rfind('.') + 1));
    if (last == 99) return kLongName;
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
    QTableView* List() const { return test::Child<QTableView>(*m_dialog, "resultTableView"); }
    SortHeader& Header() const { return *test::Child<SortHeader>(*m_dialog, "sortHeader"); }
    QAction* Action(const char* name) const { return test::Child<QAction>(*m_dialog, name); }

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
    // The sort column and direction as the header's indicator shows them.
    std::optional<SortIndicator> Sort() const { return Header().Indicator(); }
    // The tooltip of a row's Host name cell `width` pixels wide; empty when none shows.
    QString HostNameTip(int row, int width) {
        QToolTip::hideText();
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
        Header().resizeSection(1, width);
        const QRect cell = List()->visualRect(m_dialog->Model().index(row, 1));
        QHelpEvent help(QEvent::ToolTip, cell.center(),
                        List()->viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(List()->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }
    void ClickHeader(ListColumn column) {
        SortHeader& header = Header();
        const int section = static_cast<int>(column);
        const QPoint at(header.sectionViewportPosition(section) + header.sectionSize(section) / 2,
                        header.height() / 2);
        QTest::mouseClick(header.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
};

// A few routes end to end, typed to whatever has the focus; every route is the core's table.
TEST_F(CommandsTest, KeysReachTheirCommandsThroughTheWindow) {
    MainDialog& dialog = OpenWith("10.0.0.1\n10.0.0.2\n10.0.0.3\n");
    const auto type = [](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(static_cast<QWidget*>(nullptr), key, modifiers);
        // Enter, Esc and Delete run on the next turn of the event loop, however long it takes.
        QCoreApplication::processEvents();
    };
    const QString typed = u"10.0.0.5-10.0.0.6"_s;
    Range()->setEditText(typed);
    Focus(Range()->lineEdit());
    Range()->lineEdit()->setCursorPosition(0);
    List()->selectRow(1);
    type(Qt::Key_C, Qt::ControlModifier);  // the rows, not the box's text
    EXPECT_EQ(Clipboard(), u"10.0.0.2\r\n"_s);
    type(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Stored(), (Addresses{"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.2"}));
    EXPECT_EQ(Range()->currentText(), typed);
    type(Qt::Key_Delete);  // edits the box
    EXPECT_EQ(Range()->currentText(), typed.mid(1));
    ASSERT_TRUE(ShowAllAnswers());
    List()->selectRow(0);
    Focus(List());
    type(Qt::Key_Delete);  // deletes the selected row
    EXPECT_EQ(Listed(), (Addresses{"10.0.0.2", "10.0.0.2", "10.0.0.3"}));

    Range()->setEditText(typed);
    Focus(Interval()->lineEdit());
    type(Qt::Key_Enter);  // registers
    EXPECT_EQ(Stored(), (Addresses{"10.0.0.5", "10.0.0.6"}));
    type(Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }));
}

TEST_F(CommandsTest, CopyWritesTheSelectedRowsInEveryCopyItemsMode) {
    MainDialog& dialog = OpenWith();
    QApplication::clipboard()->setText(u"kept"_s);
    dialog.Dispatch(Command::Copy);
    EXPECT_EQ(Clipboard(), u"kept"_s);  // no rows: the clipboard is left alone
    Paste(u"192.0.2.1\n192.0.2.2\n"_s);
    ASSERT_TRUE(ShowAllAnswers());
    dialog.Dispatch(Command::Copy);
    EXPECT_EQ(Clipboard(), QString());  // rows, none selected: the clipboard is emptied
    const std::pair<Command, const char*> modes[] = {
        // CopyItems 1, 3, 2, 0, 2
        {Command::SelectAll, "192.0.2.1\r\n192.0.2.2\r\n"},
        {Command::CopyItemHostName, "192.0.2.1 h1.example.com\r\n192.0.2.2 192.0.2.2\r\n"},
        {Command::CopyItemAddress, "h1.example.com\r\n192.0.2.2\r\n"},
        {Command::CopyItemHostName,
         "192.0.2.1,h1.example.com,Success,Commercial,\r\n192.0.2.2,192.0.2.2,Failure,?,\r\n"},
        {Command::CopyItemHostName, "h1.example.com\r\n192.0.2.2\r\n"},
    };
    for (const auto& [toggle, copied] : modes) {
        dialog.Dispatch(toggle);
        dialog.Dispatch(Command::Copy);
        EXPECT_EQ(Clipboard(), QString::fromUtf8(copied)) << copied;
    }
    // Pasted back, only lines that are addresses become rows.
    dialog.Dispatch(Command::Delete);
    ASSERT_EQ(Listed(), Addresses{});
    dialog.Dispatch(Command::Paste);
    EXPECT_EQ(Stored(), Addresses{"192.0.2.2"});
}

// Pastes step by the interval box; what cannot be taken is refused with a message.
TEST_F(CommandsTest, RegisterAndPasteTakeWhatFitsAndSayWhatTheyRefuse) {
    MainDialog& dialog = OpenWith("10.0.0.1\n");
    test::Register(dialog, "  ");
    EXPECT_EQ(MessageBox::LastText(), u"Not valid."_s);
    EXPECT_EQ(Listed(), Addresses{"10.0.0.1"});
    Interval()->setEditText(u"2"_s);
    Paste(u"10.0.2.0-10.0.2.5\r10.0.3.1"_s);
    EXPECT_EQ(Stored(1), (Addresses{"10.0.2.0", "10.0.2.2", "10.0.2.4", "10.0.3.1"}));
    EXPECT_EQ(Interval()->currentText(), u"2"_s);

    ClickHeader(ListColumn::Result);
    ResultTable& table = dialog.Table();
    for (int i = table.RowCount; i < MaxRows; ++i) table.WriteNewRow(i, "10.0.0.1");
    table.RowCount = MaxRows;
    Paste(u"10.9.9.9"_s);
    EXPECT_EQ(MessageBox::Count(), 2);
    EXPECT_EQ(MessageBox::LastText(), u"Limit over."_s);
    EXPECT_EQ(table.RowCount, MaxRows);
    EXPECT_EQ(Sort(), kFirstAscending) << "a paste resets the sort";
}

TEST_F(CommandsTest, HeaderClicksSortAndMoveTheIndicatorUnlessSortingIsOff) {
    MainDialog& dialog = OpenWith("10.0.0.1\n10.0.0.2\n10.0.0.3\n");
    using enum ListColumn;
    using enum SortDirection;
    const std::tuple<ListColumn, SortDirection, Addresses> clicks[] = {
        {Address, Descending, {"10.0.0.3", "10.0.0.2", "10.0.0.1"}},
        {Result, Descending, {"10.0.0.2", "10.0.0.3", "10.0.0.1"}},  // failures, then successes
        {Result, Ascending, {"10.0.0.1", "10.0.0.3", "10.0.0.2"}},
        {HostName, Ascending, {"10.0.0.2", "10.0.0.1", "10.0.0.3"}},  // failed names first
    };
    for (const auto& [column, direction, order] : clicks) {
        SCOPED_TRACE(static_cast<int>(column));
        List()->selectRow(0);
        ClickHeader(column);
        EXPECT_EQ(Sort(), (SortIndicator{column, direction}));
        EXPECT_EQ(Listed(), order);
        EXPECT_EQ(SelectedCount(), 0);
    }
    // A range text that is no range leaves the rows; they still follow the reset indicator.
    ClickHeader(HostName);
    test::Register(dialog, "10.77.1-10.77.2");
    EXPECT_EQ(Sort(), kFirstAscending);
    EXPECT_EQ(Listed(), (Addresses{"10.0.0.1", "10.0.0.2", "10.0.0.3"}));
    Action("sortEnableAction")->trigger();
    ClickHeader(Address);
    EXPECT_EQ(Sort(), std::nullopt);
    EXPECT_EQ(Listed(), (Addresses{"10.0.0.1", "10.0.0.2", "10.0.0.3"}));
    Action("sortEnableAction")->trigger();
    EXPECT_EQ(Sort(), kFirstAscending);
}

// A size in points is a cell height: the font's whole line fits it, a pixel more would not.
bool HasCellHeight(const QFont& font, int points) {
    const int cell = MulDivRound(points, QFontMetrics(font).fontDpi(), 72);
    QFont larger = font;
    larger.setPixelSize(font.pixelSize() + 1);
    return QFontMetrics(font).height() <= cell && QFontMetrics(larger).height() > cell;
}

TEST_F(CommandsTest, CtrlWheelZoomsTheListOnePointPerMessageBetween9And32) {
    OpenWith();
    auto wheel = [](QWidget* target, int delta, Qt::KeyboardModifiers modifiers) {
        const QPointF at = QRectF(target->rect()).center();
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        // As the mouse sends it (sendEvent would clear the mark): the focus may follow it.
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(target, &event);
    };
    QWidget* viewport = List()->viewport();
    ASSERT_EQ(List()->font().pointSize(), 9);
    const QFont header = Header().font();
    Range()->setEditText(u"typed"_s);
    Interval()->setCurrentIndex(1);
    ASSERT_EQ(Interval()->currentText(), u"256"_s);
    Focus(List());  // the wheel leaves the focus where it is
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, none = Qt::NoModifier;
    const std::tuple<int, Qt::KeyboardModifiers, QWidget*, int, int> steps[] = {
        // delta, modifiers, over, then the list's and the header's points (0: as opened)
        {-120, ctrl, viewport, 0, 0},    // floor
        {119, ctrl, viewport, 0, 0},     // less than a notch
        {120, none, viewport, 0, 0},     // scrolls, no zoom
        {-120, none, Interval(), 0, 0},  // changes nothing in an entry box
        {120, none, Range()->lineEdit(), 0, 0},
        {480, ctrl, viewport, 10, 0},  // one step per message
        {120, ctrl, Range(), 11, 0},
        {120, ctrl, Header().viewport(), 12, 0},
        {120, ctrl, viewport, 13, 0},
        {120, ctrl, viewport, 14, 16},
        {-120, ctrl, viewport, 13, 16},  // the header keeps its 16 points
    };
    for (const auto& [delta, modifiers, over, listPoints, headerPoints] : steps) {
        SCOPED_TRACE(listPoints);
        wheel(over, delta, modifiers);
        EXPECT_TRUE(listPoints == 0 ? List()->font().pointSize() == 9
                                    : HasCellHeight(List()->font(), listPoints));
        EXPECT_TRUE(headerPoints == 0 ? Header().font() == header
                                      : HasCellHeight(Header().font(), headerPoints));
        EXPECT_EQ(Interval()->currentText(), u"256"_s);
        EXPECT_TRUE(List()->hasFocus());
    }
    for (int i = 0; i < 25; ++i) wheel(viewport, 120, ctrl);
    EXPECT_TRUE(HasCellHeight(List()->font(), 32));
    for (int i = 0; i < 25; ++i) wheel(viewport, -120, ctrl);
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

    test::Register(dialog, "10.1.0.0-10.1.0.19");
    ASSERT_TRUE(ShowAllAnswers());
    EXPECT_EQ(List()->rowAt(0), 0);
    EXPECT_EQ(SelectedCount(), 0);
}

// What is typed is registered, never a longer list item that begins with it.
TEST_F(CommandsTest, TypedTextIsRegisteredExactlyAsTyped) {
    MainDialog& dialog = OpenWith();
    test::Register(dialog, "198.51.100.1-198.51.100.5");
    for (const auto& [box, typed] :
         {std::pair{Range(), u"198.51.100.1"_s}, std::pair{Interval(), u"2"_s}}) {
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
    test::Register(dialog, "10.0.0.1-10.0.0.3");
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

// Each option's menu item toggles its check mark and its effect, is written at close and
// comes back; the stays-on-top band reaches the native window without moving it, and the
// lookup options reach the engine.
TEST_F(CommandsTest, MenuItemsToggleTheOptionsWhichAreWrittenAtClose) {
    auto state = [this] {
        std::string out;
        for (const OptionRow& row : kOptionTable)
            out += Action(row.ActionName)->isChecked() ? '1' : '0';
        const bool top = m_dialog->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
        const LookupOptions lookups = m_engine->CurrentLookupOptions();
        return out + (top ? " top" : "") + (lookups.NetbiosSecondLookup ? " nbt" : "") +
               (lookups.ConfirmNames ? " confirm" : "");
    };
    MainDialog& dialog = OpenWith();
    const QRect geometry = dialog.geometry();
    EXPECT_EQ(state(), "00110");
    for (const OptionRow& row : kOptionTable) Action(row.ActionName)->trigger();
    EXPECT_EQ(state(), "11001 top nbt confirm");
    EXPECT_EQ(dialog.geometry(), geometry);
    Action("exitAction")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }));
    EXPECT_NE(test::ReadFile(m_paths.SettingsFile).find("ForwardConfirm=1"), std::string::npos);
    const MainDialog& reopened = Open(ResolutionEngine::Create(FakeLookup));
    EXPECT_EQ(state(), "11001 top nbt confirm");
    Action("windowTopMostAction")->trigger();
    Action("confirmNamesAction")->trigger();
    EXPECT_EQ(state(), "01000 nbt");
    EXPECT_TRUE(reopened.isVisible());
}

// The items added to FILE and SETTING: texts, shortcut, separators, when Save is enabled.
QStringList MenuTexts(const MainDialog& dialog, const char* menu) {
    QStringList texts;
    for (const QAction* action : test::Child<QMenu>(dialog, menu)->actions()) {
        texts << (action->isSeparator() ? u"--"_s : action->text()) +
                     (action->isEnabled() ? u""_s : u" (off)"_s);
    }
    return texts;
}

TEST_F(CommandsTest, AJapaneseWindowShowsItsTextsInJapanese) {
    MainDialog& english = OpenWith();
    EXPECT_EQ(MenuTexts(english, "fileMenu"),
              (QStringList{u"Save Results as CSV(&S)...\tCtrl+S (off)"_s, u"--"_s,
                           u"EXIT(&X)\tESC  or  Alt+F4"_s}));
    EXPECT_EQ(MenuTexts(english, "settingMenu").mid(5),
              (QStringList{u"--"_s, u"Confirm Names by Forward Lookup(&F)"_s}));
    SetLanguageCode("JP");
    MainDialog& dialog = OpenWith("10.0.0.1\n10.0.0.2\n");
    EXPECT_EQ(dialog.Model().index(0, 2).data().toString(), u"成功"_s);
    EXPECT_EQ(dialog.Model().index(1, 2).data().toString(), u"失敗"_s);
    EXPECT_EQ(dialog.Model().index(1, 2).data(Qt::ToolTipRole).toString(),
              u"名前なし: ネームサービスにこのアドレスの名前がありません。"_s);
    EXPECT_EQ(dialog.menuBar()->actions().at(0)->text(), u"ファイル(&F)"_s);
    EXPECT_EQ(MenuTexts(dialog, "fileMenu").first(), u"結果をCSVで保存(&S)...\tCtrl+S"_s);
    EXPECT_EQ(MenuTexts(dialog, "settingMenu").last(), u"正引きで名前を確認する(&F)"_s);
    // Qt's own texts too: the entry box's edit menu and the Save dialog.
    const std::unique_ptr<QMenu> edit(Range()->lineEdit()->createStandardContextMenu());
    EXPECT_TRUE(edit->actions().first()->text().startsWith(u"元に戻す(&U)"_s));
    dialog.Dispatch(Command::SaveResults);
    auto* chooser = dialog.findChild<QFileDialog*>(u"saveResultsDialog"_s);
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(test::Child<QLabel>(*chooser, "fileNameLabel")->text(), u"ファイル名(&N):"_s);
    const auto buttons = chooser->findChild<QDialogButtonBox*>()->buttons();
    EXPECT_EQ(buttons.first()->text() + buttons.last()->text(), u"保存(&S)キャンセル"_s);
    chooser->reject();
    // The about box opens without a nested event loop: the trigger returns with it open.
    Action("aboutAction")->trigger();
    QPointer<QWidget> about = QApplication::activeModalWidget();
    ASSERT_FALSE(about.isNull());
    EXPECT_EQ(about->windowTitle(), u"バージョン情報"_s);
    QTest::keyClick(about, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&about] { return about.isNull(); }));
    EXPECT_TRUE(dialog.isVisible());
}

// Ctrl+S opens the save dialog (the window goes on), which suggests a dated name; the file
// is the list as shown. A failed save says why and keeps the file.
TEST_F(CommandsTest, CtrlSSavesTheListAsCsvThroughTheDialog) {
    MainDialog& dialog = OpenWith("10.0.0.1\n10.0.0.2\n");
    const auto save = [&](const std::filesystem::path& file) {
        QTest::keyClick(List(), Qt::Key_S, Qt::ControlModifier);
        QFileDialog* chooser = nullptr;
        EXPECT_TRUE(QTest::qWaitFor([&] {
            chooser = dialog.findChild<QFileDialog*>(u"saveResultsDialog"_s);
            return chooser != nullptr && chooser->isVisible();
        }));
        if (chooser == nullptr) return QString();
        const QString suggested = chooser->selectedFiles().value(0);
        chooser->setOption(QFileDialog::DontConfirmOverwrite);
        chooser->selectFile(QString::fromStdString(file.string()));
        static_cast<QDialog*>(chooser)->accept();  // as the dialog's Save button does
        return suggested;
    };
    const QString suggested = save(m_dir / "out.csv");
    EXPECT_TRUE(
        QRegularExpression(u"/ip2hostname-\\d{8}-\\d{6}\\.csv$"_s).match(suggested).hasMatch())
        << suggested.toStdString();
    EXPECT_EQ(test::ReadFile(m_dir / "out.csv"),
              "address,hostname,result,domain,answer,confirmed\r\n"
              "10.0.0.1,h1.example.com,success,-,name,\r\n10.0.0.2,,failure,?,no-name,\r\n");
    const std::string folder = "SaveFolder=" + m_dir.Path().string();
    EXPECT_NE(test::ReadFile(m_paths.SettingsFile).find(folder), std::string::npos);

    EXPECT_TRUE(
        save(m_dir / "out.csv" / "x.csv").startsWith(QString::fromStdString(m_dir.Path().string())))
        << "the folder last saved to";
    EXPECT_EQ(MessageBox::Count(), 1);
    EXPECT_TRUE(MessageBox::LastText().contains(u"/out.csv/"_s) &&
                MessageBox::LastText().endsWith(u".csv:\nNot a directory"_s))
        << MessageBox::LastText().toStdString();

    // The Host name's tooltip holds the whole name only when the cell cuts it.
    EXPECT_EQ(HostNameTip(0, 30), u"h1.example.com"_s);
    EXPECT_EQ(HostNameTip(0, 250), QString());
    EXPECT_EQ(dialog.Model().index(0, 2).data(Qt::ToolTipRole).toString(),
              u"Name: the name service gave this name."_s);
}

// A name of 250 characters is readable in its tooltip: broken into lines, on the screen,
// with its Unicode form whatever its top-level domain.
TEST_F(CommandsTest, ALongNamesTooltipStaysOnTheScreen) {
    OpenWith("10.0.0.99\n");
    const QString tip = HostNameTip(0, 100);
    const QString unicode = QString::fromStdString("bücher" + kLongName.substr(13));
    EXPECT_EQ(QString(tip).remove(u'\n'), QString::fromStdString(kLongName) + unicode);
    const QWidget* label = nullptr;
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == u"qtooltip_label"_s && widget->isVisible()) label = widget;
    }
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->screen()->availableGeometry().contains(label->frameGeometry()));
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
        for (const char* pane :
             {"timeStatusLabel", "progressStatusLabel", "successStatusLabel", "spareStatusLabel"}) {
            const QRect at = test::Child<QLabel>(dialog, pane)->geometry();
            edges.push_back(at.left() + at.width());
        }
        EXPECT_EQ(edges, (std::vector<int>{170, 320, 470, std::max(470, width)})) << width;
        // The band's controls are whole, also at the smallest width (the fonts are wider
        // than those the layout was measured in).
        const QWidget* client = dialog.centralWidget();
        for (const QWidget* control : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            EXPECT_LT(control->geometry().right(), client->width())
                << control->objectName().toStdString();
    }
}

}  // namespace
}  // namespace ip2h
