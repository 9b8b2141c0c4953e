#pragma once

#include <functional>
#include <memory>

#include "settings/SettingsFile.h"

namespace ip2h {

class MainDialog;
class ResolutionEngine;
class ResultTable;

// Fixes the process's language from the desktop's interface language, once, before anything
// shows a text.
void ChooseLanguageFromDesktop();

// Opens the program's one window over `table` with `engine`, runs the event loop until the
// window has closed (SIGTERM and SIGHUP close it too) and returns the loop's result. The
// window is gone when this returns. `opened`, when given, runs once the window is open (tests
// drive the window through it). Needs a QApplication.
int RunMainWindow(const SettingsPaths& paths, ResultTable& table,
                  std::shared_ptr<ResolutionEngine> engine,
                  const std::function<void(MainDialog&)>& opened = {});

// Ends the process at once with `result`. Lookups still under way are abandoned: nothing
// waits for them, and no destructor runs that could free what they still use.
[[noreturn]] void EndProcess(int result);

}  // namespace ip2h
