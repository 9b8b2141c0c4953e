#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "app/ProfileStore.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace ip2h {
namespace {

namespace fs = std::filesystem;

class ProfileStoreTest : public ::testing::Test {
protected:
    fs::path File() const { return m_dir / "p.ini"; }
    ProfileStore Store() const { return ProfileStore(File()); }
    void Write(std::string_view bytes) const { test::WriteFile(File(), bytes); }
    std::string Contents() const { return test::ReadFile(File()); }
    // Nothing but the settings file may remain: no temporary files left behind.
    void ExpectOnlyTheFile() const {
        for (const auto& entry : fs::directory_iterator(m_dir.Path())) {
            EXPECT_EQ(entry.path(), File()) << "stray file " << entry.path();
        }
    }

    test::TempDir m_dir;
};

TEST_F(ProfileStoreTest, ReadsTextAndIntegersByTheRules) {
    Write(
        "; comment=1\r\n"
        "orphan=before any section\r\n"
        "[Options]\r\n"
        "Plain=abc\r\n"
        "  Spaced  =   a b   \r\n"
        "Quoted=\"  q  \"\r\n"
        "HalfQuoted=\"q\r\n"
        "TwoPairs=\"a\" \"b\"\r\n"
        "Empty=\r\n"
        "Blank=   \r\n"
        "Num=  -42abc\r\n"
        "Plus=+7\r\n"
        "Word=abc\r\n"
        "Hex=0x10\r\n"
        "Huge=99999999999\r\n"
        "Equals=a=b\r\n"
        "Tab=\tx\t\r\n"
        "# Hidden=1\r\n"
        "[ settings ]\n"
        "ISZOOMED=1\n");
    const ProfileStore store = Store();
    const struct {
        const char* section;
        const char* key;
        const char* text;  // ReadText with default "D"
    } texts[] = {
        {"Options", "Plain", "abc"},      {"options", "PLAIN", "abc"},
        {"Options", "Spaced", "a b"},     {"Options", "Quoted", "  q  "},
        {"Options", "HalfQuoted", "\"q"}, {"Options", "TwoPairs", "a\" \"b"},
        {"Options", "Empty", ""},         {"Options", "Blank", ""},
        {"Options", "Equals", "a=b"},     {"Options", "Tab", "x"},
        {"Options", "Missing", "D"},      {"Nowhere", "Plain", "D"},
        {"Options", "Hidden", "D"},       {"Options", "orphan", "D"},
        {"Settings", "IsZoomed", "1"},    {"Options", "comment", "D"},
    };
    for (const auto& t : texts) {
        EXPECT_EQ(store.ReadText(t.section, t.key, "D"), t.text) << t.section << "/" << t.key;
    }
    const struct {
        const char* key;
        int value;  // ReadInteger with default 5
    } integers[] = {
        {"Num", -42}, {"Plus", 7},  {"Word", 0},          {"Hex", 0},
        {"Empty", 5}, {"Blank", 5}, {"Huge", 2147483647}, {"Missing", 5},
    };
    for (const auto& i : integers) {
        EXPECT_EQ(store.ReadInteger("Options", i.key, 5), i.value) << i.key;
    }
    EXPECT_EQ(store.ReadInteger("SETTINGS", "iszoomed", 0), 1);
}

TEST_F(ProfileStoreTest, MissingFileGivesDefaultsAndFirstWriteCreatesIt) {
    EXPECT_EQ(Store().ReadText("Options", "IpIncrement", "1"), "1");
    EXPECT_EQ(Store().ReadInteger("Options", "History", 1), 1);
    ProfileStore store = Store();
    EXPECT_TRUE(store.WriteInteger("Options", "MaxLimit", -300));
    EXPECT_TRUE(store.WriteText("Settings", "Position", "1:2"));
    EXPECT_EQ(Contents(), "[Options]\nMaxLimit=-300\n[Settings]\nPosition=1:2\n");
    ExpectOnlyTheFile();
}

TEST_F(ProfileStoreTest, WritesKeepEveryOtherByte) {
    const std::string before =
        "; settings of ip2hostname\r\n"
        "\r\n"
        "[Settings]\r\n"
        "Position = 0:1:2\r\n"
        "Unknown=keep me\n"
        "\r\n"
        "[Options]\r\n"
        "History=1\r\n"
        "; trailing comment\r\n"
        "\r\n"
        "[Other]\r\n"
        "x=y";  // no final line ending
    Write(before);
    ProfileStore store = Store();
    ASSERT_TRUE(store.WriteText("settings", "POSITION", "9:9"));
    ASSERT_TRUE(store.WriteInteger("Options", "NBT", 1));
    ASSERT_TRUE(store.WriteText("Other", "z", "w"));
    ASSERT_TRUE(store.WriteText("New", "k", "v"));
    EXPECT_EQ(Contents(),
              "; settings of ip2hostname\r\n"
              "\r\n"
              "[Settings]\r\n"
              "Position =9:9\r\n"
              "Unknown=keep me\n"
              "\r\n"
              "[Options]\r\n"
              "History=1\r\n"
              "; trailing comment\r\n"
              "NBT=1\r\n"
              "\r\n"
              "[Other]\r\n"
              "x=y\r\n"
              "z=w\r\n"
              "[New]\r\n"
              "k=v\r\n");
    ExpectOnlyTheFile();
}

TEST_F(ProfileStoreTest, TextsAreStoredUnchangedAndReadBackByTheRules) {
    ProfileStore store = Store();
    store.WriteText("Options", "IpAdrsRange", "  10.0.0.1 - 10.0.0.9  ");
    EXPECT_EQ(Store().ReadText("Options", "IpAdrsRange"), "10.0.0.1 - 10.0.0.9");
    EXPECT_EQ(Contents(), "[Options]\nIpAdrsRange=  10.0.0.1 - 10.0.0.9  \n");

    store.WriteText("Options", "IpAdrsRange", "\"quoted\"");
    EXPECT_EQ(Store().ReadText("Options", "IpAdrsRange"), "quoted");

    const std::string longText(5000, 'x');
    store.WriteText("Options", "Long", longText);
    EXPECT_EQ(Store().ReadText("Options", "Long"), std::string(kMaxProfileTextLength, 'x'));
}

TEST_F(ProfileStoreTest, LineBreaksInTextCannotInjectKeys) {
    ProfileStore store = Store();
    store.WriteText("Options", "IpAdrsRange", "10.0.0.1\r\n[Settings]\r\nIsZoomed=1");
    store.WriteText("Options", "IpIncrement", std::string("5\0NBT=1", 7));
    EXPECT_EQ(Store().ReadText("Options", "IpAdrsRange"), "10.0.0.1");
    EXPECT_EQ(Store().ReadText("Options", "IpIncrement"), "5");
    EXPECT_EQ(Store().ReadInteger("Settings", "IsZoomed", 0), 0);
    EXPECT_EQ(Store().ReadInteger("Options", "NBT", 0), 0);
    // Names that could not be read back as the same name are refused.
    EXPECT_FALSE(store.WriteText("Opt]ions", "k", "v"));
    EXPECT_FALSE(store.WriteText("Options", "k=x", "v"));
    EXPECT_FALSE(store.WriteText("Options", "", "v"));
    EXPECT_FALSE(store.WriteText("Options", " k", "v"));
}

TEST_F(ProfileStoreTest, FailedWriteLeavesTheOldFileIntact) {
    const std::string before = "[Options]\nHistory=1\n";
    Write(before);
    // A file size limit makes every write beyond 64 bytes fail, as a full disk would.
    const int result = test::RunInChildProcess([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
        ProfileStore store = Store();
        return store.WriteText("Options", "IpAdrsRange", std::string(200, 'r')) ? 1 : 0;
    });
    EXPECT_EQ(result, 0) << "the write must report failure";
    EXPECT_EQ(Contents(), before);
    ExpectOnlyTheFile();

    // A read-only file keeps its permission bits across a successful replacement.
    ::chmod(File().c_str(), 0640);
    ProfileStore store = Store();
    ASSERT_TRUE(store.WriteInteger("Options", "History", 0));
    EXPECT_EQ(fs::status(File()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // A symbolic link stays a link; its target is what changes.
    fs::rename(File(), m_dir / "target.ini");
    fs::create_symlink("target.ini", File());
    ASSERT_TRUE(store.WriteInteger("Options", "History", 1));
    EXPECT_TRUE(fs::is_symlink(File()));
    EXPECT_EQ(test::ReadFile(m_dir / "target.ini"), before);
}

TEST_F(ProfileStoreTest, HostileFilesNeitherHangNorBreakReads) {
    // Megabytes without a line end, with NUL bytes, then a real key.
    std::string junk(3 * 1024 * 1024, 'j');
    junk[100] = '\0';
    Write(junk + std::string("\n[Options]\nHistory=0\nRange=a\0b\n", 31));
    EXPECT_EQ(Store().ReadInteger("Options", "History", 1), 0);
    EXPECT_EQ(Store().ReadText("Options", "Range"), "a");
    ProfileStore store = Store();
    EXPECT_TRUE(store.WriteInteger("Options", "NBT", 1));
    EXPECT_EQ(Contents().substr(0, junk.size()), junk);

    // Too large to be a settings file: defaults, and the file is not rewritten.
    fs::resize_file(File(), kMaxProfileFileSize + 1);
    EXPECT_EQ(Store().ReadInteger("Options", "History", 7), 7);
    EXPECT_FALSE(store.WriteInteger("Options", "NBT", 0));
    EXPECT_EQ(fs::file_size(File()), kMaxProfileFileSize + 1);

    // A FIFO in place of the file must not block.
    fs::remove(File());
    ASSERT_EQ(::mkfifo(File().c_str(), 0600), 0);
    EXPECT_EQ(Store().ReadText("Options", "History", "d"), "d");
    EXPECT_FALSE(store.WriteInteger("Options", "NBT", 0));
}

}  // namespace
}  // namespace ip2h
