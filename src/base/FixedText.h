#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

namespace ip2h {

// Copies `text` into a fixed, terminated field, cut to the field's capacity.
template <std::size_t N>
void CopyToField(char (&field)[N], std::string_view text) {
    static_assert(N > 0);
    const std::size_t length = text.size() < N - 1 ? text.size() : N - 1;
    // A default string_view has a null data pointer, which memcpy may not be given even for
    // zero bytes; memmove also keeps a copy from a part of the field itself well defined.
    if (length > 0) std::memmove(field, text.data(), length);
    field[length] = '\0';
}

// `text` cut to at most `limit` bytes without splitting a UTF-8 sequence.
inline std::string_view CutAtCharacterBoundary(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

// The text held by a fixed field (up to its terminator, never past its end). Usable in
// constant expressions too, for tables checked at compile time.
template <std::size_t N>
constexpr std::string_view FieldText(const char (&field)[N]) {
    if (!std::is_constant_evaluated()) return std::string_view(field, ::strnlen(field, N));
    std::size_t length = 0;
    while (length < N && field[length] != '\0') ++length;
    return std::string_view(field, length);
}

// A text field of at most N - 1 bytes, cut like a fixed field, held as a string: a short text
// in place and a long one on the heap, so that a table of mostly short texts stays small and
// is read with few cache misses. Rows move without allocating.
template <std::size_t N>
class TextField {
public:
    void Assign(std::string_view text) {
        m_text.assign(text.substr(0, std::min(text.size(), N - 1)));
    }
    std::string_view View() const { return m_text; }

private:
    std::string m_text;
};

template <std::size_t N>
void CopyToField(TextField<N>& field, std::string_view text) {
    field.Assign(text);
}

template <std::size_t N>
std::string_view FieldText(const TextField<N>& field) {
    return field.View();
}

}  // namespace ip2h
