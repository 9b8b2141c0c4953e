#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "results/ResultTable.h"

namespace ip2h {

// The Result cell's tooltip: in one sentence, how the row was answered or why it failed.
std::string ResultNote(const RowAnswer& answer, bool japanese);

// The Host name cell's tooltip, one line each: the whole text when the cell cuts it, the
// name's Unicode form when it differs (`unicodeName`; empty when there is none), and whether
// the name was confirmed (naming `confirmingName`, the other name that led back, if it was
// another), not confirmed, or could not be told. Empty when there is nothing to add.
std::string HostNameNote(std::string_view hostName, const RowAnswer& answer,
                         std::string_view confirmingName, bool cellCutsName,
                         std::string_view unicodeName, bool japanese);

}  // namespace ip2h
