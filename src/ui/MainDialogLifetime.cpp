// Opening and closing the main window: settings, placement, history and the timer.
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QMenuBar>
#include <QScreen>
#include <QTranslator>
#include <QWindow>

#include "base/Language.h"
#include "resolver/ResolutionEngine.h"
#include "results/ResultTable.h"
#include "settings/History.h"
#include "settings/Settings.h"
#include "ui/AppIcon.h"
#include "ui/DialogMetrics.h"
#include "ui/MainDialog.h"
#include "ui/QtRect.h"
#include "ui/QtText.h"
#include "ui/QtTranslations.h"
#include "ui/ResultModel.h"
#include "ui/SortHeader.h"
#include "window/WindowPlacement.h"

namespace ip2h {
namespace {

constexpr int kFirstWidth = 600;
constexpr int kFirstHeight = 400;
constexpr int kMinimumClientWidth = 460;
constexpr int kMinimumClientHeight = 200;

}  // namespace

MainDialog::MainDialog(SettingsPaths paths, ResultTable& table,
                       std::shared_ptr<ResolutionEngine> engine, QWidget* parent)
    : QMainWindow(parent),
      m_paths(std::move(paths)),
      m_store(m_paths.SettingsFile),
      m_table(table),
      m_engine(std::move(engine)),
      m_japanese(IsJapanese()),
      m_qtTexts(InstallQtTranslations(m_japanese)) {
    setObjectName(QStringLiteral("mainDialog"));
    setFont(MainDialogFont(m_japanese));
    setWindowTitle(Text(TextId::WindowTitle));
    setWindowIcon(AppIcon());
    BuildControls();
    BuildMenus();
    BuildStatusBar();
    // Keys and the wheel pass through the window before any control sees them.
    qApp->installEventFilter(this);
    // A session checkpoint (or a logout that may yet be cancelled) saves what would be lost;
    // the window goes on working.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { SaveSettingsAndHistory(); });
}

MainDialog::~MainDialog() {
    qApp->removeEventFilter(this);
    ClosingSequence();
}

void MainDialog::Open() {
    const OpeningSettings settings = ReadOpeningSettings(m_store);
    ApplyPlacement(settings);

    m_options.Load(settings.Integers);
    for (const OptionRow& row : kOptionTable) SetChecked(row.Toggle, m_options.IsOn(row.Toggle));
    m_engine->SetLookupOptions(m_options.Lookups());
    if (m_options.IsOn(Command::WindowTopMost)) ApplyTopMostBand();
    for (int column = 0; column < 4; ++column) {
        m_header->resizeSection(column, settings.ColumnWidths[static_cast<std::size_t>(column)]);
    }
    m_model->Clear();
    m_sort = SortAtOpening(m_options.Value(Command::SortEnable));
    ShowSortIndicator();

    m_table.ResetRows();
    m_maxLimit = settings.MaxLimit;
    m_copyItems = settings.CopyItems;
    m_saveFolder = settings.SaveFolder;

    // The list keeps itself sorted, also when the history file was edited by hand.
    m_rangeItems.clear();
    for (const std::string& item :
         LoadHistory(m_paths.HistoryFile, m_options.IsOn(Command::History), settings.RangeText)) {
        AddToSortedList(m_rangeItems, item);
    }
    AddToSortedList(m_rangeItems, settings.RangeText);
    SetComboItems(m_rangeCombo, m_rangeItems);

    m_progress.Start(MillisecondClock());
    m_timer.start(ProgressTimer::kIntervalMs, this);

    // Each box shows exactly the stored text.
    m_rangeCombo->setEditText(FromUtf8(settings.RangeText));
    m_intervalCombo->setEditText(FromUtf8(settings.IntervalText));
    m_rangeCombo->setFocus();
}

void MainDialog::ApplyPlacement(const OpeningSettings& settings) {
    setMinimumSize(kMinimumClientWidth, kMinimumClientHeight + menuBar()->sizeHint().height());
    resize(kFirstWidth, kFirstHeight);
    std::vector<ScreenRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.push_back(ToScreenRect(screen->availableGeometry()));
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    const OpeningPlacement placement = PlacementAtOpening(
        settings, screens,
        primary != nullptr ? ToScreenRect(primary->availableGeometry()) : ScreenRect{});
    if (placement.Normal) {
        setGeometry(ToQRect(*placement.Normal));
    }
    LayoutControls();
    if (placement.Maximised) {
        showMaximized();
    } else {
        show();
    }
}

void MainDialog::ApplyTopMostBand() {
    const bool on = m_options.IsOn(Command::WindowTopMost);
    // QWidget::setWindowFlags would recreate the native window, hiding it and possibly moving
    // it; the band is changed on the native window instead, and the widget's own record of its
    // flags is brought in line without touching the window again.
    if (QWindow* window = windowHandle()) window->setFlag(Qt::WindowStaysOnTopHint, on);
    overrideWindowFlags(on ? windowFlags() | Qt::WindowStaysOnTopHint
                           : windowFlags() & ~Qt::WindowStaysOnTopHint);
}

void MainDialog::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    LayoutControls();
    update();
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
    settings.IsZoomed = isMaximized();
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    if (normal.isValid()) {
        settings.Position = PlacementAtClosing(ToScreenRect(normal), isMaximized(), isMinimized());
    }
    for (int column = 0; column < 4; ++column) {
        settings.ColumnWidths[static_cast<std::size_t>(column)] = m_header->sectionSize(column);
    }
    m_options.Save(settings.Integers);
    settings.Integers[SettingKey::CopyItem] = m_copyItems;
    WriteClosingSettings(m_store, settings, [this] {
        SaveHistory(m_paths.HistoryFile, m_options.IsOn(Command::History), m_rangeItems);
    });
}

}  // namespace ip2h
