#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netdb.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "resolver/NetbiosNodeStatus.h"
#include "resolver/ReverseLookup.h"

namespace ip2h {
namespace {

using namespace std::chrono_literals;
using NameTable = std::map<std::string, std::string>;  // address text to name

const std::string kLongest(1024, 'a');  // the longest name the interface returns
const NameTable kDns = {{"192.0.2.1", "Host-01.Example.COM"},
                        {"192.0.2.2", kLongest},
                        {"192.0.2.3", ""},
                        {"192.0.2.4", "odd(name).example"},
                        {"10.0.0.9", "named.example"}};
const NameTable kPeers = {{"10.0.0.1", "PEER-A"},
                          {"172.16.0.1", "PEER-B"},
                          {"172.31.255.255", "PEER-C"},
                          {"192.168.1.1", "PEER\r\nD"},
                          {"10.0.0.9", "NOT-ASKED"}};
std::string g_asked;  // whom the lookups asked: "d" the name service, "n" a NetBIOS peer

// Answers like getnameinfo from kDns, which lists an empty name too.
int ScriptedGetNameInfo(const sockaddr* address, socklen_t length, char* host, socklen_t hostLength,
                        char*, socklen_t, int flags) {
    const auto* in = reinterpret_cast<const sockaddr_in*>(address);
    if (length != sizeof *in || in->sin_family != AF_INET) return EAI_FAMILY;
    g_asked += 'd';
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

// The answer, a blank, and whom the lookup asked.
std::string Traced(const std::string& address) {
    g_asked.clear();
    return ReverseLookup(address).Text + " " + g_asked;
}

TEST(ReverseLookup, AnswersTheNameAsGivenOrTheAddressAndAsksPeersOnlyForFailedPrivateOnes) {
    SetResolverEntry(&ScriptedGetNameInfo);
    SetNodeStatusQuery(&ScriptedNodeStatus);
    UseNbt = true;
    EXPECT_EQ(Traced("192.0.2.2"), kLongest + " d");
    // Fully qualified and in its letter case, mended.
    const std::pair<const char*, const char*> named[] = {
        {"192.0.2.1", "Host-01.Example.COM d"},
        {"192.0.2.4", "odd\\040name\\041.example d"},
        {"10.0.0.9", "named.example d"},
        {"10.0.0.1", "PEER-A dn"},
        {"172.16.0.1", "PEER-B dn"},
        {"172.31.255.255", "PEER-C dn"},
        {"192.168.1.1", "PEER\\013\\010D dn"}};
    for (const auto& [address, traced] : named) EXPECT_EQ(Traced(address), traced);
    // The address itself, so the address leads each trace: an empty name, a peer without a
    // name, addresses not private or not of four fields ("10.1" reads as 10.0.0.1), and texts
    // that are not addresses, never looked up (inet_addr would read 255.255.255.255 for them).
    for (const std::string failed :
         {"192.0.2.3 d", "10.0.0.2 dn", "172.15.0.1 d", "172.32.0.1 d", "192.169.0.1 d",
          "11.0.0.1 d", "10.1 d", "not.an.address ", "192.0.2.300 ", " "}) {
        EXPECT_EQ(Traced(failed.substr(0, failed.find(' '))), failed);
    }
    OsIsVersion51OrLater = false;
    EXPECT_EQ(Traced("10.0.0.1"), "10.0.0.1 d");
    OsIsVersion51OrLater = true;
    UseNbt = false;
    EXPECT_EQ(Traced("10.0.0.1"), "10.0.0.1 d");
    SetResolverEntry(nullptr);
    SetNodeStatusQuery(nullptr);
}

TEST(MendAnswer, EscapesControlsLineBreaksAndParenthesesOnlyAndIsStableWhenRepeated) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "10.0.0.1"},  // no name: the failure answer
        {"(10.0.0.1)", "\\04010.0.0.1\\041"},
        {std::string("a\0b", 3), "a\\000b"},
        {"two\r\nlines\tand\x1b[31mcolour\x7f", "two\\013\\010lines\\009and\\027[31mcolour\\127"},
        {"host\\040 MY PC", "host\\040 MY PC"},
        // UTF-8 line breaks (NEL, U+2028) are escaped byte by byte; other UTF-8 passes.
        {"a\xc2\x85" "b\xe2\x80\xa8utf-8 \xe3\x83\x9b\xc2\xa0",
         "a\\194\\133b\\226\\128\\168utf-8 \xe3\x83\x9b\xc2\xa0"},
    };
    for (const auto& [name, mended] : cases) {
        EXPECT_EQ(MendAnswer(name, "10.0.0.1"), mended);
        EXPECT_EQ(MendAnswer(mended, "10.0.0.1"), mended);
    }
}

using Bytes = std::vector<std::uint8_t>;
using NameEntry = std::tuple<std::string, std::uint8_t, std::uint16_t>;  // flags 0x8000: group

// A node status reply, with the fields a broken responder might get wrong.
struct Reply {
    std::uint16_t flags = 0x8400;  // response, authoritative
    std::vector<NameEntry> names;
    Bytes name = {4, 'P', 'E', 'E', 'R', 0};  // {0xC0, 0x0C}: a pointer to the question
    std::uint16_t type = 0x0021;
    int extraCount = 0;  // claims more names than follow

    Bytes Build() const {
        const auto hi = [](std::size_t v) { return static_cast<std::uint8_t>(v >> 8); };
        const auto lo = [](std::size_t v) { return static_cast<std::uint8_t>(v); };
        Bytes out;
        // Appended byte by byte: GCC 12 at -O2 wrongly reports inserting after an
        // initializer-list construction as out of bounds.
        const auto append = [&out](std::initializer_list<std::uint8_t> bytes) {
            for (const std::uint8_t b : bytes) out.push_back(b);
        };
        append({0x12, 0x34, hi(flags), lo(flags), 0, 0, 0, 1, 0, 0, 0, 0});
        out.insert(out.end(), name.begin(), name.end());
        const std::size_t length = 1 + names.size() * 18 + 46;  // 46 bytes of statistics
        append({hi(type), lo(type), 0, 1, 0, 0, 0, 0, hi(length), lo(length)});
        out.push_back(static_cast<std::uint8_t>(names.size() + extraCount));
        for (auto [text, suffix, bits] : names) {
            text.resize(15, ' ');
            out.insert(out.end(), text.begin(), text.end());
            append({suffix, hi(bits), lo(bits)});
        }
        out.insert(out.end(), 46, 0);
        return out;
    }
};

TEST(NodeStatus, RequestAsksForTheWildcardNameWithTypeNbstat) {
    const auto request = BuildNodeStatusRequest(0xBEEF);
    Bytes expected = {0xBE, 0xEF, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 32, 'C', 'K'};
    expected.insert(expected.end(), 30, 'A');
    expected.insert(expected.end(), {0, 0x00, 0x21, 0x00, 0x01});
    EXPECT_EQ(Bytes(request.begin(), request.end()), expected);
}

TEST(NodeStatus, ReplyGivesTheFirstUniqueWorkstationNameAndRefusesBrokenOnes) {
    const NameEntry group{"WORKGROUP", 0x00, 0x8400}, server{"PEER", 0x20, 0x0400},
        workstation{"PEER", 0x00, 0x0400}, other{"OTHER", 0x00, 0x0400};
    const std::pair<Reply, std::optional<std::string>> cases[] = {
        {{.names = {group, server, workstation, other}}, "PEER"},
        {{.names = {group, server}}, std::nullopt},
        {{.names = {}}, std::nullopt},
        {{.names = {{std::string("PC\0\0", 4), 0x00, 0}}}, "PC"},
        {{.names = {{"", 0x00, 0}, other}}, "OTHER"},
        {{.names = {workstation}, .name = {0xC0, 0x0C}}, "PEER"},
        {{.flags = 0x0400, .names = {workstation}}, std::nullopt},  // a request
        {{.flags = 0x8403, .names = {workstation}}, std::nullopt},  // an error
        {{.names = {workstation}, .type = 0x0020}, std::nullopt},
        {{.names = {workstation}, .extraCount = 3}, std::nullopt},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto reply = ParseNodeStatusReply(cases[i].first.Build());
        EXPECT_EQ(reply ? WorkstationName(*reply) : std::nullopt, cases[i].second) << i;
    }
    // Every prefix is a copy of its own, so that reading past it reads past an allocation.
    const Bytes full = Reply{.names = {server, workstation}}.Build();
    for (auto end = full.begin(); end != full.end(); ++end) {
        EXPECT_FALSE(ParseNodeStatusReply(Bytes(full.begin(), end))) << end - full.begin();
    }
}

// A peer that never answers (a bound loopback socket), then a closed port. The answering side
// runs against the namespace's NetBIOS peer in ResolverNamespaceTest.cpp.
TEST(NodeStatus, QueryRetriesWithinItsBudgetAndAlwaysClosesItsSocket) {
    const auto openDescriptors = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    };
    const auto descriptors = openDescriptors();
    const int silent = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const auto query = [&] {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(QueryNodeStatus(address.sin_addr, ntohs(address.sin_port)), std::nullopt);
        return std::chrono::steady_clock::now() - start;
    };

    const auto elapsed = query();
    EXPECT_GE(elapsed, NodeStatusBudget);
    EXPECT_LT(elapsed, NodeStatusBudget + 400ms);
    int requests = 0;
    for (char b[64]; ::recv(silent, b, sizeof b, MSG_DONTWAIT) == kNodeStatusRequestSize;) {
        ++requests;
    }
    EXPECT_EQ(requests, 3) << "one request every " << NodeStatusRetryInterval.count() << " ms";
    ::close(silent);
    EXPECT_LT(query(), NodeStatusRetryInterval) << "the refusal ends the wait at once";
    EXPECT_EQ(openDescriptors(), descriptors);
}

}  // namespace
}  // namespace ip2h
