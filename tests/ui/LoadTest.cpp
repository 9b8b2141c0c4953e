// The window under load: full tables of 9,999 rows against a resolver that takes 200 ms per
// address, run after run. Nothing may grow from run to run, and every worker thread ends.

#include <gtest/gtest.h>

#include <netdb.h>
#include <sys/socket.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "app/Language.h"
#include "resolver/ProgressTimer.h"
#include "resolver/ReverseLookup.h"
#include "resolver/WorkerSlots.h"
#include "results/FixedText.h"
#include "results/ResultTable.h"
#include "support/TempDir.h"
#include "ui/MainDialog.h"
#include "ui/MessageBox.h"

#if defined(__SANITIZE_ADDRESS__)
#define IP2H_MEMORY_IS_INSTRUMENTED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define IP2H_MEMORY_IS_INSTRUMENTED 1
#endif
#endif

namespace ip2h {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A name service that answers every address after 200 ms with "h<a>-<b>-<c>-<d>.example.com".
int SlowGetNameInfo(const sockaddr* address, socklen_t, char* host, socklen_t hostLength, char*,
                    socklen_t, int) {
    std::this_thread::sleep_for(200ms);
    const auto value = ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
    std::snprintf(host, hostLength, "h%u-%u-%u-%u.example.com", value >> 24, value >> 16 & 0xFF,
                  value >> 8 & 0xFF, value & 0xFF);
    return 0;
}

// Resident memory of this process, in kB.
long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

// Threads of this process that run our code: the main thread and the lookup workers. The
// toolkit's own helper threads carry names of their own and come and go on their own timers.
int ProgramThreads() {
    const std::string self = test::ReadFile("/proc/self/comm");
    int count = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        count += test::ReadFile(task.path() / "comm") == self;
    }
    return count;
}

bool ThreadsBackTo(int idle) {
    for (const auto deadline = Clock::now() + 5s; Clock::now() < deadline;) {
        if (ProgramThreads() == idle) return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

bool NothingPending(const ResultTable& table) {
    return ProgressTimer::CountRows(table).Pending == 0;
}

class LoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetLanguageCode("EN");
        MessageBox::resetForTest();
        MessageBox::setRecordOnly(true);
        SetResolverEntry(&SlowGetNameInfo);
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

// Five runs of 9,999 pasted rows, each of addresses never seen before and after emptying the
// cache, so that every row is looked up. The refresh is driven directly as soon as the
// previous batch of 96 is answered: at the timer's pace (a refresh every 2 s at this size)
// one run would take three and a half minutes instead of 25 s.
TEST_F(LoadTest, FiveFullRunsKeepMemoryAndThreadsFlat) {
    auto engine = ResolutionEngine::Create();
    MainDialog dialog(m_paths, engine);
    dialog.Open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const int idleThreads = ProgramThreads();
    std::vector<long> resident;

    for (int run = 0; run < 5; ++run) {
        SCOPED_TRACE("run " + std::to_string(run + 1));
        // A fresh start, as a user makes it: no rows, no cached answers.
        dialog.Dispatch(Command::SelectAll);
        dialog.Dispatch(Command::Delete);
        dialog.Dispatch(Command::ClearCache);
        ASSERT_EQ(dialog.Table().RowCount, 0);
        // 40 ranges of 256 addresses: the paste stops at 9,999 rows.
        QString text;
        for (int block = 0; block < 40; ++block) {
            text += QStringLiteral("10.%1.%2.0-10.%1.%2.255\n").arg(run + 1).arg(block);
        }
        QApplication::clipboard()->setText(text);
        dialog.Dispatch(Command::Paste);
        ASSERT_EQ(dialog.Table().RowCount, MaxRows);

        const auto start = Clock::now();
        while (!NothingPending(dialog.Table())) {
            ASSERT_LT(Clock::now() - start, 120s) << "the run does not end";
            dialog.RefreshList();
            // Let the batch just handed out finish; the window's own timer keeps ticking.
            (void)QTest::qWaitFor([&] { return !engine->AnyWorkerRunning(); }, 1000);
        }
        const ResultTable& table = dialog.Table();
        for (int i = 0; i < MaxRows; ++i) {
            ASSERT_EQ(table.Rows[i].Status, Success) << i;
        }
        EXPECT_EQ(FieldText(table.Rows[MaxRows - 1].HostName),
                  "h10-" + std::to_string(run + 1) + "-39-14.example.com");
        EXPECT_TRUE(ThreadsBackTo(idleThreads))
            << ProgramThreads() << " threads of ours, " << idleThreads << " when idle";
        resident.push_back(ResidentKilobytes());
        std::printf("run %d: %.1f s, resident %ld kB\n", run + 1,
                    std::chrono::duration<double>(Clock::now() - start).count(), resident.back());
    }
#ifndef IP2H_MEMORY_IS_INSTRUMENTED
    // The first run brings every fixed table and the toolkit's caches into memory; after it,
    // the footprint must stay where it is, give or take the allocator's free lists. A leak of
    // 100 bytes per row would add 4 MB over the four later runs.
    for (std::size_t run = 1; run < resident.size(); ++run) {
        EXPECT_LT(resident[run] - resident[0], 3 * 1024) << "run " << run + 1 << " grew";
    }
#endif
    dialog.close();
}

// A registered /24 driven by nothing but the window's own timer: three batches of 96, a
// refresh every 0.5 s, so the run ends after about 2 s.
TEST_F(LoadTest, RegisteredBlockRunsToItsEndOnTheTimerAlone) {
    auto engine = ResolutionEngine::Create();
    MainDialog dialog(m_paths, engine);
    dialog.Open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const int idleThreads = ProgramThreads();
    dialog.findChild<QComboBox*>(QStringLiteral("rangeComboBox"))
        ->setEditText(QStringLiteral("10.200.0.0-10.200.0.255"));
    dialog.Dispatch(Command::Register);

    auto* progress = dialog.findChild<QLabel*>(QStringLiteral("progressStatusLabel"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return progress->text() == QStringLiteral(" Progress :  256/ 256"); }, 20000))
        << progress->text().toStdString();
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("successStatusLabel"))->text(),
              QStringLiteral(" Success :  256/ 256"));
    std::printf(
        "%s\n",
        dialog.findChild<QLabel*>(QStringLiteral("timeStatusLabel"))->text().toUtf8().data());
    EXPECT_TRUE(ThreadsBackTo(idleThreads));
    dialog.close();
}

}  // namespace
}  // namespace ip2h
