#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <thread>

#include "address/AddressText.h"
#include "address/IpAddress.h"
#include "batch/BatchOptions.h"
#include "batch/BatchShared.h"

namespace ip2h {

// The addresses of a run's sources, in order: the command line's ranges walked as they go,
// standard input's lines as the input reader queues them (its thread starts when the walk
// first reaches "-"). Holds a few numbers whatever the size of a range.
class SourceWalk {
public:
    SourceWalk(const BatchOptions& options, int input, std::shared_ptr<BatchShared> shared);
    // Stops the input reader; one still blocked in read() is left to end by itself.
    ~SourceWalk();
    SourceWalk(const SourceWalk&) = delete;
    SourceWalk& operator=(const SourceWalk&) = delete;

    enum class Step { Address, Waiting, Done };
    // The next address; Waiting while standard input has nothing queued yet.
    Step Next(IpAddress& address);

    // Whether the walk waits for the input reader, which wakes the run when it queues.
    bool WantsInput() const;
    // Standard input is still to be read to its end: the total is not known yet.
    bool InputPending() const { return m_inputPending; }
    // The addresses of the sources read so far.
    std::uint64_t Total() const { return m_total; }
    // The error that ended reading standard input, 0 when none did.
    int InputError() const { return m_inputError; }
    // Lines of standard input skipped so far for an IPv6 block over the limit.
    std::uint64_t OversizedBlocks() const { return m_oversized; }

private:
    bool TakeEntries();
    void Walk(const BatchSpan& span);

    const BatchOptions& m_options;
    const int m_input;
    std::shared_ptr<BatchShared> m_shared;
    std::size_t m_source = 0;
    RangeWalk m_walk;
    std::optional<Ipv6Address> m_v6First;  // an IPv6 block: m_walk gives offsets from it
    bool m_inputPending = false;
    int m_inputError = 0;
    std::deque<BatchSpan> m_entries;
    std::uint64_t m_oversized = 0;
    std::thread m_reader;
    std::uint64_t m_total = 0;
};

}  // namespace ip2h
