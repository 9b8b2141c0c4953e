#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ip2h {

// An IPv6 address, in network byte order.
using Ipv6Address = std::array<std::uint8_t, 16>;

// Reads any RFC 4291 text form: eight groups of one to four hex digits, one "::" for a run of
// zero groups, and a dotted IPv4 address in place of the last two groups. A zone index
// ("fe80::1%eth0") and anything else is refused.
std::optional<Ipv6Address> ParseIpv6(std::string_view text);

// RFC 5952's canonical text: lower case, no leading zeros, the longest run of two or more zero
// groups (the first of equal runs) as "::", and an IPv4-mapped address as "::ffff:a.b.c.d".
std::string FormatIpv6(const Ipv6Address& address);

// The most addresses one IPv6 block may stand for, so that a mistyped prefix is no flood.
inline constexpr std::uint32_t kMaxIpv6BlockSize = 65536;
inline constexpr int kMinIpv6BlockPrefix = 128 - 16;

// A block "addr/n" (0 to 128, decimal without leading zeros): its first address and how many
// addresses it holds, host bits ignored. `TooLarge` is set for a well-formed block of more than
// kMaxIpv6BlockSize addresses, which the caller refuses by name.
struct Ipv6Block {
    Ipv6Address First{};
    std::uint32_t Count = 0;
    bool TooLarge = false;
};
std::optional<Ipv6Block> ParseIpv6Block(std::string_view text);

// The address `offset` places after `first` (offsets stay within one block's low 16 bits).
Ipv6Address Ipv6At(const Ipv6Address& first, std::uint32_t offset);

// The name a PTR query asks for: the 32 nibbles in reverse under "ip6.arpa".
std::string Ipv6ReverseName(const Ipv6Address& address);

// fc00::/7 (unique local), fe80::/10 (link local) and ::1: never in the public DNS.
bool IsPrivateIpv6(const Ipv6Address& address);

}  // namespace ip2h
