#pragma once

namespace ip2h {

// Every command of the main window, by its number. Menus, keys, the popup menu, the button
// and tests all reach the window through these ids and one dispatch function.
enum class Command : int {
    About = 16,  // system-menu item; behaves like HelpAbout
    Register = 1005,
    Exit = 32771,
    HelpAbout = 32772,
    SelectAll = 32773,
    Paste = 32775,
    Copy = 32776,
    Delete = 32777,
    WindowTopMost = 32778,
    CopyItemAddress = 32779,
    CopyItemHostName = 32780,
    SelectSuccess = 32781,
    SelectFailure = 32782,
    UseNbt = 32783,
    History = 32784,
    ClearCache = 32785,
    SortEnable = 32786,
};

}  // namespace ip2h
