#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "address/IpAddress.h"
#include "resolver/AnswerKind.h"
#include "resolver/DnsClient.h"
#include "resolver/ResolutionEngine.h"

namespace ip2h {

// What the batch run asks for its lookups: the DNS client (`--resolver dns`) or the window's
// worker slots and getnameinfo (`--resolver system`); a test's fake in tests.
class BatchResolver {
public:
    // An answer, on any thread; inside Ask for an answer known at once.
    using Answered = std::function<void(const IpAddress& address, LookupAnswer answer)>;

    virtual ~BatchResolver() = default;
    // Starts the lookup of `address`; false when no more can be started now (try again once
    // an answer has come). Never waits for the network.
    virtual bool Ask(const IpAddress& address) = 0;
};

// The window's engine with `jobs` slots, no rest time and `options` for every lookup. Its
// cache answers an address asked before at once, through `answered` like any other answer.
std::unique_ptr<BatchResolver> MakeSystemResolver(int jobs, LookupOptions options,
                                                  ResolutionEngine::LookupFunction lookup,
                                                  ResolutionEngine::ThreadStarter startThread,
                                                  BatchResolver::Answered answered);

// The asynchronous DNS client, with at most options.MaxInFlight lookups asked at once; nothing,
// with `error` set, when it cannot be started.
std::unique_ptr<BatchResolver> MakeDnsResolver(const DnsClientOptions& options,
                                               BatchResolver::Answered answered,
                                               std::string* error);

}  // namespace ip2h
