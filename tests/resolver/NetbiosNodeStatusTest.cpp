#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <vector>

#include "resolver/NetbiosNodeStatus.h"

namespace ip2h {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

struct NameEntry {
    std::string name;  // padded with blanks to 15 bytes
    std::uint8_t suffix;
    std::uint16_t flags;  // 0x8000: group name
};

// A node status reply as a name server sends it, with the knobs a broken one might turn.
struct Reply {
    std::uint16_t id = 0x1234;
    std::uint16_t flags = 0x8400;  // response, authoritative
    std::vector<NameEntry> names;
    bool compressedName = false;
    std::uint16_t type = 0x0021;
    int extraCount = 0;  // claims more names than follow

    Bytes Build() const {
        Bytes out = {Hi(id), Lo(id), Hi(flags), Lo(flags), 0, 0, 0, 1, 0, 0, 0, 0};
        if (compressedName) {
            out.insert(out.end(), {0xC0, 0x0C});
        } else {
            out.insert(out.end(), {32, 'C', 'K'});
            out.insert(out.end(), 30, 'A');
            out.push_back(0);
        }
        const std::size_t length = 1 + names.size() * 18 + 46;  // 46 bytes of statistics
        out.insert(out.end(), {Hi(type), Lo(type), 0, 1, 0, 0, 0, 0, Hi(length), Lo(length)});
        out.push_back(static_cast<std::uint8_t>(names.size() + extraCount));
        for (const auto& entry : names) {
            std::string padded = entry.name;
            padded.resize(15, ' ');
            out.insert(out.end(), padded.begin(), padded.end());
            out.insert(out.end(), {entry.suffix, Hi(entry.flags), Lo(entry.flags)});
        }
        out.insert(out.end(), 46, 0);
        return out;
    }
    static std::uint8_t Hi(std::size_t v) { return static_cast<std::uint8_t>(v >> 8); }
    static std::uint8_t Lo(std::size_t v) { return static_cast<std::uint8_t>(v); }
};

std::optional<std::string> NameIn(const Bytes& packet) {
    const auto reply = ParseNodeStatusReply(packet);
    return reply ? WorkstationName(*reply) : std::nullopt;
}

TEST(NodeStatus, RequestAsksForTheWildcardNameWithTypeNbstat) {
    const auto request = BuildNodeStatusRequest(0xBEEF);
    Bytes expected = {0xBE, 0xEF, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 32, 'C', 'K'};
    expected.insert(expected.end(), 30, 'A');
    expected.insert(expected.end(), {0, 0x00, 0x21, 0x00, 0x01});
    EXPECT_EQ(Bytes(request.begin(), request.end()), expected);
}

TEST(NodeStatus, ReplyGivesTheFirstUniqueWorkstationName) {
    const NameEntry group{"WORKGROUP", 0x00, 0x8400};
    const NameEntry server{"PEER", 0x20, 0x0400};
    const NameEntry workstation{"PEER", 0x00, 0x0400};
    const NameEntry other{"OTHER", 0x00, 0x0400};
    const std::pair<Reply, std::optional<std::string>> cases[] = {
        {{.names = {group, server, workstation, other}}, "PEER"},
        {{.names = {group, server}}, std::nullopt},
        {{.names = {}}, std::nullopt},
        {{.names = {{std::string("PC\0\0", 4), 0x00, 0}}}, "PC"},
        {{.names = {{"", 0x00, 0}, other}}, "OTHER"},
        {{.names = {workstation}, .compressedName = true}, "PEER"},
        {{.flags = 0x0400, .names = {workstation}}, std::nullopt},  // a request
        {{.flags = 0x8403, .names = {workstation}}, std::nullopt},  // an error
        {{.names = {workstation}, .type = 0x0020}, std::nullopt},
        {{.names = {workstation}, .extraCount = 3}, std::nullopt},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(NameIn(cases[i].first.Build()), cases[i].second) << "case " << i;
    }
}

TEST(NodeStatus, TruncatedOrCorruptedRepliesAreRefusedWithoutReadingPastThem) {
    const Bytes full = Reply{.names = {{"PEER", 0x20, 0}, {"PEER", 0x00, 0}}}.Build();
    for (std::size_t length = 0; length < full.size(); ++length) {
        // A copy, so that reading past the end is reading past an allocation.
        const Bytes prefix(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_FALSE(ParseNodeStatusReply(prefix).has_value()) << length;
    }
    std::mt19937 random(20240601);
    for (int round = 0; round < 20000; ++round) {
        Bytes packet = full;
        for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips) {
            packet[random() % packet.size()] = static_cast<std::uint8_t>(random());
        }
        packet.resize(random() % (packet.size() + 1));
        (void)ParseNodeStatusReply(packet);
    }
}

std::size_t OpenDescriptors() {
    const std::filesystem::directory_iterator entries("/proc/self/fd");
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

// The answering side runs against a real peer in ResolverNamespaceTest.cpp; here a socket on
// 127.0.0.1 that never answers, and then no socket at all.
TEST(NodeStatus, QueryRetriesWithinItsBudgetAndAlwaysClosesItsSocket) {
    const std::size_t descriptors = OpenDescriptors();
    const int silent = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length), 0);

    auto start = Clock::now();
    EXPECT_EQ(QueryNodeStatus(address.sin_addr, ntohs(address.sin_port)), std::nullopt);
    const auto elapsed = Clock::now() - start;
    EXPECT_GE(elapsed, NodeStatusBudget);
    EXPECT_LT(elapsed, NodeStatusBudget + 400ms);
    std::uint8_t request[64];
    int requests = 0;
    while (::recv(silent, request, sizeof request, MSG_DONTWAIT) == NodeStatusRequestSize) {
        ++requests;
    }
    EXPECT_EQ(requests, 3) << "one request every " << NodeStatusRetryInterval.count() << " ms";

    // Nobody listens any more: the refusal ends the wait at once.
    ::close(silent);
    start = Clock::now();
    EXPECT_EQ(QueryNodeStatus(address.sin_addr, ntohs(address.sin_port)), std::nullopt);
    EXPECT_LT(Clock::now() - start, NodeStatusRetryInterval);
    EXPECT_EQ(OpenDescriptors(), descriptors);
}

}  // namespace
}  // namespace ip2h
