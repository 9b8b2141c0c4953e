#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "resolver/AnswerKind.h"

namespace ip2h {

// How a row was answered, as its refresh recorded it (see ResultEntry).
struct AnswerFacts {
    std::int32_t Status = 0;  // Pending, Success or Failure
    AnswerKind Answer = AnswerKind::Name;
    Confirmation Confirmed = Confirmation::None;
    std::int32_t LookupStatus = 0;
    std::string ConfirmingName{};  // another name that led back (ResultEntry::ConfirmingName)
};

// The Result cell's tooltip: in one sentence, how the row was answered or why it failed.
std::string ResultNote(const AnswerFacts& facts, bool japanese);

// The Host name cell's tooltip, one line each: the whole text when the cell cuts it, the
// name's Unicode form when it differs (`unicodeName`; empty when there is none), and whether
// the name was confirmed (naming the other name that led back, if it was another), not
// confirmed, or could not be told. Empty when there is nothing to add.
std::string HostNameNote(std::string_view hostName, const AnswerFacts& facts, bool cellCutsName,
                         std::string_view unicodeName, bool japanese);

}  // namespace ip2h
