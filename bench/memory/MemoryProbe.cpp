// Resident memory of the program's window, idle and with a full list, beside a bare Qt window
// with the same widgets built the same way. Each mode runs in a process of its own
// (scripts/measure-memory starts them) and prints "<what> <kB>" lines.
//   ip2h_memory bare | program
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QStringList>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>

#include <cstdio>
#include <fstream>
#include <string>

#include "resolver/ResolutionEngine.h"
#include "results/ProgressTimer.h"
#include "results/ResultTable.h"
#include "settings/SettingsFile.h"
#include "ui/MainDialog.h"

namespace {

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

void Settle() {
    for (int i = 0; i < 20; ++i) QTest::qWait(10);
}

int Bare() {
    QMainWindow window;
    auto* client = new QWidget(&window);
    auto* layout = new QVBoxLayout(client);
    for (int i = 0; i < 2; ++i) {
        layout->addWidget(new QLabel(QStringLiteral("label"), client));
        auto* combo = new QComboBox(client);
        combo->setEditable(true);
        combo->addItems({QStringLiteral("1"), QStringLiteral("256"), QStringLiteral("65536")});
        layout->addWidget(combo);
    }
    layout->addWidget(new QPushButton(QStringLiteral("Register"), client));
    layout->addWidget(new QTableView(client));
    window.setCentralWidget(client);
    window.setStatusBar(new QStatusBar(&window));
    window.resize(600, 400);
    window.show();
    Settle();
    std::printf("bare-window-idle %ld\n", ResidentKilobytes());
    return 0;
}

int Program(const char* directory) {
    const std::string dir = directory;
    const ip2h::SettingsPaths paths{dir + "/probe.ini", dir + "/probe_history.txt"};
    const auto table = ip2h::ResultTable::Create();
    auto engine =
        ip2h::ResolutionEngine::Create([](const std::string& address, ip2h::LookupOptions) {
            return "host-" + address + ".example.com";
        });
    ip2h::MainDialog dialog(paths, *table, engine);
    dialog.Open();
    Settle();
    std::printf("program-idle %ld\n", ResidentKilobytes());

    // 40 ranges of 256 addresses: the paste stops at 9,999 rows.
    QString text;
    for (int block = 0; block < 40; ++block) {
        text += QStringLiteral("10.9.%1.0-10.9.%1.255\n").arg(block);
    }
    QApplication::clipboard()->setText(text);
    dialog.Dispatch(ip2h::Command::Paste);
    while (ip2h::ProgressTimer::CountRows(*table).Pending != 0) {
        dialog.RefreshList();
        QTest::qWait(20);
    }
    dialog.RefreshList();
    Settle();
    std::printf("program-rows %d\nprogram-9999-rows %ld\n", table->RowCount, ResidentKilobytes());
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "bare") return Bare();
    if (mode == "program" && argc > 2) return Program(argv[2]);
    std::fprintf(stderr, "usage: ip2h_memory bare | program DIRECTORY\n");
    return 2;
}
