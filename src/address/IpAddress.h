#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "address/Ipv6Text.h"

namespace ip2h {

// An IPv4 or an IPv6 address, as the batch mode and its DNS client take either. An
// IPv4-mapped IPv6 address stays IPv6: it is asked under ip6.arpa, as written.
struct IpAddress {
    bool IsV6 = false;
    std::uint32_t V4 = 0;  // host order, unless IsV6
    Ipv6Address V6{};      // when IsV6

    static IpAddress Of(std::uint32_t v4) { return {false, v4, {}}; }
    static IpAddress Of(const Ipv6Address& v6) { return {true, 0, v6}; }
    bool operator==(const IpAddress&) const = default;
};

struct IpAddressHash {
    std::size_t operator()(const IpAddress& address) const;
};

// A dotted quad, or RFC 5952's canonical IPv6 text.
std::string FormatIpAddress(const IpAddress& address);

// A canonical dotted quad or any IPv6 text form; nothing for other texts.
std::optional<IpAddress> ParseIpAddress(std::string_view text);

// Whether an address is private: IPv4 in 10/8, 172.16/12 or 192.168/16, IPv6 in fc00::/7,
// fe80::/10 or ::1.
bool IsPrivate(const IpAddress& address);

}  // namespace ip2h
