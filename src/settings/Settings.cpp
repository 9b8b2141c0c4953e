#include "settings/Settings.h"

#include <algorithm>
#include <limits>

#include "base/IntScan.h"

namespace ip2h {
namespace {

constexpr std::string_view kSettings = "Settings";
constexpr std::string_view kOptions = "Options";

struct SettingRow {
    SettingKey Id;
    SettingDefinition Definition;
};

// Every key of the settings file, once.
constexpr std::array kSettingTable{
    SettingRow{SettingKey::Position, {kSettings, "Position", 0, ""}},
    SettingRow{SettingKey::IsZoomed, {kSettings, "IsZoomed", 0, ""}},
    SettingRow{SettingKey::WindowTopMost, {kSettings, "WindowTopMost", 0, ""}},
    SettingRow{SettingKey::ColnmWidth, {kSettings, "ColnmWidth", 0, ""}},
    SettingRow{SettingKey::SortEnable, {kOptions, "SortEnable", 1, ""}},
    SettingRow{SettingKey::MaxLimit, {kOptions, "MaxLimit", kMaxLimitLowest, ""}},
    SettingRow{SettingKey::IpAdrsRange, {kOptions, "IpAdrsRange", 0, "192.168.0.0-192.168.0.255"}},
    SettingRow{SettingKey::IpIncrement, {kOptions, "IpIncrement", 0, "1"}},
    SettingRow{SettingKey::CopyItem, {kOptions, "CopyItem", 1, ""}},
    SettingRow{SettingKey::Nbt, {kOptions, "NBT", 0, ""}},
    SettingRow{SettingKey::History, {kOptions, "History", 1, ""}},
    SettingRow{SettingKey::ForwardConfirm, {kOptions, "ForwardConfirm", 0, ""}},
    SettingRow{SettingKey::SaveFolder, {kOptions, "SaveFolder", 0, ""}},
};

constexpr bool TableMatchesKeys() {
    if (kSettingTable.size() != kSettingKeyCount) return false;
    for (std::size_t i = 0; i < kSettingTable.size(); ++i) {
        if (static_cast<std::size_t>(kSettingTable[i].Id) != i) return false;
    }
    return true;
}
static_assert(TableMatchesKeys(), "kSettingTable must have one row per SettingKey, in order");

std::string JoinWithColons(const int* values, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) text += ':';
        text += std::to_string(values[i]);
    }
    return text;
}

}  // namespace

const SettingDefinition& DefinitionOf(SettingKey key) {
    return kSettingTable[static_cast<std::size_t>(key)].Definition;
}

int ReadIntegerSetting(const ProfileStore& store, SettingKey key) {
    const SettingDefinition& d = DefinitionOf(key);
    return store.ReadInteger(d.Section, d.Key, d.IntegerDefault);
}

std::string ReadTextSetting(const ProfileStore& store, SettingKey key) {
    const SettingDefinition& d = DefinitionOf(key);
    return store.ReadText(d.Section, d.Key, d.TextDefault);
}

bool WriteIntegerSetting(ProfileStore& store, SettingKey key, int value) {
    const SettingDefinition& d = DefinitionOf(key);
    return store.WriteInteger(d.Section, d.Key, value);
}

bool WriteTextSetting(ProfileStore& store, SettingKey key, std::string_view text) {
    const SettingDefinition& d = DefinitionOf(key);
    return store.WriteText(d.Section, d.Key, text);
}

int ClampMaxLimit(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, kMaxLimitLowest, kMaxLimitHighest));
}

std::optional<WindowPlacement> ParsePosition(std::string_view text) {
    std::array<std::int64_t, 10> v{};
    if (ScanFields(text, "%i:%i:%i:%i:%i:%i:%i:%i:%i:%i", v) != 10) return std::nullopt;
    return WindowPlacement{ClampToInt(v[0]), ClampToInt(v[1]), ClampToInt(v[2]), ClampToInt(v[3]),
                           ClampToInt(v[4]), ClampToInt(v[5]), ClampToInt(v[6]), ClampToInt(v[7]),
                           ClampToInt(v[8]), ClampToInt(v[9])};
}

std::string FormatPosition(const WindowPlacement& p) {
    const int values[] = {p.Flags,      p.ShowState,  p.MinimizedX, p.MinimizedY,  p.MaximizedX,
                          p.MaximizedY, p.NormalLeft, p.NormalTop,  p.NormalRight, p.NormalBottom};
    return JoinWithColons(values, std::size(values));
}

std::array<int, 4> ParseColumnWidths(std::string_view text) {
    std::array<int, 4> widths = kDefaultColumnWidths;
    std::array<std::int64_t, 4> read{};
    const int count = ScanFields(text, "%i:%i:%i:%i", read);
    for (int i = 0; i < count; ++i) {
        widths[static_cast<std::size_t>(i)] = ClampToInt(read[static_cast<std::size_t>(i)]);
    }
    return widths;
}

std::string FormatColumnWidths(const std::array<int, 4>& widths) {
    return JoinWithColons(widths.data(), widths.size());
}

OpeningSettings ReadOpeningSettings(const ProfileStore& store) {
    OpeningSettings s;
    const auto integer = [&store, &s](SettingKey key) {
        return s.Integers[key] = ReadIntegerSetting(store, key);
    };
    if (const std::string position = ReadTextSetting(store, SettingKey::Position);
        !position.empty()) {
        s.Position = ParsePosition(position);
    }
    s.IsZoomed = integer(SettingKey::IsZoomed);
    integer(SettingKey::WindowTopMost);
    const std::string widths = ReadTextSetting(store, SettingKey::ColnmWidth);
    s.ColumnWidths = widths.empty() ? kDefaultColumnWidths : ParseColumnWidths(widths);
    integer(SettingKey::SortEnable);
    s.MaxLimit = ClampMaxLimit(integer(SettingKey::MaxLimit));
    s.RangeText = ReadTextSetting(store, SettingKey::IpAdrsRange);
    s.IntervalText = ReadTextSetting(store, SettingKey::IpIncrement);
    s.CopyItems = integer(SettingKey::CopyItem);
    integer(SettingKey::Nbt);
    integer(SettingKey::History);
    integer(SettingKey::ForwardConfirm);
    s.SaveFolder = ReadTextSetting(store, SettingKey::SaveFolder);
    return s;
}

void WriteClosingSettings(ProfileStore& store, const ClosingSettings& s,
                          const std::function<void()>& saveHistory) {
    WriteIntegerSetting(store, SettingKey::WindowTopMost, s.Integers[SettingKey::WindowTopMost]);
    if (saveHistory) saveHistory();
    WriteIntegerSetting(store, SettingKey::IsZoomed, s.IsZoomed ? 1 : 0);
    if (s.Position) {
        WindowPlacement placement = *s.Position;
        if (s.IsZoomed) placement.Flags |= kRestoreToMaximized;
        WriteTextSetting(store, SettingKey::Position, FormatPosition(placement));
    }
    WriteTextSetting(store, SettingKey::ColnmWidth, FormatColumnWidths(s.ColumnWidths));
    for (const SettingKey key : {SettingKey::Nbt, SettingKey::History, SettingKey::CopyItem,
                                 SettingKey::SortEnable, SettingKey::ForwardConfirm}) {
        WriteIntegerSetting(store, key, s.Integers[key]);
    }
}

void WriteRegistrationSettings(ProfileStore& store, int maxLimit, std::string_view rangeText,
                               std::string_view intervalText) {
    WriteIntegerSetting(store, SettingKey::MaxLimit, maxLimit);
    WriteTextSetting(store, SettingKey::IpAdrsRange, rangeText);
    WriteTextSetting(store, SettingKey::IpIncrement, intervalText);
}

}  // namespace ip2h
