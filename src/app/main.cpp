#include <QApplication>

#include "app/SettingsFile.h"
#include "resolver/WorkerSlots.h"
#include "ui/AppIcon.h"
#include "ui/Application.h"

int main(int argc, char* argv[]) {
    ip2h::ChooseLanguageFromDesktop();
    const ip2h::SettingsPaths paths = ip2h::DetermineSettingsPaths();
    int result = 0;
    {
        QApplication application(argc, argv);
        QApplication::setApplicationName(QStringLiteral("ip2hostname"));
        QApplication::setWindowIcon(ip2h::AppIcon());
        result = ip2h::RunMainWindow(paths, ip2h::ResolutionEngine::Create());
    }
    ip2h::EndProcess(result);
}
