// End to end: the platform resolver against the DNS server and the NetBIOS peer that
// scripts/netns-run starts inside the test namespace (tests/fixtures/netns.d).

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "resolver/NetbiosNodeStatus.h"
#include "resolver/ReverseLookup.h"
#include "resolver/WorkerSlots.h"
#include "support/TestNamespace.h"

namespace ip2h {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

using test::TestDnsLock;
using test::TestEnvironment;

// Requests every row again, as list refreshes do, until none is pending.
std::map<std::string, std::string> ResolveRows(ResolutionEngine& engine,
                                               const std::vector<std::string>& rows) {
    std::map<std::string, std::string> answers;
    for (const auto deadline = Clock::now() + 30s; Clock::now() < deadline;) {
        bool pending = false;
        for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
            answers[*row] = engine.RequestHostName(*row);
            pending = pending || answers[*row].starts_with("(");
        }
        if (!pending) {
            break;
        }
        std::this_thread::sleep_for(20ms);
    }
    return answers;
}

TEST(TestDns, NamesComeBackFullyQualifiedInTheirCaseAndFailuresAsTheAddress) {
    IP2H_REQUIRE_TEST_NAMESPACE();
    TestDnsLock lock(false);
    std::map<std::string, std::string> expected = {
        {"198.51.100.1", "gw.Net-Test.NET"},
        {"198.51.100.3", "mail.Example.co.jp"},
        {"198.51.100.7", "198.51.100.7"},               // NXDOMAIN
        {"192.0.2.99", "192.0.2.99"},                   // NXDOMAIN
        {"203.0.113.40", "odd\\040name\\041.example"},  // from the hosts file
        {"203.0.113.41", "esc\\027name.example"},
    };
    for (int n = 1; n <= 20; ++n) {
        expected["192.0.2." + std::to_string(n)] =
            (n < 10 ? "Host-0" : "Host-") + std::to_string(n) + ".Example.COM";
    }
    std::vector<std::string> rows;
    for (const auto& [address, answer] : expected) {
        EXPECT_EQ(ReverseLookup(address), answer);
        rows.push_back(address);
    }
    auto engine = ResolutionEngine::Create();
    EXPECT_EQ(ResolveRows(*engine, rows), expected);
}

// Stops the DNS server while it exists. A watchdog process resumes the server when the test
// process lets go of a pipe, which it also does by dying, so no abort leaves it stopped.
class StoppedDnsServer {
public:
    StoppedDnsServer() : m_server(std::stoi(TestEnvironment("IP2H_TEST_DNS_PID"))) {
        int ends[2];
        EXPECT_EQ(::pipe2(ends, O_CLOEXEC), 0);
        m_watchdog = ::fork();
        if (m_watchdog == 0) {
            char byte;
            ::close(ends[1]);
            while (::read(ends[0], &byte, 1) < 0 && errno == EINTR) {
            }
            ::kill(m_server, SIGCONT);
            ::_exit(0);
        }
        ::close(ends[0]);
        m_pipe = ends[1];
        EXPECT_EQ(::kill(m_server, SIGSTOP), 0);
    }
    ~StoppedDnsServer() {
        ::close(m_pipe);
        ::waitpid(m_watchdog, nullptr, 0);
        for (const auto deadline = Clock::now() + 10s;
             ReverseLookup("192.0.2.1") == "192.0.2.1" && Clock::now() < deadline;) {
        }
    }
    StoppedDnsServer(const StoppedDnsServer&) = delete;
    StoppedDnsServer& operator=(const StoppedDnsServer&) = delete;

private:
    pid_t m_server;
    pid_t m_watchdog;
    int m_pipe;
};

TEST(TestDns, ASilentServerCostsEachLookupItsTimeoutButNeverBlocksTheDispatcher) {
    IP2H_REQUIRE_TEST_NAMESPACE();
    TestDnsLock lock(true);
    StoppedDnsServer stopped;

    auto start = Clock::now();
    EXPECT_EQ(ReverseLookup("192.0.2.1"), "192.0.2.1");
    EXPECT_GE(Clock::now() - start, 900ms) << "the address comes back after the timeout";

    auto engine = ResolutionEngine::Create();
    std::vector<std::string> rows;
    for (int n = 1; n <= 120; ++n) {
        rows.push_back("198.51.100." + std::to_string(n));
    }
    Clock::duration slowest{};
    for (int refresh = 0; refresh < 3; ++refresh, std::this_thread::sleep_for(50ms)) {
        for (const auto& row : rows) {
            start = Clock::now();
            EXPECT_EQ(engine->RequestHostName(row), "(" + row + ")");
            slowest = std::max(slowest, Clock::now() - start);
        }
    }
    EXPECT_LT(slowest, 100ms) << "a request must never wait for a lookup";
    EXPECT_TRUE(engine->AnyWorkerRunning());
    for (const auto& [address, answer] : ResolveRows(*engine, rows)) {
        EXPECT_EQ(answer, address);
    }
}

TEST(NetbiosPeer, NamesThePrivateAddressWhoseDnsLookupFails) {
    IP2H_REQUIRE_TEST_NAMESPACE();
    TestDnsLock lock(false);
    const std::string address = TestEnvironment("IP2H_TEST_NBT_ADDR");
    const std::string name = TestEnvironment("IP2H_TEST_NBT_NAME");
    in_addr peer{};
    ASSERT_EQ(::inet_aton(address.c_str(), &peer), 1);
    EXPECT_EQ(QueryNodeStatus(peer), name);

    EXPECT_EQ(ReverseLookup(address), address);  // the option is off
    UseNbt = true;
    auto engine = ResolutionEngine::Create();
    const auto answers = ResolveRows(*engine, {address, "192.0.2.1", "192.0.2.99"});
    EXPECT_EQ(answers.at(address), name);
    EXPECT_EQ(answers.at("192.0.2.1"), "Host-01.Example.COM");
    EXPECT_EQ(answers.at("192.0.2.99"), "192.0.2.99");  // not private: no second lookup
    UseNbt = false;
}

}  // namespace
}  // namespace ip2h
