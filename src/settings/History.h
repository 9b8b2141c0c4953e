#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ip2h {

// A history line longer than this is read as several pieces.
inline constexpr std::size_t kHistoryPieceLength = 1022;
// Reading stops after this many kept pieces.
inline constexpr std::size_t kHistoryMaxPieces = 512;
// Reading also stops after this many bytes, so a huge file of skipped lines cannot stall
// the window's opening.
inline constexpr std::size_t kHistoryMaxBytes = 16u * 1024 * 1024;

// The range texts of the history file at `path` to add to the range list, in file order.
// Nothing when `enabled` is false or the file is missing or unreadable. Lines are read in
// pieces of at most kHistoryPieceLength bytes (line end included); a piece is kept only if
// its first byte lies in 0x20..0x7F, and reading stops after kHistoryMaxPieces kept
// pieces. Carriage returns and line feeds are removed from each piece; a text equal to
// `rangeText` is left out, because the window adds that one itself.
std::vector<std::string> LoadHistory(const std::filesystem::path& path, bool enabled,
                                     std::string_view rangeText);

// Writes the range list, merged with the ranges the file holds now (another copy of the
// program may have added some), to the history file: one item per line ended by CR LF, in
// list order, empty items, items equal to the one before and items longer than
// kHistoryPieceLength (they would come back in pieces) left out, carriage returns and line
// feeds removed from each item, at most kHistoryMaxPieces lines. With `enabled` false the
// file is deleted instead. The file is replaced atomically, so a failed save leaves the
// previous history intact, and a file made read-only is left alone. Returns whether the file
// is now as asked; callers may ignore it.
bool SaveHistory(const std::filesystem::path& path, bool enabled,
                 const std::vector<std::string>& listItems);

// Adds `text` to `items`, which are kept in ascending order ignoring ASCII letter case.
// Texts that differ only in letter case are separate items; an exact duplicate is never
// added. Returns whether the text was added.
bool AddToSortedList(std::vector<std::string>& items, std::string_view text);

}  // namespace ip2h
