#pragma once

namespace ip2h {

// Which commands of the list's popup menu are available.
struct RowCommandAvailability {
    bool Copy = false;
    bool Paste = true;
    bool Delete = false;
    bool SelectAll = false;
    bool SelectSuccess = false;
    bool SelectFailure = false;
};
RowCommandAvailability AvailableRowCommands(int listItems, int selectedItems);

}  // namespace ip2h
