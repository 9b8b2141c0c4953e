#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "address/IpAddress.h"
#include "base/FixedText.h"
#include "resolver/AnswerKind.h"

namespace ip2h {

inline constexpr int MaxRows = 9999;
inline constexpr std::size_t kTextFieldSize = 320;

// The list's columns, left to right.
enum class ListColumn : std::uint8_t { Address, HostName, Result, DomainInfo };
inline constexpr int kListColumnCount = 4;

// Where a row's lookup stands: waiting for its answer, named, or failed (no name, no answer
// or an error).
enum class RowStatus : std::uint8_t { Pending, Success, Failure };

inline constexpr std::int32_t DomainIndexNoMatch = 9998;
inline constexpr std::int32_t DomainIndexFailure = 9999;

// A row's answer as values: what the list's words, colours, tooltips and exported fields
// are made from. The texts that go with it (the name, the name that confirmed it) are kept
// beside it in the row.
struct RowAnswer {
    RowStatus Status = RowStatus::Pending;
    AnswerKind Kind = AnswerKind::Name;  // how a Success or Failure was reached
    Confirmation Confirmed = Confirmation::None;
    // A Success whose name reads as a dotted quad: it is shown and sorted like an address.
    bool NameIsDottedQuad = false;
    std::uint32_t NameValue = 0;  // that quad's value
    std::int32_t ErrorCode = 0;   // the name service's code of an Error answer

    friend bool operator==(const RowAnswer&, const RowAnswer&) = default;
};

// Addresses and most names fit in place; a longer text goes to the heap.
using AddressField = TextField<kTextFieldSize, 16>;
using NameField = TextField<kTextFieldSize, 48>;

// One row of the result list. Its texts hold up to 319 bytes each; rows move without
// allocating, and 9,999 of them take under 2 MB. The address is read once, when the row is written;
// nothing that shows, sorts or colours the row reads a text again.
struct ResultEntry {
    IpAddress Value;  // the address (IPv4 in the window)
    RowAnswer Answer;
    std::int32_t DomainIndex = 0;
    std::int32_t Selected = 0;
    AddressField Address;  // the address as written: canonical, or as pasted
    NameField HostName;    // the name of a Success row; empty otherwise
    // Another name of the address that led back to it, for the tooltip; empty when the name
    // shown did, or nothing did.
    AddressField ConfirmingName;
};

// The rows behind the result list, at most MaxRows of them. Storage grows with the rows
// written and is given back when the table is emptied, so an idle window holds none and a
// registration costs in proportion to its rows. Touched by the user-interface thread only.
class ResultTable {
public:
    static std::unique_ptr<ResultTable> Create();

    // Forgets every row and the list order: RowCount and OrderedCount become 0.
    void ResetRows();

    // Initialises Rows[index] as a new Pending row for `address`, a dotted quad kept as
    // written (cut to the field), growing the storage to hold it; an index outside
    // 0..MaxRows-1 is ignored. The caller sets RowCount.
    void WriteNewRow(int index, std::string_view address);

    // Removes the rows shown at the given list positions and compacts the rest in list
    // order. Positions refer to the list as RowOrder last described it; positions that no
    // longer map to a row are ignored, and rows that RowOrder does not reference yet (added
    // since the last refresh) are kept after the others in storage order. Afterwards no
    // position maps to a row (OrderedCount 0) until the next sort; the caller refreshes.
    void DeleteRows(std::span<const int> selectedPositions);

    // RowCount, limited to the rows that exist (and so to MaxRows).
    int RowsInUse() const;

    // Sets Selected to 1 where the predicate holds and 0 elsewhere, in storage order.
    void SetSelectedWhere(const std::function<bool(const ResultEntry&)>& predicate);

    // The rows; at least RowCount of them.
    std::vector<ResultEntry> Rows;
    std::int32_t RowCount = 0;
    // List order: entry i is the index into Rows of list item i.
    std::vector<std::int32_t> RowOrder;
    // How many leading entries of RowOrder describe the list as last built.
    std::int32_t OrderedCount = 0;
    // The name cache's version when the last refresh asked for the rows' answers.
    std::optional<std::uint64_t> AnsweredAt;

private:
    ResultTable() = default;
};

}  // namespace ip2h
