#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <ranges>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "base/Version.h"
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

std::string Describe(const BatchCommandLine& line) {
    if (line.Action != BatchAction::Run) {
        return line.Action == BatchAction::Help      ? "help"
               : line.Action == BatchAction::Version ? "version"
                                                     : line.Error;
    }
    const BatchOptions& o = line.Options;
    std::string text = "jobs " + std::to_string(o.Jobs) + " step " + std::to_string(o.Interval) +
                       (o.Format == ExportFormat::Csv ? " csv" : " tsv") +
                       (o.Japanese ? (*o.Japanese ? " ja" : " en") : "") + (o.Nbt ? " nbt" : "") +
                       (o.Confirm ? " confirm" : "") + (o.Quiet ? " quiet" : "") + ":";
    for (const auto& [input, span] : o.Sources) {
        text.append(" ").append(input ? "-" : FormatAddress(span.First).View());
        if (!input) text.append("-").append(FormatAddress(span.Last).View());
    }
    return text;
}

TEST(BatchArguments, OptionsRangesAndMessagesNamingTheBadArgument) {
    const std::pair<std::string_view, std::string_view> lines[] = {
        {"", "jobs 96 step 1 csv: -"},
        {"10.0.0.0/30 - 192.168.0.10-",
         "jobs 96 step 1 csv: 10.0.0.0-10.0.0.3 - "
         "192.168.0.10-255.255.255.255"},
        {"010.0.0.300 1.2.3.4-1.2.3.1", "jobs 96 step 1 csv: 8.0.0.255-8.0.0.255 1.2.3.4-1.2.3.1"},
        {"--jobs 16 --interval=256 --format tsv --lang=ja --nbt --confirm --quiet 10.0.0.1",
         "jobs 16 step 256 tsv ja nbt confirm quiet: 10.0.0.1-10.0.0.1"},
        {"--interval 65536 --jobs=256 --lang en --format=csv", "jobs 256 step 65536 csv en: -"},
        {"--interval=010 -- -", "jobs 96 step 10 csv: -"},
        {"--jobs=0", R"(--jobs: "0" is not a number from 1 to 256)"},
        {"--interval=65537", R"(--interval: "65537" is not a number from 1 to 65536)"},
        {"--format xml", R"(--format: "xml" is not csv or tsv)"},
        {"--lang=de", R"(--lang: "de" is not en or ja)"},
        {"10.0.0.1 --jobs", "--jobs: a value is missing"},
        {"--nbt=yes", "--nbt: takes no value"},
        {"--frobnicate", R"(unknown option "--frobnicate")"},
        {"abc", R"("abc" is not an address, a range or a block)"},
        {"-- --jobs", R"("--jobs" is not an address, a range or a block)"},
        {"abc --help", R"("abc" is not an address, a range or a block)"},
        {"--version abc", "version"}};
    for (const auto& [arguments, expected] : lines) {
        EXPECT_EQ(Describe(ParseBatchArguments(Split(arguments))), expected) << arguments;
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

// Runs the batch mode on `input`: the exit status unless 0, then output and messages.
std::string RunBatch(std::string_view arguments, std::string_view input,
                     ResolutionEngine::LookupFunction lookup = {}) {
    const BatchCommandLine line = ParseBatchArguments(Split(arguments));
    test::JoinedWorkers workers;
    const int in = MemoryFile(input), out = MemoryFile("");
    const int status =
        BatchRun(line.Options, {in, out, out, false, std::move(lookup), workers.Starter()}).Run();
    workers.JoinAll();
    ::lseek(out, 0, SEEK_SET);
    const std::string text =
        (status == 0 ? "" : "status " + std::to_string(status)) + ReadFrom(out);
    ::close(in), ::close(out);
    return text;
}

TEST(BatchRun, TheNamespaceServersAnswersAsCsvAndTsvLines) {
    IP2H_REQUIRE_TEST_NAMESPACE();
    test::TestDnsLock lock(false);
    const std::string peer = test::TestEnvironment("IP2H_TEST_NBT_ADDR");
    // The paste's rules: quotes and blanks go, any line end, a bad line skipped, the last
    // line without its end.
    const std::string input = "192.0.2.1\r\n \"198.51.100.1\"\njunk\r198.51.100.7\n" + peer +
                              "\n198.51.100.2-198.51.100.3\n198.51.100.255";  // PTR "."
    EXPECT_EQ(RunBatch("--nbt --confirm --lang en", input),
              "address,hostname,result,domain,answer,confirmed\r\n"
              "192.0.2.1,Host-01.Example.COM,success,Commercial,name,yes\r\n"
              "198.51.100.1,gw.Net-Test.NET,success,Network,name,no\r\n"
              "198.51.100.7,,failure,?,no-name,\r\n" +
                  peer + "," + test::TestEnvironment("IP2H_TEST_NBT_NAME") +
                  ",success,-,netbios,\r\n" +
                  "198.51.100.2,www.Example.ORG,success,other organizations,name,no\r\n"
                  "198.51.100.3,mail.Example.co.jp,success,Japan: General Company,name,no\r\n"
                  "198.51.100.255,,failure,?,no-name,\r\n");
    EXPECT_EQ(RunBatch("--format tsv --lang ja -", input),
              "address\thostname\tresult\tdomain\tanswer\tconfirmed\n"
              "192.0.2.1\tHost-01.Example.COM\tsuccess\t商業組織用\tname\t\n"
              "198.51.100.1\tgw.Net-Test.NET\tsuccess\tネットワーク用\tname\t\n"
              "198.51.100.7\t\tfailure\t?\tno-name\t\n" +
                  peer + "\t\tfailure\t?\tno-name\t\n" +
                  "198.51.100.2\twww.Example.ORG\tsuccess\t非営利組織用\tname\t\n"
                  "198.51.100.3\tmail.Example.co.jp\tsuccess\t日本: 一般企業\tname\t\n"
                  "198.51.100.255\t\tfailure\t?\tno-name\t\n");
}

TEST(BatchRun, RowsComeOutInInputOrderWhateverOrderTheAnswersComeIn) {
    std::atomic<unsigned> calls{0};
    const auto lookup = [&calls](const std::string& address) {
        std::this_thread::sleep_for(std::chrono::milliseconds(calls++ * 7919 % 21));
        return LookupAnswer("name-" + address + ".example");
    };
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
    EXPECT_EQ(RunBatch("--jobs 16 --format tsv --interval 4 203.0.113.0/24 -", input, lookup),
              expected);
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
