// The window under faults of the name service: a DNS server that never answers, names no
// host should have, and lookups that never return when the window closes.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/Language.h"
#include "resolver/ProgressTimer.h"
#include "resolver/ReverseLookup.h"
#include "resolver/WorkerSlots.h"
#include "results/FixedText.h"
#include "results/ResultTable.h"
#include "support/StoppedDnsServer.h"
#include "support/TempDir.h"
#include "support/TestNamespace.h"
#include "ui/Application.h"
#include "ui/MainDialog.h"
#include "ui/MessageBox.h"
#include "ui/ResultModel.h"

namespace ip2h {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

QString Pane(const MainDialog& dialog, const char* name) {
    return dialog.findChild<QLabel*>(QLatin1String(name))->text();
}

void Register(MainDialog& dialog, const char* range) {
    dialog.findChild<QComboBox*>(QStringLiteral("rangeComboBox"))
        ->setEditText(QString::fromLatin1(range));
    dialog.Dispatch(Command::Register);
}

bool AllSlotsRunning(const ResolutionEngine& engine) {
    for (int slot = 0; slot < WorkerSlotCount; ++slot) {
        if (engine.State(slot) != SlotState::Running) return false;
    }
    return true;
}

// Delivers one tick of the window's progress timer at once and returns how long it took.
std::chrono::microseconds TimeOneTick(MainDialog& dialog) {
    const auto timers = QAbstractEventDispatcher::instance()->registeredTimers(&dialog);
    EXPECT_EQ(timers.size(), 1) << "the window runs one timer";
    if (timers.isEmpty()) return {};
    QTimerEvent tick(timers.first().timerId);
    const auto start = Clock::now();
    QApplication::sendEvent(&dialog, &tick);
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
}

class WindowFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetLanguageCode("EN");
        MessageBox::resetForTest();
        MessageBox::setRecordOnly(true);
        m_paths.SettingsFile = m_dir / "ip2hostname_u@h.ini";
        m_paths.HistoryFile = m_dir / "ip2hostname_history.txt";
    }
    void TearDown() override {
        SetResolverEntry(nullptr);
        MessageBox::resetForTest();
    }

    test::TempDir m_dir;
    SettingsPaths m_paths;
};

// The DNS server is stopped: every lookup waits for the resolver's timeout. The window's
// thread must never wait with it.
TEST_F(WindowFaultTest, SilentDnsServerKeepsTicksAndRefreshesPrompt) {
    IP2H_REQUIRE_TEST_NAMESPACE();
    test::StoppedDnsServer stopped;
    ASSERT_TRUE(stopped.Stopped());
    auto engine = ResolutionEngine::Create();  // the platform resolver
    MainDialog dialog(m_paths, engine);
    dialog.Open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    Register(dialog, "198.51.100.0-198.51.100.255");
    // The timer's first refresh hands out the first 96 addresses.
    ASSERT_TRUE(QTest::qWaitFor([&] { return AllSlotsRunning(*engine); }, 5000));

    std::chrono::microseconds slowestRefresh{};
    std::chrono::microseconds slowestTick{};
    int measured = 0;
    for (; measured < 10 && AllSlotsRunning(*engine); ++measured) {
        const auto start = Clock::now();
        dialog.RefreshList();
        slowestRefresh =
            std::max(slowestRefresh,
                     std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start));
        slowestTick = std::max(slowestTick, TimeOneTick(dialog));
    }
    EXPECT_GT(measured, 0);
    EXPECT_LT(slowestRefresh, 100ms);
    EXPECT_LT(slowestTick, 100ms);

    // Meanwhile the event loop keeps turning: a 10 ms timer is never held up for long.
    QElapsedTimer sinceLast;
    qint64 longestGap = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, &probe,
                     [&] { longestGap = std::max(longestGap, sinceLast.restart()); });
    sinceLast.start();
    probe.start(10);
    QTest::qWait(1500);
    probe.stop();
    EXPECT_LT(longestGap, 100);

    // Every lookup fails after its timeout, and the run ends with 256 failures.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return Pane(dialog, "progressStatusLabel") == QStringLiteral(" Progress :  256/ 256");
        },
        30000));
    EXPECT_EQ(Pane(dialog, "successStatusLabel"), QStringLiteral(" Success :    0/ 256"));
    dialog.close();
}

// Names the resolver may hand back although no DNS host name holds them.
const char* const kOddNames[] = {
    "(",
    "",
    "two\r\nlines.example",
    "tab\tescape\x1b.example",
    "\xFF\xFE not utf-8 \xC3.example",
    "(looks-pending).example",
};

int OddGetNameInfo(const sockaddr* address, socklen_t, char* host, socklen_t hostLength, char*,
                   socklen_t, int) {
    const auto* in = reinterpret_cast<const sockaddr_in*>(address);
    const unsigned last = ntohl(in->sin_addr.s_addr) & 0xFF;
    const std::size_t count = std::size(kOddNames) + 1;
    if (last % count == std::size(kOddNames)) {
        // The longest name the interface returns: 1,024 characters.
        if (hostLength < 1025) return EAI_OVERFLOW;
        std::memset(host, 'x', 1020);
        std::memcpy(host + 1020, ".com", 5);
        return 0;
    }
    std::strncpy(host, kOddNames[last % count], hostLength);
    return 0;
}

TEST_F(WindowFaultTest, OddNamesEndTheRunAndCopyOneRowPerLine) {
    SetResolverEntry(&OddGetNameInfo);
    auto engine = ResolutionEngine::Create();  // the real lookup around the odd resolver
    MainDialog dialog(m_paths, engine);
    dialog.Open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    Register(dialog, "10.0.0.0-10.0.0.41");

    // Driven by the window's own timer only.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return Pane(dialog, "progressStatusLabel") == QStringLiteral(" Progress :   42/  42");
        },
        10000))
        << Pane(dialog, "progressStatusLabel").toStdString();
    const ResultTable& table = dialog.Table();
    for (int i = 0; i < table.RowCount; ++i) {
        const ResultEntry& row = table.Rows[i];
        ASSERT_LT(::strnlen(row.HostName, TextFieldSize), TextFieldSize);
        ASSERT_LT(::strnlen(row.DomainInfo, TextFieldSize), TextFieldSize);
        ASSERT_EQ(FieldText(row.Address), "10.0.0." + std::to_string(i));
        const std::string_view host = FieldText(row.HostName);
        EXPECT_EQ(host.find_first_of("\r\n\t\x1b("), std::string_view::npos) << host;
    }
    EXPECT_EQ(FieldText(table.Rows[1].HostName), "10.0.0.1") << "an empty name is a failure";

    // All four columns, then address and name: one line per row, each ended by CR LF.
    dialog.Dispatch(Command::SelectAll);
    for (const Command toggle : {Command::CopyItemAddress, Command::CopyItemHostName}) {
        dialog.Dispatch(toggle);  // CopyItems 1 -> 0 (all columns) -> 2 (host name)
        QApplication::clipboard()->clear();
        dialog.Dispatch(Command::Copy);
        const QString copied = QApplication::clipboard()->text();
        EXPECT_EQ(copied.count(QStringLiteral("\r\n")), 42);
        EXPECT_EQ(copied.count(QLatin1Char('\n')), 42);
        EXPECT_EQ(copied.count(QLatin1Char('\r')), 42);
    }
    dialog.close();
}

// The child's side of the test below: the program's own run of the window, with an engine
// whose lookups never return. Once every slot waits on one, it writes the time to `report`
// and closes the window. Never returns.
[[noreturn]] void RunClosingChild(const SettingsPaths& paths, int report) {
    auto engine = ResolutionEngine::Create([](const std::string&) -> std::string {
        for (;;) std::this_thread::sleep_for(1h);
    });
    EndProcess(RunMainWindow(paths, engine, [&engine, report](MainDialog& dialog) {
        Register(dialog, "10.0.0.0-10.0.0.255");
        auto* poll = new QTimer(&dialog);
        QObject::connect(poll, &QTimer::timeout, poll, [&dialog, &engine, poll, report] {
            if (!AllSlotsRunning(*engine)) return;
            poll->stop();
            const std::int64_t closedAt = Clock::now().time_since_epoch().count();
            if (::write(report, &closedAt, sizeof closedAt) != sizeof closedAt) EndProcess(3);
            dialog.Dispatch(Command::Exit);
        });
        poll->start(10);
    }));
}

// Closing the window while every slot waits on a lookup that never returns: the process
// ends at once, through the same path the program's main() takes. The window runs in a
// fresh copy of this test program (the same test, told by the environment to play the
// program), which the test measures from outside.
TEST_F(WindowFaultTest, ClosingDuringLookupsThatNeverReturnEndsTheProcessInUnderASecond) {
    if (const char* report = std::getenv("IP2H_TEST_CLOSING_REPORT_FD")) {
        m_paths.SettingsFile = std::getenv("IP2H_TEST_CLOSING_SETTINGS");
        m_paths.HistoryFile = std::getenv("IP2H_TEST_CLOSING_HISTORY");
        RunClosingChild(m_paths, std::atoi(report));
    }
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    ::fcntl(pipeEnds[0], F_SETFD, FD_CLOEXEC);
    // Everything the child needs is prepared here: between fork and exec only plain system
    // calls are safe in a process that has threads.
    const std::string filter = std::string("--gtest_filter=") +
                               ::testing::UnitTest::GetInstance()->current_test_suite()->name() +
                               "." +
                               ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::vector<std::string> environment = {
        "IP2H_TEST_CLOSING_REPORT_FD=" + std::to_string(pipeEnds[1]),
        "IP2H_TEST_CLOSING_SETTINGS=" + m_paths.SettingsFile.string(),
        "IP2H_TEST_CLOSING_HISTORY=" + m_paths.HistoryFile.string(),
        "QT_QPA_PLATFORM=offscreen",
    };
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, "QT_QPA_PLATFORM=", 16) != 0) environment.emplace_back(*entry);
    }
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string program = "/proc/self/exe";
    char* argv[] = {program.data(), const_cast<char*>(filter.c_str()), nullptr};

    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int quiet = ::open("/dev/null", O_WRONLY);
        if (quiet >= 0) ::dup2(quiet, STDOUT_FILENO);
        ::execve(argv[0], argv, envp.data());
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    std::int64_t closedAt = 0;
    pollfd ready{pipeEnds[0], POLLIN, 0};
    const bool asked = ::poll(&ready, 1, 20000) == 1 &&
                       ::read(pipeEnds[0], &closedAt, sizeof closedAt) == sizeof closedAt;
    ::close(pipeEnds[0]);
    int status = 0;
    pid_t ended = 0;
    const auto deadline = Clock::now() + 10s;
    while ((ended = ::waitpid(child, &status, WNOHANG)) == 0 && Clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    const auto endedAt = Clock::now();
    if (ended == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        FAIL() << "the process did not end within 10 s of closing";
    }
    ASSERT_TRUE(asked) << "the child never had 96 lookups waiting; status " << status;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const auto closing = endedAt - Clock::time_point(Clock::duration(closedAt));
    EXPECT_LT(closing, 1s) << std::chrono::duration_cast<std::chrono::milliseconds>(closing).count()
                           << " ms from closing to the end of the process";
    // The closing sequence ran: the settings and the history were written.
    EXPECT_NE(test::ReadFile(m_paths.SettingsFile).find("CopyItem=1"), std::string::npos);
    EXPECT_NE(test::ReadFile(m_paths.HistoryFile).find("10.0.0.0-10.0.0.255"), std::string::npos);
}

}  // namespace
}  // namespace ip2h
