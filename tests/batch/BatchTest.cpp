#include <fcntl.h>
#include <gtest/gtest.h>
#include <netdb.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <ranges>
#include <stop_token>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/Language.h"
#include "base/Version.h"
#include "batch/BatchAddressText.h"
#include "batch/BatchOutput.h"
#include "batch/BatchRun.h"
#include "batch/ProgramStart.h"
#include "support/JoinedWorkers.h"
#include "support/TempDir.h"
#include "support/TestNamespace.h"

namespace ip2h {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::vector<std::string_view> Split(std::string_view text, char separator = ' ') {
    std::vector<std::string_view> parts;
    for (const auto part : std::views::split(text, separator)) {
        if (!part.empty()) parts.emplace_back(part.begin(), part.end());
    }
    return parts;
}

// "first-last" of IPv4 ("first" alone for one), "first+count" of IPv6 ("first" for one).
std::string Describe(const BatchSpan& span) {
    if (span.V6 && span.V6->TooLarge) return "too large";
    if (span.V6) {
        const std::string count = "+" + std::to_string(span.V6->Count);
        return FormatIpv6(span.V6->First) + (span.V6->Count > 1 ? count : "");
    }
    std::string text(FormatAddress(span.V4.First).View());
    if (span.V4.Last == span.V4.First) return text;
    return text.append("-").append(FormatAddress(span.V4.Last).View());
}

std::string Describe(const BatchCommandLine& line) {
    if (line.Action != BatchAction::Run) {
        return line.Action == BatchAction::Help      ? "help"
               : line.Action == BatchAction::Version ? "version"
                                                     : line.Error;
    }
    const BatchOptions& o = line.Options;
    std::string text = (o.Resolver == BatchResolverKind::Dns ? "dns " : "system ") +
                       std::string(o.Servers.empty() ? "" : o.Servers.back().Address + " ") +
                       (o.TimeoutMs ? "timeout " + std::to_string(*o.TimeoutMs) + " " : "") +
                       (o.Retries ? "retries " + std::to_string(*o.Retries) + " " : "") +
                       (o.Rate > 0 ? "rate " + std::to_string(int(o.Rate)) + " " : "") + "jobs " +
                       std::to_string(o.Jobs) + " step " + std::to_string(o.Interval) +
                       (o.Format == ExportFormat::Csv ? " csv" : " tsv") +
                       (o.Japanese ? (*o.Japanese ? " ja" : " en") : "") + (o.Nbt ? " nbt" : "") +
                       (o.Confirm ? " confirm" : "") + (o.Quiet ? " quiet" : "") + ":";
    for (const auto& [input, span] : o.Sources)
        text.append(" ").append(input ? "-" : Describe(span));
    return text;
}

TEST(BatchArguments, OptionsRangesAndMessagesNamingTheBadArgument) {
    const std::pair<std::string_view, std::string_view> lines[] = {
        {"", "dns jobs 4096 step 1 csv: -"},
        {"10.0.0.0/30 - 10.77.001.010 1.2.3.4-1.2.3.4",
         "dns jobs 4096 step 1 csv: 10.0.0.0-10.0.0.3 - 10.77.1.8 1.2.3.4"},
        {"2001:0DB8:0:0::1 ::ffff:192.0.2.1 2001:db8::1:77/112",
         "dns jobs 4096 step 1 csv: 2001:db8::1 ::ffff:192.0.2.1 2001:db8::1:0+65536"},
        {"2001:db8::/111", R"("2001:db8::/111" is an IPv6 block of more than 65536 addresses )"
                           "(/112 at most)"},
        {"2001:db8::1-2001:db8::5",
         R"("2001:db8::1-2001:db8::5" is not an address, a range or a block (ranges are IPv4 only))"},
        {"fe80::1%eth0", R"("fe80::1%eth0" is not an address, a range or a block (no zone index))"},
        {"--jobs 16 --interval=256 --format tsv --lang=ja --resolver system --nbt --confirm "
         "--quiet 10.0.0.77/24",
         "system jobs 16 step 256 tsv ja nbt confirm quiet: 10.0.0.0-10.0.0.255"},
        {"--interval 65536 --jobs=10000 --lang en --format=csv",
         "dns jobs 10000 step 65536 csv en: -"},
        {"--nbt", "system jobs 96 step 1 csv nbt: -"},
        {"--server 127.0.0.1 --server=127.0.0.2:5353 --timeout 1500 --retries=0 --rate 500",
         "dns 127.0.0.2 timeout 1500 retries 0 rate 500 jobs 4096 step 1 csv: -"},
        {"--interval=010 -- -", "dns jobs 4096 step 10 csv: -"},
        {"--only all", R"(--only: "all" is not names or failures)"},
        {"--jobs=0", R"(--jobs: "0" is not a number from 1 to 10000)"},
        {"--resolver=system --jobs 257",
         R"(--jobs: "257" is more than 256, the most with --resolver system)"},
        {"--rate 500 --resolver system", "--rate: only with --resolver dns"},
        {"--resolver dns --nbt", "--nbt: only with --resolver system"},
        {"--server 10.0.0.1:99999",
         R"(--server: "10.0.0.1:99999" is not a server address, ADDR or ADDR:PORT)"},
        {"--retries=-1", R"(--retries: "-1" is not a number from 0 to 20)"},
        {"--interval=65537", R"(--interval: "65537" is not a number from 1 to 65536)"},
        {"--format xml", R"(--format: "xml" is not csv, tsv or jsonl)"},
        {"--lang=de", R"(--lang: "de" is not en or ja)"},
        {"10.0.0.1 --jobs", "--jobs: a value is missing"},
        {"--nbt=yes", "--nbt: takes no value"},
        {"--frobnicate", R"(unknown option "--frobnicate")"},
        {"-- --jobs", R"("--jobs" is not an address, a range or a block)"},
        {"abc --help", R"("abc" is not an address, a range or a block)"},
        {"10.0.0.1-10.0.0.0", R"("10.0.0.1-10.0.0.0" is a range that starts above its end)"},
        {"192.168.1.1-254", R"("192.168.1.1-254" is not an address, a range or a block )"
                            "(write a range in full: 192.168.1.1-192.168.1.254)"},
        {"--version abc", "version"}};
    for (const auto& [arguments, expected] : lines) {
        EXPECT_EQ(Describe(ParseBatchArguments(Split(arguments))), expected) << arguments;
    }
    // Strict readings: nothing is cut off, clamped, read open-ended or run together.
    for (const std::string_view refused :
         {"abc", "1.2.3.4.5", "10.0.0.0/33", "10.0.0.09/24", "010.0.0.300", "0x0A.0.0.1",
          "192.168.0.10-", "10.77.1.1\t10.77.1.2", "192.168.1.200-100"}) {
        EXPECT_EQ(Describe(ParseBatchArguments(Split(refused))),
                  "\"" + std::string(refused) + "\" is not an address, a range or a block");
    }
}

// A line of standard input: what the paste takes, and the address a log line starts with.
TEST(BatchInput, LinesGiveAnAddressARangeOrABlockOrNothing) {
    const std::pair<std::string_view, std::string_view> lines[] = {
        {R"(10.77.4.32 - - [07/Dec/2026:10:00:00 +0000] "GET / HTTP/1.1" 200)", "10.77.4.32"},
        {"10.77.4.32\tGET /", "10.77.4.32"},
        {"2001:DB8::0:1 - - [07/Dec/2026:10:00:00 +0000]", "2001:db8::1"},
        {" '2001:db8::/120'", "2001:db8::+256"},
        {"2001:db8::/64", "too large"},
        {"fe80::1%eth0 x", ""},
        {R"( "198.51.100.1"')", "198.51.100.1"},
        {"\t'10.0.0.1-10.0.0.3' ", "10.0.0.1-10.0.0.3"},
        {"010.0.0.0/30", "8.0.0.0-8.0.0.3"},
        {"10.77.1.1 10.77.1.2", "10.77.1.1"},
        {"10.0.0.1-", ""},
        {"10.0.0.1-10.0.0.0", ""},
        {"10.0.0.1-10.0.0.5 GET", ""},
        {"10.0.0.1,host", ""},
        {"1.2.3.4.5 x", ""},
        {"host 10.0.0.1", ""},
        {"10.0.0 .1", ""}};
    for (const auto& [line, expected] : lines) {
        const auto span = ReadBatchLine(line);
        EXPECT_EQ(span ? Describe(*span) : "", expected) << line;
    }
}

// What the program does with its command line and environment before anything of Qt.
TEST(ProgramStart, HelpVersionBatchOrTheWindowWhenThereIsADisplay) {
    using enum ProgramMode;
    const std::tuple<std::string_view, const char*, const char*, const char*, ProgramMode>
        starts[] = {
            // arguments; DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM (nullptr: unset); mode
            {"", ":0", nullptr, nullptr, Window},
            {"", "", nullptr, nullptr, NoDisplay},
            {"", nullptr, nullptr, "offscreen", Window},
            {"", nullptr, "w", "xcb", NoDisplay},
            {"", ":1", nullptr, "wayland;xcb:x=1", Window},
            {"--platform xcb", nullptr, nullptr, "offscreen", NoDisplay},
            {"-platform xcb -display :2", nullptr, nullptr, nullptr, Window},
            {"-style fusion --version --help", nullptr, nullptr, nullptr, Version},
            {"--batch --help", nullptr, nullptr, nullptr, Batch},
        };
    for (const auto& [arguments, display, wayland, platform, mode] : starts) {
        const auto getenv = [&](std::string_view name) {
            return name == "DISPLAY" ? display : name == "WAYLAND_DISPLAY" ? wayland : platform;
        };
        EXPECT_EQ(ChooseProgramMode(Split(arguments), getenv), mode) << arguments;
    }
}

// The interface language of the batch mode and the window alike, read as Qt reads it: the
// first entry of LANGUAGE that names a language (an empty one is the locale), else the locale.
TEST(ProgramStart, TheLanguageIsReadFromTheEnvironmentAsQtReadsIt) {
    const std::tuple<const char*, const char*, const char*, std::string_view> cases[] = {
        // LANGUAGE, LC_ALL, LANG (nullptr: unset); the language code
        {nullptr, nullptr, "ja_JP.UTF-8", "JP"}, {"ja:en", nullptr, "C", "JP"},
        {nullptr, nullptr, "en_US.UTF-8", "EN"}, {nullptr, "C", "ja_JP.UTF-8", "EN"},
        {nullptr, nullptr, nullptr, "EN"},       {"en", nullptr, "ja_JP.UTF-8", "EN"},
        {"", "ja_JP.eucJP", "en_US", "JP"},      {"C:POSIX:jpn", nullptr, "en_US.UTF-8", "JP"},
        {":en", "JA_jp", nullptr, "JP"},         {"japanese", nullptr, "Japanese_Japan.932", "EN"},
    };
    for (const auto& [language, all, lang, code] : cases) {
        const auto getenv = [&](std::string_view name) {
            return name == "LANGUAGE" ? language
                   : name == "LC_ALL" ? all
                   : name == "LANG"   ? lang
                                      : nullptr;
        };
        EXPECT_EQ(LanguageCodeFromEnvironment(getenv), code) << (language ? language : "-");
    }
}

TEST(BatchProgress, DoneOfTotalRateAndTimeLeft) {
    const std::tuple<std::uint64_t, std::optional<std::uint64_t>, double, std::string_view>
        lines[] = {{0, 65536, 0.0, "0/65536  0/s"},
                   {1000, 65536, 2.0, "1000/65536  500/s  2:10 left"},
                   {5, std::nullopt, 2.0, "5/?  3/s"},
                   {65536, 65536, 10.0, "65536/65536  6554/s  0:00 left"},
                   {1, 16777216, 1.0, "1/16777216  1/s  4660:20:15 left"}};
    for (const auto& [done, total, seconds, expected] : lines) {
        EXPECT_EQ(ProgressLine(done, total, seconds), expected);
    }
}

int MemoryFile(std::string_view bytes) {
    const int fd = ::memfd_create("batch", MFD_CLOEXEC);
    EXPECT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::lseek(fd, 0, SEEK_SET);
    return fd;
}

// The progress line goes to a terminal, and never onto the rows on that same terminal.
TEST(BatchProgress, OnlyOnATerminalThatTheRowsAreNotOn) {
    std::vector<int> fds{MemoryFile("")};
    const auto terminal = [&fds] {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return -1;
        fds.push_back(master);
        fds.push_back(::open(::ptsname(master), O_RDWR | O_NOCTTY));
        return fds.back();
    };
    const int file = fds[0], screen = terminal(), other = terminal();
    if (screen < 0 || other < 0) GTEST_SKIP() << "no pseudo-terminals here";
    EXPECT_TRUE(ProgressWanted(file, screen));
    EXPECT_TRUE(ProgressWanted(other, screen));
    EXPECT_FALSE(ProgressWanted(screen, screen));
    EXPECT_FALSE(ProgressWanted(screen, file));
    for (const int fd : fds) ::close(fd);
}

// Reads to the end, or until nothing has come for 20 s.
std::string ReadFrom(int fd) {
    std::string text;
    char buffer[4096];
    for (pollfd p{fd, POLLIN, 0}; ::poll(&p, 1, 20'000) > 0;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count <= 0) break;
        text.append(buffer, static_cast<std::size_t>(count));
    }
    return text;
}

// Answers from a thread of its own, each batch of questions in reverse order and a little
// late; takes at most 8 at once and counts what it is asked.
class FakeResolver final : public BatchResolver {
public:
    using AnswerOf = std::function<LookupAnswer(const IpAddress& address)>;
    FakeResolver(Answered answered, AnswerOf answerOf, std::atomic<int>& asked)
        : m_answered(std::move(answered)), m_answerOf(std::move(answerOf)), m_asked(asked) {}
    bool Ask(const IpAddress& address) override {
        std::lock_guard lock(m_lock);
        if (m_questions.size() >= 8) return false;
        ++m_asked;
        m_questions.push_back(address);
        m_wake.notify_one();
        return true;
    }

private:
    void Answer(const std::stop_token& stop) {
        std::unique_lock lock(m_lock);
        while (m_wake.wait(lock, stop, [&] { return !m_questions.empty(); })) {
            const std::vector<IpAddress> questions = std::exchange(m_questions, {});
            lock.unlock();
            std::this_thread::sleep_for(300us);
            for (const IpAddress& address : questions | std::views::reverse)
                m_answered(address, m_answerOf(address));
            lock.lock();
        }
    }

    Answered m_answered;
    AnswerOf m_answerOf;
    std::atomic<int>& m_asked;
    std::mutex m_lock;
    std::condition_variable_any m_wake;
    std::vector<IpAddress> m_questions;
    std::jthread m_thread{[this](const std::stop_token& stop) { Answer(stop); }};
};

LookupAnswer NameOf(const IpAddress& address) {
    return LookupAnswer("name-" + FormatIpAddress(address) + ".example");
}

struct Resolvers {
    ResolutionEngine::LookupFunction Lookup;  // with --resolver system
    FakeResolver::AnswerOf Fake;              // otherwise
    std::atomic<int> Asked{0};
    std::chrono::milliseconds ProgressPeriod{200};
};

// Runs the batch mode on `input`: the exit status unless 0, the output, then the messages.
std::string RunBatch(std::string_view arguments, std::string_view input,
                     Resolvers* resolvers = nullptr) {
    const BatchCommandLine line = ParseBatchArguments(Split(arguments));
    test::JoinedWorkers workers;
    const int in = MemoryFile(input), out = MemoryFile(""), errors = MemoryFile("");
    BatchIo io;
    io.Input = in, io.Output = out, io.Errors = errors, io.StartThread = workers.Starter();
    if (resolvers != nullptr) {
        io.Lookup = resolvers->Lookup;
        io.ProgressPeriod = resolvers->ProgressPeriod;
        if (resolvers->Fake) {
            io.MakeResolver = [resolvers](BatchResolver::Answered answered) {
                return std::make_unique<FakeResolver>(std::move(answered), resolvers->Fake,
                                                      resolvers->Asked);
            };
        }
    }
    BatchRun run(line.Options, std::move(io));
    // Ends a run that stalls, so that the test fails instead of hanging.
    std::jthread watchdog([interrupt = run.Interrupter()](const std::stop_token& stop) {
        std::mutex mutex;
        std::unique_lock lock(mutex);
        std::condition_variable_any().wait_for(lock, stop, 60s, [] { return false; });
        if (!stop.stop_requested()) interrupt();
    });
    const int status = run.Run();
    workers.JoinAll();
    std::string text = status == 0 ? "" : "status " + std::to_string(status);
    for (const int fd : {out, errors}) {
        ::lseek(fd, 0, SEEK_SET);
        text += ReadFrom(fd);
    }
    ::close(in), ::close(out), ::close(errors);
    return text;
}

TEST(BatchRun, TheNamespaceServersAnswersAsCsvAndTsvLines) {
    IP2H_REQUIRE_TEST_NAMESPACE();
    test::TestDnsLock lock(false);
    const std::string peer = test::TestEnvironment("IP2H_TEST_NBT_ADDR");
    // The paste's rules: quotes and blanks go, any line end, a bad line skipped, the last
    // line without its end.
    const std::string input = "192.0.2.1\r\n \"198.51.100.1\"\njunk\r198.51.100.7\n" + peer +
                              "\n198.51.100.2-198.51.100.3\n198.51.100.255\n"  // PTR "."
                              "2001:DB8:0::1 GET /\nfd00::1\n2001:db8::2/127\n2001:db8::/64";
    EXPECT_EQ(RunBatch("--nbt --confirm --lang en --quiet", input),
              "address,hostname,result,domain,answer,confirmed\r\n"
              "192.0.2.1,Host-01.Example.COM,success,Commercial,name,yes\r\n"
              "198.51.100.1,gw.Net-Test.NET,success,Network,name,no\r\n"
              "198.51.100.7,,failure,?,no-name,\r\n" +
                  peer + "," + test::TestEnvironment("IP2H_TEST_NBT_NAME") +
                  ",success,-,netbios,\r\n" +
                  "198.51.100.2,www.Example.ORG,success,other organizations,name,no\r\n"
                  "198.51.100.3,mail.Example.co.jp,success,Japan: General Company,name,no\r\n"
                  "198.51.100.255,,failure,?,no-name,\r\n"
                  "2001:db8::1,V6-Host.Example.NET,success,Network,name,yes\r\n"
                  "fd00::1,Lab.Private.example,success,-,name,no\r\n"
                  "2001:db8::2,v6-other.Example.ORG,success,other organizations,name,no\r\n"
                  "2001:db8::3,,failure,?,no-name,\r\n");
    EXPECT_EQ(RunBatch("--format tsv --lang ja -", input),
              "address\thostname\tresult\tdomain\tanswer\tconfirmed\n"
              "192.0.2.1\tHost-01.Example.COM\tsuccess\t商業組織用\tname\t\n"
              "198.51.100.1\tgw.Net-Test.NET\tsuccess\tネットワーク用\tname\t\n"
              "198.51.100.7\t\tfailure\t?\tno-name\t\n" +
                  peer + "\t\tfailure\t?\tno-name\t\n" +
                  "198.51.100.2\twww.Example.ORG\tsuccess\t非営利組織用\tname\t\n"
                  "198.51.100.3\tmail.Example.co.jp\tsuccess\t日本: 一般企業\tname\t\n"
                  "198.51.100.255\t\tfailure\t?\tno-name\t\n"
                  "2001:db8::1\tV6-Host.Example.NET\tsuccess\tネットワーク用\tname\t\n"
                  "fd00::1\tLab.Private.example\tsuccess\t-\tname\t\n"
                  "2001:db8::2\tv6-other.Example.ORG\tsuccess\t非営利組織用\tname\t\n"
                  "2001:db8::3\t\tfailure\t?\tno-name\t\n"
                  "ip2hostname: skipped an input line: an IPv6 block of more than 65536 "
                  "addresses\nip2hostname: 11 rows: 7 names, 4 no-name, 0 no-answer, 0 errors\n");
}

TEST(BatchRun, RowsComeOutInInputOrderWhateverOrderTheAnswersComeIn) {
    std::atomic<unsigned> calls{0};
    Resolvers system, fake;
    system.Lookup = [&calls](const std::string& address, LookupOptions) {
        std::this_thread::sleep_for(std::chrono::milliseconds(calls++ * 7919 % 21));
        return NameOf(*ParseIpAddress(address));
    };
    fake.Fake = NameOf;
    // A block walked with a step, then addresses from the input, each of them three times.
    std::string input, expected = "address\thostname\tresult\tdomain\tanswer\tconfirmed\n";
    const auto row = [](const std::string& address) {
        return address + "\tname-" + address + ".example\tsuccess\t\tname\t\n";
    };
    for (int n = 0; n < 256; n += 4) expected += row("203.0.113." + std::to_string(n));
    for (int i = 0; i < 300; ++i) {
        input += "198.51.100." + std::to_string(i % 100) + "\n";
        expected += row("198.51.100." + std::to_string(i % 100));
    }
    const std::string options = "--jobs 16 --format tsv --quiet --interval 4 203.0.113.0/24 -";
    EXPECT_EQ(RunBatch("--resolver system " + options, input, &system), expected);
    EXPECT_EQ(RunBatch(options, input, &fake), expected);
    EXPECT_EQ(fake.Asked, 64 + 100) << "each address asked once";
}

// A row whose answer the run knows already is written at once: with a progress period far
// longer than the test, a run that waited for it would be cut off by RunBatch's watchdog.
TEST(BatchRun, RepeatsAreWrittenAtOnceAndAskedOnce) {
    Resolvers fake;
    fake.Fake = NameOf;
    fake.ProgressPeriod = std::chrono::hours(1);
    std::string input;
    for (int i = 0; i < 20000; ++i) input += "10.0.0." + std::to_string(i % 3) + "\n";
    const std::string text = RunBatch("--format tsv --quiet", input, &fake);
    EXPECT_EQ(std::ranges::count(text, '\n'), 20001) << text.substr(0, 200);
    EXPECT_EQ(fake.Asked, 3);
}

// The summary counts the rows; when no lookup got any answer, the run says so and fails.
TEST(BatchRun, SummaryAndTheStatusOfASilentNameService) {
    const auto silent = [](const IpAddress& address) {
        return LookupAnswer(FormatIpAddress(address), AnswerKind::NoAnswer);
    };
    const auto mixed = [](const IpAddress& address) {
        static constexpr AnswerKind kKinds[] = {AnswerKind::Name, AnswerKind::NoName,
                                                AnswerKind::NoAnswer, AnswerKind::Error};
        const AnswerKind kind = kKinds[address.V4 % 4];
        return kind == AnswerKind::Name ? NameOf(address)
                                        : LookupAnswer(FormatIpAddress(address), kind);
    };
    const std::string noAnswer =
        "ip2hostname: no lookup got an answer from the name service; is a DNS server "
        "reachable?\n";
    const std::tuple<std::string_view, FakeResolver::AnswerOf, std::string> runs[] = {
        {"10.0.0.0/30 10.0.0.1", silent,
         "status 3ip2hostname: 5 rows: 0 names, 0 no-name, 5 no-answer, 0 errors\n" + noAnswer},
        {"--quiet 10.0.0.0/31", silent, "status 3" + noAnswer},
        {"10.0.0.0/29", mixed, "ip2hostname: 8 rows: 2 names, 2 no-name, 2 no-answer, 2 errors\n"},
        {"--only names 10.0.0.0/29", mixed,
         "ip2hostname: 8 rows: 2 names, 2 no-name, 2 no-answer, 2 errors\n"},
        {"10.0.0.1", mixed, "ip2hostname: 1 row: 0 names, 1 no-name, 0 no-answer, 0 errors\n"},
        {"-", silent, "ip2hostname: 0 rows: 0 names, 0 no-name, 0 no-answer, 0 errors\n"}};
    for (const auto& [arguments, answers, expected] : runs) {
        Resolvers fake;
        fake.Fake = answers;
        const std::string text = RunBatch(std::string(arguments) + " --format tsv", "", &fake);
        // The status and the messages: the rows are other tests' business.
        const std::size_t messages = std::min(text.find("ip2hostname:"), text.size());
        EXPECT_EQ(text.substr(0, text.starts_with("status") ? 8 : 0) + text.substr(messages),
                  expected)
            << arguments;
    }
}

// Names as a server may send them, each kind of answer, a repeat and a NUL byte, in every
// format: --only and --unique leave out what they say, and every file is valid UTF-8.
TEST(BatchRun, HostileNamesKindsAndFiltersInEveryFormat) {
    const std::string names[][3] = {// 203.0.113.n's name; the field in CSV, in TSV and JSON
                                    {"a\xff\xfe.x", R"(a\255\254.x)", R"(a\255\254.x)"},
                                    {"=1+2.x", "'=1+2.x", "'=1+2.x"},
                                    {"q\"t.x", R"("q""t.x")", "q\"t.x"},
                                    {"c,m.x", R"("c,m.x")", "c,m.x"},
                                    {"t\tb.x", R"(t\009b.x)", R"(t\009b.x)"}};
    Resolvers fake;
    fake.Fake = [&names](const IpAddress& address) {
        const std::uint32_t n = address.V4 & 0xFF;
        using enum AnswerKind;
        LookupAnswer answer = n < 5 ? LookupAnswer(names[n][0]) : LookupAnswer("b.x");
        if (n > 5) answer.Kind = n == 6 ? Error : n == 7 ? NoAnswer : NoName;
        if (n == 5) answer.Names = {"b.x", "a.x"}, answer.Confirmed = Confirmation::Confirmed;
        answer.ErrorCode = n == 6 ? EAI_FAIL : 0;
        return answer;
    };
    const std::string input =
        std::string("203.0.113.0/29\n203.0.113.8") + '\0' + "203.0.113.9\n203.0.113.0\n";
    for (const auto& [options, column, separator, end] :
         {std::tuple{"", 1, ",", "\r\n"}, std::tuple{"--format tsv", 2, "\t", "\n"}}) {
        std::string expected;
        for (const int n : {0, 1, 2, 3, 4, 5, 0}) {
            expected += "203.0.113." + std::to_string(n) + separator +
                        (n < 5 ? names[n][column] : "b.x") + separator + "success" + separator +
                        separator + "name" + separator + (n == 5 ? "yes" : "") + end;
        }
        const std::string text =
            RunBatch("--quiet --only names " + std::string(options), input, &fake);
        EXPECT_EQ(text.substr(text.find('\n') + 1), expected);
    }
    // The header and 203.0.113.6 to .9.
    EXPECT_EQ(std::ranges::count(RunBatch("--quiet --only failures --unique", input, &fake), '\n'),
              5);
    using nlohmann::json;
    const std::string jsonl = RunBatch("--quiet --format jsonl --unique", input, &fake);
    const auto lines = Split(jsonl, '\n');
    ASSERT_EQ(lines.size(), 10u);
    for (int n = 0; n < 10; ++n) {
        json expected = json::parse(R"({"hostname":null,"names":[],"result":"failure",)"
                                    R"("domain":"?","confirmed":null,"error":null})");
        expected["address"] = "203.0.113." + std::to_string(n);
        expected["answer"] = n <= 5 ? "name" : n == 6 ? "error" : n == 7 ? "no-answer" : "no-name";
        if (n == 6) expected["error"] = gai_strerror(EAI_FAIL);
        // As in TSV, but without the formula guard, which JSON needs not.
        const std::string name = n < 5 ? names[n][n == 1 ? 0 : 2] : "b.x";
        if (n <= 5)
            expected.update(json{{"hostname", name}, {"result", "success"}, {"domain", ""}});
        expected["names"] = n < 5    ? json::array({name})
                            : n == 5 ? json::array({"b.x", "a.x"})
                                     : json::array();
        if (n == 5) expected["confirmed"] = "yes";
        EXPECT_EQ(json::parse(lines[n]), expected) << lines[n];
    }
}

#ifdef IP2H_PROGRAM
// Starts `command` in a process group of its own, with SIGINT and SIGPIPE as a terminal leaves
// them, standard output on `out` and standard error on `errors`.
pid_t Start(std::vector<std::string> command, int out, int errors) {
    std::vector<char*> argv;
    for (std::string& word : command) argv.push_back(word.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setpgid(0, 0);
        ::dup2(out, 1), ::dup2(errors, 2);
        ::signal(SIGINT, SIG_DFL), ::signal(SIGPIPE, SIG_DFL);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out);
    return pid;
}

// The exit status; -1, with the group killed, when it has not ended within a minute (a run
// that does not stop goes on for hours).
int Wait(pid_t pid) {
    int status = 0;
    for (const auto deadline = Clock::now() + 60s; ::waitpid(pid, &status, WNOHANG) == 0;) {
        if (Clock::now() > deadline) ::kill(-pid, SIGKILL);
        std::this_thread::sleep_for(10ms);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The header and the first rows of 198.0.0.0/8, which the test server has no names for.
std::string Unnamed(std::size_t rows) {
    std::string text = "address,hostname,result,domain,answer,confirmed\r\n";
    for (std::uint32_t n = 0; n < rows; ++n) {
        text += std::string(FormatAddress((198u << 24) + n).View()) + ",,failure,?,no-name,\r\n";
    }
    return text;
}

TEST(BatchProgram, EndsAtAClosedPipeOrCtrlCWithTheAnsweredRowsInOrder) {
    IP2H_REQUIRE_TEST_NAMESPACE();
    test::TestDnsLock lock(false);
    // A /8: far more rows than the test ever waits for.
    const std::string program = IP2H_PROGRAM, block = "198.0.0.0/8";
    int errors[2], head[2], closed[2], interrupted[2];
    for (int* ends : {errors, head, closed, interrupted}) ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    const pid_t shell = Start({"/bin/sh", "-c", program + " --batch " + block + " | head -n 5"},
                              head[1], errors[1]);
    EXPECT_EQ(Wait(shell), 0) << "the program did not end with head";
    EXPECT_EQ(ReadFrom(head[0]), Unnamed(4));

    ::close(closed[0]);
    EXPECT_EQ(Wait(Start({program, "--batch", "192.0.2.1"}, closed[1], errors[1])), 1);

    const pid_t run = Start({program, "--batch", block}, interrupted[1], errors[1]);
    std::string lines;
    for (char byte; std::ranges::count(lines, '\n') < 3 && ::read(interrupted[0], &byte, 1) == 1;) {
        lines += byte;
    }
    ::kill(run, SIGINT);
    lines += ReadFrom(interrupted[0]);
    EXPECT_EQ(Wait(run), 130);
    EXPECT_EQ(lines, Unnamed(static_cast<std::size_t>(std::ranges::count(lines, '\n') - 1)));
    ::close(errors[1]);
    EXPECT_EQ(ReadFrom(errors[0]), "") << "nothing on standard error";
    for (const int fd : {errors[0], head[0], interrupted[0]}) ::close(fd);
}

// Without a display the program still helps and tells its version, and otherwise says in one
// line what it needs: it never aborts in Qt.
TEST(BatchProgram, HelpVersionAndTheWantOfADisplayNeedNoQt) {
    const test::TempDir home;
    const std::string version = "ip2hostname " + std::string(ProgramVersion()) + "\n";
    const std::tuple<std::string, int, std::string, std::string> runs[] = {
        // environment and arguments, status, the start of standard output, standard error
        {"--help", 0, "Usage: ip2hostname [--help | --version]\n  or:  ip2hostname --batch", ""},
        {"-x --version --help", 0, version, ""},
        {"", 1, "", "ip2hostname: the window needs a display"},
        // A display that no server answers for: Qt gives up, and the process still says so
        // in one line instead of aborting.
        {"DISPLAY=:97 QT_QPA_PLATFORM=xcb", 1, "", "ip2hostname: the window could not open"},
    };
    for (const auto& [arguments, status, out, error] : runs) {
        const bool environment = arguments.starts_with("DISPLAY=");
        int output[2], errors[2];
        for (int* ends : {output, errors}) ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
        const pid_t pid =
            Start({"/bin/sh", "-c",
                   "exec env -i HOME=" + home.Path().string() + " " +
                       (environment ? arguments + " " IP2H_PROGRAM : IP2H_PROGRAM " " + arguments)},
                  output[1], errors[1]);
        ::close(errors[1]);
        const std::string written = ReadFrom(output[0]), said = ReadFrom(errors[0]);
        EXPECT_EQ(Wait(pid), status) << said;
        EXPECT_TRUE(written.starts_with(out)) << written;
        EXPECT_TRUE(said.starts_with(error) && std::ranges::count(said, '\n') == !error.empty())
            << said;
        ::close(output[0]), ::close(errors[0]);
    }
}
#endif

}  // namespace
}  // namespace ip2h
