#include "address/IpAddress.h"

#include <functional>

#include "address/AddressText.h"

namespace ip2h {

std::size_t IpAddressHash::operator()(const IpAddress& address) const {
    if (!address.IsV6) return std::hash<std::uint32_t>{}(address.V4);
    std::uint64_t high = 0, low = 0;
    for (int i = 0; i < 8; ++i) {
        high = high << 8 | address.V6[i];
        low = low << 8 | address.V6[8 + i];
    }
    return std::hash<std::uint64_t>{}(high * 0x9e3779b97f4a7c15ULL ^ low);
}

std::string FormatIpAddress(const IpAddress& address) {
    return address.IsV6 ? FormatIpv6(address.V6) : std::string(FormatAddress(address.V4).View());
}

std::optional<IpAddress> ParseIpAddress(std::string_view text) {
    if (const auto v6 = ParseIpv6(text)) return IpAddress::Of(*v6);
    if (const auto v4 = AddressValue(text)) return IpAddress::Of(*v4);
    return std::nullopt;
}

bool IsPrivate(const IpAddress& address) {
    return address.IsV6 ? IsPrivateIpv6(address.V6) : IsPrivateIpv4(address.V4);
}

}  // namespace ip2h
