#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "settings/History.h"
#include "support/TempDir.h"

namespace ip2h {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

auto Fields(const OpeningSettings& s) {
    return std::tuple(s.Position, s.IsZoomed, s.TopMost, s.ColumnWidths, s.SortEnabled, s.MaxLimit,
                      s.RangeText, s.IntervalText, s.CopyItems, s.UseNbt, s.HistoryEnabled);
}

class SettingsTest : public ::testing::Test {
protected:
    fs::path File() const { return m_dir / "s.ini"; }
    ProfileStore Store() const { return ProfileStore(File()); }

    test::TempDir m_dir;
};

// Whatever the file held, the program starts with defaults, and what it stores when it closes
// comes back at the next start, written after the bytes that were there.
TEST_F(SettingsTest, SettingsSurviveARestartWhateverTheFileHeld) {
    std::string random(4 * 1024 * 1024, '\0');
    std::mt19937 generator(1);
    for (char& c : random) c = static_cast<char>(generator());
    ClosingSettings closing;
    closing.TopMost = closing.UseNbt = 1;
    closing.HistoryEnabled = closing.SortEnabled = 0;
    closing.CopyItems = 3;
    closing.ColumnWidths = {100, 200, 80, 90};
    // Keys outside every section, or without a name, are no settings.
    for (const std::string& bytes : {""s, random, "[Options"s, "=1\nHistory=0\nMaxLimit=1000\n"s}) {
        SCOPED_TRACE("file of " + std::to_string(bytes.size()) + " bytes");
        fs::remove(File());
        if (!bytes.empty()) test::WriteFile(File(), bytes);
        EXPECT_EQ(Fields(ReadOpeningSettings(Store())),
                  std::tuple(std::optional<WindowPlacement>(), 0, 0, std::array{120, 250, 70, 120},
                             1, 256, "192.168.0.0-192.168.0.255"s, "1"s, 1, 0, 1));
        EXPECT_EQ(fs::exists(File()), !bytes.empty()) << "reading creates nothing";

        ProfileStore store = Store();
        closing.IsZoomed = true;
        closing.Position = WindowPlacement{0, 1, -1, -1, -8, -8, 10, 20, 610, 420};
        std::string seenByHistory;
        WriteClosingSettings(store, closing, [&] { seenByHistory = test::ReadFile(File()); });
        WriteRegistrationSettings(store, ClampMaxLimit(9999), " 10.0.0.1 - 10.0.0.9 ", "256");
        EXPECT_EQ(Fields(ReadOpeningSettings(Store())),
                  std::tuple(std::optional(WindowPlacement{2, 1, -1, -1, -8, -8, 10, 20, 610, 420}),
                             1, 1, std::array{100, 200, 80, 90}, 0, 1024, "10.0.0.1 - 10.0.0.9"s,
                             "256"s, 3, 1, 0));
        const std::string written = test::ReadFile(File());
        EXPECT_EQ(written.substr(0, bytes.size()), bytes) << "the old bytes stay";
        if (bytes.empty()) {
            EXPECT_EQ(seenByHistory, "[Settings]\nWindowTopMost=1\n");
            EXPECT_EQ(written,
                      "[Settings]\nWindowTopMost=1\nIsZoomed=1\n"
                      "Position=2:1:-1:-1:-8:-8:10:20:610:420\n"  // zoomed: flag 2 added
                      "ColnmWidth=100:200:80:90\n[Options]\nNBT=1\nHistory=0\nCopyItem=3\n"
                      "SortEnable=0\nMaxLimit=1024\nIpAdrsRange= 10.0.0.1 - 10.0.0.9 \n"
                      "IpIncrement=256\n");
        }
        // An unreadable placement leaves the stored one alone.
        closing.IsZoomed = false;
        closing.Position.reset();
        WriteClosingSettings(store, closing, {});
        EXPECT_EQ(store.ReadText("Settings", "Position"), "2:1:-1:-1:-8:-8:10:20:610:420");
        EXPECT_EQ(store.ReadInteger("Settings", "IsZoomed", 9), 0);
    }
}

TEST_F(SettingsTest, StoredNumbersAreClampedAndReadWithPercentI) {
    std::string limits, widths;
    for (const char* stored : {"100", "257", "1024", "1025", "-5", "99999999999"}) {
        test::WriteFile(File(), "[Options]\nMaxLimit="s + stored);
        limits += std::to_string(ReadOpeningSettings(Store()).MaxLimit) + " ";
    }
    EXPECT_EQ(limits, "256 257 1024 1024 256 1024 ");
    for (const char* stored : {"100:200", "0x10:010:-5:+7", "1:x:3:4", " 1: 2: 3: 4:5"}) {
        test::WriteFile(File(), "[Settings]\nColnmWidth="s + stored);
        widths += FormatColumnWidths(ReadOpeningSettings(Store()).ColumnWidths) + " ";
    }
    EXPECT_EQ(widths, "100:200:70:120 16:8:-5:7 1:250:70:120 1:2:3:4 ");
    // Fewer than ten numbers are no placement at all.
    EXPECT_FALSE(ParsePosition("0:1:-1:-1:-1:-1:10:20:610:x").has_value());
}

// What the user cannot undo from the window: an option stored as 2, a file made read-only.
TEST_F(SettingsTest, StoredStateTheUserCannotReachIsMendedOrLeftAlone) {
    // A toggle turns any "on" off, whatever the stored value.
    const std::pair<int, int> toggles[] = {{0, 1}, {1, 0}, {2, 0}, {-1, 0}};
    for (const auto& [stored, toggled] : toggles) EXPECT_EQ(ToggledOption(stored), toggled);

    // A settings or history file the user made read-only is neither replaced nor deleted.
    const fs::path history = m_dir / "h.txt";
    test::WriteFile(File(), "[Options]\r\nHistory=1\r\n");
    test::WriteFile(history, "10.0.0.1\r\n");
    for (const fs::path& file : {File(), history}) fs::permissions(file, fs::perms(0444));
    ProfileStore store = Store();
    EXPECT_FALSE(store.WriteInteger("Options", "History", 0));
    EXPECT_FALSE(SaveHistory(history, true, {"10.0.0.2"}));
    EXPECT_FALSE(SaveHistory(history, false, {}));
    EXPECT_EQ(test::ReadFile(File()), "[Options]\r\nHistory=1\r\n");
    EXPECT_EQ(test::ReadFile(history), "10.0.0.1\r\n");
    fs::permissions(File(), fs::perms(0644));
    EXPECT_TRUE(store.WriteInteger("Options", "History", 0));
}

TEST(SettingsFileTest, ComposesSafePathsBesideTheExecutable) {
    const struct {
        const char *exe, *user, *computer, *settings;
    } cases[] = {
        {"/opt/t/ip2hostname", "al", "pc", "/opt/t/ip2hostname_al@pc.ini"},
        {"/opt/scan.v2.exe", "u", "h", "/opt/scan.v2_u@h.ini"},  // only the last extension goes
        {"/ip2hostname", "u", "h", "/ip2hostname_u@h.ini"},
        {"/a/p", "", "", "/a/p_unknown-user@unknown-computer.ini"},
        // Separators cannot add a directory step; ".." alone is then just text.
        {"/a/p", "../../etc/x", "h", "/a/p_.._.._etc_x@h.ini"},
        {"/a/p", "..", "..", "/a/p_..@...ini"},
        {"/a/p", "dom\\user", "h/../..", "/a/p_dom_user@h_.._...ini"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ComposeSettingsPaths(c.exe, c.user, c.computer).SettingsFile, c.settings)
            << c.exe << " " << c.user << "@" << c.computer;
    }
    EXPECT_EQ(ComposeSettingsPaths("/opt/scan.v2.exe", "u", "h").HistoryFile,
              "/opt/scan.v2_history.txt");
    EXPECT_EQ(FileNameSafe("a\0b"s, "x"), "a_b");
    EXPECT_EQ(FileNameSafe(std::string(300, 'n'), "x"), std::string(254, 'n'));
    // A cut never splits a UTF-8 character.
    EXPECT_EQ(FileNameSafe(std::string(253, 'a') + "\xE3\x81\x82", "x"), std::string(253, 'a'));
}

TEST(SettingsFileTest, FilesMoveToTheConfigDirectoryOnlyWhenNeeded) {
    EXPECT_EQ(UserConfigDirectory("/xdg", "/home/u"), "/xdg/ip2hostname");
    EXPECT_EQ(UserConfigDirectory("rel", "/home/u"), "/home/u/.config/ip2hostname");
    EXPECT_EQ(UserConfigDirectory(nullptr, nullptr), fs::path());

    test::TempDir dir;
    EXPECT_TRUE(DirectoryIsWritable(dir.Path()));
    EXPECT_TRUE(fs::is_empty(dir.Path())) << "the probe file is removed again";
    EXPECT_FALSE(DirectoryIsWritable("/proc"));
    EXPECT_FALSE(DirectoryIsWritable(dir / "missing"));
    const fs::path config = dir / "cfg" / "ip2hostname";
    const auto resolve = [](const SystemFacts& facts, bool writable) {
        return ResolveSettingsPaths(facts, [=](const fs::path& asked) {
            EXPECT_EQ(asked, "/opt/t");
            return writable;
        });
    };
    const SystemFacts facts{"/opt/t/ip2hostname", "al", "pc", config};
    EXPECT_EQ(resolve(facts, true).SettingsFile, "/opt/t/ip2hostname_al@pc.ini");
    const SettingsPaths installed = resolve(facts, false);
    EXPECT_EQ(installed.SettingsFile, config / "ip2hostname_al@pc.ini");
    EXPECT_EQ(installed.HistoryFile, config / "ip2hostname_history.txt");
    EXPECT_TRUE(fs::is_directory(config)) << "created for the first write";
    // Without a configuration directory the files stay; without an executable the name stays.
    EXPECT_EQ(resolve({facts.ExecutablePath, "al", "pc", {}}, false).SettingsFile,
              "/opt/t/ip2hostname_al@pc.ini");
    EXPECT_EQ(resolve({{}, "al", "pc", config}, true).SettingsFile,
              config / "ip2hostname_al@pc.ini");
    EXPECT_EQ(QuerySystemFacts().ExecutablePath.filename(), "test_settings");
    EXPECT_FALSE(QuerySystemFacts().ComputerName.empty());
}

}  // namespace
}  // namespace ip2h
