// The asynchronous client: its small rules, and end to end against the namespace's DNS server
// and the delaying responder as a slow, dropping, shuffling or second server.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "resolver/ConcurrencyWindow.h"
#include "resolver/DnsClient.h"
#include "resolver/Iprev.h"
#include "resolver/PtrNames.h"
#include "resolver/ReverseLookup.h"
#include "support/TestNamespace.h"

extern char** environ;

namespace ip2h {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(DnsServerText, ReadsAddressesWithAndWithoutPorts) {
    const std::tuple<const char*, const char*, int> good[] = {
        {"127.0.0.1", "127.0.0.1", 53},
        {"127.0.0.1:5353", "127.0.0.1", 5353},
        {"::1", "::1", 53},
        {"[::1]", "::1", 53},
        {"[fe80::1]:54", "fe80::1", 54},
        {"10.0.0.1:65535", "10.0.0.1", 65535}};
    for (const auto& [text, address, port] : good) {
        const auto server = ParseDnsServer(text);
        ASSERT_TRUE(server) << text;
        EXPECT_EQ(std::tuple(server->Address, int(server->Port)), std::tuple(address, port));
    }
    for (const char* bad : {"", "host.example", "127.0.0.1:", "127.0.0.1:0", "127.0.0.1:65536",
                            "127.0.0.1:+53", "[::1", "[::1]:", "[127.0.0.1]", "1.2.3.4.5"}) {
        EXPECT_FALSE(ParseDnsServer(bad)) << bad;
    }
}

TEST(PtrNames, LeaveOutNoNamesAndRepeatsAndKeepAFixedOrder) {
    PtrNameList list;
    for (const char* name : {"b.example", "", "A.example", ".", "a.EXAMPLE", "a.example"}) {
        list.Add(name);
    }
    list.Sort();
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"A.example", "b.example"}));
    for (int i = 0; i < 20; ++i) list.Add("n" + std::to_string(i));
    EXPECT_EQ(list.Names().size(), kMaxPtrNames);
    EXPECT_EQ(ReverseQueryName(0xC0000201), "1.2.0.192.in-addr.arpa");
}

TEST(Iprev, AnyNameLeadingBackConfirmsAndAMissingAnswerLeavesItOpen) {
    using enum ForwardOutcome;
    const std::tuple<std::vector<ForwardOutcome>, Confirmation, bool> cases[] = {
        {{LeadsElsewhere, LeadsBack}, Confirmation::Confirmed, true},
        {{NoAnswer, LeadsBack}, Confirmation::Confirmed, true},
        {{LeadsElsewhere, LeadsElsewhere}, Confirmation::NotConfirmed, true},
        {{LeadsElsewhere, NoAnswer}, Confirmation::Unknown, true},
        {{LeadsElsewhere}, Confirmation::NotConfirmed, false},  // the second still out
    };
    for (const auto& [outcomes, result, decided] : cases) {
        IprevTally tally(2);
        for (std::size_t i = 0; i < outcomes.size(); ++i) tally.Add(i, outcomes[i]);
        EXPECT_EQ(std::tuple(tally.Result(), tally.Decided()), std::tuple(result, decided));
    }
}

TEST(ConcurrencyWindow, GrowsWhileAnsweredAndBacksOffOncePerRoundOfLosses) {
    ConcurrencyWindow window(1000, 5000ms);
    auto now = Clock::now();
    for (int i = 0; i < 400; ++i, now += 1ms) window.OnAnswer(now - 200ms, now, true);
    EXPECT_EQ(window.Limit(), 1000) << "a far server: grown fast, never above the most";
    window.OnLoss(now - 300ms, now);
    EXPECT_LE(window.Limit(), 500);
    const int halved = window.Limit();
    window.OnLoss(now - 250ms, now + 1ms);  // sent before the halving: the same round
    EXPECT_EQ(window.Limit(), halved);
    window.OnLateAnswer();  // slow, not overrun
    EXPECT_EQ(window.Limit(), 1000);
    for (int round = 1; round < 20; ++round) window.OnLoss(now + round * 1s, now + round * 1s);
    EXPECT_EQ(window.Limit(), ConcurrencyWindow::kMinWindow);
}

// The delaying responder (bench/batch) on 127.0.0.1:port, with more options.
class Responder {
public:
    Responder(int port, std::vector<std::string> options) {
        options.insert(options.begin(), {IP2H_TEST_RESPONDER, "--port", std::to_string(port)});
        std::vector<char*> argv;
        for (auto& option : options) argv.push_back(option.data());
        argv.push_back(nullptr);
        EXPECT_EQ(::posix_spawn(&m_pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
        std::this_thread::sleep_for(200ms);
    }
    ~Responder() {
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
    }

private:
    pid_t m_pid = 0;
};

struct ClientRun {
    std::map<std::uint32_t, LookupAnswer> Answers;
    Clock::duration Took{};
    DnsClientStats Stats;
};

// Resolves first .. first + count - 1 and waits for every answer (at most a minute).
ClientRun ResolveAll(const DnsClientOptions& options, std::uint32_t first, std::uint32_t count) {
    ClientRun run;
    std::string error;
    auto client = DnsClient::Create(options, &error);
    EXPECT_TRUE(client) << error;
    if (!client) return run;
    std::mutex lock;
    std::condition_variable done;
    const auto start = Clock::now();
    for (std::uint32_t address = first; address < first + count; ++address) {
        client->Resolve(address, [&, address](LookupAnswer answer) {
            std::lock_guard guard(lock);
            run.Answers.emplace(address, std::move(answer));
            done.notify_one();
        });
    }
    std::unique_lock guard(lock);
    done.wait_for(guard, 60s, [&] { return run.Answers.size() == count; });
    run.Took = Clock::now() - start;
    run.Stats = client->Stats();
    return run;
}

std::uint32_t Address(const char* text) {
    in_addr address{};
    EXPECT_EQ(::inet_aton(text, &address), 1);
    return ntohl(address.s_addr);
}

// How many answers name 10.77.c.d as the responder does.
int ResponderNames(const ClientRun& run) {
    int named = 0;
    for (const auto& [address, answer] : run.Answers) {
        named += answer.Text == "host-10-77-" + std::to_string(address >> 8 & 255) + "-" +
                                    std::to_string(address & 255) + ".bench.example";
    }
    return named;
}

TEST(DnsClientTestDns, EveryNameInAFixedOrderAndTheIprevRule) {
    IP2H_REQUIRE_TEST_NAMESPACE();
    test::TestDnsLock lock(false);
    DnsClientOptions options;
    options.Confirm = true;
    const ClientRun run = ResolveAll(options, Address("198.51.100.0"), 32);
    // Text, kind, confirmation, the other name that led back, how many names.
    using Expected = std::tuple<std::string, std::string_view, std::string_view, std::string, int>;
    const std::map<std::string, Expected> expected = {
        {"198.51.100.1", {"gw.Net-Test.NET", "name", "no", "", 1}},
        {"198.51.100.7", {"198.51.100.7", "no-name", "", "", 0}},
        {"198.51.100.20", {"alpha.Multi.example", "name", "yes", "Beta.Multi.example", 3}},
        {"198.51.100.21", {"host.refused.example", "name", "unknown", "", 1}}};
    for (const auto& [address, want] : expected) {
        const LookupAnswer& answer = run.Answers.at(Address(address.c_str()));
        EXPECT_EQ(
            Expected(answer.Text, AnswerKindWord(answer.Kind), ConfirmationWord(answer.Confirmed),
                     answer.ConfirmingName, static_cast<int>(answer.Names.size())),
            want)
            << address;
    }
    // The hosts file first, mended; its names lead back through it.
    const ClientRun hosts = ResolveAll(options, Address("203.0.113.40"), 2);
    EXPECT_EQ(hosts.Answers.at(Address("203.0.113.40")).Text, "odd\\040name\\041.example");
    EXPECT_EQ(hosts.Answers.at(Address("203.0.113.41")).Confirmed, Confirmation::Confirmed);
    // IPv6: PTR under ip6.arpa, AAAA records for the rule, the hosts file's IPv6 lines.
    const auto client = DnsClient::Create(options, nullptr);
    std::mutex lock6;
    std::condition_variable done;
    std::map<std::string, std::string> v6;
    for (const char* text : {"2001:db8::1", "2001:db8::2", "2001:db8::3", "2001:db8::40"}) {
        client->Resolve(IpAddress::Of(*ParseIpv6(text)), [&, text](LookupAnswer answer) {
            std::lock_guard guard(lock6);
            v6[text] = answer.Text + " " + std::string(ConfirmationWord(answer.Confirmed));
            done.notify_one();
        });
    }
    std::unique_lock guard(lock6);
    done.wait_for(guard, 60s, [&] { return v6.size() == 4; });
    EXPECT_EQ(v6, (std::map<std::string, std::string>{{"2001:db8::1", "V6-Host.Example.NET yes"},
                                                      {"2001:db8::2", "v6-other.Example.ORG no"},
                                                      {"2001:db8::3", "2001:db8::3 "},
                                                      {"2001:db8::40", "v6.hosts.example yes"}}));
    // The window's workers keep the same rule.
    const LookupOptions confirm{.ConfirmNames = true};
    EXPECT_EQ(ReverseLookup("198.51.100.20", confirm).Confirmed, Confirmation::Confirmed);
    EXPECT_EQ(ReverseLookup("2001:db8::40", confirm).Confirmed, Confirmation::Confirmed);
    EXPECT_EQ(ReverseLookup("198.51.100.21", confirm).Confirmed, Confirmation::Unknown);
}

TEST(DnsClientTestDns, AsksTheServerGivenAndCopesWithSilentDroppingAndShufflingOnes) {
    IP2H_REQUIRE_TEST_NAMESPACE();
    const Responder plain(5391, {"--delay-ms", "0"});
    const Responder dropping(5392, {"--delay-ms", "5", "--drop-above", "50"});
    const Responder shuffling(5393, {"--delay-ms", "1", "--jitter-ms", "40"});
    const int silent = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in bound{};
    bound.sin_family = AF_INET;
    bound.sin_port = htons(5394);
    bound.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&bound), sizeof bound), 0);

    DnsClientOptions options;
    options.TimeoutMs = 5000;
    options.Retries = 0;
    options.Servers = {*ParseDnsServer("127.0.0.1:5391")};
    options.Rate = 500;  // a second at most, less the first hundredth's burst
    const ClientRun paced = ResolveAll(options, Address("10.77.1.0"), 256);
    EXPECT_EQ(ResponderNames(paced), 256);
    EXPECT_GE(paced.Took, 450ms);
    options.Rate = 0;

    // Answers in any order still go to their own addresses.
    options.Servers = {*ParseDnsServer("127.0.0.1:5393")};
    EXPECT_EQ(ResponderNames(ResolveAll(options, Address("10.77.2.0"), 512)), 512);

    // Queries beyond 50 outstanding are dropped: the ideal takes about 0.1 s, one timeout per
    // drop would take minutes; the run must not wait for a single timeout.
    options.Servers = {*ParseDnsServer("127.0.0.1:5392")};
    const ClientRun dropped = ResolveAll(options, Address("10.77.4.0"), 1024);
    EXPECT_EQ(ResponderNames(dropped), 1024);
    EXPECT_LT(dropped.Took, 5000ms);
    EXPECT_EQ(dropped.Stats.Timeouts, 0u);

    // Nothing answers: each address, after the system's one try of 1 s (resolv.conf's
    // "timeout:1 attempts:1"), has no answer.
    options.Servers = {*ParseDnsServer("127.0.0.1:5394")};
    options.TimeoutMs.reset();
    options.Retries.reset();
    const ClientRun unanswered = ResolveAll(options, Address("10.77.5.0"), 40);
    ASSERT_EQ(unanswered.Answers.size(), 40u);
    for (const auto& [address, answer] : unanswered.Answers) {
        EXPECT_EQ(answer.Kind, AnswerKind::NoAnswer);
        EXPECT_TRUE(answer.Text.starts_with("10.77.5.")) << "the address itself";
    }
    EXPECT_GE(unanswered.Took, 1s);
    EXPECT_LT(unanswered.Took, 4s) << "not c-ares's own 4 tries of 5 s";
    EXPECT_GE(unanswered.Stats.Timeouts, 40u);

    // Stopped with every query outstanding: at once, and no answer is told afterwards.
    options.TimeoutMs = 10000;
    std::string error;
    auto client = DnsClient::Create(options, &error);
    ASSERT_TRUE(client) << error;
    std::atomic<int> told{0};
    for (std::uint32_t n = 0; n < 100; ++n) client->Resolve(n, [&](LookupAnswer) { ++told; });
    std::this_thread::sleep_for(50ms);
    const auto stopping = Clock::now();
    client->Stop();
    EXPECT_LT(Clock::now() - stopping, 2s);
    EXPECT_EQ(told.load(), 0);
    ::close(silent);
}

}  // namespace
}  // namespace ip2h
