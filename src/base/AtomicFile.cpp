#include "base/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sys/file.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <random>
#include <string>
#include <system_error>
#include <thread>

namespace ip2h {
int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

ssize_t ReadSome(int fd, void* buffer, std::size_t size) {
    for (;;) {
        const ssize_t count = ::read(fd, buffer, size);
        if (count >= 0 || errno != EINTR) return count;
    }
}

namespace {

// Creates a new file "<path>.tmp.<unique>" with mode 0666 less the umask, as any new file
// of the process would get. Returns its descriptor and name, or -1.
int CreateTemporaryBeside(const std::filesystem::path& path, std::string& name) {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = path.string() + ".tmp." + std::to_string(::getpid()) + "." +
               std::to_string(counter.fetch_add(1)) + "." + std::to_string(random() % 1000000);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

void SyncDirectory(const std::filesystem::path& directory) {
    const int fd =
        ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

int OpenRegularFile(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

bool IsWriteProtected(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
           ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
}

DirectoryWriteLock::DirectoryWriteLock(const std::filesystem::path& file) {
    constexpr auto kLongestWait = std::chrono::seconds(2);
    const std::filesystem::path directory = file.parent_path();
    m_fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0) return;
    const auto deadline = std::chrono::steady_clock::now() + kLongestWait;
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= deadline) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

DirectoryWriteLock::~DirectoryWriteLock() {
    if (m_fd >= 0) ::close(m_fd);  // releases the lock
}

bool ReplaceFileAtomically(const std::filesystem::path& requested, std::string_view bytes) {
    // A file made read-only is the user's decision, which a rename would quietly override.
    if (IsWriteProtected(requested)) {
        errno = EACCES;
        return false;
    }
    // A symbolic link (settings kept with other dotfiles) is followed, so that the link
    // stays and its target gets the new contents.
    std::error_code error;
    std::filesystem::path path = requested;
    if (std::filesystem::is_symlink(requested, error)) {
        path = std::filesystem::weakly_canonical(requested, error);
        if (error) {
            errno = error.value();
            return false;
        }
    }
    std::string temp;
    const int fd = CreateTemporaryBeside(path, temp);
    if (fd < 0) return false;

    // The first failure's errno is the one the caller is told.
    int failure = 0;
    const auto check = [&failure](bool ok) {
        if (!ok && failure == 0) failure = errno != 0 ? errno : EIO;
    };
    check(WriteAll(fd, bytes) == 0);
    struct stat existing {};
    if (failure == 0 && ::stat(path.c_str(), &existing) == 0) {
        check(::fchmod(fd, existing.st_mode & 07777) == 0);
    }
    if (failure == 0) check(::fsync(fd) == 0);
    check(::close(fd) == 0);
    if (failure == 0) check(::rename(temp.c_str(), path.c_str()) == 0);
    if (failure != 0) {
        ::unlink(temp.c_str());
        errno = failure;
        return false;
    }
    // The rename itself reaches the disk only with its directory.
    SyncDirectory(path.parent_path());
    return true;
}

}  // namespace ip2h
