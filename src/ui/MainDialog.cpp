// The main window's commands and its refresh: each asks the core and shows the result.
#include "ui/MainDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelection>
#include <QLabel>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableView>

#include "address/AddressText.h"
#include "address/RangeRegistration.h"
#include "resolver/ResolutionEngine.h"
#include "results/ListRefresh.h"
#include "results/RangeRows.h"
#include "results/ResultExport.h"
#include "results/ResultTable.h"
#include "results/RowCommands.h"
#include "settings/History.h"
#include "settings/Settings.h"
#include "ui/AboutDialog.h"
#include "ui/MessageBox.h"
#include "ui/QtText.h"
#include "ui/ResultModel.h"
#include "ui/SortHeader.h"

namespace ip2h {

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
            ShowAbout();
            break;
        case Command::Exit:
            // Ends the window like a close request, without asking, also during a run.
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
            break;
        case Command::SelectAll:
            SelectRows(std::nullopt);
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
        case Command::CopyItemAddress:
            m_copyItems ^= kCopyAddressBit;
            break;
        case Command::CopyItemHostName:
            m_copyItems ^= kCopyHostNameBit;
            break;
        case Command::SelectSuccess:
            SelectRows(RowStatus::Success);
            break;
        case Command::SelectFailure:
            SelectRows(RowStatus::Failure);
            break;
        case Command::ClearCache:
            ClearNameCache();
            break;
        case Command::SaveResults:
            ChooseResultsFile();
            break;
        case Command::WindowTopMost:
        case Command::UseNbt:
        case Command::History:
        case Command::SortEnable:
        case Command::ConfirmNames:
            ToggleOption(command);
            break;
    }
}

void MainDialog::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_timer.timerId()) {
        QMainWindow::timerEvent(event);
        return;
    }
    const ProgressTimer::Tick tick =
        m_progress.OnTick(MillisecondClock(), m_table, true, m_japanese);
    if (tick.Refresh) RefreshList();
    if (tick.Show) SetStatusTexts(*tick.Show);
}

void MainDialog::SetStatusTexts(const StatusTexts& texts) {
    m_panes[0]->setText(FromUtf8(texts.Time));
    m_panes[1]->setText(FromUtf8(texts.Progress));
    m_panes[2]->setText(FromUtf8(texts.Success));
}

void MainDialog::RefreshList() {
    // The item last visible before the rebuild is made visible again afterwards.
    const int rowHeight = std::max(1, m_list->verticalHeader()->defaultSectionSize());
    const int top = std::max(0, m_list->rowAt(0));
    const int lastVisible = top + m_list->viewport()->height() / rowHeight - 1;
    const int horizontal = m_list->horizontalScrollBar()->value();

    // The list is built as the refresh goes, each row while it is at hand.
    const int rows = m_table.RowsInUse();
    const bool listHadItems = m_model->rowCount() > 0;
    if (rows > 0) {
        m_list->setUpdatesEnabled(false);
        m_model->BeginRows(rows, m_japanese);
    }
    ResolutionEngine& engine = *m_engine;
    ResultModel& model = *m_model;
    const RefreshOutcome outcome = RefreshRows(
        m_table, m_sort,
        [&engine](std::string_view address, LookupAnswer& answer) {
            return engine.Request(address, answer) == RequestOutcome::Cached;
        },
        engine.Cache().Version(), listHadItems,
        [&model](int position, const ResultEntry& row) { model.ShowRow(position, row); });
    if (rows > 0) m_model->EndRows();
    if (outcome == RefreshOutcome::Unchanged) return;
    if (outcome == RefreshOutcome::Cleared) {
        m_model->Clear();
        SetEnabled(Command::SaveResults, false);
        return;
    }
    SetEnabled(Command::SaveResults, true);

    // The rebuilt list starts at its first rows; the remembered item, if it still exists, is
    // brought back into view.
    m_list->verticalScrollBar()->setValue(0);
    if (lastVisible >= 0 && lastVisible < m_model->rowCount()) {
        m_list->scrollTo(m_model->index(lastVisible, 0), QAbstractItemView::EnsureVisible);
    }
    const ListSelection flagged = SelectionFromFlags(m_table);
    QItemSelection selection;
    for (const auto& [first, last] : flagged.Runs) {
        selection.select(m_model->index(first, 0), m_model->index(last, 3));
    }
    QItemSelectionModel* selectionModel = m_list->selectionModel();
    selectionModel->select(selection, QItemSelectionModel::ClearAndSelect);
    if (flagged.Focused >= 0) {
        selectionModel->setCurrentIndex(m_model->index(flagged.Focused, 0),
                                        QItemSelectionModel::NoUpdate);
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
    m_rangeCombo->setEditText(FromUtf8(rangeText));
    m_intervalCombo->setEditText(FromUtf8(intervalText));
    const SortState before = m_sort;
    if (ResetSortOrder(m_sort)) ShowSortIndicator();
    FillRange(m_table, plan.Start, plan.End, plan.Interval, m_maxLimit);
    AskAgainUnlessLasting(0);
    AfterTableChange(before);
}

void MainDialog::AskAgainUnlessLasting(int firstRow) {
    for (int i = firstRow; i < m_table.RowCount; ++i) {
        m_engine->AskAgainUnlessLasting(FieldText(m_table.Rows[i].Address));
    }
}

void MainDialog::AfterTableChange(const SortState& sortBefore) {
    if (RefreshAtOnce(!(sortBefore == m_sort), m_table.RowCount, m_model->rowCount() > 0)) {
        RefreshList();
    }
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
    QApplication::clipboard()->setText(FromUtf8(text));
}

void MainDialog::PasteRows() {
    const SortState before = m_sort;
    if (ResetSortOrder(m_sort)) ShowSortIndicator();
    AfterTableChange(before);
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

void MainDialog::SelectRows(std::optional<RowStatus> status) {
    m_table.SetSelectedWhere(
        [status](const ResultEntry& row) { return !status || row.Answer.Status == *status; });
    RefreshList();
}

void MainDialog::OnColumnClicked(int column) {
    if (column < 0 || column >= kListColumnCount) return;
    if (!ApplyColumnClick(m_sort, static_cast<ListColumn>(column), m_engine->AnyWorkerRunning())) {
        return;
    }
    ShowSortIndicator();
    m_table.SetSelectedWhere([](const ResultEntry&) { return false; });
    RefreshList();
}

void MainDialog::ToggleOption(Command command) {
    const OptionRow* row = m_options.Toggle(command);
    if (row == nullptr) return;
    SetChecked(command, m_options.IsOn(command));
    if (row->Lookup != nullptr) m_engine->SetLookupOptions(m_options.Lookups());
    // What each option does beyond its value (History is read when the window closes).
    if (command == Command::WindowTopMost) ApplyTopMostBand();
    if (command == Command::SortEnable) {
        const SortState before = m_sort;
        SetSortEnabled(m_sort, m_options.Value(command));
        ShowSortIndicator();
        AfterTableChange(before);
    }
}

void MainDialog::ClearNameCache() {
    m_engine->ClearNameCache();
    QApplication::beep();
    // Three flashes of 200 ms: the desktop's way of asking for attention.
    QApplication::alert(this, 600);
}

void MainDialog::ChooseResultsFile() {
    if (m_model->rowCount() == 0) return;
    QString folder = FromUtf8(m_saveFolder);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
    }
    const QDateTime now = QDateTime::currentDateTime();
    const QString name =
        FromUtf8(SuggestedCsvName(now.date().year(), now.date().month(), now.date().day(),
                                  now.time().hour(), now.time().minute(), now.time().second()));
    // Opened without a nested event loop; the list goes on filling while it is open.
    auto* dialog = new QFileDialog(this, Text(TextId::SaveCsvTitle), QDir(folder).filePath(name),
                                   Text(TextId::SaveCsvFilter));
    dialog->setObjectName(QStringLiteral("saveResultsDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("csv"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, &MainDialog::SaveResultsTo);
    dialog->open();
}

void MainDialog::SaveResultsTo(const QString& file) {
    // The file holds the answers as they are now, in the order the list then shows.
    RefreshList();
    const std::string reason = SaveListAsCsv(m_table, file.toStdString(), m_japanese);
    if (!reason.empty()) {
        const std::string format(Tr(TextId::MessageSaveFailed));
        MessageBox::ShowWarning(
            this, QString::asprintf(format.c_str(), file.toUtf8().constData(), reason.c_str()));
        return;
    }
    m_saveFolder = QFileInfo(file).absolutePath().toStdString();
    WriteTextSetting(m_store, SettingKey::SaveFolder, m_saveFolder);
}

void MainDialog::ShowAbout() {
    // Opened without a nested event loop; it deletes itself when it is closed.
    auto* about = new AboutDialog(m_japanese, this);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->open();
}

}  // namespace ip2h
