#pragma once

#include <cstddef>

#include "resolver/AnswerKind.h"

namespace ip2h {

// What the forward lookup of one PTR name found.
enum class ForwardOutcome : std::uint8_t {
    LeadsBack,       // an A record of the name is the address
    LeadsElsewhere,  // the name has no A record with the address, or no such name exists
    NoAnswer,        // the lookup got no answer (timeout, server failure, refusal)
};

// The forward check of an address's PTR names: the address is confirmed when any of its
// names (at most kMaxPtrNames) has an A record with the address; when none has but a lookup
// got no answer, nobody can tell. Outcomes are added as they arrive, in any order.
class IprevTally {
public:
    explicit IprevTally(std::size_t names) : m_waiting(names) {}

    // The outcome for the name at `index`; the first name that leads back is remembered.
    void Add(std::size_t index, ForwardOutcome outcome);
    // Decided once a name leads back or every name has its outcome.
    bool Decided() const { return m_confirmedBy != kNone || m_waiting == 0; }
    Confirmation Result() const;
    // The index of the name that led back, if any.
    bool HasConfirmingName() const { return m_confirmedBy != kNone; }
    std::size_t ConfirmingName() const { return m_confirmedBy; }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t m_waiting;
    std::size_t m_confirmedBy = kNone;
    bool m_unanswered = false;
};

}  // namespace ip2h
