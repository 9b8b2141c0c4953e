#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace ip2h {

// Where the per-user settings file and the address history file live.
struct SettingsPaths {
    std::filesystem::path SettingsFile;  // <dir>/<base>_<user>@<computer>.ini
    std::filesystem::path HistoryFile;   // <dir>/<base>_history.txt
};

// Stand-ins when the system cannot name the user or the computer.
inline constexpr std::string_view kUnknownUserName = "unknown-user";
inline constexpr std::string_view kUnknownComputerName = "unknown-computer";

// Longest user or computer name kept in a file name, in bytes.
inline constexpr std::size_t kMaxNameLength = 254;

// Makes a user or computer name safe to embed in a file name: "/", "\" and NUL become "_",
// so the name can never add a directory step (".." is harmless once no separator surrounds
// it); the name is cut to kMaxNameLength bytes at a UTF-8 character boundary; an empty name
// becomes `fallback`.
std::string FileNameSafe(std::string_view name, std::string_view fallback);

// The settings and history paths beside `executablePath`: its directory, its base name
// without extension, then "_<user>@<computer>.ini" and "_history.txt". Pure.
SettingsPaths ComposeSettingsPaths(const std::filesystem::path& executablePath,
                                   std::string_view userName, std::string_view computerName);

// The same file names in another directory.
SettingsPaths MoveToDirectory(const SettingsPaths& paths, const std::filesystem::path& directory);

// The per-user configuration directory of the program: $XDG_CONFIG_HOME/ip2hostname when
// that is an absolute path, else <home>/.config/ip2hostname; empty when neither is known.
// The arguments are the environment values (may be null). Pure.
std::filesystem::path UserConfigDirectory(const char* xdgConfigHome, const char* home);

// True when a file can really be created in `directory`: a probe file is created and removed
// again. Permission bits alone do not tell (root passes every access check, a read-only
// mount fails them all).
bool DirectoryIsWritable(const std::filesystem::path& directory);

// What the system says about this process and its user.
struct SystemFacts {
    std::filesystem::path ExecutablePath;   // empty when unknown
    std::string UserName;                   // empty when unknown
    std::string ComputerName;               // empty when unknown
    std::filesystem::path ConfigDirectory;  // UserConfigDirectory() of the environment
};
SystemFacts QuerySystemFacts();

using WritableCheck = std::function<bool(const std::filesystem::path&)>;

// Decides where the files go: beside the executable when its directory can be written
// (a portable copy), otherwise in the per-user configuration directory, which is created
// then. Without a known executable the base name "ip2hostname" in the configuration
// directory is used.
SettingsPaths ResolveSettingsPaths(const SystemFacts& facts,
                                   const WritableCheck& isWritable = DirectoryIsWritable);

// The decision for this process; main() calls it once at start.
inline SettingsPaths DetermineSettingsPaths() {
    return ResolveSettingsPaths(QuerySystemFacts());
}

}  // namespace ip2h
