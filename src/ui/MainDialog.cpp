#include "ui/MainDialog.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelection>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSizeGrip>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include "app/Language.h"
#include "app/Settings.h"
#include "app/Texts.h"
#include "input/AddressParser.h"
#include "input/History.h"
#include "input/RangeRegistration.h"
#include "resolver/ReverseLookup.h"
#include "resolver/WorkerSlots.h"
#include "results/ListRefresh.h"
#include "results/ResultTable.h"
#include "results/RowCommands.h"
#include "ui/AboutDialog.h"
#include "ui/AppIcon.h"
#include "ui/DialogMetrics.h"
#include "ui/ListZoom.h"
#include "ui/MessageBox.h"
#include "ui/Painting.h"
#include "ui/ResultModel.h"
#include "ui/SortHeader.h"

namespace ip2h {
namespace {

constexpr int kStatusBarHeight = 24;
constexpr int kFirstWidth = 600;
constexpr int kFirstHeight = 400;
constexpr int kMinimumClientWidth = 460;
constexpr int kMinimumClientHeight = 200;
constexpr int kPaneRightEdges[3] = {170, 320, 470};
constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;

QString Text(TextId id) {
    const std::string_view text = Tr(id);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString FromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The window's client area: paints the shaded band behind the input controls and the
// plain strip under the status bar.
class ClientArea final : public QWidget {
public:
    explicit ClientArea(QWidget* parent) : QWidget(parent) {}
    int m_stripHeight = kStatusBarHeight;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        // The client area reaches under the status bar; the strip lies there.
        const QRect client(0, 0, width(), height() + m_stripHeight);
        PaintMainBackground(painter, client, palette().color(QPalette::Button));
    }
};

}  // namespace

MainDialog::MainDialog(SettingsPaths paths, std::shared_ptr<ResolutionEngine> engine,
                       QWidget* parent)
    : QMainWindow(parent),
      m_paths(std::move(paths)),
      m_store(m_paths.SettingsFile),
      m_engine(std::move(engine)),
      m_table(ResultTable::Instance()),
      m_japanese(IsJapanese()) {
    setObjectName(QStringLiteral("mainDialog"));
    setFont(MainDialogFont(m_japanese));
    setWindowTitle(Text(TextId::WindowTitle));
    setWindowIcon(AppIcon());
    BuildControls();
    BuildMenus();
    BuildStatusBar();
    // Keys pass through the window before any control sees them.
    qApp->installEventFilter(this);
    // A session checkpoint (or a logout that may yet be cancelled) saves what would be lost;
    // the window goes on working.
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this] { SaveSettingsAndHistory(); });
}

MainDialog::~MainDialog() {
    qApp->removeEventFilter(this);
    ClosingSequence();
}

void MainDialog::BuildControls() {
    m_client = new ClientArea(this);
    m_client->setObjectName(QStringLiteral("clientWidget"));
    setCentralWidget(m_client);

    m_rangeLabel = new QLabel(Text(TextId::RangeLabel), m_client);
    m_rangeLabel->setObjectName(QStringLiteral("rangeLabel"));
    m_intervalLabel = new QLabel(Text(TextId::IntervalLabel), m_client);
    m_intervalLabel->setObjectName(QStringLiteral("intervalLabel"));
    for (QLabel* label : {m_rangeLabel, m_intervalLabel}) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
        label->setTextFormat(Qt::PlainText);
        GiveButtonFaceBackground(*label);
    }

    m_rangeCombo = new QComboBox(m_client);
    m_rangeCombo->setObjectName(QStringLiteral("rangeComboBox"));
    m_intervalCombo = new QComboBox(m_client);
    m_intervalCombo->setObjectName(QStringLiteral("intervalComboBox"));
    for (QComboBox* combo : {m_rangeCombo, m_intervalCombo}) {
        combo->setEditable(true);
        // The lists are kept sorted by the window itself; typing adds nothing on its own.
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setDuplicatesEnabled(true);
        // The text is registered exactly as typed: no completion from the list, ever.
        combo->setCompleter(nullptr);
        combo->lineEdit()->setMaxLength(32767);
    }
    m_intervalItems = {Tr(TextId::IntervalPreset1).data(), Tr(TextId::IntervalPreset256).data(),
                       Tr(TextId::IntervalPreset65536).data()};
    SetComboItems(m_intervalCombo, m_intervalItems);

    m_registerButton = new QPushButton(Text(TextId::RegisterButton), m_client);
    m_registerButton->setObjectName(QStringLiteral("registerPushButton"));
    m_registerButton->setDefault(true);
    MakeHollow(*m_registerButton);
    connect(m_registerButton, &QPushButton::clicked, this, [this] { Dispatch(Command::Register); });

    m_list = new QTableView(m_client);
    m_list->setObjectName(QStringLiteral("resultTableView"));
    m_model = new ResultModel(this);
    m_model->SetColumnTitles({Text(TextId::ColumnAddress), Text(TextId::ColumnHostName),
                              Text(TextId::ColumnResult), Text(TextId::ColumnDomainInfo)});
    m_header = new SortHeader(m_list);
    m_header->setObjectName(QStringLiteral("sortHeader"));
    m_list->setHorizontalHeader(m_header);
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->setWordWrap(false);
    m_list->setTextElideMode(Qt::ElideRight);
    m_list->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 4);
    m_header->setSectionsClickable(true);
    m_header->setHighlightSections(false);
    // The popup menu belongs to the list's rows; a right click on the header shows nothing.
    m_header->setContextMenuPolicy(Qt::PreventContextMenu);
    m_header->setStretchLastSection(false);
    m_header->setSectionResizeMode(QHeaderView::Interactive);
    // The selection stays visible while another control has the focus.
    QPalette palette = m_list->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    m_list->setPalette(palette);
    m_model->SetListColours(CellColour{{0, 0, 0}, {255, 255, 255}, false});
    connect(m_header, &QHeaderView::sectionClicked, this, &MainDialog::OnColumnClicked);
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);

    setTabOrder(m_rangeCombo, m_intervalCombo);
    setTabOrder(m_intervalCombo, m_registerButton);
    setTabOrder(m_registerButton, m_list);
}

void MainDialog::BuildMenus() {
    struct Item {
        TextId text;
        Command command;
        bool checkable;
    };
    auto addMenu = [this](TextId title, std::initializer_list<Item> items) {
        QMenu* menu = menuBar()->addMenu(Text(title));
        for (const Item& item : items) {
            QAction* action = menu->addAction(Text(item.text));
            action->setCheckable(item.checkable);
            action->setData(static_cast<int>(item.command));
            const Command command = item.command;
            connect(action, &QAction::triggered, this, [this, command] { Dispatch(command); });
            m_actions.emplace_back(command, action);
        }
        return menu;
    };
    QMenu* file = addMenu(TextId::MenuFile, {{TextId::MenuFileExit, Command::Exit, false}});
    file->setObjectName(QStringLiteral("fileMenu"));
    // The shortcut column shows the text given, not a key sequence of the action's own.
    QAction* exit = MenuAction(Command::Exit);
    exit->setText(exit->text() + QLatin1Char('\t') + Text(TextId::MenuFileExitShortcut));
    addMenu(TextId::MenuView, {{TextId::MenuViewTopMost, Command::WindowTopMost, true}})
        ->setObjectName(QStringLiteral("viewMenu"));
    QMenu* setting =
        addMenu(TextId::MenuSetting, {{TextId::MenuSettingNbt, Command::UseNbt, true},
                                      {TextId::MenuSettingHistory, Command::History, true},
                                      {TextId::MenuSettingSort, Command::SortEnable, true}});
    setting->setObjectName(QStringLiteral("settingMenu"));
    setting->addSeparator();
    QAction* clear = setting->addAction(Text(TextId::MenuSettingClearCache));
    clear->setData(static_cast<int>(Command::ClearCache));
    connect(clear, &QAction::triggered, this, [this] { Dispatch(Command::ClearCache); });
    m_actions.emplace_back(Command::ClearCache, clear);
    addMenu(TextId::MenuHelp, {{TextId::MenuHelpAbout, Command::HelpAbout, false}})
        ->setObjectName(QStringLiteral("helpMenu"));
}

void MainDialog::BuildStatusBar() {
    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("statusBar"));
    bar->setSizeGripEnabled(true);
    bar->setFixedHeight(kStatusBarHeight);
    bar->setContentsMargins(0, 0, 0, 0);
    // The bar covers the plain strip at the bottom of the client area, so it paints it.
    GiveButtonFaceBackground(*bar);
    const char* names[4] = {"timeStatusLabel", "progressStatusLabel", "successStatusLabel",
                            "spareStatusLabel"};
    // The panes stay out of the bar's own layout, which adds a lead and spacing of its own;
    // LayoutPanes puts their right edges at exactly 170, 320 and 470 pixels.
    for (int i = 0; i < 4; ++i) {
        m_panes[i] = new QLabel(bar);
        m_panes[i]->setObjectName(QLatin1String(names[i]));
        m_panes[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_panes[i]->setTextFormat(Qt::PlainText);
    }
    if (auto* grip = bar->findChild<QSizeGrip*>()) grip->raise();
    setStatusBar(bar);
    m_panes[0]->setText(Text(TextId::StatusTimeInitial));
    m_panes[1]->setText(Text(TextId::StatusProgressInitial));
    m_panes[2]->setText(Text(TextId::StatusSuccessInitial));
}

void MainDialog::LayoutPanes() {
    const QStatusBar* bar = statusBar();
    // Below the bar's top border, as the bar's own layout placed its items.
    constexpr int kTop = 3;
    constexpr int kBottom = 2;
    const int height = std::max(0, bar->height() - kTop - kBottom);
    int left = 0;
    for (int i = 0; i < 4; ++i) {
        // The last pane reaches the window's edge; one that starts beyond it is clipped away.
        const int right = i < 3 ? kPaneRightEdges[i] : std::max(left, bar->width());
        m_panes[i]->setGeometry(left, kTop, right - left, height);
        left = right;
    }
}

void MainDialog::Open() {
    const OpeningSettings settings = ReadOpeningSettings(m_store);

    ApplyPlacement(settings);

    m_topMost = settings.TopMost;
    if (m_topMost != 0) {
        ApplyTopMostBand();
        SetChecked(Command::WindowTopMost, true);
    }

    for (int column = 0; column < 4; ++column) {
        m_header->resizeSection(column, settings.ColumnWidths[static_cast<std::size_t>(column)]);
    }
    m_model->Clear();

    for (int column = 0; column < 4; ++column) m_header->SetSortIndicator(column, 0);
    m_sort.Column = 0;
    m_sort.Direction = 0;
    m_header->SetSortIndicator(0, 0);
    m_sort.Enabled = settings.SortEnabled;
    if (m_sort.Enabled == 1) {
        SetChecked(Command::SortEnable, true);
    } else {
        m_header->SetSortIndicator(-1, -1);
    }

    m_table.ResetRows();
    m_maxLimit = settings.MaxLimit;
    OsIsVersion51OrLater.store(true);
    m_copyItems = settings.CopyItems;
    UseNbt.store(settings.UseNbt != 0);
    if (settings.UseNbt != 0) SetChecked(Command::UseNbt, true);
    m_historyEnabled = settings.HistoryEnabled;
    if (m_historyEnabled != 0) SetChecked(Command::History, true);

    // The list keeps itself sorted, also when the history file was edited by hand.
    m_rangeItems.clear();
    for (const std::string& item :
         LoadHistory(m_paths.HistoryFile, m_historyEnabled != 0, settings.RangeText)) {
        AddToSortedList(m_rangeItems, item);
    }
    AddToSortedList(m_rangeItems, settings.RangeText);
    SetComboItems(m_rangeCombo, m_rangeItems);

    m_progress.Start(MillisecondClock());
    m_timer.start(ProgressTimer::IntervalMs, this);

    // Each box shows exactly the stored text.
    m_rangeCombo->setEditText(FromStd(settings.RangeText));
    m_intervalCombo->setEditText(FromStd(settings.IntervalText));
    m_rangeCombo->setFocus();
}

void MainDialog::ApplyPlacement(const OpeningSettings& settings) {
    const int menuHeight = menuBar()->sizeHint().height();
    setMinimumSize(kMinimumClientWidth, kMinimumClientHeight + menuHeight);
    resize(kFirstWidth, kFirstHeight);
    if (settings.Position) {
        const WindowPlacement& p = *settings.Position;
        const auto toScreenRect = [](const QRect& r) {
            return ScreenRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
        };
        std::vector<ScreenRect> screens;
        for (const QScreen* screen : QGuiApplication::screens()) {
            screens.push_back(toScreenRect(screen->availableGeometry()));
        }
        const QScreen* primary = QGuiApplication::primaryScreen();
        const ScreenRect placed = BringOntoScreens(
            {p.NormalLeft, p.NormalTop, p.NormalRight, p.NormalBottom}, screens,
            primary != nullptr ? toScreenRect(primary->availableGeometry()) : ScreenRect{});
        const QRect normal(placed.Left, placed.Top, placed.Width(), placed.Height());
        if (normal.isValid()) setGeometry(normal);
    }
    LayoutControls();
    if (settings.IsZoomed != 0) {
        showMaximized();
    } else {
        show();
    }
}

void MainDialog::LayoutControls() {
    if (m_client == nullptr) return;
    const DialogBaseUnits base = BaseUnitsOf(QFontMetrics(font()));
    auto place = [base](QWidget* widget, QRect dialogUnits) {
        const QRect pixels = DialogUnitsToPixels(dialogUnits, base);
        widget->setGeometry(pixels);
    };
    place(m_rangeLabel, QRect(5, 6, 140, 14));
    place(m_intervalLabel, QRect(149, 6, 58, 14));
    place(m_registerButton, QRect(211, 6, 54, 28));
    // The combo boxes' template heights include their drop-down lists; the edit part keeps
    // its natural height.
    for (auto [combo, rect] : {std::pair{m_rangeCombo, QRect(5, 21, 140, 12)},
                               std::pair{m_intervalCombo, QRect(149, 21, 58, 12)}}) {
        QRect pixels = DialogUnitsToPixels(rect, base);
        pixels.setHeight(combo->sizeHint().height());
        combo->setGeometry(pixels);
    }
    const int clientWidth = m_client->width();
    const int clientHeight = m_client->height() + kStatusBarHeight;
    if (clientWidth == 0 || clientHeight == 0) return;
    const int listTop = DialogUnitsToPixels(QRect(0, 40, 0, 0), base).y();
    m_list->setGeometry(0, listTop, clientWidth,
                        ResultListHeight(clientHeight, listTop, m_japanese));
}

void MainDialog::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    LayoutControls();
    update();
}

void MainDialog::SetComboItems(QComboBox* combo, const std::vector<std::string>& items) {
    const QString edit = combo->currentText();
    const QSignalBlocker blocker(combo);
    combo->clear();
    QStringList list;
    list.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& item : items) list.append(FromStd(item));
    combo->addItems(list);
    combo->setCurrentIndex(-1);
    combo->setEditText(edit);
}

QAction* MainDialog::MenuAction(Command command) const {
    for (const auto& [id, action] : m_actions) {
        if (id == command) return action;
    }
    return nullptr;
}

void MainDialog::SetChecked(Command command, bool checked) {
    if (QAction* action = MenuAction(command)) action->setChecked(checked);
}

void MainDialog::Post(Command command) {
    QMetaObject::invokeMethod(
        this, [this, command] { Dispatch(command); }, Qt::QueuedConnection);
}

void MainDialog::Dispatch(Command command) {
    switch (command) {
        case Command::Register:
            RegisterCommand();
            break;
        case Command::About:
        case Command::HelpAbout:
            ShowAbout();
            break;
        case Command::Exit:
            // Ends the window like a close request, without asking, also during a run.
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
            break;
        case Command::SelectAll:
            SelectRows(-1);
            break;
        case Command::Paste:
            PasteRows();
            break;
        case Command::Copy:
            CopyRows();
            break;
        case Command::Delete:
            DeleteRows();
            break;
        case Command::WindowTopMost:
            ToggleTopMost();
            break;
        case Command::CopyItemAddress:
            m_copyItems ^= CopyAddressBit;
            break;
        case Command::CopyItemHostName:
            m_copyItems ^= CopyHostNameBit;
            break;
        case Command::SelectSuccess:
            SelectRows(Success);
            break;
        case Command::SelectFailure:
            SelectRows(Failure);
            break;
        case Command::UseNbt: {
            const bool on = !UseNbt.load();
            UseNbt.store(on);
            SetChecked(Command::UseNbt, on);
            break;
        }
        case Command::History:
            m_historyEnabled = ToggledOption(m_historyEnabled);
            SetChecked(Command::History, m_historyEnabled != 0);
            break;
        case Command::ClearCache:
            ClearNameCache();
            break;
        case Command::SortEnable:
            ToggleSortEnabled();
            break;
    }
}

void MainDialog::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_timer.timerId()) {
        OnProgressTick();
        return;
    }
    QMainWindow::timerEvent(event);
}

void MainDialog::OnProgressTick() {
    const ProgressTimer::Tick tick =
        m_progress.OnTick(MillisecondClock(), m_table, statusBar() != nullptr, m_japanese);
    if (tick.Refresh) RefreshList();
    if (tick.Show) SetStatusTexts(*tick.Show);
}

void MainDialog::SetStatusTexts(const StatusTexts& texts) {
    m_panes[0]->setText(FromStd(texts.Time));
    m_panes[1]->setText(FromStd(texts.Progress));
    m_panes[2]->setText(FromStd(texts.Success));
}

void MainDialog::RefreshList() {
    ResolutionEngine& engine = *m_engine;
    const RefreshOutcome outcome = RefreshRows(
        m_table, m_sort,
        [&engine](std::string_view address) { return engine.RequestHostName(address); }, m_japanese,
        m_model->rowCount() > 0);
    if (outcome == RefreshOutcome::Unchanged) return;
    if (outcome == RefreshOutcome::Cleared) {
        m_model->Clear();
        return;
    }

    // The item last visible before the rebuild is made visible again afterwards.
    const int rowHeight = std::max(1, m_list->verticalHeader()->defaultSectionSize());
    const int top = std::max(0, m_list->rowAt(0));
    const int lastVisible = top + m_list->viewport()->height() / rowHeight - 1;
    const int horizontal = m_list->horizontalScrollBar()->value();

    m_list->setUpdatesEnabled(false);
    m_model->ShowRows(m_table, m_japanese);
    const int count = m_model->rowCount();
    // The rebuilt list starts at its first rows; the remembered item, if it still exists, is
    // brought back into view.
    m_list->verticalScrollBar()->setValue(0);
    if (lastVisible >= 0 && lastVisible < count) {
        m_list->scrollTo(m_model->index(lastVisible, 0), QAbstractItemView::EnsureVisible);
    }
    // The selection follows the rows' flags.
    QItemSelection selection;
    int focused = -1;
    int runStart = -1;
    for (int i = 0; i <= count; ++i) {
        const bool flagged = i < count && m_table.Rows[m_table.RowOrder[i]].Selected == 1;
        if (flagged) {
            focused = i;
            if (runStart < 0) runStart = i;
        } else if (runStart >= 0) {
            selection.select(m_model->index(runStart, 0), m_model->index(i - 1, 3));
            runStart = -1;
        }
    }
    QItemSelectionModel* selectionModel = m_list->selectionModel();
    selectionModel->select(selection, QItemSelectionModel::ClearAndSelect);
    if (focused >= 0) {
        selectionModel->setCurrentIndex(m_model->index(focused, 0), QItemSelectionModel::NoUpdate);
    }
    if (horizontal >= 0) m_list->horizontalScrollBar()->setValue(horizontal);
    m_list->setUpdatesEnabled(true);
}

void MainDialog::RegisterCommand() {
    const std::string rangeText = m_rangeCombo->currentText().toStdString();
    const std::string intervalText = m_intervalCombo->currentText().toStdString();
    const RegistrationPlan plan = PlanRegistration(rangeText, intervalText);
    if (!plan.Valid) {
        MessageBox::ShowWarning(this, Text(TextId::MessageNotValid));
        return;
    }
    WriteRegistrationSettings(m_store, m_maxLimit, rangeText, intervalText);
    AddToSortedList(m_rangeItems, rangeText);
    AddToSortedList(m_intervalItems, intervalText);
    SetComboItems(m_rangeCombo, m_rangeItems);
    SetComboItems(m_intervalCombo, m_intervalItems);
    m_rangeCombo->setEditText(FromStd(rangeText));
    m_intervalCombo->setEditText(FromStd(intervalText));
    const SortState before = m_sort;
    if (ResetSortOrder(m_sort)) m_header->SetSortIndicator(0, 0);
    FillRange(m_table, plan.Start, plan.End, plan.Interval, m_maxLimit);
    AskAgainUnlessLasting(0);
    AfterTableChange(before, true);
}

void MainDialog::AskAgainUnlessLasting(int firstRow) {
    for (int i = firstRow; i < m_table.RowCount; ++i) {
        m_engine->AskAgainUnlessLasting(m_table.Rows[i].Address);
    }
}

void MainDialog::AfterTableChange(const SortState& sortBefore, bool rowsReplaced) {
    const TableChange change{rowsReplaced, !(sortBefore == m_sort)};
    if (RefreshAtOnce(change, m_table.RowCount, m_model->rowCount() > 0)) RefreshList();
}

void MainDialog::CopyRows() {
    if (m_table.RowCount == 0) return;
    QModelIndexList selected = m_list->selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::string text;
    for (const QModelIndex& index : selected) {
        AppendCopyLine(text, m_copyItems, m_model->Cells(index.row()));
    }
    QApplication::clipboard()->setText(FromStd(text));
}

void MainDialog::PasteRows() {
    const SortState before = m_sort;
    if (ResetSortOrder(m_sort)) m_header->SetSortIndicator(0, 0);
    AfterTableChange(before, false);
    if (m_table.RowCount >= MaxRows) {
        MessageBox::ShowWarning(this, Text(TextId::MessageLimitOver));
        return;
    }
    const std::uint32_t interval = ClampInterval(m_intervalCombo->currentText().toStdString());
    const std::string text = QApplication::clipboard()->text().toStdString();
    const int first = m_table.RowCount;
    ip2h::PasteRows(m_table, text, interval, m_maxLimit);
    AskAgainUnlessLasting(first);
}

void MainDialog::DeleteRows() {
    if (m_table.RowCount == 0) return;
    std::vector<int> positions;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows()) {
        positions.push_back(index.row());
    }
    std::sort(positions.begin(), positions.end());
    m_table.DeleteRows(positions);
    RefreshList();
}

void MainDialog::SelectRows(int status) {
    m_table.SetSelectedWhere(
        [status](const ResultEntry& row) { return status < 0 || row.Status == status; });
    RefreshList();
}

void MainDialog::OnColumnClicked(int column) {
    if (!ApplyColumnClick(m_sort, column, m_engine->AnyWorkerRunning())) return;
    m_header->SetSortIndicator(m_sort.Column, m_sort.Direction);
    m_table.SetSelectedWhere([](const ResultEntry&) { return false; });
    RefreshList();
}

void MainDialog::ToggleTopMost() {
    m_topMost = ToggledOption(m_topMost);
    ApplyTopMostBand();
    SetChecked(Command::WindowTopMost, m_topMost != 0);
}

void MainDialog::ApplyTopMostBand() {
    const bool on = m_topMost != 0;
    // QWidget::setWindowFlags would recreate the native window, hiding it and possibly moving
    // it; the band is changed on the native window instead, and the widget's own record of its
    // flags is brought in line without touching the window again.
    if (QWindow* window = windowHandle()) window->setFlag(Qt::WindowStaysOnTopHint, on);
    overrideWindowFlags(on ? windowFlags() | Qt::WindowStaysOnTopHint
                           : windowFlags() & ~Qt::WindowStaysOnTopHint);
}

void MainDialog::ToggleSortEnabled() {
    const SortState before = m_sort;
    if (ip2h::ToggleSortEnabled(m_sort)) {
        SetChecked(Command::SortEnable, true);
        m_header->SetSortIndicator(0, 0);
    } else {
        SetChecked(Command::SortEnable, false);
        m_header->SetSortIndicator(-1, -1);
    }
    AfterTableChange(before, false);
}

void MainDialog::ClearNameCache() {
    m_engine->ClearNameCache();
    QApplication::beep();
    // Three flashes of 200 ms: the desktop's way of asking for attention.
    QApplication::alert(this, 600);
}

void MainDialog::ShowAbout() {
    AboutDialog about(m_japanese, this);
    about.exec();
}

bool MainDialog::ComboHasFocus(QObject* watched, QComboBox** which) const {
    for (QComboBox* combo : {m_rangeCombo, m_intervalCombo}) {
        if (watched == combo || watched == combo->lineEdit()) {
            *which = combo;
            return true;
        }
    }
    return false;
}

bool MainDialog::TranslateAccelerators(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() &
        (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier);
    Command command;
    if (modifiers == Qt::ControlModifier && event->key() == Qt::Key_A) {
        command = Command::SelectAll;
    } else if (modifiers == Qt::ControlModifier && event->key() == Qt::Key_C) {
        command = Command::Copy;
    } else if (modifiers == Qt::ControlModifier && event->key() == Qt::Key_V) {
        command = Command::Paste;
    } else if (modifiers == Qt::AltModifier && event->key() == Qt::Key_F4) {
        command = Command::Exit;
    } else {
        return false;
    }
    Dispatch(command);
    return true;
}

bool MainDialog::HandleKeyBeforeDispatch(QObject* watched, QKeyEvent* event) {
    if (TranslateAccelerators(event)) return true;
    const int key = event->key();
    // There is no help to show: F1 is taken here so that no control or style reacts to it.
    if (key == Qt::Key_F1) return true;
    QComboBox* combo = nullptr;
    if (ComboHasFocus(watched, &combo)) {
        // An open drop-down list keeps Enter and Esc for itself.
        if (combo->view() != nullptr && combo->view()->isVisible()) return false;
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Post(Command::Register);
            return true;
        }
        if (key == Qt::Key_Escape) {
            Post(Command::Exit);
            return true;
        }
        return false;
    }
    if (key == Qt::Key_Delete && (watched == m_list || watched == m_list->viewport())) {
        Post(Command::Delete);
        return true;
    }
    return false;
}

bool MainDialog::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride: {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget == nullptr || widget->window() != this) break;
            auto* key = static_cast<QKeyEvent*>(event);
            if (event->type() == QEvent::ShortcutOverride) {
                // Claim the accelerator keys from line edits, so that they reach the list.
                const auto mods = key->modifiers() & ~Qt::KeypadModifier;
                if ((mods == Qt::ControlModifier &&
                     (key->key() == Qt::Key_A || key->key() == Qt::Key_C ||
                      key->key() == Qt::Key_V)) ||
                    (mods == Qt::AltModifier && key->key() == Qt::Key_F4)) {
                    event->accept();
                    return true;
                }
                break;
            }
            if (HandleKeyBeforeDispatch(watched, key)) return true;
            break;
        }
        case QEvent::Wheel: {
            // Ctrl+wheel zooms the list wherever over the window it turns. A plain wheel
            // scrolls the list and does nothing anywhere else: over an entry box it would
            // step through the drop-down list and change the text.
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget == nullptr || widget->window() != this) break;
            auto* wheel = static_cast<QWheelEvent*>(event);
            if (wheel->modifiers() & Qt::ControlModifier) {
                ZoomList(wheel->angleDelta().y());
                return true;
            }
            if (widget != m_list && !m_list->isAncestorOf(widget)) return true;
            break;
        }
        case QEvent::Resize:
            if (watched == statusBar()) LayoutPanes();
            break;
        case QEvent::ContextMenu:
            if (watched == m_list || watched == m_list->viewport()) {
                auto* menuEvent = static_cast<QContextMenuEvent*>(event);
                ShowListContextMenu(menuEvent->globalPos(),
                                    menuEvent->reason() == QContextMenuEvent::Keyboard);
                return true;
            }
            break;
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
    // Enter elsewhere is the default button; Esc elsewhere ends the window, as in a dialog.
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            Dispatch(Command::Register);
            return;
        }
        if (event->key() == Qt::Key_Escape) {
            close();
            return;
        }
    }
    QMainWindow::keyPressEvent(event);
}

void MainDialog::ZoomList(int wheelDelta) {
    if (m_listPoints == 0) {
        const QFont current = m_list->font();
        m_listPoints = current.pointSize() > 0
                           ? current.pointSize()
                           : std::abs(MulDivRound(current.pixelSize(), 72, logicalDpiY()));
    }
    const int points = ZoomedPointSize(m_listPoints, wheelDelta);
    if (points == m_listPoints) return;
    m_listPoints = points;
    // The size in points is a cell height (the font's whole line), not a character height.
    const int dpi = logicalDpiY();
    const auto cellHeightFont = [dpi](const QFont& base, int cellPoints) {
        return CellHeightFont(base, base.family(), MulDivRound(cellPoints, dpi, 72),
                              static_cast<int>(base.weight()));
    };
    // The header follows the list's font only from 14 points on; below that it keeps the font
    // it has, so it must not inherit the list's.
    if (!m_header->testAttribute(Qt::WA_SetFont)) {
        QFont pinned = m_header->font();
        pinned.setResolveMask(QFont::AllPropertiesResolved);
        m_header->setFont(pinned);
    }
    const QFont font = cellHeightFont(m_list->font(), points);
    m_list->setFont(font);
    m_list->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
    if (points >= kZoomHeaderThresholdPoints) {
        m_header->setFont(cellHeightFont(m_header->font(), kZoomHeaderPoints));
    }
    m_list->viewport()->update();
}

std::unique_ptr<QMenu> MainDialog::BuildListContextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("listContextMenu"));
    const RowCommandAvailability available = AvailableRowCommands(
        m_model->rowCount(), static_cast<int>(m_list->selectionModel()->selectedRows().size()));
    auto add = [this](QMenu* into, TextId text, std::optional<TextId> shortcut, Command command,
                      bool enabled) {
        QString label = Text(text);
        if (shortcut) label += QLatin1Char('\t') + Text(*shortcut);
        QAction* action = into->addAction(label);
        action->setEnabled(enabled);
        action->setData(static_cast<int>(command));
        connect(action, &QAction::triggered, this, [this, command] { Dispatch(command); });
        return action;
    };
    add(menu.get(), TextId::PopupCopy, TextId::PopupCopyShortcut, Command::Copy, available.Copy);
    add(menu.get(), TextId::PopupPaste, TextId::PopupPasteShortcut, Command::Paste,
        available.Paste);
    add(menu.get(), TextId::PopupDelete, TextId::PopupDeleteShortcut, Command::Delete,
        available.Delete);
    menu->addSeparator();
    add(menu.get(), TextId::PopupSelectAll, TextId::PopupSelectAllShortcut, Command::SelectAll,
        available.SelectAll);
    add(menu.get(), TextId::PopupSelectSuccess, std::nullopt, Command::SelectSuccess,
        available.SelectSuccess);
    add(menu.get(), TextId::PopupSelectFailure, std::nullopt, Command::SelectFailure,
        available.SelectFailure);
    menu->addSeparator();
    QMenu* copyItem = menu->addMenu(Text(TextId::PopupCopyItem));
    copyItem->setObjectName(QStringLiteral("copyItemMenu"));
    QAction* address =
        add(copyItem, TextId::PopupCopyItemAddress, std::nullopt, Command::CopyItemAddress, true);
    address->setCheckable(true);
    address->setChecked((m_copyItems & CopyAddressBit) != 0);
    QAction* host =
        add(copyItem, TextId::PopupCopyItemHostName, std::nullopt, Command::CopyItemHostName, true);
    host->setCheckable(true);
    host->setChecked((m_copyItems & CopyHostNameBit) != 0);
    return menu;
}

void MainDialog::ShowListContextMenu(const QPoint& globalPosition, bool fromKeyboard) {
    activateWindow();
    m_list->setFocus(Qt::PopupFocusReason);
    const QPoint position = fromKeyboard ? m_client->mapToGlobal(QPoint(5, 5)) : globalPosition;
    // Shown without a nested event loop: a chosen item dispatches its command when it is
    // triggered, and the menu goes away once it has closed.
    QMenu* menu = BuildListContextMenu().release();
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    menu->popup(position);
}

void MainDialog::closeEvent(QCloseEvent* event) {
    ClosingSequence();
    QMainWindow::closeEvent(event);
}

void MainDialog::ClosingSequence() {
    if (m_closed) return;
    m_closed = true;
    m_timer.stop();
    SaveSettingsAndHistory();
    // Workers still resolving are not waited for; their answers are dropped from now on.
    m_engine->Teardown();
}

void MainDialog::SaveSettingsAndHistory() {
    ClosingSettings settings;
    settings.TopMost = m_topMost;
    settings.IsZoomed = isMaximized();
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    if (normal.isValid()) {
        WindowPlacement placement;
        placement.ShowState =
            isMinimized() ? kShowMinimized : (isMaximized() ? kShowMaximized : kShowNormal);
        placement.MinimizedX = placement.MinimizedY = -1;
        placement.MaximizedX = placement.MaximizedY = -1;
        placement.NormalLeft = normal.left();
        placement.NormalTop = normal.top();
        placement.NormalRight = normal.left() + normal.width();
        placement.NormalBottom = normal.top() + normal.height();
        settings.Position = placement;
    }
    for (int column = 0; column < 4; ++column) {
        settings.ColumnWidths[static_cast<std::size_t>(column)] = m_header->sectionSize(column);
    }
    settings.UseNbt = UseNbt.load() ? 1 : 0;
    settings.HistoryEnabled = m_historyEnabled;
    settings.CopyItems = m_copyItems;
    settings.SortEnabled = m_sort.Enabled;
    WriteClosingSettings(m_store, settings, [this] {
        SaveHistory(m_paths.HistoryFile, m_historyEnabled != 0, m_rangeItems);
    });
}

}  // namespace ip2h
