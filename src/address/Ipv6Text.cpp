#include "address/Ipv6Text.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/IntScan.h"

namespace ip2h {

namespace {

// inet_pton reads the forms of RFC 4291 and nothing else; only its text has to be bounded
// and terminated.
constexpr std::size_t kMaxIpv6TextLength = 45;  // "ffff:ffff:ffff:ffff:ffff:ffff:255.255.255.255"

}  // namespace

std::optional<Ipv6Address> ParseIpv6(std::string_view text) {
    if (text.empty() || text.size() > kMaxIpv6TextLength ||
        text.find(':') == std::string_view::npos)
        return std::nullopt;
    char terminated[kMaxIpv6TextLength + 1];
    std::memcpy(terminated, text.data(), text.size());
    terminated[text.size()] = '\0';
    Ipv6Address address{};
    if (inet_pton(AF_INET6, terminated, address.data()) != 1) return std::nullopt;
    return address;
}

std::string FormatIpv6(const Ipv6Address& address) {
    // glibc's inet_ntop also prints the deprecated IPv4-compatible form (::a.b.c.d), which
    // RFC 5952 does not recommend, so the text is composed here.
    std::uint16_t groups[8];
    for (int i = 0; i < 8; ++i)
        groups[i] = static_cast<std::uint16_t>(address[2 * i] << 8 | address[2 * i + 1]);
    const bool mapped =
        std::all_of(groups, groups + 5, [](auto g) { return g == 0; }) && groups[5] == 0xffff;
    const int hexGroups = mapped ? 6 : 8;
    int bestStart = -1, bestLength = 1;  // a single zero group is never compressed
    for (int i = 0; i < hexGroups;) {
        if (groups[i] != 0) {
            ++i;
            continue;
        }
        int j = i;
        while (j < hexGroups && groups[j] == 0) ++j;
        if (j - i > bestLength) {
            bestStart = i;
            bestLength = j - i;
        }
        i = j;
    }
    std::string text;
    char part[8];
    for (int i = 0; i < hexGroups; ++i) {
        if (i == bestStart) {
            text += "::";
            i += bestLength - 1;
            continue;
        }
        if (!text.empty() && text.back() != ':') text += ':';
        std::snprintf(part, sizeof part, "%x", groups[i]);
        text += part;
    }
    if (mapped) {
        if (text.back() != ':') text += ':';
        char quad[16];
        std::snprintf(quad, sizeof quad, "%u.%u.%u.%u", address[12], address[13], address[14],
                      address[15]);
        text += quad;
    }
    return text;
}

std::optional<Ipv6Block> ParseIpv6Block(std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const std::optional<Ipv6Address> address = ParseIpv6(text.substr(0, slash));
    const std::string_view digits = text.substr(slash + 1);
    const std::optional<int> prefix = ExactDecimal(digits, 0, 128);
    if (!address || !prefix || (digits.size() > 1 && digits[0] == '0')) return std::nullopt;
    Ipv6Block block;
    block.First = *address;
    if (*prefix < kMinIpv6BlockPrefix) {
        block.TooLarge = true;
        return block;
    }
    const int hostBits = 128 - *prefix;
    block.Count = std::uint32_t{1} << hostBits;
    // Clear the host bits, which lie in the last two bytes.
    const std::uint32_t mask = ~(block.Count - 1) & 0xffff;
    block.First[14] &= static_cast<std::uint8_t>(mask >> 8);
    block.First[15] &= static_cast<std::uint8_t>(mask);
    return block;
}

Ipv6Address Ipv6At(const Ipv6Address& first, std::uint32_t offset) {
    Ipv6Address address = first;
    unsigned carry = offset;
    for (int i = 15; i >= 0 && carry != 0; --i) {
        carry += address[i];
        address[i] = static_cast<std::uint8_t>(carry);
        carry >>= 8;
    }
    return address;
}

std::string Ipv6ReverseName(const Ipv6Address& address) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string name;
    name.reserve(32 * 2 + 8);
    for (int i = 15; i >= 0; --i) {
        name += kHex[address[i] & 0xf];
        name += '.';
        name += kHex[address[i] >> 4];
        name += '.';
    }
    name += "ip6.arpa";
    return name;
}

bool IsPrivateIpv6(const Ipv6Address& address) {
    static constexpr Ipv6Address kLoopback{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    return (address[0] & 0xfe) == 0xfc || (address[0] == 0xfe && (address[1] & 0xc0) == 0x80) ||
           address == kLoopback;
}

}  // namespace ip2h
