#include "resolver/AnswerKind.h"

namespace ip2h {

std::string_view AnswerKindWord(AnswerKind kind) {
    switch (kind) {
        case AnswerKind::Name:
            return "name";
        case AnswerKind::NetBios:
            return "netbios";
        case AnswerKind::NoName:
            return "no-name";
        case AnswerKind::NoAnswer:
            return "no-answer";
        case AnswerKind::Error:
            break;
    }
    return "error";
}

std::string_view ConfirmationWord(Confirmation confirmation) {
    switch (confirmation) {
        case Confirmation::Confirmed:
            return "yes";
        case Confirmation::NotConfirmed:
            return "no";
        case Confirmation::Unknown:
            return "unknown";
        case Confirmation::None:
            break;
    }
    return {};
}

}  // namespace ip2h
