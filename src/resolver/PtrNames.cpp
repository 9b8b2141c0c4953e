#include "resolver/PtrNames.h"

#include <algorithm>

#include "base/AsciiCase.h"

namespace ip2h {

void PtrNameList::Add(std::string_view name) {
    if (IsNoName(name) || m_names.size() >= kMaxPtrNames) return;
    const bool known = std::ranges::any_of(
        m_names, [name](const std::string& held) { return EqualIgnoringAsciiCase(held, name); });
    if (!known) m_names.emplace_back(name);
}

void PtrNameList::Sort() {
    std::ranges::sort(m_names, [](const std::string& a, const std::string& b) {
        if (LessIgnoringAsciiCase(a, b)) return true;
        return !LessIgnoringAsciiCase(b, a) && a < b;
    });
}

std::string ReverseQueryName(std::uint32_t address) {
    std::string name;
    name.reserve(29);
    for (int shift = 0; shift < 32; shift += 8) {
        name += std::to_string((address >> shift) & 0xFFu);
        name += '.';
    }
    name += "in-addr.arpa";
    return name;
}

std::string ReverseQueryName(const IpAddress& address) {
    return address.IsV6 ? Ipv6ReverseName(address.V6) : ReverseQueryName(address.V4);
}

}  // namespace ip2h
