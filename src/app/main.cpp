#include <QApplication>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "batch/ProgramStart.h"
#include "resolver/ResolutionEngine.h"
#include "results/ResultTable.h"
#include "settings/SettingsFile.h"
#include "ui/AppIcon.h"
#include "ui/Application.h"

namespace {

// A display variable that names no running server passes the check before Qt, and Qt then
// ends the process with abort(). While the application is made, Qt's messages are held: a
// fatal one ends the process with one line and the status of a missing display, naming
// the first reason Qt gave; otherwise they are printed once the application stands.
QStringList g_heldMessages;

void HoldOrEnd(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtFatalMsg) {
        g_heldMessages.append(message);
        return;
    }
    const QString reason = g_heldMessages.isEmpty() ? message : g_heldMessages.first();
    const std::string line = "ip2hostname: the window could not open a display (" +
                             reason.section(QLatin1Char('\n'), 0, 0).toStdString() +
                             "); without one, use 'ip2hostname --batch'\n";
    (void)!::write(STDERR_FILENO, line.data(), line.size());
    std::_Exit(1);
}

}  // namespace

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
        qInstallMessageHandler(HoldOrEnd);
        QApplication application(argc, argv);
        qInstallMessageHandler(nullptr);
        for (const QString& message : std::as_const(g_heldMessages))
            qWarning("%ls", qUtf16Printable(message));
        g_heldMessages.clear();
        QApplication::setApplicationName(QStringLiteral("ip2hostname"));
        QApplication::setWindowIcon(ip2h::AppIcon());
        result = ip2h::RunMainWindow(paths, *table, ip2h::ResolutionEngine::Create());
    }
    ip2h::EndProcess(result);
}
