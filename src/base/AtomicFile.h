#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace ip2h {

// Replaces `path` by a file holding exactly `bytes`: they go to a uniquely named temporary
// file beside it, which is flushed to disk and then renamed over `path`. A crash, a full
// disk or a second copy of the program writing at the same time therefore leaves either
// the old file or the new one, never a truncated mix. An existing file keeps its
// permission bits; a symbolic link stays and its target is replaced. Returns false, with
// `path` untouched and errno telling why, when any step fails.
// A file the user made read-only (no write permission for this user, or no write bit at all,
// which also holds for root) is left as it is: the function writes nothing and returns false
// (errno EACCES).
bool ReplaceFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Writes all of `bytes` to `fd`, going on after partial writes and interruptions. Returns 0,
// or the errno of the write that failed.
int WriteAll(int fd, std::string_view bytes);

// One read() of up to `size` bytes, tried again when a signal interrupts it before anything
// is read. Returns what read() returns: the bytes read, 0 at the end, or -1 with errno set.
ssize_t ReadSome(int fd, void* buffer, std::size_t size);

// Opens `path` for reading without blocking on a FIFO or a device: the descriptor of a
// regular file, which the caller closes, or -1 with errno saying why (EINVAL: not a regular
// file).
int OpenRegularFile(const std::filesystem::path& path);

// Whether `path` exists and was made read-only: not writable by this user, or with no write
// bit set at all.
bool IsWriteProtected(const std::filesystem::path& path);

// Makes a read-modify-write of a file exclusive among processes. Without it, two copies of
// the program closing at the same time each rebuild a file from what they read before the
// other's write, and the later rename silently undoes the earlier write. The lock is held on
// the file's directory, because the file itself is replaced by every write. A holder that
// never lets go (a copy stopped in a debugger) delays a write by at most two seconds; the
// write then goes ahead unlocked.
class DirectoryWriteLock {
public:
    explicit DirectoryWriteLock(const std::filesystem::path& file);
    ~DirectoryWriteLock();
    DirectoryWriteLock(const DirectoryWriteLock&) = delete;
    DirectoryWriteLock& operator=(const DirectoryWriteLock&) = delete;

private:
    int m_fd = -1;
};

}  // namespace ip2h
