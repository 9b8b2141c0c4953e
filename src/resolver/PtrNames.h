#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "address/IpAddress.h"

namespace ip2h {

// The most PTR names of one address that are kept and looked up forward: an address with
// more is unusual, and each costs a forward query.
inline constexpr std::size_t kMaxPtrNames = 10;

// Whether a PTR name stands for no name at all: empty, or the root ".".
constexpr bool IsNoName(std::string_view name) {
    return name.empty() || name == ".";
}

// The PTR names of an address as a list: no-names and repeats (ignoring letter case) are
// left out, and adding stops at kMaxPtrNames.
class PtrNameList {
public:
    void Add(std::string_view name);
    // Puts the names in a fixed order (ignoring letter case, then byte order), so that the
    // first does not depend on the order a server rotates its records into.
    void Sort();
    const std::vector<std::string>& Names() const { return m_names; }
    std::vector<std::string> Take() { return std::move(m_names); }

private:
    std::vector<std::string> m_names;
};

// "d.c.b.a.in-addr.arpa" for the address a.b.c.d (host order).
std::string ReverseQueryName(std::uint32_t address);
// The PTR question of either family: under in-addr.arpa or ip6.arpa.
std::string ReverseQueryName(const IpAddress& address);

}  // namespace ip2h
