#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace ip2h::test {

// A fresh directory under the system's temporary directory, removed with everything in it
// when the object goes away. Tests that touch files work only inside one.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Whole-file helpers, binary: what is written is what the file holds, byte for byte.
void WriteFile(const std::filesystem::path& path, std::string_view bytes);
std::string ReadFile(const std::filesystem::path& path);

}  // namespace ip2h::test
