#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace ip2h::fuzz {

// A broken invariant is a finding like a crash: the fuzzer stops and keeps the input.
inline void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// Splits one fuzzer input into a few independent values, so that one input drives several
// parameters of a call without the fuzzer having to learn a format.
class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size)
        : m_text(reinterpret_cast<const char*>(data), size) {}

    std::uint8_t Byte() {
        if (m_text.empty()) return 0;
        const auto byte = static_cast<std::uint8_t>(m_text.front());
        m_text.remove_prefix(1);
        return byte;
    }

    std::uint32_t Number() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value = value << 8 | Byte();
        return value;
    }

    // Text up to the next NUL byte (consumed), or the rest.
    std::string_view Field() {
        const std::size_t end = m_text.find('\0');
        const std::string_view field = m_text.substr(0, end);
        m_text.remove_prefix(end == std::string_view::npos ? m_text.size() : end + 1);
        return field;
    }

    std::string_view Rest() {
        const std::string_view rest = m_text;
        m_text = {};
        return rest;
    }

private:
    std::string_view m_text;
};

// A private directory for the files a target writes, removed at exit: under $TMPDIR when it
// is set, otherwise on the memory file system when there is one (the writers flush to disk,
// which would otherwise dominate every execution).
inline const std::filesystem::path& ScratchDirectory() {
    static const std::filesystem::path directory = [] {
        std::filesystem::path base = "/dev/shm";
        if (std::getenv("TMPDIR") != nullptr || !std::filesystem::is_directory(base) ||
            ::access(base.c_str(), W_OK) != 0) {
            base = std::filesystem::temp_directory_path();
        }
        std::string pattern = (base / "ip2h-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(ScratchDirectory(), ignored);
        });
        return std::filesystem::path(pattern);
    }();
    return directory;
}

// Replaces `path` by exactly `bytes`, the way a damaged file would be found.
inline void WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Require(file != nullptr, "scratch file opens");
    Require(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size(), "scratch write");
    std::fclose(file);
}

}  // namespace ip2h::fuzz
