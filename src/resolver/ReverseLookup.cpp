#include "resolver/ReverseLookup.h"

#include <arpa/inet.h>
#include <arpa/nameser.h>
#include <netdb.h>
#include <netinet/in.h>
#include <resolv.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>

#include "address/AddressText.h"
#include "resolver/Iprev.h"
#include "resolver/NetbiosNodeStatus.h"
#include "resolver/PtrNames.h"

namespace ip2h {

namespace {

std::atomic<GetNameInfoFunction> g_replacementResolver{nullptr};

bool NeedsEscape(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F || byte == '(' || byte == ')';
}

// The length of a UTF-8 C1 control (U+0080..U+009F) or line/paragraph separator
// (U+2028, U+2029) at the start of `text`; 0 for anything else.
std::size_t UnicodeBreakLength(std::string_view text) {
    const auto at = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    if (text.size() >= 2 && at(0) == 0xC2 && at(1) >= 0x80 && at(1) <= 0x9F) return 2;
    if (text.size() >= 3 && at(0) == 0xE2 && at(1) == 0x80 && (at(2) == 0xA8 || at(2) == 0xA9)) {
        return 3;
    }
    return 0;
}

}  // namespace

GetNameInfoFunction ResolverEntry() {
    if (const auto replacement = g_replacementResolver.load(std::memory_order_acquire)) {
        return replacement;
    }
    return &::getnameinfo;
}

void SetResolverEntry(GetNameInfoFunction entry) {
    g_replacementResolver.store(entry, std::memory_order_release);
}

std::string MendAnswer(std::string_view name, std::string_view address) {
    // The root name comes from a PTR record registered as "." by mistake: it names no host.
    if (IsNoName(name)) {
        return std::string(address);
    }
    std::string mended;
    mended.reserve(name.size());
    auto escape = [&mended](unsigned char byte) {
        mended += '\\';
        mended += static_cast<char>('0' + byte / 100);
        mended += static_cast<char>('0' + byte / 10 % 10);
        mended += static_cast<char>('0' + byte % 10);
    };
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (NeedsEscape(byte)) {
            escape(byte);
            continue;
        }
        // Line breaks outside ASCII, in UTF-8: the C1 controls (NEL among them) and the
        // line and paragraph separators. Editors break copied rows at them too.
        const std::size_t length = UnicodeBreakLength(name.substr(i));
        if (length > 0) {
            for (std::size_t k = 0; k < length; ++k)
                escape(static_cast<unsigned char>(name[i + k]));
            i += length - 1;
            continue;
        }
        mended += name[i];
    }
    return mended;
}

LookupAnswer SettleAnswer(LookupAnswer answer, std::string_view address) {
    answer.Text = MendAnswer(answer.Text, address);
    if (answer.Text == address && NamesTheAddress(answer.Kind)) {
        answer.Kind = AnswerKind::NoName;
        answer.Confirmed = Confirmation::None;
        answer.ConfirmingName.clear();
    }
    return answer;
}

AnswerKind KindOfLookupStatus(int status) {
    switch (status) {
        case 0:
            return AnswerKind::Name;
        case EAI_NONAME:
            return AnswerKind::NoName;
        case EAI_AGAIN:
        case EAI_FAIL:
            return AnswerKind::NoAnswer;
        default:
            return AnswerKind::Error;
    }
}

std::string LookupStatusText(int status) {
    return ::gai_strerror(status);
}

namespace {

ForwardOutcome ForwardLookup(const std::string& name, const IpAddress& address) {
    addrinfo hints{};
    hints.ai_family = address.IsV6 ? AF_INET6 : AF_INET;
    // One entry per address rather than one per socket type.
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int status = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
    if (status == EAI_NONAME || status == EAI_NODATA) return ForwardOutcome::LeadsElsewhere;
    if (status != 0) return ForwardOutcome::NoAnswer;
    ForwardOutcome outcome = ForwardOutcome::LeadsElsewhere;
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        bool back = false;
        if (address.IsV6 && entry->ai_family == AF_INET6 &&
            entry->ai_addrlen >= sizeof(sockaddr_in6)) {
            const auto* in = reinterpret_cast<const sockaddr_in6*>(entry->ai_addr);
            back = std::memcmp(&in->sin6_addr, address.V6.data(), address.V6.size()) == 0;
        } else if (!address.IsV6 && entry->ai_family == AF_INET &&
                   entry->ai_addrlen >= sizeof(sockaddr_in)) {
            const auto* in = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
            back = ntohl(in->sin_addr.s_addr) == address.V4;
        }
        if (back) {
            outcome = ForwardOutcome::LeadsBack;
            break;
        }
    }
    ::freeaddrinfo(found);
    return outcome;
}

}  // namespace

std::vector<std::string> PtrNamesOf(const IpAddress& address) {
    std::vector<std::string> names;
    struct __res_state state {};
    if (::res_ninit(&state) != 0) return names;
    std::array<unsigned char, 65535> reply{};
    const std::string question = ReverseQueryName(address);
    const int length =
        ::res_nquery(&state, question.c_str(), ns_c_in, ns_t_ptr, reply.data(), reply.size());
    ns_msg message{};
    if (length > 0 && ::ns_initparse(reply.data(), length, &message) == 0) {
        for (int i = 0; i < ns_msg_count(message, ns_s_an); ++i) {
            ns_rr record{};
            char name[NS_MAXDNAME];
            if (::ns_parserr(&message, ns_s_an, i, &record) != 0 ||
                ns_rr_type(record) != ns_t_ptr ||
                ::dn_expand(ns_msg_base(message), ns_msg_end(message), ns_rr_rdata(record), name,
                            sizeof name) < 0) {
                continue;
            }
            names.emplace_back(name);
        }
    }
    ::res_nclose(&state);
    return names;
}

ForwardCheck ConfirmByForwardLookup(const std::string& name, const IpAddress& address) {
    // The name shown first: it is the one most likely to lead back.
    PtrNameList names;
    names.Add(name);
    for (const auto& other : PtrNamesOf(address)) names.Add(other);
    IprevTally tally(names.Names().size());
    for (std::size_t i = 0; i < names.Names().size() && !tally.Decided(); ++i) {
        tally.Add(i, ForwardLookup(names.Names()[i], address));
    }
    ForwardCheck check;
    check.Confirmed = tally.Result();
    if (tally.HasConfirmingName() && tally.ConfirmingName() > 0) {
        check.ConfirmingName = names.Names()[tally.ConfirmingName()];
    }
    return check;
}

LookupAnswer ReverseLookup(std::string_view address, LookupOptions options) {
    std::string text(address);
    // inet_aton rather than inet_addr: the latter answers an unreadable text with
    // 255.255.255.255, which would then be looked up in its place.
    in_addr parsed{};
    IpAddress asked;
    sockaddr_storage socketAddress{};
    socklen_t socketLength = 0;
    if (text.find('\0') != std::string::npos) return {std::move(text), AnswerKind::NoName};
    if (::inet_aton(text.c_str(), &parsed) != 0) {
        auto& in = reinterpret_cast<sockaddr_in&>(socketAddress);
        in.sin_family = AF_INET;
        in.sin_addr = parsed;
        socketLength = sizeof in;
        asked = IpAddress::Of(ntohl(parsed.s_addr));
    } else if (const auto v6 = ParseIpv6(text)) {
        // The batch mode's IPv6 addresses; the window's texts are all IPv4.
        auto& in = reinterpret_cast<sockaddr_in6&>(socketAddress);
        in.sin6_family = AF_INET6;
        std::memcpy(&in.sin6_addr, v6->data(), v6->size());
        socketLength = sizeof in;
        asked = IpAddress::Of(*v6);
    } else {
        return {std::move(text), AnswerKind::NoName};
    }
    char host[kHostNameBufferSize] = {};
    const int status = ResolverEntry()(reinterpret_cast<const sockaddr*>(&socketAddress),
                                       socketLength, host, sizeof host, nullptr, 0, NI_NAMEREQD);
    if (status == 0) {
        const std::string_view raw(host, ::strnlen(host, sizeof host));
        LookupAnswer answer = SettleAnswer(LookupAnswer(std::string(raw)), text);
        if (answer.Kind == AnswerKind::Name && options.ConfirmNames) {
            // The name as the name service gave it, not its mended form.
            const ForwardCheck check = ConfirmByForwardLookup(std::string(raw), asked);
            answer.Confirmed = check.Confirmed;
            if (!check.ConfirmingName.empty()) {
                answer.ConfirmingName = MendAnswer(check.ConfirmingName, text);
            }
        }
        return answer;
    }

    LookupAnswer failure(text, KindOfLookupStatus(status));
    if (failure.Kind == AnswerKind::Error) failure.ErrorCode = status;
    if (!options.NetbiosSecondLookup || asked.IsV6 || !IsPrivateAddress(text)) {
        return failure;
    }
    if (const auto name = NodeStatusQuery()(parsed)) {
        return SettleAnswer({*name, AnswerKind::NetBios}, text);
    }
    return failure;
}

}  // namespace ip2h
