#include "resolver/Iprev.h"

namespace ip2h {

void IprevTally::Add(std::size_t index, ForwardOutcome outcome) {
    if (m_waiting > 0) --m_waiting;
    if (outcome == ForwardOutcome::LeadsBack && m_confirmedBy == kNone) m_confirmedBy = index;
    if (outcome == ForwardOutcome::NoAnswer) m_unanswered = true;
}

Confirmation IprevTally::Result() const {
    if (m_confirmedBy != kNone) return Confirmation::Confirmed;
    return m_unanswered ? Confirmation::Unknown : Confirmation::NotConfirmed;
}

}  // namespace ip2h
