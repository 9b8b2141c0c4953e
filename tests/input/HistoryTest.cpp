#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <fstream>

#include "input/History.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace ip2h {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;
using namespace std::string_view_literals;

constexpr std::string_view kRange = "192.168.0.0-192.168.0.255";

class HistoryTest : public ::testing::Test {
protected:
    fs::path File() const { return m_dir / "p_history.txt"; }
    void Write(std::string_view bytes) const { test::WriteFile(File(), bytes); }
    Texts Load(std::string_view range = kRange) const { return LoadHistory(File(), true, range); }

    test::TempDir m_dir;
};

TEST_F(HistoryTest, LoadsLinesExceptTheCurrentRange) {
    Write("10.0.0.0-10.0.0.255\r\n192.168.0.0-192.168.0.255\r\n10.0.0.0-10.0.0.255\r\n");
    EXPECT_EQ(Load(), (Texts{"10.0.0.0-10.0.0.255", "10.0.0.0-10.0.0.255"}));
    // Only an exact match is left out.
    EXPECT_EQ(Load("10.0.0.0-10.0.0.255"), (Texts{"192.168.0.0-192.168.0.255"}));
    EXPECT_EQ(LoadHistory(File(), false, kRange), Texts{});
    EXPECT_EQ(LoadHistory(m_dir / "missing.txt", true, kRange), Texts{});
}

TEST_F(HistoryTest, SkipsPiecesThatDoNotStartPrintable) {
    Write(
        "a\r\n\r\n\tb\r\n \tc\n\x7F"
        "d\n\x80"
        "e\r\n\xE3\x81\x82\n\x01x\nlast");
    EXPECT_EQ(Load(), (Texts{"a", " \tc",
                             "\x7F"
                             "d",
                             "last"}));
    // A NUL ends a piece's text; one at its start drops the piece.
    Write("ab\0cd\r\n\0ef\r\ngh\r\n"sv);
    EXPECT_EQ(Load(), (Texts{"ab", "gh"}));
    // Carriage returns inside a line go too.
    Write("x\ry\r\r\n");
    EXPECT_EQ(Load(), (Texts{"xy"}));
}

TEST_F(HistoryTest, ReadsLongLinesInPiecesAndStopsAt512) {
    // 2500 characters: pieces of 1022, 1022 and 456 (with its line end).
    const std::string longLine =
        std::string(1022, 'a') + std::string(1022, 'b') + std::string(456, 'c');
    Write(longLine + "\r\nnext\r\n");
    EXPECT_EQ(Load(), (Texts{std::string(1022, 'a'), std::string(1022, 'b'), std::string(456, 'c'),
                             "next"}));

    // A line of exactly 1022 characters leaves its line end as a skipped piece of its own.
    Write(std::string(1022, 'z') + "\r\nnext\r\n");
    EXPECT_EQ(Load(), (Texts{std::string(1022, 'z'), "next"}));

    std::string many;
    for (int i = 0; i < 600; ++i) many += (i % 3 == 0 ? "\r\n" : "") + std::to_string(i) + "\r\n";
    Write(many);
    const Texts loaded = Load();
    ASSERT_EQ(loaded.size(), 512u) << "blank lines do not count";
    EXPECT_EQ(loaded.front(), "0");
    EXPECT_EQ(loaded.back(), "511");

    // The range text, left out, still counts as a kept piece.
    EXPECT_EQ(Load("0").size(), 511u);
}

TEST_F(HistoryTest, HostileFilesDoNotStallTheOpening) {
    ASSERT_EQ(::mkfifo(File().c_str(), 0600), 0);
    EXPECT_EQ(Load(), Texts{});
    fs::remove(File());
    // Megabytes of skipped pieces: reading ends at the byte limit, before the last line.
    Write("");
    fs::resize_file(File(), kHistoryMaxBytes);
    { std::ofstream(File(), std::ios::app | std::ios::binary) << "late\r\n"; }
    EXPECT_EQ(Load(), Texts{});
}

TEST_F(HistoryTest, SavesListOrderWithCrLfAndWithoutRepeats) {
    const std::string longEntry(3000, 'L');
    ASSERT_TRUE(SaveHistory(
        File(), true,
        {"", "10.0.0.1", "10.0.0.1", "10.0.0.1\r\n", "A", "a", "", "a", "b\nc", longEntry}));
    // "10.0.0.1\r\n" equals its predecessor once its line end is gone; the empty item
    // between the two "a" does not separate them.
    EXPECT_EQ(test::ReadFile(File()), "10.0.0.1\r\nA\r\na\r\nbc\r\n" + longEntry + "\r\n");
    ASSERT_TRUE(SaveHistory(File(), true, {}));
    EXPECT_EQ(test::ReadFile(File()), "");
}

TEST_F(HistoryTest, SwitchedOffDeletesTheFile) {
    Write("10.0.0.1\r\n");
    EXPECT_TRUE(SaveHistory(File(), false, {"10.0.0.2"}));
    EXPECT_FALSE(fs::exists(File()));
    EXPECT_TRUE(SaveHistory(File(), false, {"10.0.0.2"})) << "nothing to delete is fine";
    EXPECT_EQ(Load(), Texts{});
}

TEST_F(HistoryTest, FailedSaveKeepsThePreviousHistory) {
    const std::string before = "10.0.0.1\r\n10.0.0.2\r\n";
    Write(before);
    const int result = test::RunInChildProcess([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{32, 32};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
        return SaveHistory(File(), true, {std::string(100, 'x'), "y"}) ? 1 : 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(test::ReadFile(File()), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), fs::directory_iterator()), 1)
        << "no temporary file left behind";
    EXPECT_FALSE(SaveHistory(m_dir / "no" / "such" / "dir.txt", true, {"x"}));
}

TEST_F(HistoryTest, SortedListIgnoresCaseAndNeverRepeatsExactly) {
    Texts items;
    for (const char* text : {"b", "A", "c", "a", "B", "a", "10", "1", "b", ""}) {
        AddToSortedList(items, text);
    }
    EXPECT_EQ(items, (Texts{"", "1", "10", "A", "a", "b", "B", "c"}));
    EXPECT_FALSE(AddToSortedList(items, "A"));
    EXPECT_TRUE(AddToSortedList(items, "C"));
}

TEST_F(HistoryTest, HistorySurvivesARestart) {
    // 600 lines, then a run that registers a new range and the current one again: the next file
    // holds the 512 loaded lines and the new range, sorted and each once.
    std::string many;
    for (int i = 0; i < 600; ++i) many += "10.0." + std::to_string(1000 + i) + "\r\n";
    Write(many);

    const std::string range = "10.0.1002";  // also in the file
    Texts list;
    for (const std::string& text : Load(range)) AddToSortedList(list, text);
    AddToSortedList(list, range);
    AddToSortedList(list, "9.9.9.9");
    AddToSortedList(list, "10.0.1002");  // registered again
    ASSERT_TRUE(SaveHistory(File(), true, list));

    std::string expected;
    for (int i = 0; i < 512; ++i) expected += "10.0." + std::to_string(1000 + i) + "\r\n";
    EXPECT_EQ(test::ReadFile(File()), expected + "9.9.9.9\r\n");
}

}  // namespace
}  // namespace ip2h
