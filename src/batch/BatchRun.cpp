#include "batch/BatchRun.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "base/AtomicFile.h"
#include "base/Language.h"
#include "batch/BatchDispatch.h"
#include "batch/BatchOutput.h"
#include "batch/BatchShared.h"
#include "batch/BatchSources.h"
#include "batch/SeenAddresses.h"

namespace ip2h {

BatchRun::BatchRun(BatchOptions options, BatchIo io)
    : m_options(std::move(options)),
      m_io(std::move(io)),
      m_shared(std::make_shared<BatchShared>()) {}

BatchRun::~BatchRun() = default;

std::unique_ptr<BatchResolver> BatchRun::MakeResolver() {
    BatchResolver::Answered answered = [shared = m_shared](const IpAddress& address,
                                                           LookupAnswer answer) {
        std::lock_guard lock(shared->Lock);
        shared->Arrived.emplace_back(address, std::move(answer));
        shared->Wake.notify_one();
    };
    if (m_io.MakeResolver) return m_io.MakeResolver(std::move(answered));
    if (m_options.Resolver == BatchResolverKind::System) {
        return MakeSystemResolver(m_options.Jobs, LookupOptions{m_options.Nbt, m_options.Confirm},
                                  m_io.Lookup, m_io.StartThread, std::move(answered));
    }
    DnsClientOptions client;
    client.Servers = m_options.Servers;
    client.TimeoutMs = m_options.TimeoutMs;
    client.Retries = m_options.Retries;
    client.MaxInFlight = m_options.Jobs;
    client.Rate = m_options.Rate;
    client.Confirm = m_options.Confirm;
    std::string error;
    auto resolver = MakeDnsResolver(client, std::move(answered), &error);
    if (!resolver) {
        WriteAll(m_io.Errors, "ip2hostname: cannot start the DNS resolver: " + error + "\n");
    }
    return resolver;
}

int BatchRun::Run() {
    if (m_options.Japanese) {
        SetLanguageCode(std::string(*m_options.Japanese ? kLanguageJapanese : kLanguageEnglish));
    }
    BatchOutput output(m_options.Format, m_options.Only, m_io.Output, m_io.Errors,
                       m_io.ShowProgress, m_io.ProgressPeriod);
    // Destroyed after the dispatcher, which refers to it; answers it gives after the run
    // touch only the shared state.
    const std::unique_ptr<BatchResolver> resolver = MakeResolver();
    if (!resolver) return kBatchFailed;
    // Bounded, so that memory stays small with many jobs; twice the jobs keeps the resolver
    // busy while the head row waits for a slow answer.
    Dispatcher dispatcher(
        *resolver, std::max<std::size_t>(1024, 2 * static_cast<std::size_t>(m_options.Jobs)));
    SourceWalk sources(m_options, m_io.Input, m_shared);

    output.AppendHeader();
    if (!output.Flush()) return kBatchFailed;
    std::vector<std::pair<IpAddress, LookupAnswer>> arrived;
    std::uint64_t oversizedTold = 0;
    SeenAddresses seen;  // with --unique
    for (;;) {
        bool interrupted = false;
        {
            std::lock_guard lock(m_shared->Lock);
            arrived.swap(m_shared->Arrived);
            interrupted = m_shared->Interrupted;
        }
        for (auto& [address, answer] : arrived) dispatcher.Deliver(address, std::move(answer));
        arrived.clear();
        IpAddress address;
        bool sourcesDone = false;
        while (!interrupted && dispatcher.HasRoom()) {
            const SourceWalk::Step step = sources.Next(address);
            sourcesDone = step == SourceWalk::Step::Done;
            if (step != SourceWalk::Step::Address) break;
            if (!m_options.Unique || seen.Insert(address)) dispatcher.Add(address);
        }
        for (; oversizedTold < sources.OversizedBlocks(); ++oversizedTold) {
            if (!m_options.Quiet) {
                output.Message("skipped an input line: an IPv6 block of more than " +
                               std::to_string(kMaxIpv6BlockSize) + " addresses");
            }
        }
        if (!interrupted) dispatcher.Dispatch();
        // Rows answered from what the run already knows go out now, not at the next wake-up.
        bool wrote = false;
        for (const BatchRow* row; (row = dispatcher.AnsweredHead()) != nullptr; wrote = true) {
            output.AppendRow(*row);
            dispatcher.Pop();
        }
        if ((wrote || interrupted) && !output.Flush()) return kBatchFailed;
        if (interrupted) return output.End(kBatchInterrupted);
        if (dispatcher.Empty() && sourcesDone) break;
        output.ShowProgress(sources.Total(), !sources.InputPending());
        if (wrote) continue;  // the window has room again
        std::unique_lock lock(m_shared->Lock);
        const bool wantsInput = dispatcher.HasRoom() && sources.WantsInput();
        m_shared->Wake.wait_for(lock, m_io.ProgressPeriod, [&] {
            return !m_shared->Arrived.empty() || m_shared->Interrupted ||
                   (wantsInput && (!m_shared->Entries.empty() || m_shared->InputEnded));
        });
    }
    if (sources.InputError() != 0) {
        output.Message("cannot read the input: " +
                       std::string(std::strerror(sources.InputError())));
        return output.End(kBatchFailed);
    }
    if (!m_options.Quiet) output.Summary();
    if (dispatcher.Lookups() > 0 && dispatcher.NoAnswers() == dispatcher.Lookups()) {
        output.Message(
            "no lookup got an answer from the name service; is a DNS server "
            "reachable?");
        return output.End(kBatchNoAnswer);
    }
    return output.End(kBatchDone);
}

std::function<void()> BatchRun::Interrupter() const {
    return [shared = m_shared] {
        std::lock_guard lock(shared->Lock);
        shared->Interrupted = true;
        shared->Wake.notify_one();
    };
}

}  // namespace ip2h
