#include "batch/BatchResolver.h"

#include <atomic>

#include "address/AddressText.h"

namespace ip2h {
namespace {

class SystemResolver final : public BatchResolver {
public:
    SystemResolver(int jobs, LookupOptions lookupOptions, ResolutionEngine::LookupFunction lookup,
                   ResolutionEngine::ThreadStarter startThread, Answered answered)
        : m_answered(std::move(answered)) {
        EngineOptions options;
        options.Slots = jobs;
        options.RestTime = std::chrono::milliseconds(0);
        options.OnAnswer = [answered = m_answered](const std::string& address,
                                                   const LookupAnswer& answer) {
            // The engine's address texts are the canonical ones Ask gave it.
            answered(*ParseIpAddress(address), answer);
        };
        m_engine = ResolutionEngine::Create(std::move(lookup), std::move(startThread), options);
        m_engine->SetLookupOptions(lookupOptions);
    }

    bool Ask(const IpAddress& address) override {
        LookupAnswer answer("");
        const RequestOutcome outcome = m_engine->Request(FormatIpAddress(address), answer);
        if (outcome == RequestOutcome::NoIdleSlot) return false;
        if (outcome == RequestOutcome::Cached) m_answered(address, std::move(answer));
        return true;
    }

private:
    Answered m_answered;
    std::shared_ptr<ResolutionEngine> m_engine;
};

class DnsResolver final : public BatchResolver {
public:
    DnsResolver(std::unique_ptr<DnsClient> client, int maxInFlight, Answered answered)
        : m_client(std::move(client)),
          m_maxInFlight(maxInFlight),
          m_answered(std::move(answered)) {}

    ~DnsResolver() override { m_client->Stop(); }

    bool Ask(const IpAddress& address) override {
        if (m_inFlight->load() >= m_maxInFlight) return false;
        ++*m_inFlight;
        m_client->Resolve(
            address, [address, inFlight = m_inFlight, answered = m_answered](LookupAnswer answer) {
                --*inFlight;
                answered(address, std::move(answer));
            });
        return true;
    }

private:
    std::unique_ptr<DnsClient> m_client;
    int m_maxInFlight;
    Answered m_answered;
    std::shared_ptr<std::atomic<int>> m_inFlight = std::make_shared<std::atomic<int>>(0);
};

}  // namespace

std::unique_ptr<BatchResolver> MakeSystemResolver(int jobs, LookupOptions options,
                                                  ResolutionEngine::LookupFunction lookup,
                                                  ResolutionEngine::ThreadStarter startThread,
                                                  BatchResolver::Answered answered) {
    return std::make_unique<SystemResolver>(jobs, options, std::move(lookup),
                                            std::move(startThread), std::move(answered));
}

std::unique_ptr<BatchResolver> MakeDnsResolver(const DnsClientOptions& options,
                                               BatchResolver::Answered answered,
                                               std::string* error) {
    auto client = DnsClient::Create(options, error);
    if (!client) return nullptr;
    return std::make_unique<DnsResolver>(std::move(client), options.MaxInFlight,
                                         std::move(answered));
}

}  // namespace ip2h
