// The window when lookups never return: closing it still ends the process at once.
#include <csignal>

#include <QProcess>
#include <QTimer>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "WindowHarness.h"
#include "ui/Application.h"

namespace ip2h {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using namespace Qt::StringLiterals;

using WindowFaultTest = test::WindowTest;

// Closing while every slot waits on a lookup that never returns ends the process at once,
// through the path main() takes, and saves the settings and the history first: closed from
// the menu, or asked to end by the desktop (SIGTERM at logout or shutdown, SIGHUP). A fresh
// copy of this program plays the program (told so by the environment) and notes when all its
// slots are busy; the test times its end from then. Waiting for the lookups would take hours,
// so the bound is wide enough for a loaded machine and still tells the two apart.
TEST_F(WindowFaultTest, ClosingDuringLookupsThatNeverReturnSavesAndEndsTheProcessAtOnce) {
    const char* childDir = std::getenv("IP2H_TEST_CLOSING_DIR");
    if (childDir != nullptr) {
        const std::filesystem::path dir = childDir;
        m_paths = {dir / "x.ini", dir / "x_history.txt"};
        const bool byMenu = std::getenv("IP2H_TEST_CLOSING_SIGNAL") == nullptr;
        auto engine =
            ResolutionEngine::Create([](const std::string&, LookupOptions) -> LookupAnswer {
                for (;;) std::this_thread::sleep_for(1h);
            });
        EndProcess(
            RunMainWindow(m_paths, *m_table, engine, [&engine, dir, byMenu](MainDialog& dialog) {
                test::Register(dialog, "10.0.0.0-10.0.0.255");
                auto* poll = new QTimer(&dialog);
                QObject::connect(
                    poll, &QTimer::timeout, poll, [&dialog, &engine, poll, dir, byMenu] {
                        // Slots fill from the first: the last one busy, all are.
                        if (engine->State(WorkerSlotCount - 1) != SlotState::Running) return;
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
        auto endedAt = Clock::time_point::max();
        QObject::connect(&child, &QProcess::finished, &child,
                         [&endedAt] { endedAt = Clock::now(); });
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        child.start(QCoreApplication::applicationFilePath(),
                    {u"--gtest_filter=%1.%2"_s.arg(QLatin1String(test->test_suite_name()),
                                                   QLatin1String(test->name()))});
        std::string busyAt;
        (void)QTest::qWaitFor([&] { return !(busyAt = test::ReadFile(dir / "busy-at")).empty(); },
                              60000);
        // processId() is 0 once the child has ended, and kill(0) would signal this whole group.
        const auto pid = static_cast<pid_t>(child.processId());
        if (signal != 0 && !busyAt.empty() && pid > 0) ::kill(pid, signal);
        // Not waitForFinished: it answers false for a child that ended while the loop above
        // ran. The state is asked first, on every turn.
        const bool ended =
            QTest::qWaitFor([&] { return child.state() == QProcess::NotRunning; }, 60000);
        if (!ended) child.kill();
        ASSERT_TRUE(ended) << "the process did not end within 60 s";
        ASSERT_FALSE(busyAt.empty()) << "the child never had 96 lookups waiting";
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), 0);
        const auto closing = endedAt - Clock::time_point(Clock::duration(std::stoll(busyAt)));
        EXPECT_LT(closing, 30s)
            << std::chrono::duration_cast<std::chrono::milliseconds>(closing).count()
            << " ms from closing to the end of the process";
        // The closing sequence ran: the settings and the history were written.
        EXPECT_NE(test::ReadFile(dir / "x.ini").find("CopyItem=1"), std::string::npos);
        EXPECT_NE(test::ReadFile(dir / "x_history.txt").find("10.0.0.0-10.0.0.255"),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace ip2h
