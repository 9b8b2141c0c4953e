// End to end: the platform resolver against the DNS server and the NetBIOS peer that
// scripts/netns-run starts inside the test namespace (tests/fixtures/netns.d).

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <ranges>
#include <string>
#include <thread>
#include <vector>

#include "resolver/NetbiosNodeStatus.h"
#include "resolver/ResolutionEngine.h"
#include "resolver/ReverseLookup.h"
#include "support/JoinedWorkers.h"
#include "support/StoppedDnsServer.h"
#include "support/TestNamespace.h"

namespace ip2h {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Answers = std::map<std::string, std::string>;

// Requests every row again, as list refreshes do, until none is pending (a minute at most:
// the longest wait, two rounds of lookups against a silent server, takes 8 s).
Answers ResolveRows(ResolutionEngine& engine, const std::vector<std::string>& rows) {
    Answers answers;
    for (const auto deadline = Clock::now() + 60s; Clock::now() < deadline;) {
        for (const auto& row : rows) {
            const auto answer = engine.RequestHostName(row);
            answers[row] = answer ? answer->Text : "(" + row + ")";
        }
        if (std::ranges::none_of(answers, [](auto& a) { return a.second.starts_with("("); })) break;
        std::this_thread::sleep_for(20ms);
    }
    return answers;
}

TEST(TestDns, NamesComeBackFullyQualifiedInTheirCaseAndFailuresAsTheAddress) {
    IP2H_REQUIRE_TEST_NAMESPACE();
    test::JoinedWorkers workers;  // joined last, after the server is running again
    test::TestDnsLock lock(false);
    Answers expected = {{"198.51.100.1", "gw.Net-Test.NET"},
                        {"198.51.100.3", "mail.Example.co.jp"},
                        {"198.51.100.7", "198.51.100.7"},      // NXDOMAIN
                        {"198.51.100.255", "198.51.100.255"},  // PTR "."
                        {"192.0.2.99", "192.0.2.99"},          // NXDOMAIN
                        {"203.0.113.40", "odd\\040name\\041.example"},
                        {"203.0.113.41", "esc\\027name.example"}};
    for (int n = 1; n <= 20; ++n) {
        expected["192.0.2." + std::to_string(n)] =
            (n < 10 ? "Host-0" : "Host-") + std::to_string(n) + ".Example.COM";
    }
    for (const auto& [address, answer] : expected) EXPECT_EQ(ReverseLookup(address).Text, answer);
    const auto rows = std::views::keys(expected);
    EXPECT_EQ(ResolveRows(*workers.Engine(), {rows.begin(), rows.end()}), expected);

    // NXDOMAIN and the root name are definite no-names. Forward confirmation: Host-01 resolves
    // back, gw's address record names another address, mail has none; nothing is confirmed when
    // off.
    for (const char* address : {"198.51.100.7", "198.51.100.255"})
        EXPECT_EQ(ReverseLookup(address).Kind, AnswerKind::NoName) << address;
    const auto confirmations = [](bool confirm) {
        std::string words;
        for (const char* address : {"192.0.2.1", "198.51.100.1", "198.51.100.3", "192.0.2.99"}) {
            const LookupAnswer answer = ReverseLookup(address, {.ConfirmNames = confirm});
            words.append(ConfirmationWord(answer.Confirmed)).append(" ");
        }
        return words;
    };
    EXPECT_EQ(confirmations(false), "    ");
    EXPECT_EQ(confirmations(true), "yes no no  ");
}

TEST(TestDns, ASilentServerCostsEachLookupItsTimeoutButNeverBlocksTheDispatcher) {
    IP2H_REQUIRE_TEST_NAMESPACE();
    // A longer timeout than the namespace's 1 s (read when this process first loads its
    // resolver settings).
    constexpr auto kTimeout = 4s;
    ::setenv("RES_OPTIONS", "timeout:4 attempts:1", 1);
    test::JoinedWorkers workers;  // joined last, after the server is running again
    test::StoppedDnsServer stopped;
    ASSERT_TRUE(stopped.Stopped());
    const LookupAnswer silent = ReverseLookup("192.0.2.1");
    EXPECT_EQ(silent.Text, "192.0.2.1") << "the address, after the timeout";
    EXPECT_EQ(silent.Kind, AnswerKind::NoAnswer);

    auto engine = workers.Engine();
    std::vector<std::string> rows;
    for (int n = 1; n <= 120; ++n) rows.push_back("198.51.100." + std::to_string(n));
    // A request that waited for its lookup would come back with the address, not pending. A
    // row's first request always is; a later one only while no lookup can have ended, before
    // the timeout has passed since the first request (on a slow machine, fewer count).
    const auto firstRequest = Clock::now();
    for (int refresh = 0; refresh < 3; ++refresh, std::this_thread::sleep_for(50ms)) {
        for (const auto& row : rows) {
            const bool counts = refresh == 0 || Clock::now() < firstRequest + kTimeout;
            const auto answer = engine->RequestHostName(row);
            EXPECT_TRUE(!counts || !answer) << answer->Text;
        }
    }
    EXPECT_TRUE(Clock::now() >= firstRequest + kTimeout || engine->AnyWorkerRunning());
    for (const auto& [address, answer] : ResolveRows(*engine, rows)) EXPECT_EQ(answer, address);
}

TEST(NetbiosPeer, NamesThePrivateAddressWhoseDnsLookupFails) {
    IP2H_REQUIRE_TEST_NAMESPACE();
    test::JoinedWorkers workers;  // joined last, after the server is running again
    test::TestDnsLock lock(false);
    const std::string address = test::TestEnvironment("IP2H_TEST_NBT_ADDR");
    const std::string name = test::TestEnvironment("IP2H_TEST_NBT_NAME");
    in_addr peer{};
    ASSERT_EQ(::inet_aton(address.c_str(), &peer), 1);
    EXPECT_EQ(QueryNodeStatus(peer), name);

    EXPECT_EQ(ReverseLookup(address).Text, address);  // the option is off
    const LookupOptions nbt{.NetbiosSecondLookup = true};
    EXPECT_EQ(ReverseLookup(address, nbt).Kind, AnswerKind::NetBios);
    const auto engine = workers.Engine();
    engine->SetLookupOptions(nbt);
    EXPECT_EQ(ResolveRows(*engine, {address, "192.0.2.1", "192.0.2.99"}),
              (Answers{{address, name},
                       {"192.0.2.1", "Host-01.Example.COM"},
                       {"192.0.2.99", "192.0.2.99"}}));  // not private: no second lookup
}

}  // namespace
}  // namespace ip2h
