#pragma once

#include <array>
#include <cstdint>

#include "base/Texts.h"
#include "resolver/LookupOptions.h"
#include "settings/Settings.h"
#include "window/Commands.h"

namespace ip2h {

// Where an option's menu item goes: the View menu, or the Setting menu above or below its
// Clear Cache item.
enum class OptionPlace : std::uint8_t { ViewMenu, SettingMenu, SettingMenuEnd };

// Which stored values count as on, and what is kept of them until the option is toggled
// (a toggle always stores 0 or 1).
enum class OptionValue : std::uint8_t {
    AsStored,     // any value but 0 is on; kept as stored
    OnOrOff,      // any value but 0 is on; kept as 0 or 1
    OnlyOneIsOn,  // 1 is on, any other value off; kept as stored
};

// One on/off option of the window. Its value is stored under Key (the key table's default
// when absent) and written back when the window closes; Toggle flips it; its menu item
// shows MenuText, checked while it is on. Lookup, when set, is the engine's option it turns
// on. Whatever else it does is the window's.
struct OptionRow {
    Command Toggle;
    SettingKey Key;
    TextId MenuText;
    OptionPlace Place;
    const char* ActionName;  // the menu item's object name
    OptionValue Values = OptionValue::AsStored;
    bool LookupOptions::*Lookup = nullptr;
};

// Every on/off option, in menu order.
inline constexpr std::array kOptionTable{
    OptionRow{Command::WindowTopMost, SettingKey::WindowTopMost, TextId::MenuViewTopMost,
              OptionPlace::ViewMenu, "windowTopMostAction"},
    OptionRow{Command::UseNbt, SettingKey::Nbt, TextId::MenuSettingNbt, OptionPlace::SettingMenu,
              "useNbtAction", OptionValue::OnOrOff, &LookupOptions::NetbiosSecondLookup},
    OptionRow{Command::History, SettingKey::History, TextId::MenuSettingHistory,
              OptionPlace::SettingMenu, "historyAction"},
    // Only 1 sorts: flipping a stored 2 to 3 would check the item and still never sort.
    OptionRow{Command::SortEnable, SettingKey::SortEnable, TextId::MenuSettingSort,
              OptionPlace::SettingMenu, "sortEnableAction", OptionValue::OnlyOneIsOn},
    OptionRow{Command::ConfirmNames, SettingKey::ForwardConfirm, TextId::MenuSettingConfirm,
              OptionPlace::SettingMenuEnd, "confirmNamesAction", OptionValue::OnOrOff,
              &LookupOptions::ConfirmNames},
};

// The options' values while the window is open.
class OptionValues {
public:
    // Takes each option's value from its key.
    void Load(const IntegerSettings& stored);
    // Puts each option's value under its key.
    void Save(IntegerSettings& into) const;

    // The value of the option `toggle` flips (0 for a command that flips none).
    int Value(Command toggle) const;
    bool IsOn(Command toggle) const;
    // Flips the option `command` toggles: on becomes 0, off 1. Its row; nullptr when the
    // command is no option's.
    const OptionRow* Toggle(Command command);
    // The engine's options, as the options' values set them.
    LookupOptions Lookups() const;

private:
    std::array<int, kOptionTable.size()> m_values{};
};

}  // namespace ip2h
