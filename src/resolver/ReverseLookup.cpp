#include "resolver/ReverseLookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <mutex>

#include "input/IntScan.h"
#include "resolver/NetbiosNodeStatus.h"

namespace ip2h {

std::atomic<bool> UseNbt{false};
// The second lookup only needs a socket layer, which every supported platform has.
std::atomic<bool> OsIsVersion51OrLater{true};

namespace {

std::once_flag g_resolverChoice;
std::atomic<GetNameInfoFunction> g_chosenResolver{nullptr};
std::atomic<GetNameInfoFunction> g_replacementResolver{nullptr};

bool NeedsEscape(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F || byte == '(' || byte == ')';
}

}  // namespace

GetNameInfoFunction ResolverEntry() {
    if (const auto replacement = g_replacementResolver.load(std::memory_order_acquire)) {
        return replacement;
    }
    // The C library always offers getnameinfo here, so the choice is the direct call.
    std::call_once(g_resolverChoice,
                   [] { g_chosenResolver.store(&::getnameinfo, std::memory_order_release); });
    return g_chosenResolver.load(std::memory_order_acquire);
}

void SetResolverEntry(GetNameInfoFunction entry) {
    g_replacementResolver.store(entry, std::memory_order_release);
}

bool IsPrivateAddressText(std::string_view address) {
    std::array<std::int64_t, 4> fields{};
    if (ScanFields(address, "%i.%i.%i.%i", fields) != 4) {
        return false;
    }
    const auto a = fields[0];
    const auto b = fields[1];
    return a == 10 || (a == 172 && b >= 16 && b <= 31) || (a == 192 && b == 168);
}

std::string MendAnswer(std::string_view name, std::string_view address) {
    if (name.empty()) {
        return std::string(address);
    }
    std::string mended;
    mended.reserve(name.size());
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (!NeedsEscape(byte)) {
            mended += c;
            continue;
        }
        mended += '\\';
        mended += static_cast<char>('0' + byte / 100);
        mended += static_cast<char>('0' + byte / 10 % 10);
        mended += static_cast<char>('0' + byte % 10);
    }
    return mended;
}

std::string ReverseLookup(std::string_view address) {
    std::string text(address);
    // inet_aton rather than inet_addr: the latter answers an unreadable text with
    // 255.255.255.255, which would then be looked up in its place.
    in_addr parsed{};
    if (text.find('\0') != std::string::npos || ::inet_aton(text.c_str(), &parsed) == 0) {
        return text;
    }

    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_port = 0;
    socketAddress.sin_addr = parsed;
    char host[HostNameBufferSize] = {};
    const int status =
        ResolverEntry()(reinterpret_cast<const sockaddr*>(&socketAddress), sizeof socketAddress,
                        host, sizeof host, nullptr, 0, NI_NAMEREQD);
    if (status == 0) {
        return MendAnswer(std::string_view(host, ::strnlen(host, sizeof host)), text);
    }

    if (!OsIsVersion51OrLater.load(std::memory_order_relaxed) ||
        !UseNbt.load(std::memory_order_relaxed) || !IsPrivateAddressText(text)) {
        return text;
    }
    if (const auto name = NodeStatusQuery()(parsed)) {
        return MendAnswer(*name, text);
    }
    return text;
}

}  // namespace ip2h
