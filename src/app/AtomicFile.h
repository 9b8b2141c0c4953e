#pragma once

#include <filesystem>
#include <string_view>

namespace ip2h {

// Replaces `path` by a file holding exactly `bytes`: they go to a uniquely named temporary
// file beside it, which is flushed to disk and then renamed over `path`. A crash, a full
// disk or a second copy of the program writing at the same time therefore leaves either
// the old file or the new one, never a truncated mix. An existing file keeps its
// permission bits; a symbolic link stays and its target is replaced. Returns false, with
// `path` untouched, when any step fails.
bool ReplaceFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace ip2h
