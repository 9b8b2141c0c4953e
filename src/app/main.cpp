#include <QApplication>

#include <cstdlib>

#include "batch/ProgramStart.h"
#include "resolver/WorkerSlots.h"
#include "results/ResultTable.h"
#include "settings/SettingsFile.h"
#include "ui/AppIcon.h"
#include "ui/Application.h"

int main(int argc, char* argv[]) {
    // The batch mode, --help, --version and the want of a display are settled before
    // anything of Qt or the settings is touched: they run without a display and leave no file
    // behind (Qt would abort without one).
    if (const auto status = ip2h::RunWithoutWindow(argc, argv)) std::_Exit(*status);
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
