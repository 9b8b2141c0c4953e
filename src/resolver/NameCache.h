#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "resolver/AnswerKind.h"

namespace ip2h {

// The cache is emptied completely before an insertion once it holds this many entries.
inline constexpr std::size_t NameCacheLimit = 25600;

// Answers of reverse lookups by address text. Workers insert, the user-interface thread looks
// up and clears. Keys are compared exactly: "10.0.0.1" and "10.0.0.01" are different keys.
class NameCache {
public:
    // Guards the map and nothing else; held only for one map operation at a time.
    using CacheLock = std::mutex;

    NameCache();
    NameCache(const NameCache&) = delete;
    NameCache& operator=(const NameCache&) = delete;

    // The answer for `address` copied into `answer` (whose storage is reused); false when
    // absent. No reference into the map leaves the lock, and a refresh, which asks for every
    // row, allocates nothing for each.
    bool CopyInto(std::string_view address, LookupAnswer& answer) const;

    // Empties the cache first when it holds NameCacheLimit entries or more (also when the key
    // is already present), then sets the entry. Returns false, storing nothing, once the
    // cache has been closed.
    bool Insert(std::string_view address, LookupAnswer answer);

    // Removes the answer for `address` unless it is lasting (IsLastingAnswer), so that the
    // address is asked again when next requested.
    void ForgetPassingAnswer(std::string_view address);

    void Clear();

    // Teardown: empties the cache and drops every later insertion, so that workers still
    // resolving when the program shuts down can finish harmlessly.
    void Close();

    std::size_t Size() const;

    // Grows with every change of the entries: while it stands still, every answer found
    // stays as it was.
    std::uint64_t Version() const { return m_version.load(std::memory_order_acquire); }

private:
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const noexcept {
            return std::hash<std::string_view>{}(text);
        }
    };

    mutable CacheLock m_cacheLock;
    std::unordered_map<std::string, LookupAnswer, TextHash, std::equal_to<>> m_entries;
    bool m_closed = false;
    std::atomic<std::uint64_t> m_version{0};
};

}  // namespace ip2h
