#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ip2h {

// How a lookup was answered.
enum class AnswerKind : std::uint8_t {
    Name,      // the name service gave a name
    NetBios,   // the NetBIOS node status gave a name
    NoName,    // the name service says the address has no name
    NoAnswer,  // the server did not answer in time, or failed
    Error,     // any other failure of the lookup
};

// Whether a name from the name service was looked up forward and led back to its address.
enum class Confirmation : std::uint8_t {
    None,          // not asked: the option was off, or the answer is not a DNS name
    Confirmed,     // the name resolves to the address
    NotConfirmed,  // no name of the address resolves to it
    Unknown,       // none resolves to it, but a forward lookup needed to decide got no answer
};

// The words the exported files use for a kind ("name", "netbios", "no-name", "no-answer",
// "error") and for a confirmation ("yes", "no", "unknown", or empty when none was made).
std::string_view AnswerKindWord(AnswerKind kind);
std::string_view ConfirmationWord(Confirmation confirmation);

// Whether an answer holds for later runs: a name, or the name service's definite word that
// there is none. A server that did not answer or failed may well answer the next time.
constexpr bool IsLastingAnswer(AnswerKind kind) {
    return kind != AnswerKind::NoAnswer && kind != AnswerKind::Error;
}

// Whether an answer of this kind names the address; the others stand for a failed lookup.
constexpr bool NamesTheAddress(AnswerKind kind) {
    return kind == AnswerKind::Name || kind == AnswerKind::NetBios;
}

// A lookup's answer: the host name, or the address itself when there is none, with how it
// was reached.
struct LookupAnswer {
    // Implicit, so that a lookup that only knows texts (a test's, say) answers with a name
    // or with the lasting failure its address text stands for.
    LookupAnswer(std::string text, AnswerKind kind = AnswerKind::Name)  // NOLINT
        : Text(std::move(text)), Kind(kind) {}
    LookupAnswer(const char* text) : Text(text) {}  // NOLINT

    std::string Text;
    AnswerKind Kind = AnswerKind::Name;
    Confirmation Confirmed = Confirmation::None;
    // The name service's code for an Error answer (a getnameinfo EAI_ code), 0 otherwise.
    int ErrorCode = 0;
    // Every name the address has, mended, when the lookup asked for them all (at most
    // kMaxPtrNames); empty otherwise.
    std::vector<std::string> Names;
    // A Confirmed answer's name that leads back when it is not Text (mended); empty otherwise.
    std::string ConfirmingName;
};

// Whether an answer holds for later runs: its kind is lasting and, when a forward lookup was
// needed, that lookup was answered too.
inline bool IsLastingAnswer(const LookupAnswer& answer) {
    return IsLastingAnswer(answer.Kind) && answer.Confirmed != Confirmation::Unknown;
}

}  // namespace ip2h
