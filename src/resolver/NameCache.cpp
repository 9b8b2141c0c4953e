#include "resolver/NameCache.h"

namespace ip2h {

NameCache::NameCache() {
    // One block for a full cache: the map never rehashes while it fills up to the limit.
    m_entries.reserve(NameCacheLimit);
}

bool NameCache::CopyInto(std::string_view address, LookupAnswer& answer) const {
    std::lock_guard lock(m_cacheLock);
    const auto found = m_entries.find(address);
    if (found == m_entries.end()) return false;
    answer = found->second;
    return true;
}

bool NameCache::Insert(std::string_view address, LookupAnswer answer) {
    std::lock_guard lock(m_cacheLock);
    if (m_closed) {
        return false;
    }
    m_version.fetch_add(1, std::memory_order_release);
    if (m_entries.size() >= NameCacheLimit) {
        m_entries.clear();
    }
    const auto found = m_entries.find(address);
    if (found != m_entries.end()) {
        found->second = std::move(answer);
    } else {
        m_entries.emplace(std::string(address), std::move(answer));
    }
    return true;
}

void NameCache::ForgetPassingAnswer(std::string_view address) {
    std::lock_guard lock(m_cacheLock);
    const auto found = m_entries.find(address);
    if (found != m_entries.end() && !IsLastingAnswer(found->second)) {
        m_entries.erase(found);
        m_version.fetch_add(1, std::memory_order_release);
    }
}

void NameCache::Clear() {
    std::lock_guard lock(m_cacheLock);
    m_version.fetch_add(1, std::memory_order_release);
    m_entries.clear();
}

void NameCache::Close() {
    std::lock_guard lock(m_cacheLock);
    m_closed = true;
    m_version.fetch_add(1, std::memory_order_release);
    m_entries.clear();
}

std::size_t NameCache::Size() const {
    std::lock_guard lock(m_cacheLock);
    return m_entries.size();
}

}  // namespace ip2h
