#include "batch/BatchDispatch.h"

namespace ip2h {

void Dispatcher::Deliver(const IpAddress& address, LookupAnswer answer) {
    ++m_lookups;
    if (answer.Kind == AnswerKind::NoAnswer) ++m_noAnswers;
    if (const auto waiting = m_waiting.find(address); waiting != m_waiting.end()) {
        for (const std::uint64_t sequence : waiting->second) {
            m_window[static_cast<std::size_t>(sequence - m_headSequence)].Answer = answer;
        }
        m_waiting.erase(waiting);
    }
    if (m_known.size() >= kKnownAnswers) m_known.clear();
    m_known.insert_or_assign(address, std::move(answer));
}

void Dispatcher::Dispatch() {
    while (m_nextToDispatch < m_window.size()) {
        BatchRow& row = m_window[m_nextToDispatch];
        if (const auto known = m_known.find(row.Address); known != m_known.end()) {
            row.Answer = known->second;
        } else if (const auto waiting = m_waiting.find(row.Address); waiting != m_waiting.end()) {
            waiting->second.push_back(m_headSequence + m_nextToDispatch);
        } else {
            // An answer given inside Ask arrives through the run's queue, after this.
            if (!m_resolver.Ask(row.Address)) return;
            m_waiting[row.Address].push_back(m_headSequence + m_nextToDispatch);
        }
        ++m_nextToDispatch;
    }
}

void Dispatcher::Pop() {
    m_window.pop_front();
    ++m_headSequence;
    --m_nextToDispatch;
}

}  // namespace ip2h
