#include <arpa/inet.h>

#include <charconv>

#include "resolver/DnsClient.h"

namespace ip2h {

namespace {

bool IsAddress(int family, std::string_view text) {
    unsigned char bytes[16];
    return ::inet_pton(family, std::string(text).c_str(), bytes) == 1;
}

// 1..65535 in decimal digits only.
std::optional<std::uint16_t> ReadPort(std::string_view text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text.size() > 5 || error != std::errc() ||
        end != text.data() + text.size() || value == 0 || value > 65535 || text[0] == '+') {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

}  // namespace

std::optional<DnsServer> ParseDnsServer(std::string_view text) {
    DnsServer server;
    std::string_view address = text;
    std::string_view port;
    int family = AF_INET;
    if (text.starts_with('[')) {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        address = text.substr(1, close - 1);
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty() && (!rest.starts_with(':') || rest.size() == 1)) return std::nullopt;
        if (!rest.empty()) port = rest.substr(1);
        family = AF_INET6;
    } else if (const std::size_t colon = text.find(':'); colon != std::string_view::npos) {
        // One colon separates a port; more make a bare IPv6 address.
        if (text.find(':', colon + 1) == std::string_view::npos) {
            address = text.substr(0, colon);
            port = text.substr(colon + 1);
            if (port.empty()) return std::nullopt;
        } else {
            family = AF_INET6;
        }
    }
    if (!IsAddress(family, address)) return std::nullopt;
    server.Address = std::string(address);
    if (!port.empty()) {
        const auto number = ReadPort(port);
        if (!number) return std::nullopt;
        server.Port = *number;
    }
    return server;
}

}  // namespace ip2h
