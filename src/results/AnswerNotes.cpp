#include "results/AnswerNotes.h"

#include "base/AsciiCase.h"
#include "base/FixedText.h"
#include "base/Texts.h"
#include "resolver/ReverseLookup.h"
#include "results/ResultTable.h"

namespace ip2h {

std::string ResultNote(const ResultEntry& row, bool japanese) {
    if (row.Status == Pending) return std::string(Tr(TextId::AnswerPending, japanese));
    switch (row.Answer) {
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
    note += LookupStatusText(row.LookupStatus);
    if (mark != std::string_view::npos) note += format.substr(mark + 2);
    return note;
}

std::string HostNameNote(const ResultEntry& row, bool cellCutsName, std::string_view unicodeName,
                         bool japanese) {
    std::string note;
    const auto addLine = [&note](std::string_view line) {
        if (!note.empty()) note += '\n';
        note += line;
    };
    const std::string_view name = FieldText(row.HostName);
    if (cellCutsName) addLine(name);
    if (row.Status != Success) return note;
    if (!unicodeName.empty() && unicodeName != name) addLine(unicodeName);
    if (row.Confirmed == Confirmation::Confirmed) addLine(Tr(TextId::NameConfirmed, japanese));
    if (row.Confirmed == Confirmation::NotConfirmed) {
        addLine(Tr(TextId::NameNotConfirmed, japanese));
    }
    return note;
}

bool HasAceLabel(std::string_view hostName) {
    for (std::size_t i = 0; i + 4 <= hostName.size(); ++i) {
        if ((i == 0 || hostName[i - 1] == '.') &&
            EqualIgnoringAsciiCase(hostName.substr(i, 4), "xn--")) {
            return true;
        }
    }
    return false;
}

}  // namespace ip2h
