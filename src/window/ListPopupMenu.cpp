#include "window/ListPopupMenu.h"

namespace ip2h {

RowCommandAvailability AvailableRowCommands(int listItems, int selectedItems) {
    RowCommandAvailability a;
    const bool items = listItems > 0;
    const bool selected = items && selectedItems > 0;
    a.Copy = selected;
    a.Delete = selected;
    a.SelectAll = items;
    a.SelectSuccess = items;
    a.SelectFailure = items;
    return a;
}

}  // namespace ip2h
