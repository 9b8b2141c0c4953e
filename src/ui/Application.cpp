#include "ui/Application.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/Language.h"
#include "resolver/ResolutionEngine.h"
#include "ui/MainDialog.h"
#include "ui/TerminationSignals.h"

namespace ip2h {

void ChooseLanguageFromDesktop() {
    SetLanguageCode(LanguageCodeFromEnvironment(std::getenv));
}

int RunMainWindow(const SettingsPaths& paths, ResultTable& table,
                  std::shared_ptr<ResolutionEngine> engine,
                  const std::function<void(MainDialog&)>& opened) {
    MainDialog dialog(paths, table, std::move(engine));
    const TerminationSignals closeOnSignal(dialog);
    dialog.Open();
    if (opened) opened(dialog);
    return QApplication::exec();
}

void EndProcess(int result) {
    std::fflush(nullptr);
    std::_Exit(result);
}

}  // namespace ip2h
