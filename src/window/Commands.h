#pragma once

namespace ip2h {

// Every command of the main window. Menus, keys, the popup menu, the button and tests all
// reach the window through these and one dispatch function.
enum class Command {
    Register,
    Exit,
    About,
    SelectAll,
    Paste,
    Copy,
    Delete,
    WindowTopMost,
    CopyItemAddress,
    CopyItemHostName,
    SelectSuccess,
    SelectFailure,
    UseNbt,
    History,
    ClearCache,
    SortEnable,
    SaveResults,
    ConfirmNames,
};

}  // namespace ip2h
