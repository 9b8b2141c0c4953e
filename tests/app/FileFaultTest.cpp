// The settings and history files under faults the other tests do not cover: binary garbage,
// a read-only directory, and two running copies of the program writing at the same time.

#include <gtest/gtest.h>

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/ProfileStore.h"
#include "app/Settings.h"
#include "input/History.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace ip2h {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

std::size_t FilesIn(const fs::path& directory) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(directory), fs::directory_iterator()));
}

void ExpectDefaults(const OpeningSettings& s) {
    const OpeningSettings defaults;
    EXPECT_FALSE(s.Position.has_value());
    EXPECT_EQ(s.IsZoomed, 0);
    EXPECT_EQ(s.TopMost, 0);
    EXPECT_EQ(s.ColumnWidths, kDefaultColumnWidths);
    EXPECT_EQ(s.SortEnabled, defaults.SortEnabled);
    EXPECT_EQ(s.MaxLimit, kMaxLimitLowest);
    EXPECT_EQ(s.RangeText, "192.168.0.0-192.168.0.255");
    EXPECT_EQ(s.IntervalText, "1");
    EXPECT_EQ(s.CopyItems, 1);
    EXPECT_EQ(s.UseNbt, 0);
    EXPECT_EQ(s.HistoryEnabled, 1);
}

ClosingSettings SomeClosingSettings() {
    ClosingSettings s;
    s.TopMost = 1;
    s.Position = WindowPlacement{0, 1, -1, -1, -1, -1, 10, 20, 610, 420};
    s.ColumnWidths = {90, 200, 60, 100};
    s.UseNbt = 1;
    s.HistoryEnabled = 0;
    s.CopyItems = 3;
    s.SortEnabled = 0;
    return s;
}

// Whatever lies in the file, the program starts with defaults, and the first close writes
// its settings without losing the bytes that were there.
TEST(FileFaultTest, GarbageSettingsFilesGiveDefaultsAndTakeNewSettings) {
    std::string nulsAndJunk(2 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < nulsAndJunk.size(); i += 7) nulsAndJunk[i] = '=';
    std::string noLineEnds = RandomBytes(5 * 1024 * 1024, 2);
    std::replace(noLineEnds.begin(), noLineEnds.end(), '\n', 'n');
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"binary garbage, 4 MB", RandomBytes(4 * 1024 * 1024, 1)},
        {"no line end, 5 MB", noLineEnds},
        {"NUL bytes and equals signs", nulsAndJunk},
        {"a section header cut short", "[Options"},
        {"keys outside every section", "History=0\nNBT=1\nMaxLimit=1000\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const fs::path file = dir / "ip2hostname_u@h.ini";
        test::WriteFile(file, c.bytes);
        ProfileStore store(file);
        ExpectDefaults(ReadOpeningSettings(store));

        WriteClosingSettings(store, SomeClosingSettings(), {});
        WriteRegistrationSettings(store, 1024, "10.0.0.0-10.0.0.255", "256");
        const OpeningSettings reread = ReadOpeningSettings(store);
        EXPECT_EQ(reread.TopMost, 1);
        EXPECT_EQ(reread.Position, SomeClosingSettings().Position);
        EXPECT_EQ(reread.ColumnWidths, SomeClosingSettings().ColumnWidths);
        EXPECT_EQ(reread.CopyItems, 3);
        EXPECT_EQ(reread.HistoryEnabled, 0);
        EXPECT_EQ(reread.MaxLimit, 1024);
        EXPECT_EQ(reread.RangeText, "10.0.0.0-10.0.0.255");
        EXPECT_EQ(reread.IntervalText, "256");
        EXPECT_EQ(test::ReadFile(file).substr(0, c.bytes.size()), c.bytes)
            << "what was in the file stays";
        EXPECT_EQ(FilesIn(dir.Path()), 1u) << "no temporary file is left";
    }
}

TEST(FileFaultTest, GarbageHistoryFilesLoadOnlyUsableTextsAndSaveCleanly) {
    std::string noLineEnds(3 * 1024 * 1024, 'r');
    noLineEnds[5000] = '\0';
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"binary garbage, 4 MB", RandomBytes(4 * 1024 * 1024, 3)},
        {"no line end, 3 MB", noLineEnds},
        {"NUL bytes only", std::string(1024 * 1024, '\0')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const fs::path file = dir / "ip2hostname_history.txt";
        test::WriteFile(file, c.bytes);
        const Texts loaded = LoadHistory(file, true, "192.168.0.0-192.168.0.255");
        ASSERT_LE(loaded.size(), kHistoryMaxPieces);
        Texts list;
        for (const std::string& text : loaded) {
            EXPECT_EQ(text.find_first_of(std::string_view("\r\n\0", 3)), std::string::npos);
            EXPECT_GE(static_cast<unsigned char>(text.front()), 0x20);
            AddToSortedList(list, text);
        }
        AddToSortedList(list, "192.168.0.0-192.168.0.255");
        ASSERT_TRUE(SaveHistory(file, true, list));
        // The saved file reads back as the same list: nothing of the garbage breaks a line.
        Texts again = LoadHistory(file, true, "");
        EXPECT_EQ(again, list);
    }
}

// A read-only mount stops root too, which permission bits do not. The mount lives in a
// private mount namespace of a child process and vanishes with it.
TEST(FileFaultTest, ReadOnlyDirectoryIsReadButNeverHalfWritten) {
    test::TempDir dir;
    const fs::path settings = dir / "ip2hostname_u@h.ini";
    const fs::path history = dir / "ip2hostname_history.txt";
    const std::string settingsBytes = "[Options]\r\nHistory=1\r\nIpAdrsRange=10.0.0.0-10.0.0.9\r\n";
    const std::string historyBytes = "10.0.0.0-10.0.0.9\r\n172.16.0.0-172.16.0.9\r\n";
    test::WriteFile(settings, settingsBytes);
    test::WriteFile(history, historyBytes);

    enum : int { kOk = 0, kNoNamespace = 10, kNotRead = 11, kWriteSucceeded = 12 };
    const int result = test::RunInChildProcess([&] {
        const std::string path = dir.Path().string();
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(nullptr, path.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) !=
                0) {
            return int{kNoNamespace};
        }
        ProfileStore store(settings);
        const OpeningSettings opened = ReadOpeningSettings(store);
        if (opened.RangeText != "10.0.0.0-10.0.0.9") return int{kNotRead};
        if (LoadHistory(history, true, opened.RangeText) != Texts{"172.16.0.0-172.16.0.9"}) {
            return int{kNotRead};
        }
        // Every write fails and says so; the closing sequence carries on regardless.
        if (store.WriteInteger("Options", "NBT", 1)) return int{kWriteSucceeded};
        WriteClosingSettings(store, SomeClosingSettings(), [&] {
            if (SaveHistory(history, true, {"1.1.1.1"})) ::_exit(kWriteSucceeded);
        });
        if (SaveHistory(history, false, {})) return int{kWriteSucceeded};
        return int{kOk};
    });
    if (result == kNoNamespace) GTEST_SKIP() << "no permission for a private read-only mount";
    ASSERT_EQ(result, kOk);
    EXPECT_EQ(test::ReadFile(settings), settingsBytes);
    EXPECT_EQ(test::ReadFile(history), historyBytes);
    EXPECT_EQ(FilesIn(dir.Path()), 2u);
}

// Runs `body(copy)` in `copies` child processes at once, each started at the same moment.
// Returns the exit statuses.
std::vector<int> RunConcurrently(int copies, const std::function<int(int)>& body) {
    int gate[2];
    EXPECT_EQ(::pipe(gate), 0);
    std::vector<pid_t> children;
    for (int copy = 0; copy < copies; ++copy) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(gate[1]);
            char byte;
            while (::read(gate[0], &byte, 1) < 0 && errno == EINTR) {
            }
            ::_exit(body(copy) & 0xFF);
        }
        children.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]);  // opens the gate for all at once
    std::vector<int> statuses;
    for (const pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        statuses.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    }
    return statuses;
}

// Two copies of the program closing at the same time each write their keys: every write
// lands, none undoes the other's, and a reader never finds a torn or empty file.
TEST(FileFaultTest, TwoCopiesWritingSettingsAtOnceLoseNothing) {
    test::TempDir dir;
    const fs::path file = dir / "ip2hostname_u@h.ini";
    test::WriteFile(file, "; shared by two copies\r\n[Options]\r\nHistory=1\r\n");
    constexpr int kWrites = 150;
    const char* keys[] = {"IpAdrsRange", "IpIncrement"};

    const std::vector<int> statuses = RunConcurrently(3, [&](int copy) {
        ProfileStore store(file);
        if (copy == 2) {
            // The reader: the file is always whole, with its first line and both sections.
            for (int i = 0; i < kWrites; ++i) {
                const std::string bytes = test::ReadFile(file);
                if (bytes.rfind("; shared by two copies\r\n[Options]\r\n", 0) != 0) return 1;
                if (store.ReadInteger("Options", "History", 0) != 1) return 2;
            }
            return 0;
        }
        for (int i = 1; i <= kWrites; ++i) {
            if (!store.WriteText("Options", keys[copy], std::to_string(i))) return 3;
            // Each copy reads its own last write back: a lost write shows at once.
            if (store.ReadInteger("Options", keys[copy], 0) < i) return 4;
        }
        return 0;
    });
    EXPECT_EQ(statuses, (std::vector<int>{0, 0, 0}))
        << "1/2: torn file seen, 3: write failed, 4: a write was undone by the other copy";
    ProfileStore store(file);
    EXPECT_EQ(store.ReadInteger("Options", keys[0], 0), kWrites);
    EXPECT_EQ(store.ReadInteger("Options", keys[1], 0), kWrites);
    EXPECT_EQ(FilesIn(dir.Path()), 1u);
}

TEST(FileFaultTest, TwoCopiesSavingHistoryAtOnceLeaveOneWholeFile) {
    test::TempDir dir;
    const fs::path file = dir / "ip2hostname_history.txt";
    Texts lists[2];
    std::string contents[2];
    for (int copy = 0; copy < 2; ++copy) {
        for (int i = 0; i < 400; ++i) {
            lists[copy].push_back(std::to_string(copy + 1) + ".0.0." + std::to_string(i));
        }
        for (const std::string& text : lists[copy]) contents[copy] += text + "\r\n";
    }
    test::WriteFile(file, contents[0]);

    const std::vector<int> statuses = RunConcurrently(3, [&](int copy) {
        for (int i = 0; i < 100; ++i) {
            if (copy == 2) {
                const std::string bytes = test::ReadFile(file);
                if (bytes != contents[0] && bytes != contents[1]) return 1;
            } else if (!SaveHistory(file, true, lists[copy])) {
                return 2;
            }
        }
        return 0;
    });
    EXPECT_EQ(statuses, (std::vector<int>{0, 0, 0})) << "1: torn file seen, 2: save failed";
    const std::string last = test::ReadFile(file);
    EXPECT_TRUE(last == contents[0] || last == contents[1]);
    EXPECT_EQ(FilesIn(dir.Path()), 1u);
}

}  // namespace
}  // namespace ip2h
