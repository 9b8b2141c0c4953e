#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "settings/ProfileStore.h"

namespace ip2h {

// The keys of the settings file.
enum class SettingKey {
    Position,
    IsZoomed,
    WindowTopMost,
    ColnmWidth,
    SortEnable,
    MaxLimit,
    IpAdrsRange,
    IpIncrement,
    CopyItem,
    Nbt,
    History,
    ForwardConfirm,
    SaveFolder,
    Count
};

inline constexpr std::size_t kSettingKeyCount = static_cast<std::size_t>(SettingKey::Count);

// Where a key lives and what it holds when absent: IntegerDefault for the integer keys,
// TextDefault for the text keys.
struct SettingDefinition {
    std::string_view Section;
    std::string_view Key;
    int IntegerDefault;
    std::string_view TextDefault;
};

const SettingDefinition& DefinitionOf(SettingKey key);

int ReadIntegerSetting(const ProfileStore& store, SettingKey key);
std::string ReadTextSetting(const ProfileStore& store, SettingKey key);
bool WriteIntegerSetting(ProfileStore& store, SettingKey key, int value);
bool WriteTextSetting(ProfileStore& store, SettingKey key, std::string_view text);

// Rows one registration creates: a stored value of 256 or less is used as 256, one of 1024
// or more as 1024.
inline constexpr int kMaxLimitLowest = 256;
inline constexpr int kMaxLimitHighest = 1024;
int ClampMaxLimit(std::int64_t value);

// Widths of the four result list columns when none are stored.
inline constexpr std::array<int, 4> kDefaultColumnWidths{120, 250, 70, 120};

// The window placement stored as "Position", in screen pixels.
struct WindowPlacement {
    int Flags = 0;  // kRestoreToMaximized when the window reopens maximised
    int ShowState = 0;
    int MinimizedX = 0;
    int MinimizedY = 0;
    int MaximizedX = 0;
    int MaximizedY = 0;
    int NormalLeft = 0;
    int NormalTop = 0;
    int NormalRight = 0;
    int NormalBottom = 0;

    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};
inline constexpr int kRestoreToMaximized = 2;

// "Position" holds ten "%i" numbers joined by ":"; anything less is no placement at all.
std::optional<WindowPlacement> ParsePosition(std::string_view text);
std::string FormatPosition(const WindowPlacement& placement);

// "ColnmWidth" holds up to four "%i" numbers joined by ":"; those read replace the defaults
// from the left.
std::array<int, 4> ParseColumnWidths(std::string_view text);
std::string FormatColumnWidths(const std::array<int, 4>& widths);

// One integer for each key, by key.
class IntegerSettings {
public:
    int operator[](SettingKey key) const { return m_values[static_cast<std::size_t>(key)]; }
    int& operator[](SettingKey key) { return m_values[static_cast<std::size_t>(key)]; }

private:
    std::array<int, kSettingKeyCount> m_values{};
};

// Everything the main window reads when it opens (the defaults are the key table's).
struct OpeningSettings {
    std::optional<WindowPlacement> Position;
    int IsZoomed = 0;
    std::array<int, 4> ColumnWidths{};
    int MaxLimit = 0;  // clamped
    std::string RangeText;
    std::string IntervalText;
    int CopyItems = 0;
    std::string SaveFolder;
    // Every integer key as stored; the window's on/off options take their values here.
    IntegerSettings Integers;
};

// Reads the keys in the order the window uses them: Position, IsZoomed, WindowTopMost,
// ColnmWidth, SortEnable, MaxLimit, IpAdrsRange, IpIncrement, CopyItem, NBT, History, then
// ForwardConfirm and SaveFolder.
OpeningSettings ReadOpeningSettings(const ProfileStore& store);

// Everything the main window writes when it closes.
struct ClosingSettings {
    bool IsZoomed = false;
    std::optional<WindowPlacement> Position;  // nullopt when the placement could not be read
    std::array<int, 4> ColumnWidths{};
    // The values of WindowTopMost, NBT, History, CopyItem, SortEnable and ForwardConfirm.
    IntegerSettings Integers;
};

// Writes WindowTopMost, then runs `saveHistory` (may be empty), then IsZoomed, Position
// (with kRestoreToMaximized added when zoomed; skipped when unknown), ColnmWidth, NBT,
// History, CopyItem, SortEnable and ForwardConfirm. Failed writes are ignored.
void WriteClosingSettings(ProfileStore& store, const ClosingSettings& settings,
                          const std::function<void()>& saveHistory);

// The three keys a registration writes, in this order: MaxLimit, IpAdrsRange, IpIncrement.
void WriteRegistrationSettings(ProfileStore& store, int maxLimit, std::string_view rangeText,
                               std::string_view intervalText);

}  // namespace ip2h
