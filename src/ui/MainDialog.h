#pragma once

#include <QBasicTimer>
#include <QMainWindow>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "results/ProgressTimer.h"
#include "settings/ProfileStore.h"
#include "settings/SettingsFile.h"
#include "window/Commands.h"
#include "window/OptionTable.h"
#include "window/SortCommands.h"

class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;
class QTranslator;

namespace ip2h {

class ResolutionEngine;
class ResultModel;
class ResultTable;
class SortHeader;
struct OpeningSettings;

// The program's one window: the range and interval boxes, "Register", the result list and
// the status bar. Every command reaches it through Dispatch(). Its decisions are the core's;
// the window builds controls (MainDialogControls.cpp), turns keys and the wheel into
// commands (MainDialogInput.cpp), opens and closes (MainDialogLifetime.cpp) and runs the
// commands (MainDialog.cpp).
class MainDialog final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainDialog)

public:
    MainDialog(SettingsPaths paths, ResultTable& table, std::shared_ptr<ResolutionEngine> engine,
               QWidget* parent = nullptr);
    ~MainDialog() override;

    // Reads every setting, restores the window's place and shows it, loads the history and
    // starts the progress timer.
    void Open();

    // Runs a command at once, from whatever source it came.
    void Dispatch(Command command);
    // Runs a command on the next turn of the event loop, as keys do.
    void Post(Command command);

    // Rebuilds the result list from the table, sorted, asking the engine for every answer.
    void RefreshList();

    // Stops the timer, saves the settings and history and closes the name cache; runs once,
    // when the window closes.
    void ClosingSequence();
    // Writes the settings and the history; the window goes on working (a session checkpoint).
    void SaveSettingsAndHistory();

    // The rows and what the list shows of them.
    ResultTable& Table() const { return m_table; }
    ResultModel& Model() const { return *m_model; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // MainDialogControls.cpp
    void BuildControls();
    void BuildList();
    void BuildMenus();
    void BuildStatusBar();
    void LayoutControls();
    void LayoutPanes();
    void SetComboItems(QComboBox* combo, const std::vector<std::string>& items);
    QAction* ActionOf(Command command) const;
    void SetChecked(Command command, bool checked);
    void SetEnabled(Command command, bool enabled);
    void ShowSortIndicator();

    // MainDialogInput.cpp
    bool HandleKey(QObject* watched, QKeyEvent* event);
    bool HandleWheel(QWidget* over, QWheelEvent* event);
    void ZoomList(int wheelDelta);
    void ShowListContextMenu(const QPoint& globalPosition, bool fromKeyboard);
    // The list's popup menu as it would open now; its items dispatch their commands.
    std::unique_ptr<QMenu> BuildListContextMenu();

    // MainDialogLifetime.cpp
    void ApplyPlacement(const OpeningSettings& settings);
    void ApplyTopMostBand();

    // MainDialog.cpp
    void OnProgressTick();
    void SetStatusTexts(const StatusTexts& texts);
    void RegisterCommand();
    void CopyRows();
    void PasteRows();
    void DeleteRows();
    // Flags the rows with `status` (every row when none is given) and refreshes.
    void SelectRows(std::optional<RowStatus> status);
    void OnColumnClicked(int column);
    void ToggleOption(Command command);
    void ClearNameCache();
    void ShowAbout();
    void ChooseResultsFile();
    void SaveResultsTo(const QString& file);
    void AskAgainUnlessLasting(int firstRow);
    void AfterTableChange(const SortState& sortBefore);

    SettingsPaths m_paths;
    ProfileStore m_store;
    ResultTable& m_table;
    std::shared_ptr<ResolutionEngine> m_engine;
    bool m_japanese = false;
    // Qt's own texts in the window's language, while the window lives.
    std::unique_ptr<QTranslator> m_qtTexts;

    // Options and state kept by the window, read from the settings when it opens.
    OptionValues m_options;
    int m_copyItems = 0;
    int m_maxLimit = 0;
    std::string m_saveFolder;  // where the results were last saved; empty until then
    SortState m_sort;
    int m_listPoints = 0;  // the list's zoomed size; 0 until the first zoom
    ProgressTimer m_progress;
    QBasicTimer m_timer;
    bool m_closed = false;
    std::vector<std::string> m_rangeItems;
    std::vector<std::string> m_intervalItems;

    QWidget* m_client = nullptr;
    QLabel* m_rangeLabel = nullptr;
    QLabel* m_intervalLabel = nullptr;
    QComboBox* m_rangeCombo = nullptr;
    QComboBox* m_intervalCombo = nullptr;
    QPushButton* m_registerButton = nullptr;
    QTableView* m_list = nullptr;
    SortHeader* m_header = nullptr;
    ResultModel* m_model = nullptr;
    QLabel* m_panes[4] = {};
    std::vector<std::pair<Command, QAction*>> m_actions;
};

}  // namespace ip2h
