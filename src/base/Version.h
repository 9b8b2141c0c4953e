#pragma once

#include <string_view>

namespace ip2h {

// The program's version ("0.40"), the project's as the build names it.
std::string_view ProgramVersion();

}  // namespace ip2h
