#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "resolver/AnswerKind.h"

namespace ip2h {

struct ResultEntry;

// The Result cell's tooltip: in one sentence, how the row was answered or why it failed.
std::string ResultNote(const ResultEntry& row, bool japanese);

// The Host name cell's tooltip, one line each: the whole name when the cell cuts it, its
// Unicode form when that differs (`unicodeName`, empty when the name has none), and for a
// name from the name service whether it was confirmed. Empty when there is nothing to add.
std::string HostNameNote(const ResultEntry& row, bool cellCutsName, std::string_view unicodeName,
                         bool japanese);

// Whether a name holds an internationalised label ("xn--" in any letter case).
bool HasAceLabel(std::string_view hostName);

}  // namespace ip2h
