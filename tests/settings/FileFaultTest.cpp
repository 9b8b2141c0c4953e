// Settings and history files under faults: binary garbage, a read-only directory, and two
// running copies of the program writing at the same time.

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>

#include <random>

#include "settings/ProfileStore.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "settings/History.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace ip2h {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

std::size_t FilesIn(const fs::path& directory) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(directory), fs::directory_iterator()));
}

// Only usable texts load from binary garbage: saved and loaded again, they are the same list.
TEST(FileFaultTest, GarbageHistoryFileLoadsOnlyTextsThatSurviveASave) {
    std::string random(4 * 1024 * 1024, '\0');
    std::mt19937 generator(3);
    for (char& c : random) c = static_cast<char>(generator());
    test::TempDir dir;
    test::WriteFile(dir / "h.txt", random);
    const Texts loaded = LoadHistory(dir / "h.txt", true, "");
    ASSERT_GT(loaded.size(), 0u);
    ASSERT_LE(loaded.size(), kHistoryMaxPieces);
    Texts list;
    for (const std::string& text : loaded) AddToSortedList(list, text);
    ASSERT_TRUE(SaveHistory(dir / "h.txt", true, list));
    EXPECT_EQ(LoadHistory(dir / "h.txt", true, ""), list);
}

// A read-only mount stops root too, which permission bits do not. The mount lives in a
// private mount namespace of a child process and vanishes with it.
TEST(FileFaultTest, ReadOnlyProgramDirectoryIsReadNeverHalfWrittenAndLeftForTheConfig) {
    test::TempDir dir;
    fs::create_directory(dir / "bin");
    const SettingsPaths beside = ComposeSettingsPaths(dir / "bin" / "ip2hostname", "u", "h");
    const fs::path config = dir / "cfg";
    const std::string settingsBytes = "[Options]\r\nHistory=1\r\nIpAdrsRange=10.0.0.0-10.0.0.9\r\n";
    const std::string historyBytes = "10.0.0.0-10.0.0.9\r\n172.16.0.0-172.16.0.9\r\n";
    test::WriteFile(beside.SettingsFile, settingsBytes);
    test::WriteFile(beside.HistoryFile, historyBytes);

    enum : int { kOk, kNoNamespace = 10, kNotRead, kWriteSucceeded, kNotMoved };
    const int result = test::RunInChildProcess([&] {
        const std::string bin = (dir / "bin").string();
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount(bin.c_str(), bin.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(nullptr, bin.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) !=
                0) {
            return int{kNoNamespace};
        }
        ProfileStore store(beside.SettingsFile);
        const OpeningSettings opened = ReadOpeningSettings(store);
        if (opened.RangeText != "10.0.0.0-10.0.0.9" ||
            LoadHistory(beside.HistoryFile, true, opened.RangeText) !=
                Texts{"172.16.0.0-172.16.0.9"}) {
            return int{kNotRead};
        }
        // Every write fails and says so; the closing sequence carries on regardless.
        if (store.WriteInteger("Options", "NBT", 1) || SaveHistory(beside.HistoryFile, false, {})) {
            return int{kWriteSucceeded};
        }
        WriteClosingSettings(store, {}, [&] {
            if (SaveHistory(beside.HistoryFile, true, {"1.1.1.1"})) ::_exit(kWriteSucceeded);
        });
        // The next start keeps its files in the configuration directory instead.
        const SettingsPaths moved =
            ResolveSettingsPaths({dir / "bin" / "ip2hostname", "u", "h", config});
        ProfileStore movedStore(moved.SettingsFile);
        return movedStore.WriteInteger("Options", "NBT", 1) ? int{kOk} : int{kNotMoved};
    });
    if (result == kNoNamespace) GTEST_SKIP() << "no permission for a private read-only mount";
    ASSERT_EQ(result, kOk);
    EXPECT_EQ(test::ReadFile(beside.SettingsFile), settingsBytes);
    EXPECT_EQ(test::ReadFile(beside.HistoryFile), historyBytes);
    EXPECT_EQ(FilesIn(dir / "bin"), 2u);
    EXPECT_EQ(ProfileStore(config / "ip2hostname_u@h.ini").ReadInteger("Options", "NBT", 0), 1);
}

// Copies of the program closing at the same time: every settings write lands and none undoes
// another's, the history keeps both copies' lists, and a reader never finds a torn file.
TEST(FileFaultTest, CopiesWritingAtOnceLoseNothingAndTearNothing) {
    test::TempDir dir;
    const fs::path settings = dir / "s.ini", history = dir / "h.txt";
    test::WriteFile(settings, "; shared\r\n[Options]\r\nHistory=1\r\n");
    const char* keys[] = {"IpAdrsRange", "IpIncrement"};
    // Two sorted lists whose merge is the first followed by the second.
    Texts lists[2];
    std::string contents[2];
    for (int copy = 0; copy < 2; ++copy) {
        for (int i = 100; i < 300; ++i) {
            lists[copy].push_back(std::to_string(copy + 1) + ".0.0." + std::to_string(i));
            contents[copy] += lists[copy].back() + "\r\n";
        }
    }
    const std::string both = contents[0] + contents[1];
    test::WriteFile(history, contents[0]);
    constexpr int kWrites = 150;
    const std::vector<int> statuses = test::RunInChildProcesses(5, [&](int copy) {
        ProfileStore store(settings);
        for (int i = 1; i <= kWrites; ++i) {
            if (copy == 4) {
                const std::string bytes = test::ReadFile(history);
                if (bytes != contents[0] && bytes != both) return 1;
                if (test::ReadFile(settings).rfind("; shared\r\n[Options]\r\n", 0) != 0) return 1;
                if (store.ReadInteger("Options", "History", 0) != 1) return 1;
            } else if (copy >= 2) {
                if (!SaveHistory(history, true, lists[copy - 2])) return 2;
            } else if (!store.WriteText("Options", keys[copy], std::to_string(i))) {
                return 2;
            } else if (store.ReadInteger("Options", keys[copy], 0) < i) {
                return 3;
            }
        }
        return 0;
    });
    EXPECT_EQ(statuses, std::vector<int>(5, 0))
        << "1: torn file seen, 2: write failed, 3: a write was undone by another copy";
    for (const char* key : keys) {
        EXPECT_EQ(ProfileStore(settings).ReadInteger("Options", key, 0), kWrites);
    }
    EXPECT_EQ(test::ReadFile(history), both);
    EXPECT_EQ(FilesIn(dir.Path()), 2u) << "no temporary file is left";
}

}  // namespace
}  // namespace ip2h
