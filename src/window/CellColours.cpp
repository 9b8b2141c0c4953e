#include "window/CellColours.h"

namespace ip2h {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kGrey{192, 192, 192};

// A text colour on the list's own background.
CellColour OnListBackground(Rgb text, const CellColour& list) {
    return {text, list.Background, false};
}

}  // namespace

CellColour CellColours(ListColumn column, const RowAnswer& answer, bool privateAddress,
                       const CellColour& list) {
    switch (column) {
        case ListColumn::HostName:
            switch (answer.Status) {
                case RowStatus::Pending:
                    return OnListBackground(kGrey, list);
                case RowStatus::Failure:
                    return OnListBackground(kBlack, list);
                case RowStatus::Success:
                    break;
            }
            return OnListBackground(answer.NameIsDottedQuad ? kBlack : Rgb{0, 150, 0}, list);
        case ListColumn::Result:
            switch (answer.Status) {
                case RowStatus::Pending:
                    return OnListBackground(kGrey, list);
                case RowStatus::Success:
                    return {Rgb{0, 140, 0}, Rgb{230, 255, 230}, false};
                case RowStatus::Failure:
                    return {Rgb{210, 0, 0}, Rgb{255, 238, 238}, false};
            }
            break;
        case ListColumn::DomainInfo:
            if (answer.Status == RowStatus::Pending ||
                (answer.Status == RowStatus::Success && privateAddress)) {
                return OnListBackground(kGrey, list);
            }
            break;
        case ListColumn::Address:
            break;
    }
    return list;
}

}  // namespace ip2h
