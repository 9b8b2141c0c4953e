#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "settings/ProfileStore.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace ip2h {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class ProfileStoreTest : public ::testing::Test {
protected:
    fs::path File() const { return m_dir / "p.ini"; }
    ProfileStore Store() const { return ProfileStore(File()); }
    std::string Contents() const { return test::ReadFile(File()); }

    test::TempDir m_dir;
};

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
                            "Missing", ";c", "#h", "orphan", "IsZoomed"}) {
        texts += store.ReadText("options", key, "D") + "|";
    }
    EXPECT_EQ(texts, "abc|a b|  q  |\"q|a\" \"b||a=b|x|a|D|D|D|D|D|");
    for (const char* key : {"Num", "Plus", "Plain", "Hex", "Empty", "Blank", "Huge", "Missing"}) {
        integers += std::to_string(store.ReadInteger("Options", key, 5)) + "|";
    }
    EXPECT_EQ(integers, "-42|7|0|0|5|5|2147483647|5|");
    EXPECT_EQ(store.ReadText("SETTINGS", "IsZoomed"), "1");
    EXPECT_EQ(store.ReadText("Nowhere", "Plain", "D"), "D");
}

TEST_F(ProfileStoreTest, WritesCreateTheFileOrKeepEveryOtherByte) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "[settings]\nPOSITION=9:9\n[Options]\nNBT=1\n[Other]\nz=w\n[New]\nk=v\n"},
        {"; c\r\n\r\n[Settings]\r\nPosition = 0:1:2\r\nUnknown=keep me\n\r\n[Options]\r\n"
         "History=1\r\n; trailing\r\n\r\n[Other]\r\nx=y",
         "; c\r\n\r\n[Settings]\r\nPosition =9:9\r\nUnknown=keep me\n\r\n[Options]\r\n"
         "History=1\r\n; trailing\r\nNBT=1\r\n\r\n[Other]\r\nx=y\r\nz=w\r\n[New]\r\nk=v\r\n"},
    };
    for (const auto& [before, after] : cases) {
        if (!before.empty()) test::WriteFile(File(), before);
        ProfileStore store = Store();
        ASSERT_TRUE(store.WriteText("settings", "POSITION", "9:9"));
        ASSERT_TRUE(store.WriteInteger("Options", "NBT", 1));
        ASSERT_TRUE(store.WriteText("Other", "z", "w"));
        ASSERT_TRUE(store.WriteText("New", "k", "v"));
        EXPECT_EQ(Contents(), after);
    }
}

TEST_F(ProfileStoreTest, TextsAreWrittenRawUpToALineBreakUnderNamesThatReadBack) {
    ProfileStore store = Store();
    store.WriteText("Options", "Injected", "10.0.0.1\r\n[Settings]\r\nIsZoomed=1");
    store.WriteText("Options", "Nul", "5\0NBT=1"s);
    store.WriteText("Options", "Long", std::string(5000, 'x'));
    const std::string written = Contents();
    EXPECT_EQ(written,
              "[Options]\nInjected=10.0.0.1\nNul=5\nLong=" + std::string(5000, 'x') + "\n");
    EXPECT_EQ(store.ReadText("Options", "Long"), std::string(4095, 'x'));
    EXPECT_FALSE(store.WriteText("Opt]ions", "k", "v"));
    for (const char* key : {"k=x", "", " k", "k;"}) {
        EXPECT_FALSE(store.WriteText("Options", key, "v")) << key;
    }
    EXPECT_EQ(Contents(), written);
}

TEST_F(ProfileStoreTest, FailedWritesAndUnusableFilesLeaveTheOldFileIntact) {
    const std::string before = "[Options]\nHistory=1\n";
    test::WriteFile(File(), before);
    // A file size limit fails every write beyond 64 bytes, as a full disk would.
    const int result = test::RunInChildProcess([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
        return Store().WriteText("Options", "IpAdrsRange", std::string(200, 'r')) ? 1 : 0;
    });
    EXPECT_EQ(result, 0) << "the write must report failure";
    EXPECT_EQ(Contents(), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), {}), 1) << "temporary file left";

    // A replaced file keeps its permission bits, and a symbolic link stays a link.
    ::chmod(File().c_str(), 0640);
    ProfileStore store = Store();
    ASSERT_TRUE(store.WriteInteger("Options", "History", 0));
    EXPECT_EQ(fs::status(File()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::rename(File(), m_dir / "target.ini");
    fs::create_symlink("target.ini", File());
    ASSERT_TRUE(store.WriteInteger("Options", "History", 1));
    EXPECT_TRUE(fs::is_symlink(File()));
    EXPECT_EQ(test::ReadFile(m_dir / "target.ini"), before);

    // Too large to be a settings file, or a FIFO that must not block: defaults, no write.
    fs::remove(File());
    test::WriteFile(File(), before);
    fs::resize_file(File(), 16 * 1024 * 1024 + 1);
    EXPECT_EQ(store.ReadInteger("Options", "History", 7), 7);
    EXPECT_FALSE(store.WriteInteger("Options", "NBT", 0));
    EXPECT_EQ(fs::file_size(File()), 16 * 1024 * 1024 + 1);
    fs::remove(File());
    ASSERT_EQ(::mkfifo(File().c_str(), 0600), 0);
    EXPECT_EQ(store.ReadText("Options", "History", "d"), "d");
    EXPECT_FALSE(store.WriteInteger("Options", "NBT", 0));
}

}  // namespace
}  // namespace ip2h
