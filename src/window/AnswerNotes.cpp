#include "window/AnswerNotes.h"

#include "base/Texts.h"
#include "resolver/ReverseLookup.h"
#include "results/ResultTable.h"

namespace ip2h {

std::string ResultNote(const RowAnswer& answer, bool japanese) {
    if (answer.Status == RowStatus::Pending) {
        return std::string(Tr(TextId::AnswerPending, japanese));
    }
    switch (answer.Kind) {
        case AnswerKind::Name:
            return std::string(Tr(TextId::AnswerName, japanese));
        case AnswerKind::NetBios:
            return std::string(Tr(TextId::AnswerNetBios, japanese));
        case AnswerKind::NoName:
            return std::string(Tr(TextId::AnswerNoName, japanese));
        case AnswerKind::NoAnswer:
            return std::string(Tr(TextId::AnswerNoAnswer, japanese));
        case AnswerKind::Error:
            break;
    }
    const std::string_view format = Tr(TextId::AnswerError, japanese);
    const std::size_t mark = format.find("%s");
    std::string note(format.substr(0, mark));
    note += LookupStatusText(answer.ErrorCode);
    if (mark != std::string_view::npos) note += format.substr(mark + 2);
    return note;
}

std::string HostNameNote(std::string_view hostName, const RowAnswer& answer,
                         std::string_view confirmingName, bool cellCutsName,
                         std::string_view unicodeName, bool japanese) {
    std::string note;
    const auto addLine = [&note](std::string_view line) {
        if (!note.empty()) note += '\n';
        note += line;
    };
    if (cellCutsName) addLine(hostName);
    if (answer.Status != RowStatus::Success) return note;
    if (!unicodeName.empty() && unicodeName != hostName) addLine(unicodeName);
    switch (answer.Confirmed) {
        case Confirmation::Confirmed:
            if (confirmingName.empty()) {
                addLine(Tr(TextId::NameConfirmed, japanese));
            } else {
                const std::string_view format = Tr(TextId::NameConfirmedThrough, japanese);
                const std::size_t mark = format.find("%s");
                addLine(std::string(format.substr(0, mark))
                            .append(confirmingName)
                            .append(format.substr(mark + 2)));
            }
            break;
        case Confirmation::NotConfirmed:
            addLine(Tr(TextId::NameNotConfirmed, japanese));
            break;
        case Confirmation::Unknown:
            addLine(Tr(TextId::NameConfirmationUnknown, japanese));
            break;
        case Confirmation::None:
            break;
    }
    return note;
}

}  // namespace ip2h
