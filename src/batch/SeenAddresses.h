#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>

#include "address/IpAddress.h"

namespace ip2h {

// The addresses a --unique run has seen: a bit each, in blocks of 256 (a /24) made as the
// first address of a block comes. Memory grows with the distinct /24s seen, at about 80 bytes
// each: a log of scattered clients costs at most about twice what a hash set of its addresses
// would, a whole /8 about 5 MB instead of hundreds. IPv6 addresses, rarer in logs and never
// dense, are kept in a plain set.
class SeenAddresses {
public:
    bool Insert(const IpAddress& address) {
        return address.IsV6 ? m_v6.insert(address).second : Insert(address.V4);
    }
    // True the first time `address` is given.
    bool Insert(std::uint32_t address) {
        std::uint64_t& word = m_blocks[address >> 8][(address & 0xFF) >> 6];
        const std::uint64_t bit = std::uint64_t{1} << (address & 0x3F);
        const bool first = (word & bit) == 0;
        word |= bit;
        return first;
    }

private:
    std::unordered_map<std::uint32_t, std::array<std::uint64_t, 4>> m_blocks;
    std::unordered_set<IpAddress, IpAddressHash> m_v6;
};

}  // namespace ip2h
