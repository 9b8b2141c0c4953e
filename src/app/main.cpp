#include <QApplication>

#include <cstdlib>
#include <string_view>

#include "batch/BatchCommand.h"
#include "resolver/WorkerSlots.h"
#include "results/ResultTable.h"
#include "settings/SettingsFile.h"
#include "ui/AppIcon.h"
#include "ui/Application.h"

int main(int argc, char* argv[]) {
    // Batch mode decides before anything of Qt or the settings is touched: it must run
    // without a display and leave no file behind.
    if (argc > 1 && std::string_view(argv[1]) == "--batch") {
        std::_Exit(ip2h::RunBatchCommand(argc, argv));
    }
    ip2h::ChooseLanguageFromDesktop();
    const ip2h::SettingsPaths paths = ip2h::DetermineSettingsPaths();
    // Kept until the process ends (EndProcess runs no destructors).
    const auto table = ip2h::ResultTable::Create();
    int result = 0;
    {
        QApplication application(argc, argv);
        QApplication::setApplicationName(QStringLiteral("ip2hostname"));
        QApplication::setWindowIcon(ip2h::AppIcon());
        result = ip2h::RunMainWindow(paths, *table, ip2h::ResolutionEngine::Create());
    }
    ip2h::EndProcess(result);
}
