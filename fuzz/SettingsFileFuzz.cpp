// The settings file as it may be found: edited by hand, damaged, or not a settings file at
// all. Reading must give usable values, and a write must change only its own key.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "settings/ProfileStore.h"
#include "settings/Settings.h"

namespace ip2h::fuzz {
namespace {

bool IsPlainValue(std::string_view text) {
    if (text.empty() || text.size() > kMaxProfileTextLength) return false;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '"' || c == '\r' || c == '\n' || c == '\0') {
            return false;
        }
    }
    return true;
}

void CheckText(std::string_view text) {
    Require(text.size() <= kMaxProfileTextLength, "texts are cut to their limit");
    Require(text.find('\n') == std::string_view::npos && text.find('\0') == std::string_view::npos,
            "a text never spans lines");
}

}  // namespace
}  // namespace ip2h::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ip2h;
    using namespace ip2h::fuzz;
    InputReader input(data, size);
    const std::uint8_t choice = input.Byte();
    const std::string_view numbers = input.Field();
    const std::string_view written = input.Field();
    const std::string_view file = input.Rest();

    // The number lists also come from the file; these are read straight from the input.
    (void)ParsePosition(numbers);
    (void)ParseColumnWidths(numbers);

    const std::filesystem::path path = ScratchDirectory() / "settings.ini";
    WriteWholeFile(path, file);
    ProfileStore store(path);
    const OpeningSettings opened = ReadOpeningSettings(store);
    Require(opened.MaxLimit >= kMaxLimitLowest && opened.MaxLimit <= kMaxLimitHighest,
            "MaxLimit is clamped");
    CheckText(opened.RangeText);
    CheckText(opened.IntervalText);

    // One key is written; it must read back, and a neighbour must read as before.
    const auto target = static_cast<SettingKey>(choice % static_cast<int>(SettingKey::Count));
    const auto other =
        static_cast<SettingKey>((choice / 16 + 1 + choice % static_cast<int>(SettingKey::Count)) %
                                static_cast<int>(SettingKey::Count));
    const SettingDefinition& t = DefinitionOf(target);
    const SettingDefinition& o = DefinitionOf(other);
    const std::string otherBefore = store.ReadText(o.Section, o.Key, "<absent>");
    const bool isInteger = (choice & 0x80) != 0;
    const int number = static_cast<int>(written.size() * 7919u) - 1000;
    const bool ok = isInteger ? store.WriteInteger(t.Section, t.Key, number)
                              : store.WriteText(t.Section, t.Key, written);
    Require(ok, "a write to a writable file succeeds");
    if (isInteger) {
        Require(store.ReadInteger(t.Section, t.Key, number + 1) == number, "integer reads back");
    } else {
        const std::string back = store.ReadText(t.Section, t.Key, "<absent>");
        CheckText(back);
        if (IsPlainValue(written)) Require(back == written, "text reads back");
    }
    if (other != target && otherBefore.find('\r') == std::string::npos) {
        Require(store.ReadText(o.Section, o.Key, "<absent>") == otherBefore,
                "other keys keep their values");
    }
    return 0;
}
