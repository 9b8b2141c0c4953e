#include <gtest/gtest.h>

#include "app/Settings.h"
#include "support/TempDir.h"

namespace ip2h {
namespace {

class SettingsTest : public ::testing::Test {
protected:
    ProfileStore Store() const { return ProfileStore(m_dir / "s.ini"); }
    void Write(std::string_view bytes) const { test::WriteFile(m_dir / "s.ini", bytes); }

    test::TempDir m_dir;
};

TEST_F(SettingsTest, FirstRunUsesEveryDefault) {
    const OpeningSettings s = ReadOpeningSettings(Store());
    EXPECT_FALSE(s.Position.has_value());
    EXPECT_EQ(s.IsZoomed, 0);
    EXPECT_EQ(s.TopMost, 0);
    EXPECT_EQ(s.ColumnWidths, (std::array<int, 4>{120, 250, 70, 120}));
    EXPECT_EQ(s.SortEnabled, 1);
    EXPECT_EQ(s.MaxLimit, 256);
    EXPECT_EQ(s.RangeText, "192.168.0.0-192.168.0.255");
    EXPECT_EQ(s.IntervalText, "1");
    EXPECT_EQ(s.CopyItems, 1);
    EXPECT_EQ(s.UseNbt, 0);
    EXPECT_EQ(s.HistoryEnabled, 1);
    EXPECT_FALSE(std::filesystem::exists(m_dir / "s.ini")) << "reading creates nothing";
}

TEST_F(SettingsTest, OptionsOnlyFileKeepsDefaultGeometry) {
    Write("[options]\r\nhistory=0\r\n");
    const OpeningSettings s = ReadOpeningSettings(Store());
    EXPECT_EQ(s.HistoryEnabled, 0);
    EXPECT_FALSE(s.Position.has_value());
    EXPECT_EQ(s.ColumnWidths, kDefaultColumnWidths);
}

TEST_F(SettingsTest, MaxLimitIsClamped) {
    const struct {
        const char* stored;
        int used;
    } cases[] = {{"100", 256},   {"256", 256},   {"257", 257},   {"300", 300},
                 {"500", 500},   {"1023", 1023}, {"1024", 1024}, {"5000", 1024},
                 {"9999", 1024}, {"-5", 256},    {"abc", 256},   {"99999999999", 1024}};
    for (const auto& c : cases) {
        Write(std::string("[Options]\nMaxLimit=") + c.stored + "\n");
        EXPECT_EQ(ReadOpeningSettings(Store()).MaxLimit, c.used) << c.stored;
    }
}

TEST_F(SettingsTest, NumberListsAreReadWithPercentI) {
    const struct {
        const char* text;
        std::array<int, 4> widths;
    } widths[] = {
        {"100:200", {100, 200, 70, 120}}, {"0x10:010:-5:+7", {16, 8, -5, 7}},
        {"1:x:3:4", {1, 250, 70, 120}},   {"abc", {120, 250, 70, 120}},
        {" 1: 2: 3: 4:5", {1, 2, 3, 4}},
    };
    for (const auto& w : widths) {
        Write(std::string("[Settings]\nColnmWidth=") + w.text + "\n");
        EXPECT_EQ(ReadOpeningSettings(Store()).ColumnWidths, w.widths) << w.text;
    }

    EXPECT_EQ(ParsePosition("2:3:-1:-1:0x10:010:10:20:610:420"),
              (WindowPlacement{2, 3, -1, -1, 16, 8, 10, 20, 610, 420}));
    // Nine numbers are no placement at all.
    EXPECT_FALSE(ParsePosition("0:1:-1:-1:-1:-1:10:20:610").has_value());
    EXPECT_FALSE(ParsePosition("0:1:-1:-1:-1:-1:10:20:610:x").has_value());
    EXPECT_FALSE(ParsePosition("").has_value());
}

TEST_F(SettingsTest, ClosingWritesInOrderWithTheHistoryBetween) {
    ProfileStore store = Store();
    ClosingSettings closing;
    closing.TopMost = 1;
    closing.IsZoomed = true;
    closing.Position = WindowPlacement{0, 1, -1, -1, -8, -8, 10, 20, 610, 420};
    closing.ColumnWidths = {100, 200, 80, 90};
    closing.UseNbt = 1;
    closing.HistoryEnabled = 0;
    closing.CopyItems = 3;
    closing.SortEnabled = 0;

    std::string seenByHistory;
    WriteClosingSettings(store, closing, [&] { seenByHistory = test::ReadFile(m_dir / "s.ini"); });
    EXPECT_EQ(seenByHistory, "[Settings]\nWindowTopMost=1\n");
    EXPECT_EQ(test::ReadFile(m_dir / "s.ini"),
              "[Settings]\n"
              "WindowTopMost=1\n"
              "IsZoomed=1\n"
              "Position=2:1:-1:-1:-8:-8:10:20:610:420\n"  // maximised: flag 2 added
              "ColnmWidth=100:200:80:90\n"
              "[Options]\n"
              "NBT=1\n"
              "History=0\n"
              "CopyItem=3\n"
              "SortEnable=0\n");

    // An unreadable placement leaves the stored one alone.
    closing.Position.reset();
    closing.IsZoomed = false;
    WriteClosingSettings(store, closing, {});
    EXPECT_EQ(store.ReadText("Settings", "Position"), "2:1:-1:-1:-8:-8:10:20:610:420");
    EXPECT_EQ(store.ReadInteger("Settings", "IsZoomed", 9), 0);
}

TEST_F(SettingsTest, SettingsSurviveARestart) {
    {
        ProfileStore store = Store();
        ClosingSettings closing;
        closing.TopMost = 1;
        closing.Position = WindowPlacement{0, 1, -1, -1, -1, -1, 5, 6, 700, 500};
        closing.ColumnWidths = {1, 2, 3, 4};
        closing.UseNbt = 1;
        closing.HistoryEnabled = 0;
        closing.CopyItems = 2;
        closing.SortEnabled = 0;
        WriteClosingSettings(store, closing, {});
        WriteRegistrationSettings(store, ClampMaxLimit(9999), "  10.0.0.1 - 10.0.0.9 ", "256");
    }
    const OpeningSettings s = ReadOpeningSettings(Store());
    EXPECT_EQ(s.Position, (WindowPlacement{0, 1, -1, -1, -1, -1, 5, 6, 700, 500}));
    EXPECT_EQ(s.IsZoomed, 0);
    EXPECT_EQ(s.TopMost, 1);
    EXPECT_EQ(s.ColumnWidths, (std::array<int, 4>{1, 2, 3, 4}));
    EXPECT_EQ(s.SortEnabled, 0);
    EXPECT_EQ(s.MaxLimit, 1024);
    EXPECT_EQ(s.RangeText, "10.0.0.1 - 10.0.0.9");  // surrounding blanks do not come back
    EXPECT_EQ(s.IntervalText, "256");
    EXPECT_EQ(s.CopyItems, 2);
    EXPECT_EQ(s.UseNbt, 1);
    EXPECT_EQ(s.HistoryEnabled, 0);
    // The registration wrote the clamped limit, in its order after the closing keys.
    EXPECT_NE(test::ReadFile(m_dir / "s.ini")
                  .find("SortEnable=0\nMaxLimit=1024\nIpAdrsRange=  10.0.0.1 - 10.0.0.9 \n"
                        "IpIncrement=256\n"),
              std::string::npos);
}

}  // namespace
}  // namespace ip2h
