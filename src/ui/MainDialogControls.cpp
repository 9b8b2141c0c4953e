// Building and laying out the main window's controls, menus and status bar.
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSizeGrip>
#include <QStatusBar>
#include <QTableView>

#include "results/RowCommands.h"
#include "ui/DialogMetrics.h"
#include "ui/HostNameTips.h"
#include "ui/MainDialog.h"
#include "ui/Painting.h"
#include "ui/QtText.h"
#include "ui/ResultModel.h"
#include "ui/SortHeader.h"
#include "window/ListPopupMenu.h"

namespace ip2h {
namespace {

constexpr int kPaneRightEdges[3] = {170, 320, 470};

// The window's client area: paints the shaded band behind the input controls and the
// plain strip under the status bar.
class ClientArea final : public QWidget {
public:
    explicit ClientArea(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        // The client area reaches under the status bar; the strip lies there.
        const QRect client(0, 0, width(), height() + kStatusBarHeight);
        PaintMainBackground(painter, client, palette().color(QPalette::Button));
    }
};

}  // namespace

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
    m_intervalItems = {std::string(Tr(TextId::IntervalPreset1)),
                       std::string(Tr(TextId::IntervalPreset256)),
                       std::string(Tr(TextId::IntervalPreset65536))};
    SetComboItems(m_intervalCombo, m_intervalItems);

    m_registerButton = new QPushButton(Text(TextId::RegisterButton), m_client);
    m_registerButton->setObjectName(QStringLiteral("registerPushButton"));
    m_registerButton->setDefault(true);
    MakeHollow(*m_registerButton);
    connect(m_registerButton, &QPushButton::clicked, this, [this] { Dispatch(Command::Register); });

    BuildList();
    // The wheel never moves the keyboard focus (the boxes and the list would take it): after
    // a notch over a box, Delete must still delete the selected rows.
    for (QWidget* control : m_client->findChildren<QWidget*>()) {
        if (control->focusPolicy() == Qt::WheelFocus) control->setFocusPolicy(Qt::StrongFocus);
    }
    setTabOrder(m_rangeCombo, m_intervalCombo);
    setTabOrder(m_intervalCombo, m_registerButton);
    setTabOrder(m_registerButton, m_list);
}

void MainDialog::BuildList() {
    m_list = new QTableView(m_client);
    m_list->setObjectName(QStringLiteral("resultTableView"));
    m_model = new ResultModel(this);
    m_model->SetColumnTitles({Text(TextId::ColumnAddress), Text(TextId::ColumnHostName),
                              Text(TextId::ColumnResult), Text(TextId::ColumnDomainInfo)});
    m_header = new SortHeader(m_list);
    m_header->setObjectName(QStringLiteral("sortHeader"));
    m_list->setHorizontalHeader(m_header);
    m_list->setModel(m_model);
    m_list->setItemDelegate(new HostNameTips(m_list));
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
}

namespace {

// A menu item named `name` that runs `command`; `shortcut`, when given, is shown
// right-aligned after a tab (the text is only shown: the keys themselves are routed by the
// window).
QAction* AddCommandItem(MainDialog& dialog, QMenu& menu, TextId text, Command command,
                        const char* name, std::optional<TextId> shortcut = std::nullopt) {
    QString label = Text(text);
    if (shortcut) label += QLatin1Char('\t') + Text(*shortcut);
    QAction* action = menu.addAction(label);
    action->setObjectName(QLatin1String(name));
    QObject::connect(action, &QAction::triggered, &dialog,
                     [&dialog, command] { dialog.Dispatch(command); });
    return action;
}

}  // namespace

void MainDialog::BuildMenus() {
    const auto addMenu = [this](TextId title, const char* name) {
        QMenu* menu = menuBar()->addMenu(Text(title));
        menu->setObjectName(QLatin1String(name));
        return menu;
    };
    const auto addItem = [this](QMenu& menu, TextId text, Command command, const char* name,
                                std::optional<TextId> shortcut = std::nullopt) {
        QAction* action = AddCommandItem(*this, menu, text, command, name, shortcut);
        m_actions.emplace_back(command, action);
        return action;
    };
    const auto addOptions = [&addItem](QMenu& menu, OptionPlace place) {
        for (const OptionRow& row : kOptionTable) {
            if (row.Place != place) continue;
            addItem(menu, row.MenuText, row.Toggle, row.ActionName)->setCheckable(true);
        }
    };
    QMenu* file = addMenu(TextId::MenuFile, "fileMenu");
    addItem(*file, TextId::MenuFileSaveCsv, Command::SaveResults, "saveResultsAction",
            TextId::MenuFileSaveCsvShortcut);
    file->addSeparator();
    addItem(*file, TextId::MenuFileExit, Command::Exit, "exitAction", TextId::MenuFileExitShortcut);
    SetEnabled(Command::SaveResults, false);
    addOptions(*addMenu(TextId::MenuView, "viewMenu"), OptionPlace::ViewMenu);
    QMenu* setting = addMenu(TextId::MenuSetting, "settingMenu");
    addOptions(*setting, OptionPlace::SettingMenu);
    setting->addSeparator();
    addItem(*setting, TextId::MenuSettingClearCache, Command::ClearCache, "clearCacheAction");
    setting->addSeparator();
    addOptions(*setting, OptionPlace::SettingMenuEnd);
    addItem(*addMenu(TextId::MenuHelp, "helpMenu"), TextId::MenuHelpAbout, Command::About,
            "aboutAction");
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
    // Below the bar's top border, as a status bar's own layout places its items.
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

void MainDialog::LayoutControls() {
    if (m_client == nullptr) return;
    const DialogBaseUnits base = BaseUnitsOf(QFontMetrics(font()));
    const int clientWidth = m_client->width();
    // A wide font would push the button past the right edge of a narrow window: the range
    // column then gives up what the button needs, so every control stays whole.
    const QRect button = DialogUnitsToPixels(QRect(211, 6, 54, 28), base);
    const QRect rangeLabel = DialogUnitsToPixels(QRect(5, 6, 140, 14), base);
    const int shrink = BandShrink(button.left() + button.width(), rangeLabel.left(), clientWidth,
                                  rangeLabel.width());
    const auto place = [base, shrink](QWidget* widget, QRect dialogUnits, bool rangeColumn,
                                      int height = 0) {
        QRect pixels = DialogUnitsToPixels(dialogUnits, base);
        if (rangeColumn) {
            pixels.setWidth(pixels.width() - shrink);
        } else {
            pixels.translate(-shrink, 0);
        }
        if (height > 0) pixels.setHeight(height);
        widget->setGeometry(pixels);
    };
    place(m_rangeLabel, QRect(5, 6, 140, 14), true);
    place(m_intervalLabel, QRect(149, 6, 58, 14), false);
    place(m_registerButton, QRect(211, 6, 54, 28), false);
    // The layout gives each combo box the height of its open drop-down list; the edit part
    // keeps its natural height.
    place(m_rangeCombo, QRect(5, 21, 140, 12), true, m_rangeCombo->sizeHint().height());
    place(m_intervalCombo, QRect(149, 21, 58, 12), false, m_intervalCombo->sizeHint().height());
    const int clientHeight = m_client->height() + kStatusBarHeight;
    if (clientWidth == 0 || clientHeight == 0) return;
    const int listTop = DialogUnitsToPixels(QRect(0, 40, 0, 0), base).y();
    m_list->setGeometry(0, listTop, clientWidth,
                        ResultListHeight(clientHeight, listTop, m_japanese));
}

void MainDialog::SetComboItems(QComboBox* combo, const std::vector<std::string>& items) {
    const QString edit = combo->currentText();
    const QSignalBlocker blocker(combo);
    combo->clear();
    QStringList list;
    list.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& item : items) list.append(FromUtf8(item));
    combo->addItems(list);
    combo->setCurrentIndex(-1);
    combo->setEditText(edit);
}

QAction* MainDialog::ActionOf(Command command) const {
    for (const auto& [id, action] : m_actions) {
        if (id == command) return action;
    }
    return nullptr;
}

void MainDialog::SetChecked(Command command, bool checked) {
    if (QAction* action = ActionOf(command)) action->setChecked(checked);
}

void MainDialog::SetEnabled(Command command, bool enabled) {
    if (QAction* action = ActionOf(command)) action->setEnabled(enabled);
}

void MainDialog::ShowSortIndicator() {
    m_header->SetSortIndicator(IndicatorOf(m_sort));
}

std::unique_ptr<QMenu> MainDialog::BuildListContextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("listContextMenu"));
    const RowCommandAvailability available = AvailableRowCommands(
        m_model->rowCount(), static_cast<int>(m_list->selectionModel()->selectedRows().size()));
    const auto add = [this](QMenu& into, TextId text, Command command, const char* name,
                            bool enabled, std::optional<TextId> shortcut = std::nullopt) {
        QAction* action = AddCommandItem(*this, into, text, command, name, shortcut);
        action->setEnabled(enabled);
        return action;
    };
    add(*menu, TextId::PopupCopy, Command::Copy, "copyAction", available.Copy,
        TextId::PopupCopyShortcut);
    add(*menu, TextId::PopupPaste, Command::Paste, "pasteAction", available.Paste,
        TextId::PopupPasteShortcut);
    add(*menu, TextId::PopupDelete, Command::Delete, "deleteAction", available.Delete,
        TextId::PopupDeleteShortcut);
    menu->addSeparator();
    add(*menu, TextId::PopupSelectAll, Command::SelectAll, "selectAllAction", available.SelectAll,
        TextId::PopupSelectAllShortcut);
    add(*menu, TextId::PopupSelectSuccess, Command::SelectSuccess, "selectSuccessAction",
        available.SelectSuccess);
    add(*menu, TextId::PopupSelectFailure, Command::SelectFailure, "selectFailureAction",
        available.SelectFailure);
    menu->addSeparator();
    QMenu* copyItem = menu->addMenu(Text(TextId::PopupCopyItem));
    copyItem->setObjectName(QStringLiteral("copyItemMenu"));
    for (const auto& [text, command, name, bit] :
         {std::tuple{TextId::PopupCopyItemAddress, Command::CopyItemAddress,
                     "copyItemAddressAction", kCopyAddressBit},
          std::tuple{TextId::PopupCopyItemHostName, Command::CopyItemHostName,
                     "copyItemHostNameAction", kCopyHostNameBit}}) {
        QAction* action = add(*copyItem, text, command, name, true);
        action->setCheckable(true);
        action->setChecked((m_copyItems & bit) != 0);
    }
    return menu;
}

}  // namespace ip2h
