#include "resolver/HostsFile.h"

#include <arpa/inet.h>

#include <fstream>
#include <sstream>

#include "base/AsciiCase.h"

namespace ip2h {

namespace {

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) c = LowerAscii(c);
    return lowered;
}

}  // namespace

HostsFile HostsFile::Read(const std::string& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return Parse(text.str());
}

HostsFile HostsFile::Parse(std::string_view text) {
    HostsFile hosts;
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream fields(line);
        std::string address;
        std::string name;
        in_addr parsed{};
        if (!(fields >> address)) continue;
        IpAddress host;
        if (::inet_pton(AF_INET, address.c_str(), &parsed) == 1) {
            host = IpAddress::Of(ntohl(parsed.s_addr));
        } else if (const auto v6 = ParseIpv6(address)) {
            host = IpAddress::Of(*v6);
        } else {
            continue;
        }
        bool first = true;
        while (fields >> name) {
            if (first) hosts.m_names[host].push_back(name);
            first = false;
            hosts.m_addresses[Lowered(name)].push_back(host);
        }
    }
    return hosts;
}

const std::vector<std::string>* HostsFile::NamesOf(const IpAddress& address) const {
    const auto found = m_names.find(address);
    return found == m_names.end() ? nullptr : &found->second;
}

const std::vector<IpAddress>* HostsFile::AddressesOf(std::string_view name) const {
    std::string key = Lowered(name);
    if (!key.empty() && key.back() == '.') key.pop_back();
    const auto found = m_addresses.find(key);
    return found == m_addresses.end() ? nullptr : &found->second;
}

}  // namespace ip2h
