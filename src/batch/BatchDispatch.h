#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <unordered_map>
#include <vector>

#include "address/IpAddress.h"
#include "batch/BatchResolver.h"

namespace ip2h {

// One row of the output: the address asked and, once it has come, its answer.
struct BatchRow {
    IpAddress Address;
    std::optional<LookupAnswer> Answer;
};

// Answers kept for repeats; emptied when full, as the window's name cache is.
inline constexpr std::size_t kKnownAnswers = 25600;

// The window of rows in input order, and who answers each: an answer known from earlier in
// the run completes its row at once, a lookup already running for the same address serves
// every row that waits for it, any other address is asked of the resolver.
class Dispatcher {
public:
    Dispatcher(BatchResolver& resolver, std::size_t windowRows)
        : m_resolver(resolver), m_windowRows(windowRows) {}

    bool HasRoom() const { return m_window.size() < m_windowRows; }
    bool Empty() const { return m_window.empty(); }
    void Add(const IpAddress& address) { m_window.push_back({address, std::nullopt}); }

    // An answer from the resolver: completes every row waiting for it and is kept for repeats.
    void Deliver(const IpAddress& address, LookupAnswer answer);
    // Goes through the rows not yet dispatched, in order, while the resolver takes lookups.
    void Dispatch();

    // The row at the head of the window once it is answered; Pop removes it.
    const BatchRow* AnsweredHead() const {
        return !m_window.empty() && m_window.front().Answer ? &m_window.front() : nullptr;
    }
    void Pop();

    // Lookups the resolver answered, and how many of them got no answer from the name service.
    std::uint64_t Lookups() const { return m_lookups; }
    std::uint64_t NoAnswers() const { return m_noAnswers; }

private:
    BatchResolver& m_resolver;
    const std::size_t m_windowRows;
    std::deque<BatchRow> m_window;
    std::uint64_t m_headSequence = 0;  // the sequence number of m_window.front()
    std::size_t m_nextToDispatch = 0;  // index into m_window
    // Rows waiting for a running lookup, by address.
    std::unordered_map<IpAddress, std::vector<std::uint64_t>, IpAddressHash> m_waiting;
    std::unordered_map<IpAddress, LookupAnswer, IpAddressHash> m_known;
    std::uint64_t m_lookups = 0;
    std::uint64_t m_noAnswers = 0;
};

}  // namespace ip2h
