#include "batch/ProgramStart.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/AtomicFile.h"
#include "base/Version.h"
#include "batch/BatchCommand.h"

namespace ip2h {
namespace {

constexpr std::string_view kUsage =
    "Usage: ip2hostname [--help | --version]\n"
    "  or:  ip2hostname --batch [OPTION]... [RANGE]...\n"
    "Turn IPv4 addresses into host names by reverse lookup.\n"
    "\n"
    "Without arguments, open the window: type an address range (192.0.2.1-192.0.2.40) and\n"
    "an interval, press Register, and the list shows each address with its host name, the\n"
    "result and a description of the name's domain. The window needs a display.\n"
    "\n"
    "With --batch, look the names up without a window and write one CSV, TSV or JSON\n"
    "line per address to standard output; 'ip2hostname --batch --help' lists its options.\n"
    "\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "Exit status: 0, or 1 when there is no display for the window. The batch mode's own are\n"
    "in 'ip2hostname --batch --help'.\n";

constexpr std::string_view kNoDisplay =
    "ip2hostname: the window needs a display (DISPLAY or WAYLAND_DISPLAY is not set); "
    "without one, use 'ip2hostname --batch' (see 'ip2hostname --help')\n";

bool Set(const std::function<const char*(const char*)>& getenv, const char* name) {
    const char* value = getenv(name);
    return value != nullptr && *value != '\0';
}

// Whether one entry of a platform list ("xcb", "wayland-egl", "offscreen:fontengine=...")
// can open a window here.
bool PlatformCanShow(std::string_view entry, bool display, bool wayland) {
    const std::string_view name = entry.substr(0, entry.find(':'));
    if (name == "xcb") return display;
    if (name.starts_with("wayland")) return wayland;
    return !name.empty();
}

}  // namespace

ProgramMode ChooseProgramMode(std::span<const std::string_view> arguments,
                              const std::function<const char*(const char*)>& getenv) {
    if (!arguments.empty() && arguments.front() == "--batch") return ProgramMode::Batch;
    std::optional<std::string_view> platform;
    bool displayArgument = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        if (argument == "--help") return ProgramMode::Help;
        if (argument == "--version") return ProgramMode::Version;
        // Qt reads its own options with one dash or two.
        if (argument.starts_with("--")) argument.remove_prefix(1);
        if (argument == "-platform" && i + 1 < arguments.size()) platform = arguments[i + 1];
        if (argument == "-display" && i + 1 < arguments.size()) displayArgument = true;
    }
    const bool display = displayArgument || Set(getenv, "DISPLAY");
    const bool wayland = Set(getenv, "WAYLAND_DISPLAY");
    if (!platform && Set(getenv, "QT_QPA_PLATFORM")) platform = getenv("QT_QPA_PLATFORM");
    if (!platform) return display || wayland ? ProgramMode::Window : ProgramMode::NoDisplay;
    for (std::string_view list = *platform;;) {
        const std::size_t end = list.find(';');
        if (PlatformCanShow(list.substr(0, end), display, wayland)) return ProgramMode::Window;
        if (end == std::string_view::npos) return ProgramMode::NoDisplay;
        list.remove_prefix(end + 1);
    }
}

std::string_view ProgramUsage() {
    return kUsage;
}

std::optional<int> RunWithoutWindow(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + std::min(argc, 1), argv + argc);
    switch (ChooseProgramMode(arguments, [](const char* name) { return std::getenv(name); })) {
        case ProgramMode::Batch:
            return RunBatchCommand(argc, argv);
        case ProgramMode::Help:
            WriteAll(STDOUT_FILENO, kUsage);
            return 0;
        case ProgramMode::Version:
            WriteAll(STDOUT_FILENO, "ip2hostname " + std::string(ProgramVersion()) + "\n");
            return 0;
        case ProgramMode::NoDisplay:
            WriteAll(STDERR_FILENO, kNoDisplay);
            return 1;
        case ProgramMode::Window:
            break;
    }
    return std::nullopt;
}

}  // namespace ip2h
