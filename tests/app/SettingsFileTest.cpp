#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <sched.h>

#include "app/ProfileStore.h"
#include "app/SettingsFile.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace ip2h {
namespace {

namespace fs = std::filesystem;

TEST(SettingsFileTest, ComposesPathsBesideTheExecutable) {
    const struct {
        const char* exe;
        const char* user;
        const char* computer;
        const char* settings;
        const char* history;
    } cases[] = {
        {"/opt/tools/ip2hostname", "alice", "pc1", "/opt/tools/ip2hostname_alice@pc1.ini",
         "/opt/tools/ip2hostname_history.txt"},
        // The extension is dropped, only the last one.
        {"/opt/scan.exe", "bob", "host", "/opt/scan_bob@host.ini", "/opt/scan_history.txt"},
        {"/opt/scan.v2.bin", "bob", "host", "/opt/scan.v2_bob@host.ini",
         "/opt/scan.v2_history.txt"},
        // An executable in the root directory keeps its files directly in the root.
        {"/ip2hostname", "u", "h", "/ip2hostname_u@h.ini", "/ip2hostname_history.txt"},
        // Unknown names get their stand-ins.
        {"/a/p", "", "", "/a/p_unknown-user@unknown-computer.ini", "/a/p_history.txt"},
        // Separators cannot add a directory step; ".." alone is then just text.
        {"/a/p", "../../etc/x", "h", "/a/p_.._.._etc_x@h.ini", "/a/p_history.txt"},
        {"/a/p", "..", "..", "/a/p_..@...ini", "/a/p_history.txt"},
        {"/a/p", "dom\\user", "h/../..", "/a/p_dom_user@h_.._...ini", "/a/p_history.txt"},
        {"/a/p", "/", "/", "/a/p__@_.ini", "/a/p_history.txt"},
    };
    for (const auto& c : cases) {
        const SettingsPaths paths = ComposeSettingsPaths(c.exe, c.user, c.computer);
        EXPECT_EQ(paths.SettingsFile, fs::path(c.settings)) << c.exe << " " << c.user;
        EXPECT_EQ(paths.HistoryFile, fs::path(c.history)) << c.exe;
        EXPECT_EQ(paths.SettingsFile.parent_path(), fs::path(c.exe).parent_path());
    }
}

TEST(SettingsFileTest, NamesWithNulOrExcessLengthStayInOneFileName) {
    const std::string withNul("a\0b", 3);
    EXPECT_EQ(FileNameSafe(withNul, "x"), "a_b");

    const std::string longName(300, 'n');
    EXPECT_EQ(FileNameSafe(longName, "x").size(), kMaxNameLength);
    // A cut never splits a UTF-8 character: 253 ASCII bytes, then a 3-byte character.
    const std::string utf8 = std::string(253, 'a') + "\xE3\x81\x82";
    EXPECT_EQ(FileNameSafe(utf8, "x"), std::string(253, 'a'));
}

TEST(SettingsFileTest, UserConfigDirectoryFollowsTheEnvironment) {
    EXPECT_EQ(UserConfigDirectory("/xdg", "/home/u"), fs::path("/xdg/ip2hostname"));
    EXPECT_EQ(UserConfigDirectory(nullptr, "/home/u"), fs::path("/home/u/.config/ip2hostname"));
    EXPECT_EQ(UserConfigDirectory("", "/home/u"), fs::path("/home/u/.config/ip2hostname"));
    // A relative value is not a valid XDG setting.
    EXPECT_EQ(UserConfigDirectory("rel", "/home/u"), fs::path("/home/u/.config/ip2hostname"));
    EXPECT_EQ(UserConfigDirectory(nullptr, nullptr), fs::path());
}

TEST(SettingsFileTest, WritabilityIsTestedByCreatingAFile) {
    test::TempDir dir;
    EXPECT_TRUE(DirectoryIsWritable(dir.Path()));
    EXPECT_TRUE(fs::is_empty(dir.Path())) << "the probe file must be removed again";
    // Nobody, root included, can create a file here.
    EXPECT_FALSE(DirectoryIsWritable("/proc"));
    EXPECT_FALSE(DirectoryIsWritable(dir / "missing"));
}

TEST(SettingsFileTest, FallsBackToTheConfigDirectoryOnlyWhenNeeded) {
    test::TempDir dir;
    const SystemFacts facts{"/opt/tools/ip2hostname", "alice", "pc1", dir / "cfg" / "ip2hostname"};

    const SettingsPaths portable =
        ResolveSettingsPaths(facts, [](const fs::path&) { return true; });
    EXPECT_EQ(portable.SettingsFile, fs::path("/opt/tools/ip2hostname_alice@pc1.ini"));

    fs::path asked;
    const SettingsPaths installed = ResolveSettingsPaths(facts, [&](const fs::path& p) {
        asked = p;
        return false;
    });
    EXPECT_EQ(asked, fs::path("/opt/tools"));
    EXPECT_EQ(installed.SettingsFile, dir / "cfg" / "ip2hostname" / "ip2hostname_alice@pc1.ini");
    EXPECT_EQ(installed.HistoryFile, dir / "cfg" / "ip2hostname" / "ip2hostname_history.txt");
    EXPECT_TRUE(fs::is_directory(dir / "cfg" / "ip2hostname")) << "created for the first write";

    // Without a configuration directory the files stay where they were meant to be.
    SystemFacts noHome = facts;
    noHome.ConfigDirectory.clear();
    EXPECT_EQ(ResolveSettingsPaths(noHome, [](const fs::path&) { return false; }).SettingsFile,
              portable.SettingsFile);

    // Without a known executable the program name is the base name.
    SystemFacts noExe = facts;
    noExe.ExecutablePath.clear();
    EXPECT_EQ(ResolveSettingsPaths(noExe, [](const fs::path&) { return true; }).SettingsFile,
              dir / "cfg" / "ip2hostname" / "ip2hostname_alice@pc1.ini");
}

TEST(SettingsFileTest, SystemFactsNameThisProcess) {
    const SystemFacts facts = QuerySystemFacts();
    EXPECT_EQ(facts.ExecutablePath.filename(), "test_app");
    EXPECT_FALSE(facts.ComputerName.empty());
}

// A read-only mount stops root too, which permission bits do not. The mount lives in a
// private mount namespace of a child process and vanishes with it.
TEST(SettingsFileTest, ReadOnlyExecutableDirectoryFallsBackForRealFiles) {
    test::TempDir dir;
    fs::create_directories(dir / "bin");
    test::WriteFile(dir / "bin" / "ip2hostname", "");
    const fs::path config = dir / "home" / ".config" / "ip2hostname";

    enum : int {
        kOk = 0,
        kNoNamespace = 10,
        kStillWritable = 11,
        kWrongPlace = 12,
        kNotSaved = 13
    };
    const int result = test::RunInChildProcess([&] {
        const std::string bin = (dir / "bin").string();
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount(bin.c_str(), bin.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(nullptr, bin.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) !=
                0) {
            return int{kNoNamespace};
        }
        if (DirectoryIsWritable(dir / "bin")) return int{kStillWritable};
        const SettingsPaths paths =
            ResolveSettingsPaths(SystemFacts{dir / "bin" / "ip2hostname", "u", "h", config});
        if (paths.SettingsFile != config / "ip2hostname_u@h.ini") return int{kWrongPlace};
        ProfileStore store(paths.SettingsFile);
        if (!store.WriteInteger("Options", "NBT", 1)) return int{kNotSaved};
        return int{kOk};
    });
    if (result == kNoNamespace) GTEST_SKIP() << "no permission for a private read-only mount";
    ASSERT_EQ(result, kOk);
    // The file written in the child is really there, and nothing landed beside the program.
    EXPECT_EQ(ProfileStore(config / "ip2hostname_u@h.ini").ReadInteger("Options", "NBT", 0), 1);
    EXPECT_FALSE(fs::exists(dir / "bin" / "ip2hostname_u@h.ini"));
}

}  // namespace
}  // namespace ip2h
