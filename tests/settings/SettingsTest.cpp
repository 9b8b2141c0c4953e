// The settings file, the history file and where they live; both are written by copies of the
// program that may close at the same time.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

#include "settings/History.h"
#include "settings/ProfileStore.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace ip2h {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Texts = std::vector<std::string>;

class SettingsTest : public ::testing::Test {
protected:
    fs::path File() const { return m_dir / "s.ini"; }
    ProfileStore Store() const { return ProfileStore(File()); }
    std::string Contents() const { return test::ReadFile(File()); }

    test::TempDir m_dir;
};
using ProfileStoreTest = SettingsTest;
using HistoryTest = SettingsTest;

TEST_F(ProfileStoreTest, ReadsTextAndIntegersByTheRules) {
    test::WriteFile(
        File(),
        "orphan=1\r\n[Options]\r\nPlain=abc\r\n  Spaced  =   a b   \r\nQuoted=\"  q  \"\r\n"
        "Half=\"q\r\nTwo=\"a\" \"b\"\r\nEmpty=\r\nBlank=   \r\nNum=  -42abc\r\nPlus=+7\r\n"
        "Hex=0x10\r\nHuge=99999999999\r\nEq=a=b\r\nTab=\tx\t\r\nNul=a\0b\r\nPlain=second\r\n"
        "  ;c=1\r\n#h=1\r\n[ settings ]\nISZOOMED=1\n"s);
    const ProfileStore store = Store();
    std::string texts, integers;
    for (const char* key : {"Plain", "Spaced", "Quoted", "Half", "Two", "Empty", "Eq", "Tab", "Nul",
                            "Missing", ";c", "#h", "orphan"}) {
        texts += store.ReadText("options", key, "D") + "|";
    }
    EXPECT_EQ(texts, "abc|a b|  q  |\"q|a\" \"b||a=b|x|a|D|D|D|D|");
    for (const char* key : {"Num", "Plus", "Plain", "Hex", "Empty", "Blank", "Huge", "Missing"}) {
        integers += std::to_string(store.ReadInteger("Options", key, 5)) + "|";
    }
    EXPECT_EQ(integers, "-42|7|0|0|5|5|2147483647|5|");
    EXPECT_EQ(store.ReadText("SETTINGS", "IsZoomed"), "1");
}

TEST_F(ProfileStoreTest, WritesKeepEveryOtherByteAndCutTextsAtALineBreak) {
    test::WriteFile(
        File(),
        "; c\r\n\r\n[Settings]\r\nPosition = 0:1:2\r\nUnknown=keep me\n\r\n[Options]\r\n"
        "History=1\r\n; trailing\r\n\r\n[Other]\r\nx=y");
    ProfileStore store = Store();
    ASSERT_TRUE(store.WriteText("settings", "POSITION", "9:9"));
    ASSERT_TRUE(store.WriteInteger("Options", "NBT", 1));
    ASSERT_TRUE(store.WriteText("Other", "z", "w"));
    ASSERT_TRUE(store.WriteText("New", "Injected", "10.0.0.1\r\n[Settings]\r\nIsZoomed=1"));
    ASSERT_TRUE(store.WriteText("New", "Nul", "5\0NBT=1"s));
    EXPECT_EQ(Contents(),
              "; c\r\n\r\n[Settings]\r\nPosition =9:9\r\nUnknown=keep me\n\r\n[Options]\r\n"
              "History=1\r\n; trailing\r\nNBT=1\r\n\r\n[Other]\r\nx=y\r\nz=w\r\n[New]\r\n"
              "Injected=10.0.0.1\r\nNul=5\r\n");
    // Names that would not read back are refused.
    EXPECT_FALSE(store.WriteText("Opt]ions", "k", "v"));
    for (const char* key : {"k=x", "", " k", "k;"}) EXPECT_FALSE(store.WriteText("New", key, "v"));
}

// Written to a temporary file renamed over the old one: a failed write (here a size limit)
// leaves the old file whole; the rename keeps the permission bits and a symbolic link.
TEST_F(ProfileStoreTest, AFailedWriteLeavesTheOldFileIntact) {
    const std::string before = "[Options]\nHistory=1\n";
    test::WriteFile(File(), before);
    const int result =
        test::RunInChildProcesses(1, [&](int) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{64, 64};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
            return Store().WriteText("Options", "IpAdrsRange", std::string(200, 'r')) ? 1 : 0;
        }).front();
    EXPECT_EQ(result, 0) << "the write must report failure";
    EXPECT_EQ(Contents(), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), {}), 1) << "temporary file left";

    fs::permissions(File(), fs::perms(0640));
    fs::rename(File(), m_dir / "target.ini");
    fs::create_symlink("target.ini", File());
    ASSERT_TRUE(Store().WriteInteger("Options", "History", 0));
    EXPECT_TRUE(fs::is_symlink(File()));
    EXPECT_EQ(test::ReadFile(m_dir / "target.ini"), "[Options]\nHistory=0\n");
    EXPECT_EQ(fs::status(File()).permissions(), fs::perms(0640));
}

TEST_F(HistoryTest, SavesListOrderWithCrLfWithoutRepeatsOrDeletesWhenOff) {
    // 1,022 characters come back whole; a longer item would come back in pieces.
    const std::string longest(kHistoryPieceLength, 'L'), tooLong(kHistoryPieceLength + 1, 'M');
    ASSERT_TRUE(SaveHistory(
        File(), true,
        {"", "10.0.0.1", "10.0.0.1", "10.0.0.1\r\n", "A", "a", "", "a", "b\nc", longest, tooLong}));
    // The empty item between the two "a" does not separate them.
    const std::string saved = "10.0.0.1\r\nA\r\na\r\nbc\r\n" + longest + "\r\n";
    EXPECT_EQ(test::ReadFile(File()), saved);
    EXPECT_EQ(LoadHistory(File(), true, "").back(), longest);

    // Another copy of the program saved since: its ranges are merged into the sorted list.
    ASSERT_TRUE(SaveHistory(File(), true, {"10.0.0.0", "B"}));
    EXPECT_EQ(test::ReadFile(File()),
              "10.0.0.0\r\n" + saved.substr(0, 16) + "B\r\n" + saved.substr(16));

    EXPECT_TRUE(SaveHistory(File(), false, {"10.0.0.2"}));
    EXPECT_FALSE(fs::exists(File()));
    EXPECT_TRUE(SaveHistory(File(), false, {"10.0.0.2"})) << "nothing to delete is fine";

    Texts items;  // the drop-down lists: sorted ignoring case, never an exact repeat
    for (const char* text : {"b", "A", "c", "a", "B", "a", "10", "1", "b", ""}) {
        AddToSortedList(items, text);
    }
    EXPECT_EQ(items, (Texts{"", "1", "10", "A", "a", "b", "B", "c"}));
}

// A settings or history file the user made read-only is neither replaced nor deleted.
TEST_F(SettingsTest, AReadOnlyFileIsLeftAlone) {
    const fs::path history = m_dir / "h.txt";
    test::WriteFile(File(), "[Options]\r\nHistory=1\r\n");
    test::WriteFile(history, "10.0.0.1\r\n");
    for (const fs::path& file : {File(), history}) fs::permissions(file, fs::perms(0444));
    ProfileStore store = Store();
    EXPECT_FALSE(store.WriteInteger("Options", "History", 0));
    EXPECT_FALSE(SaveHistory(history, true, {"10.0.0.2"}));
    EXPECT_FALSE(SaveHistory(history, false, {}));
    EXPECT_EQ(Contents(), "[Options]\r\nHistory=1\r\n");
    EXPECT_EQ(test::ReadFile(history), "10.0.0.1\r\n");
    fs::permissions(File(), fs::perms(0644));
    EXPECT_TRUE(store.WriteInteger("Options", "History", 0));
}

// Beside the executable when its directory is writable, else in the configuration directory;
// the user and computer names can never add a directory step.
TEST(SettingsFileTest, FilesGoBesideTheExecutableOrToTheConfigDirectory) {
    const auto settingsFile = [](const std::string& user, const std::string& computer) {
        return ComposeSettingsPaths("/opt/t/p.exe", user, computer).SettingsFile;
    };
    EXPECT_EQ(settingsFile("", ""), "/opt/t/p_unknown-user@unknown-computer.ini");
    EXPECT_EQ(settingsFile("../../etc/x", "h"), "/opt/t/p_.._.._etc_x@h.ini");
    EXPECT_EQ(settingsFile("dom\\user", "h/../.."), "/opt/t/p_dom_user@h_.._...ini");
    EXPECT_EQ(ComposeSettingsPaths("/opt/t/p.exe", "u", "h").HistoryFile, "/opt/t/p_history.txt");

    test::TempDir dir;
    EXPECT_TRUE(DirectoryIsWritable(dir.Path()));
    EXPECT_TRUE(fs::is_empty(dir.Path())) << "the probe file is removed again";
    const fs::path config = dir / "cfg" / "ip2hostname";
    for (const bool writable : {true, false}) {
        const SystemFacts facts{"/opt/t/ip2hostname", "al", "pc", config};
        EXPECT_EQ(
            ResolveSettingsPaths(facts, [=](const fs::path&) { return writable; }).SettingsFile,
            writable ? "/opt/t/ip2hostname_al@pc.ini" : config / "ip2hostname_al@pc.ini");
    }
    EXPECT_TRUE(fs::is_directory(config)) << "created for the first write";
}

// Copies of the program closing at the same time: every settings write lands and none undoes
// another's, the history keeps both copies' lists, and a reader never finds a torn file.
TEST(FileFaultTest, CopiesWritingAtOnceLoseNothingAndTearNothing) {
    // On a memory file system when there is one: a flush to a busy disk can outlast the lock's
    // longest wait (2 s), after which a write goes ahead without it.
    test::TempDir dir(fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path());
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
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 2) << "no temporary file left";
}

}  // namespace
}  // namespace ip2h
