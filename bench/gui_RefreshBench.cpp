#include <benchmark/benchmark.h>

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <array>
#include <cstdio>
#include <vector>

#include "base/Language.h"
#include "resolver/AnswerKind.h"
#include "resolver/ResolutionEngine.h"
#include "results/ProgressTimer.h"
#include "results/ResultTable.h"
#include "ui/MainDialog.h"

namespace ip2h {
namespace {

QApplication& Application() {
    static int argc = 1;
    static char name[] = "ip2h_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* application = [] {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
        return new QApplication(argc, argv);
    }();
    return *application;
}

// Fills the table with `rows` answered rows: every address already in the cache, so one
// refresh is what the user-interface thread pays at every refresh of a finished run.
void FillAnswered(ResultTable& table, ResolutionEngine& engine, int rows) {
    table.ResetRows();
    char address[32];
    char name[64];
    for (int i = 0; i < rows; ++i) {
        std::snprintf(address, sizeof address, "10.%d.%d.%d", i / 65536, (i / 256) % 256, i % 256);
        std::snprintf(name, sizeof name, "host-%05d.example.co.jp", i);
        table.WriteNewRow(i, address);
        // Every seventh address has no name: its answer is the address itself, as a failed
        // lookup's is.
        engine.Cache().Insert(
            address, i % 7 == 0 ? LookupAnswer(address, AnswerKind::NoName) : LookupAnswer(name));
    }
    table.RowCount = rows;
}

// The window as the benchmarks see it: in English, at its first-start size. Shown, it is on
// the offscreen platform and has settled before anything is measured.
struct BenchDialog {
    QApplication& App = []() -> QApplication& {
        SetLanguageCode("EN");
        return Application();
    }();
    std::shared_ptr<ResolutionEngine> Engine = ResolutionEngine::Create();
    std::unique_ptr<ResultTable> Table = ResultTable::Create();
    MainDialog Dialog{SettingsPaths{"/nonexistent/bench.ini", "/nonexistent/bench_history.txt"},
                      *Table, Engine};

    explicit BenchDialog(bool shown) {
        Dialog.resize(600, 400);
        if (shown) {
            Dialog.show();
            QApplication::processEvents();
        }
    }
};

// A shown list has only finished a refresh once the event loop has laid it out and painted
// it; a hidden one does neither.
void Settle(bool shown) {
    if (shown) QApplication::processEvents();
}

// Both benchmarks run over {rows, shown}: hidden, they time the refresh call alone; shown, the
// layout and painting that follow it as well.
void RefreshArgs(benchmark::internal::Benchmark* bench) {
    bench->ArgNames({"rows", "shown"})->ArgsProduct({{1000, 9999}, {0, 1}});
    bench->Unit(benchmark::kMillisecond);
}

// One refresh of the list as the timer runs it: sort keys, cache look-ups, model update.
void BM_RefreshList(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const bool shown = state.range(1) != 0;
    BenchDialog bench(shown);
    MainDialog& dialog = bench.Dialog;
    FillAnswered(dialog.Table(), *bench.Engine, rows);
    dialog.RefreshList();
    Settle(shown);
    for (auto _ : state) {
        dialog.RefreshList();
        Settle(shown);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_RefreshList)->Apply(RefreshArgs);

// Four short texts a row, made once; the model does nothing but hand them out.
class BareModel final : public QAbstractTableModel {
public:
    explicit BareModel(int rows) {
        m_rows.reserve(static_cast<std::size_t>(rows));
        for (int i = 0; i < rows; ++i) {
            m_rows.push_back(
                {QStringLiteral("10.%1.%2.%3").arg(i / 65536).arg((i / 256) % 256).arg(i % 256),
                 QStringLiteral("host-%1.example.co.jp").arg(i, 5, 10, QChar(u'0')),
                 QStringLiteral("Success"), QStringLiteral("JP")});
        }
    }

    void Reset() {
        beginResetModel();
        endResetModel();
    }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 4; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid()) return {};
        return m_rows[static_cast<std::size_t>(index.row())][index.column()];
    }

private:
    std::vector<std::array<QString, 4>> m_rows;
};

// The floor of any list refresh: a bare model's reset in a plain view laid out as the
// window's list is (its size, font, row height, column widths, no row header), so that both
// paint the same cells; shown or hidden as the window is in BM_RefreshList.
void BM_BareModelReset(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const bool shown = state.range(1) != 0;
    const BenchDialog bench(shown);
    const auto* list = bench.Dialog.findChild<QTableView*>(QStringLiteral("resultTableView"));
    BareModel model(rows);
    QTableView view;
    view.setModel(&model);
    view.resize(list->size());
    view.setFont(list->font());
    view.setWordWrap(false);
    view.verticalHeader()->hide();
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.verticalHeader()->setDefaultSectionSize(list->verticalHeader()->defaultSectionSize());
    for (int column = 0; column < 4; ++column) {
        view.setColumnWidth(column, list->columnWidth(column));
    }
    const QSize size = view.size();
    if (shown) view.show();
    Settle(shown);
    for (auto _ : state) {
        model.Reset();
        Settle(shown);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.counters["width"] = size.width();
    state.counters["height"] = size.height();
}
BENCHMARK(BM_BareModelReset)->Apply(RefreshArgs);

}  // namespace
}  // namespace ip2h
