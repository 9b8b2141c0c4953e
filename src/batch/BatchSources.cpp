#include "batch/BatchSources.h"

#include "batch/BatchInput.h"

namespace ip2h {

SourceWalk::SourceWalk(const BatchOptions& options, int input, std::shared_ptr<BatchShared> shared)
    : m_options(options), m_input(input), m_shared(std::move(shared)) {
    for (const BatchSource& source : m_options.Sources) {
        if (source.FromInput) {
            m_inputPending = true;
        } else {
            m_total += BatchSpanCount(source.Span, m_options.Interval);
        }
    }
}

SourceWalk::~SourceWalk() {
    {
        std::lock_guard lock(m_shared->Lock);
        m_shared->Stopped = true;
        m_shared->Room.notify_all();
    }
    // A reader still blocked in read() cannot be woken; it holds the shared state itself.
    if (m_reader.joinable()) {
        if (m_inputPending) {
            m_reader.detach();
        } else {
            m_reader.join();
        }
    }
}

SourceWalk::Step SourceWalk::Next(IpAddress& address) {
    for (;;) {
        if (!m_walk.Done()) {
            const std::uint32_t next = m_walk.Next();
            address = m_v6First ? IpAddress::Of(Ipv6At(*m_v6First, next)) : IpAddress::Of(next);
            return Step::Address;
        }
        if (m_source >= m_options.Sources.size()) return Step::Done;
        const BatchSource& source = m_options.Sources[m_source];
        if (!source.FromInput) {
            Walk(source.Span);
            ++m_source;
            continue;
        }
        if (m_entries.empty() && !TakeEntries()) return Step::Waiting;
        if (m_entries.empty()) {
            ++m_source;  // the input has ended; a second "-" finds it empty
            continue;
        }
        const BatchSpan span = m_entries.front();
        m_entries.pop_front();
        if (span.V6 && span.V6->TooLarge) {
            ++m_oversized;
            continue;
        }
        m_total += BatchSpanCount(span, m_options.Interval);
        Walk(span);
    }
}

bool SourceWalk::WantsInput() const {
    return m_walk.Done() && m_entries.empty() && m_source < m_options.Sources.size() &&
           m_options.Sources[m_source].FromInput && m_inputPending;
}

// Takes what the reader has queued; false while it has nothing yet and reads on.
bool SourceWalk::TakeEntries() {
    if (!m_inputPending) return true;
    if (!m_reader.joinable()) {
        m_reader = std::thread([shared = m_shared, fd = m_input] { ReadInput(shared, fd); });
    }
    std::lock_guard lock(m_shared->Lock);
    m_entries.swap(m_shared->Entries);
    m_shared->Room.notify_all();
    if (m_entries.empty() && m_shared->InputEnded) {
        m_inputPending = false;
        m_inputError = m_shared->InputError;
    }
    return !m_entries.empty() || !m_inputPending;
}

void SourceWalk::Walk(const BatchSpan& span) {
    m_v6First = span.V6 ? std::optional(span.V6->First) : std::nullopt;
    m_walk = BatchSpanWalk(span, m_options.Interval);
}

}  // namespace ip2h
