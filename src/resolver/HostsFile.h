#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "address/IpAddress.h"

namespace ip2h {

// The IPv4 and IPv6 entries of a hosts file, read once: the system resolver looks there before it
// asks DNS, and so does the asynchronous client, without opening the file for every lookup.
class HostsFile {
public:
    // An unreadable or missing file holds nothing.
    static HostsFile Read(const std::string& path);
    // Reads the lines of a hosts file: "ADDRESS NAME [ALIAS...]", "#" starts a comment.
    static HostsFile Parse(std::string_view text);

    // The first name of every line for the address, in file order.
    const std::vector<std::string>* NamesOf(const IpAddress& address) const;
    // The addresses of a name or alias, ignoring letter case.
    const std::vector<IpAddress>* AddressesOf(std::string_view name) const;

private:
    std::unordered_map<IpAddress, std::vector<std::string>, IpAddressHash> m_names;
    std::unordered_map<std::string, std::vector<IpAddress>> m_addresses;  // lower-cased
};

}  // namespace ip2h
