#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "address/IpAddress.h"
#include "resolver/AnswerKind.h"

namespace ip2h {

// A DNS server to ask: an IPv4 or IPv6 address and a port.
struct DnsServer {
    std::string Address;
    std::uint16_t Port = 53;
};

// Reads "ADDR", "ADDR:PORT", "[V6ADDR]" or "[V6ADDR]:PORT"; nothing when the text is none of them.
std::optional<DnsServer> ParseDnsServer(std::string_view text);

struct DnsClientOptions {
    std::vector<DnsServer> Servers;  // empty: the system's (resolv.conf, RES_OPTIONS)
    std::optional<int> TimeoutMs;    // per try; unset: the system's
    std::optional<int> Retries;      // tries after the first; unset: the system's
    int MaxInFlight = 4096;          // the most queries outstanding at once
    double Rate = 0;                 // the most queries started a second; 0: no limit
    bool Confirm = false;            // look the PTR names up forward (the iprev rule)
};

// What a client has done so far, for benchmarks and tests.
struct DnsClientStats {
    std::uint64_t Queries = 0;   // queries sent, resent ones included
    std::uint64_t Resends = 0;   // queries sent again early, taken for lost
    std::uint64_t Timeouts = 0;  // queries that ran into their full timeout
    int PeakInFlight = 0;        // the most queries outstanding at once
};

// An asynchronous DNS client on one event-loop thread of its own: reverse lookups that return
// every PTR name of an IPv4 or IPv6 address and, with Confirm, forward confirmation (A or
// AAAA records). How many queries it
// keeps in flight adapts to the server: it grows while answers come back and backs off when
// queries time out, never above MaxInFlight.
class DnsClient {
public:
    // Called on the client's loop thread with the finished answer of one request.
    using Done = std::function<void(LookupAnswer answer)>;

    // Nothing, with `error` set, when the options or the system's configuration are unusable.
    static std::unique_ptr<DnsClient> Create(const DnsClientOptions& options, std::string* error);
    virtual ~DnsClient() = default;

    // Any thread; never waits for the network. Queues the reverse lookup of an address; `done`
    // runs once, on the loop thread.
    virtual void Resolve(const IpAddress& address, Done done) = 0;
    // An IPv4 address in host order.
    void Resolve(std::uint32_t address, Done done) {
        Resolve(IpAddress::Of(address), std::move(done));
    }
    // Stops the loop: requests not yet answered are dropped without their `done`. Waits for the
    // loop thread, which never blocks for long. The destructor does the same.
    virtual void Stop() = 0;
    // Any thread.
    virtual DnsClientStats Stats() const = 0;
};

}  // namespace ip2h
