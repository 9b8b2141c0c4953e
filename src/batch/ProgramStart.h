#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string_view>

namespace ip2h {

enum class ProgramMode { Window, Batch, Help, Version, NoDisplay };

// What `ip2hostname ARGUMENTS...` does, decided before anything of Qt: "--batch" as the first
// argument runs the batch mode (which reads its own --help and --version); otherwise the first
// --help or --version anywhere prints and ends; otherwise the window opens, unless no platform
// that Qt would try has a display to open it on. The platform is the one named by "-platform"
// on the command line, else by QT_QPA_PLATFORM (a list such as "wayland;xcb"), else the
// desktop's: "xcb" needs DISPLAY, "wayland..." WAYLAND_DISPLAY, the default either of them;
// any other named platform (offscreen, vnc, eglfs) is left to Qt. `getenv` reads the
// environment.
ProgramMode ChooseProgramMode(std::span<const std::string_view> arguments,
                              const std::function<const char*(const char*)>& getenv);

// The text of `ip2hostname --help`: the window and the batch mode.
std::string_view ProgramUsage();

// Everything that needs no window: the batch mode, --help, --version, and the one-line
// message (exit status 1) when there is no display. Returns the status for the process to
// end with at once, or nothing when the window is to open.
std::optional<int> RunWithoutWindow(int argc, char** argv);

}  // namespace ip2h
