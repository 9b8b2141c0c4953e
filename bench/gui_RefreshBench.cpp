#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableView>
#include <cstdio>

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

// One refresh of the list as the timer runs it: sort keys, cache look-ups, model update.
void BM_RefreshList(benchmark::State& state) {
    Application();
    SetLanguageCode("EN");
    const int rows = static_cast<int>(state.range(0));
    auto engine = ResolutionEngine::Create();
    SettingsPaths paths{"/nonexistent/bench.ini", "/nonexistent/bench_history.txt"};
    const auto table = ResultTable::Create();
    MainDialog dialog(paths, *table, engine);
    dialog.resize(600, 400);
    FillAnswered(dialog.Table(), *engine, rows);
    dialog.RefreshList();
    for (auto _ : state) {
        dialog.RefreshList();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_RefreshList)->Arg(1000)->Arg(9999)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ip2h
