#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netdb.h>

#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "resolver/NetbiosNodeStatus.h"
#include "resolver/ReverseLookup.h"

namespace ip2h {
namespace {

// The name service's and the NetBIOS peers' answers, by address; `g_asked` traces whom a
// lookup asked: "d" the name service, "n" a peer.
const std::map<std::string, std::string> kDns = {{"192.0.2.2", std::string(1024, 'a')},
                                                 {"192.0.2.3", ""},
                                                 {"192.0.2.8", "."},
                                                 {"192.0.2.4", "odd(name).example"},
                                                 {"10.0.0.9", "named.example"}};
const std::map<std::string, std::string> kPeers = {{"10.0.0.1", "PEER-A"},
                                                   {"172.16.0.1", "PEER-B"},
                                                   {"172.31.255.255", "PEER-C"},
                                                   {"192.168.1.1", "PEER\r\nD"},
                                                   {"10.0.0.9", "NOT-ASKED"}};
// Addresses the name service fails for, with its status.
const std::map<std::string, int> kFailures = {{"192.0.2.5", EAI_AGAIN},
                                              {"192.0.2.6", EAI_FAIL},
                                              {"192.0.2.7", EAI_MEMORY},
                                              {"10.0.0.7", EAI_AGAIN}};
std::string g_asked;

// Answers as getnameinfo does, from kDns, which lists an empty name and the root name too.
int ScriptedGetNameInfo(const sockaddr* address, socklen_t length, char* host, socklen_t hostLength,
                        char*, socklen_t, int flags) {
    const auto* in = reinterpret_cast<const sockaddr_in*>(address);
    if (length != sizeof *in || in->sin_family != AF_INET) return EAI_FAMILY;
    g_asked += 'd';
    if (const auto failure = kFailures.find(::inet_ntoa(in->sin_addr));
        failure != kFailures.end()) {
        return failure->second;
    }
    const auto found = kDns.find(::inet_ntoa(in->sin_addr));
    if (found == kDns.end() && (flags & NI_NAMEREQD) != 0) return EAI_NONAME;
    const std::string text = found != kDns.end() ? found->second : ::inet_ntoa(in->sin_addr);
    if (text.size() >= hostLength) return EAI_OVERFLOW;
    std::memcpy(host, text.c_str(), text.size() + 1);
    return 0;
}

std::optional<std::string> ScriptedNodeStatus(in_addr target) {
    g_asked += 'n';
    const auto found = kPeers.find(::inet_ntoa(target));
    return found == kPeers.end() ? std::nullopt : std::optional(found->second);
}

TEST(ReverseLookup, AnswersTheNameAsGivenOrTheAddressAndAsksPeersOnlyForFailedPrivateOnes) {
    SetResolverEntry(&ScriptedGetNameInfo);
    SetNodeStatusQuery(&ScriptedNodeStatus);
    const LookupOptions nbt{.NetbiosSecondLookup = true};
    // The answer, a blank, and whom the lookup asked.
    const auto traced = [&nbt](const std::string& address) {
        g_asked.clear();
        return ReverseLookup(address, nbt).Text + " " + g_asked;
    };
    // Names fully qualified, in their letter case, mended; the longest the interface returns.
    // Else the address itself: for an empty name or the root name ".", a peer without a name,
    // addresses not private or not of four fields ("10.1" reads as 10.0.0.1), and texts that are
    // not addresses, never looked up (inet_addr would read 255.255.255.255 for them).
    const std::pair<const char*, std::string> lookups[] = {
        {"192.0.2.2", std::string(1024, 'a') + " d"},
        {"192.0.2.4", "odd\\040name\\041.example d"},
        {"10.0.0.9", "named.example d"},
        {"10.0.0.1", "PEER-A dn"},
        {"172.16.0.1", "PEER-B dn"},
        {"172.31.255.255", "PEER-C dn"},
        {"192.168.1.1", "PEER\\013\\010D dn"}};
    for (const auto& [address, expected] : lookups) EXPECT_EQ(traced(address), expected);
    for (const std::string failed :
         {"192.0.2.3 d", "192.0.2.8 d", "10.0.0.2 dn", "172.15.0.1 d", "172.32.0.1 d",
          "192.169.0.1 d", "11.0.0.1 d", "10.1 d", "not.an.address ", "192.0.2.300 ", " "}) {
        EXPECT_EQ(traced(failed.substr(0, failed.find(' '))), failed);
    }

    // Each answer's kind; an error keeps the name service's status for its description.
    const std::tuple<const char*, AnswerKind, int> kinds[] = {
        {"192.0.2.4", AnswerKind::Name, 0},        {"10.0.0.1", AnswerKind::NetBios, 0},
        {"192.0.2.3", AnswerKind::NoName, 0},      {"192.0.2.99", AnswerKind::NoName, 0},
        {"not.an.address", AnswerKind::NoName, 0}, {"192.0.2.5", AnswerKind::NoAnswer, 0},
        {"192.0.2.6", AnswerKind::NoAnswer, 0},    {"192.0.2.7", AnswerKind::Error, EAI_MEMORY},
        {"192.0.2.8", AnswerKind::NoName, 0},   // the root name "."
        {"10.0.0.7", AnswerKind::NoAnswer, 0},  // no peer answers: the name service's kind
    };
    for (const auto& [address, kind, status] : kinds) {
        const LookupAnswer answer = ReverseLookup(address, nbt);
        EXPECT_EQ(std::tuple(AnswerKindWord(answer.Kind), answer.ErrorCode),
                  std::tuple(AnswerKindWord(kind), status))
            << address;
    }
    SetResolverEntry(nullptr);
    SetNodeStatusQuery(nullptr);
}

}  // namespace
}  // namespace ip2h
