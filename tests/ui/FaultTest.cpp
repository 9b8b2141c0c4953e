// The window under faults of the name service: names no host should have, and lookups that
// never return when the window closes.
#include <netdb.h>
#include <sys/socket.h>

#include <csignal>

#include <QClipboard>
#include <QProcess>
#include <QTimer>

#include <chrono>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <tuple>

#include "WindowHarness.h"
#include "base/FixedText.h"
#include "results/ResultTable.h"
#include "support/TestNamespace.h"
#include "ui/Application.h"

namespace ip2h {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::Pane;
using namespace Qt::StringLiterals;

using WindowFaultTest = test::WindowTest;

// Names the resolver may hand back although no DNS host name holds them; the last case is the
// longest name the interface returns (1,024 characters).
const char* const kOddNames[] = {"(",
                                 "",
                                 "two\r\nlines.example",
                                 "tab\tescape\x1b.example",
                                 "\xFF\xFE not utf-8 \xC3.example",
                                 "(looks-pending).example",
                                 nullptr};

int OddGetNameInfo(const sockaddr* address, socklen_t, char* host, socklen_t hostLength, char*,
                   socklen_t, int) {
    const unsigned last =
        ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr) & 0xFF;
    const char* name = kOddNames[last % std::size(kOddNames)];
    if (name != nullptr) {
        std::strncpy(host, name, hostLength);
        return 0;
    }
    if (hostLength < 1025) return EAI_OVERFLOW;
    std::memset(host, 'x', 1020);
    std::memcpy(host + 1020, ".com", 5);
    return 0;
}

TEST_F(WindowFaultTest, OddNamesEndTheRunAndCopyOneRowPerLine) {
    SetResolverEntry(&OddGetNameInfo);
    MainDialog& dialog = Open();  // the real lookup around the odd resolver
    test::Register(dialog, "10.0.0.0-10.0.0.41");
    // Driven by the window's own timer only.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return Pane(dialog, "progressStatusLabel") == u" Progress :   42/  42"_s; }, 10000))
        << Pane(dialog, "progressStatusLabel").toStdString();
    const ResultTable& table = dialog.Table();
    for (int i = 0; i < table.RowCount; ++i) {
        const ResultEntry& row = table.Rows[i];
        ASSERT_LT(::strnlen(row.HostName, kTextFieldSize), kTextFieldSize);
        ASSERT_LT(::strnlen(row.DomainInfo, kTextFieldSize), kTextFieldSize);
        ASSERT_EQ(FieldText(row.Address), "10.0.0." + std::to_string(i));
        EXPECT_EQ(FieldText(row.HostName).find_first_of("\r\n\t\x1b("), std::string_view::npos);
    }
    EXPECT_EQ(FieldText(table.Rows[1].HostName), "10.0.0.1") << "an empty name is a failure";

    // All four columns, then the host name alone: one line per row, each ended by CR LF.
    dialog.Dispatch(Command::SelectAll);
    for (const Command toggle : {Command::CopyItemAddress, Command::CopyItemHostName}) {
        dialog.Dispatch(toggle);  // CopyItems 1 -> 0 -> 2
        QApplication::clipboard()->clear();
        dialog.Dispatch(Command::Copy);
        const QString copied = QApplication::clipboard()->text();
        EXPECT_EQ(std::tuple(copied.count(u"\r\n"_s), copied.count(u'\n'), copied.count(u'\r')),
                  std::tuple(42, 42, 42));
    }
}

// Closing while every slot waits on a lookup that never returns ends the process at once,
// through the path main() takes, and saves the settings and the history first: closed from
// the menu, or asked to end by the desktop (SIGTERM at logout or shutdown, SIGHUP). A fresh
// copy of this program plays the program (told so by the environment) and notes when all its
// slots are busy; the test times its end from then.
TEST_F(WindowFaultTest, ClosingDuringLookupsThatNeverReturnSavesAndEndsTheProcessAtOnce) {
    const char* childDir = std::getenv("IP2H_TEST_CLOSING_DIR");
    if (childDir != nullptr) {
        const std::filesystem::path dir = childDir;
        m_paths = {dir / "x.ini", dir / "x_history.txt"};
        const bool byMenu = std::getenv("IP2H_TEST_CLOSING_SIGNAL") == nullptr;
        auto engine = ResolutionEngine::Create([](const std::string&) -> LookupAnswer {
            for (;;) std::this_thread::sleep_for(1h);
        });
        EndProcess(RunMainWindow(m_paths, *m_table, engine, [&engine, dir, byMenu](MainDialog& dialog) {
            test::Register(dialog, "10.0.0.0-10.0.0.255");
            auto* poll = new QTimer(&dialog);
            QObject::connect(poll, &QTimer::timeout, poll, [&dialog, &engine, poll, dir, byMenu] {
                if (!test::AllSlotsRunning(*engine)) return;
                poll->stop();
                std::ofstream(dir / "busy-at") << Clock::now().time_since_epoch().count();
                if (byMenu) dialog.Dispatch(Command::Exit);
            });
            poll->start(10);
        }));
    }
    for (const int signal : {0, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        test::TempDir dir;
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"IP2H_TEST_CLOSING_DIR"_s, QString::fromStdString(dir.Path().string()));
        if (signal != 0) environment.insert(u"IP2H_TEST_CLOSING_SIGNAL"_s, u"1"_s);
        child.setProcessEnvironment(environment);
        child.setStandardOutputFile(QProcess::nullDevice());
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        child.start(QCoreApplication::applicationFilePath(),
                    {u"--gtest_filter=%1.%2"_s.arg(QLatin1String(test->test_suite_name()),
                                                   QLatin1String(test->name()))});
        std::string busyAt;
        (void)QTest::qWaitFor([&] { return !(busyAt = test::ReadFile(dir / "busy-at")).empty(); },
                              20000);
        if (signal != 0 && !busyAt.empty()) ::kill(static_cast<pid_t>(child.processId()), signal);
        const bool ended = child.waitForFinished(20000);
        const auto endedAt = Clock::now();
        if (!ended) child.kill();
        ASSERT_TRUE(ended) << "the process did not end";
        ASSERT_FALSE(busyAt.empty()) << "the child never had 96 lookups waiting";
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), 0);
        const auto closing = endedAt - Clock::time_point(Clock::duration(std::stoll(busyAt)));
        EXPECT_LT(closing, 1s) << std::chrono::duration_cast<std::chrono::milliseconds>(closing).count()
                               << " ms from closing to the end of the process";
        // The closing sequence ran: the settings and the history were written.
        EXPECT_NE(test::ReadFile(dir / "x.ini").find("CopyItem=1"), std::string::npos);
        EXPECT_NE(test::ReadFile(dir / "x_history.txt").find("10.0.0.0-10.0.0.255"),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace ip2h
