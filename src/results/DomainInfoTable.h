#pragma once

#include <optional>
#include <string_view>

namespace ip2h {

// One built-in domain suffix with its descriptions. Plain fixed-capacity fields, so the
// whole table is constant data with no construction at start-up.
struct DomainInfoRecord {
    char Suffix[12];         // lower-case, no leading dot: "com", "co.jp"
    char JapaneseText[128];  // UTF-8
    char EnglishText[128];
};

inline constexpr int kDomainInfoCount = 274;

// The table in its fixed order. A row stores the index of its match (its DomainIndex) and
// the domain column sorts by that index, so the order is part of the stored data: never
// reorder or insert records.
extern const DomainInfoRecord DomainInfoTable[kDomainInfoCount];

// The index of the first record, in table order, whose suffix the host name ends with
// after a dot, ASCII letters compared without case ("HOST.EXAMPLE.CO.JP" gives "co.jp",
// not "jp"). No normalisation: a bare suffix ("jp") or a trailing dot ("example.jp.")
// matches nothing. The host name ends at its first NUL, if any. Matching means finding
// "." + suffix + "$$" in the name followed by "$$", so a "$$" inside the name ends a
// suffix too ("a.com$$b.net" gives "com").
std::optional<int> FindDomainEntry(std::string_view hostName);

// The record's Japanese or English description; empty for an index outside the table
// (the reserved DomainIndex values 9998 and 9999 included).
std::string_view DomainDescription(int index, bool japanese);

}  // namespace ip2h
