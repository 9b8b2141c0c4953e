#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace ip2h {

// Longest text a read returns, in bytes.
inline constexpr std::size_t kMaxProfileTextLength = 4095;

// Larger files are not settings files; they are neither read nor rewritten.
inline constexpr std::uintmax_t kMaxProfileFileSize = 16u * 1024 * 1024;

// Section-and-key access to one INI file, going to the file on every call: nothing is
// cached, so two windows or two processes see each other's writes.
//
// File format: "[Section]" opens a section; "key=value" lines belong to the last section
// opened; lines whose first non-blank character is ";" or "#" are comments; other lines are
// ignored. Section and key names are matched without regard to ASCII letter case, with
// surrounding blanks ignored; when a name occurs twice, the first occurrence counts. Lines
// end in LF or CR LF.
//
// A write keeps every other byte of the file as it was (comments, blank lines, unknown
// keys, each line's own line ending) and replaces the file atomically.
class ProfileStore {
public:
    explicit ProfileStore(std::filesystem::path file);

    const std::filesystem::path& File() const { return m_file; }

    // The value's leading decimal integer (optional sign; no digits gives 0; saturates at
    // the int range); `defaultValue` when the key is missing or its value is empty.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;

    // The value with surrounding blanks and one pair of enclosing double quotes removed,
    // cut to kMaxProfileTextLength bytes; `defaultValue` when the key is missing.
    std::string ReadText(std::string_view section, std::string_view key,
                         std::string_view defaultValue = {}) const;

    // Stores the value as "%d".
    bool WriteInteger(std::string_view section, std::string_view key, int value);

    // Stores the text as it is, up to its first line break or NUL: a line break would
    // otherwise start a new key or section in the file. Replaces the key's value, or adds
    // the key at the end of its section, or adds the section at the end of the file, or
    // creates the file. Returns false when the file could not be written, or when the
    // section or key name could not be written back as one (empty, or holding "]", "=" or
    // a line break); the file is then left as it was. Callers may ignore the result.
    bool WriteText(std::string_view section, std::string_view key, std::string_view text);

private:
    std::filesystem::path m_file;
};

}  // namespace ip2h
