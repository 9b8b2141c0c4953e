#include <QApplication>
#include <QLocale>
#include <cstdio>
#include <cstdlib>

#include "app/Language.h"
#include "app/SettingsFile.h"
#include "resolver/WorkerSlots.h"
#include "ui/AppIcon.h"
#include "ui/MainDialog.h"

int main(int argc, char* argv[]) {
    // The language is fixed once, before anything shows a text.
    const QStringList uiLanguages = QLocale::system().uiLanguages();
    ip2h::SetLanguageCode(ip2h::LanguageCodeForUiLanguage(
        uiLanguages.isEmpty() ? std::string() : uiLanguages.first().toStdString()));
    const ip2h::SettingsPaths paths = ip2h::DetermineSettingsPaths();

    int result = 0;
    {
        QApplication application(argc, argv);
        QApplication::setApplicationName(QStringLiteral("ip2hostname"));
        QApplication::setWindowIcon(ip2h::AppIcon());
        ip2h::MainDialog dialog(paths, ip2h::ResolutionEngine::Create());
        dialog.Open();
        result = QApplication::exec();
    }
    // Lookups still under way are abandoned: end now, without waiting for them and without
    // running the destructors of objects they might still use.
    std::fflush(nullptr);
    std::_Exit(result);
}
