#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <type_traits>
#include <utility>

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

// A text field of at most N - 1 bytes, cut like a fixed field. A text of up to `Inline` bytes
// is held in place and a longer one on the heap, so that a table of mostly short texts stays
// small and is read in order, without a cache miss per text. Moves never allocate.
template <std::size_t N, std::size_t Inline>
class TextField {
    static_assert(N > 0 && N - 1 <= UINT32_MAX);

public:
    TextField() = default;
    TextField(const TextField& other) { Assign(other.View()); }
    TextField(TextField&& other) noexcept { *this = std::move(other); }
    TextField& operator=(const TextField& other) {
        if (this != &other) Assign(other.View());
        return *this;
    }
    TextField& operator=(TextField&& other) noexcept {
        if (this == &other) return *this;
        m_length = std::exchange(other.m_length, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
        m_heap = std::move(other.m_heap);
        std::memcpy(m_inline, other.m_inline, Inline);
        return *this;
    }
    ~TextField() = default;

    void Assign(std::string_view text) {
        const std::size_t length = std::min(text.size(), N - 1);
        if (length <= Inline) {
            // memmove: the text may be this field's own.
            if (length > 0) std::memmove(m_inline, text.data(), length);
        } else if (length <= m_capacity) {
            std::memmove(m_heap.get(), text.data(), length);
        } else {
            auto heap = std::make_unique<char[]>(length);
            std::memcpy(heap.get(), text.data(), length);
            m_heap = std::move(heap);
            m_capacity = static_cast<std::uint32_t>(length);
        }
        m_length = static_cast<std::uint32_t>(length);
    }
    std::string_view View() const {
        return {m_length <= Inline ? m_inline : m_heap.get(), m_length};
    }

private:
    std::uint32_t m_length = 0;
    std::uint32_t m_capacity = 0;  // of m_heap
    std::unique_ptr<char[]> m_heap;
    char m_inline[Inline]{};
};

template <std::size_t N, std::size_t Inline>
void CopyToField(TextField<N, Inline>& field, std::string_view text) {
    field.Assign(text);
}

template <std::size_t N, std::size_t Inline>
std::string_view FieldText(const TextField<N, Inline>& field) {
    return field.View();
}

}  // namespace ip2h
