#include "settings/SettingsFile.h"

#include "base/FixedText.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>
#include <vector>

namespace ip2h {
namespace {

constexpr std::string_view kProgramName = "ip2hostname";

std::string CurrentUserName() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_name != nullptr && found->pw_name[0] != '\0') {
        return found->pw_name;
    }
    char login[256] = {};
    if (::getlogin_r(login, sizeof login) == 0) return login;
    return {};
}

std::string CurrentComputerName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return {};
    return name;  // the last byte stays NUL even if the name was cut
}

std::filesystem::path CurrentExecutablePath() {
    std::error_code error;
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path{} : path;
}

std::string HomeDirectory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr) {
        return found->pw_dir;
    }
    return {};
}

}  // namespace

std::string FileNameSafe(std::string_view name, std::string_view fallback) {
    std::string safe{CutAtCharacterBoundary(name, kMaxNameLength)};
    for (char& c : safe) {
        if (c == '/' || c == '\\' || c == '\0') c = '_';
    }
    if (safe.empty()) safe = fallback;
    return safe;
}

SettingsPaths ComposeSettingsPaths(const std::filesystem::path& executablePath,
                                   std::string_view userName, std::string_view computerName) {
    const std::filesystem::path directory = executablePath.parent_path();
    const std::string base = executablePath.stem().string();
    const std::string user = FileNameSafe(userName, kUnknownUserName);
    const std::string computer = FileNameSafe(computerName, kUnknownComputerName);
    return SettingsPaths{directory / (base + "_" + user + "@" + computer + ".ini"),
                         directory / (base + "_history.txt")};
}

SettingsPaths MoveToDirectory(const SettingsPaths& paths, const std::filesystem::path& directory) {
    return SettingsPaths{directory / paths.SettingsFile.filename(),
                         directory / paths.HistoryFile.filename()};
}

std::filesystem::path UserConfigDirectory(const char* xdgConfigHome, const char* home) {
    // A relative XDG_CONFIG_HOME is invalid and must be ignored; it would depend on the
    // working directory.
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
        return std::filesystem::path(xdgConfigHome) / kProgramName;
    }
    if (home != nullptr && home[0] != '\0') {
        return std::filesystem::path(home) / ".config" / kProgramName;
    }
    return {};
}

bool DirectoryIsWritable(const std::filesystem::path& directory) {
    std::string pattern =
        ((directory.empty() ? std::filesystem::path(".") : directory) / ".ip2h-probe-XXXXXX")
            .string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(name.data());
    return true;
}

SystemFacts QuerySystemFacts() {
    const std::string home = HomeDirectory();
    return SystemFacts{
        CurrentExecutablePath(), CurrentUserName(), CurrentComputerName(),
        UserConfigDirectory(std::getenv("XDG_CONFIG_HOME"), home.empty() ? nullptr : home.c_str())};
}

SettingsPaths ResolveSettingsPaths(const SystemFacts& facts, const WritableCheck& isWritable) {
    const std::filesystem::path executable =
        facts.ExecutablePath.empty() ? std::filesystem::path(kProgramName) : facts.ExecutablePath;
    const SettingsPaths beside =
        ComposeSettingsPaths(executable, facts.UserName, facts.ComputerName);
    if (!facts.ExecutablePath.empty() && isWritable(executable.parent_path())) return beside;
    if (facts.ConfigDirectory.empty()) return beside;

    std::error_code ignored;
    std::filesystem::create_directories(facts.ConfigDirectory, ignored);
    return MoveToDirectory(beside, facts.ConfigDirectory);
}

}  // namespace ip2h
