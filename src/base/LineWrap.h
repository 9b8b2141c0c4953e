#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ip2h {

// The longest line a tooltip shows, in characters: a whole DNS label (63) and its dot, and
// narrow enough for any screen of 800 pixels at the usual font sizes.
inline constexpr std::size_t kTooltipColumns = 64;

// `text` with every line longer than `columns` characters (UTF-8 sequences, not bytes)
// broken into lines of at most that many: after the last dot or blank that leaves the line
// at least half full, otherwise after exactly `columns` characters. Shorter lines stay as
// they are.
std::string WrapLongLines(std::string_view text, std::size_t columns);

}  // namespace ip2h
