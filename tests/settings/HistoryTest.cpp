#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "settings/History.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace ip2h {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;
using namespace std::string_view_literals;

constexpr std::string_view kRange = "10.0.0.0-10.0.0.9";

class HistoryTest : public ::testing::Test {
protected:
    fs::path File() const { return m_dir / "p_history.txt"; }
    Texts Load(std::string_view range = kRange) const { return LoadHistory(File(), true, range); }
    Texts LoadFrom(std::string_view bytes, std::string_view range = kRange) const {
        test::WriteFile(File(), bytes);
        return Load(range);
    }

    test::TempDir m_dir;
};

TEST_F(HistoryTest, LoadsPrintableLinesWithoutLineBreaksOrTheCurrentRange) {
    const std::pair<std::string_view, Texts> cases[] = {
        {"1.1.1.1\r\n10.0.0.0-10.0.0.9\r\n1.1.1.1\r\n10.0.0.0-10.0.0.99\n",
         {"1.1.1.1", "1.1.1.1", "10.0.0.0-10.0.0.99"}},
        // A piece is kept only when its first byte is 0x20..0x7F.
        {"a\r\n\r\n\tb\r\n \tc\n\x7F~\n\x80z\r\n\xE3\x81\x82\n\x01x\nlast",
         {"a", " \tc", "\x7F~", "last"}},
        {"ab\0cd\r\n\0ef\r\ngh\r\n"sv, {"ab", "gh"}},  // a NUL ends the text, as in C
        {"x\ry\r\r\n", {"xy"}},
    };
    for (const auto& [bytes, expected] : cases) EXPECT_EQ(LoadFrom(bytes), expected);
    EXPECT_EQ(LoadHistory(File(), false, ""), Texts{}) << "switched off";
}

TEST_F(HistoryTest, ReadsLongLinesInPiecesAndStopsAt512) {
    const std::string a(1022, 'a'), b(1022, 'b'), c(456, 'c');
    EXPECT_EQ(LoadFrom(a + b + c + "\r\nnext\r\n"), (Texts{a, b, c, "next"}));
    // Exactly 1022 characters leave the line end as a skipped piece of its own.
    EXPECT_EQ(LoadFrom(a + "\r\nnext\r\n"), (Texts{a, "next"}));

    std::string many;
    for (int i = 0; i < 600; ++i) many += (i % 3 == 0 ? "\r\n" : "") + std::to_string(i) + "\r\n";
    const Texts loaded = LoadFrom(many);
    ASSERT_EQ(loaded.size(), 512u) << "blank lines do not count";
    EXPECT_EQ(loaded.back(), "511");
    EXPECT_EQ(Load("0").size(), 511u) << "the range text left out still counts";
}

TEST_F(HistoryTest, MissingOrHostileFilesLoadNothingAndDoNotStall) {
    EXPECT_EQ(Load(), Texts{});
    ASSERT_EQ(::mkfifo(File().c_str(), 0600), 0);
    EXPECT_EQ(Load(), Texts{});
    fs::remove(File());
    // Megabytes of skipped lines: reading ends at the byte limit, before the last line.
    std::string skipped;
    while (skipped.size() < kHistoryMaxBytes) skipped += "\x01" + std::string(1020, '-') + '\n';
    test::WriteFile(File(), skipped + "late\r\n");
    EXPECT_EQ(Load(), Texts{});
}

TEST_F(HistoryTest, SavesListOrderWithCrLfWithoutRepeatsOrDeletesWhenOff) {
    // 1,022 characters come back whole; a longer item would come back in pieces.
    const std::string longest(kHistoryPieceLength, 'L'), tooLong(kHistoryPieceLength + 1, 'M');
    ASSERT_TRUE(SaveHistory(File(), true,
                            {"", "10.0.0.1", "10.0.0.1", "10.0.0.1\r\n", "A", "a", "", "a", "b\nc",
                             longest, tooLong}));
    // The empty item between the two "a" does not separate them.
    const std::string saved = "10.0.0.1\r\nA\r\na\r\nbc\r\n" + longest + "\r\n";
    EXPECT_EQ(test::ReadFile(File()), saved);
    EXPECT_EQ(Load().back(), longest);

    // Another copy of the program saved since: its ranges are merged into the sorted list.
    ASSERT_TRUE(SaveHistory(File(), true, {"10.0.0.0", "B"}));
    EXPECT_EQ(test::ReadFile(File()), "10.0.0.0\r\n" + saved.substr(0, 16) + "B\r\n" +
                                          saved.substr(16));

    EXPECT_TRUE(SaveHistory(File(), false, {"10.0.0.2"}));
    EXPECT_FALSE(fs::exists(File()));
    EXPECT_TRUE(SaveHistory(File(), false, {"10.0.0.2"})) << "nothing to delete is fine";
}

TEST_F(HistoryTest, FailedSaveKeepsThePreviousHistory) {
    const std::string before = "10.0.0.1\r\n10.0.0.2\r\n";
    test::WriteFile(File(), before);
    const int result = test::RunInChildProcess([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{32, 32};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
        return SaveHistory(File(), true, {std::string(100, 'x'), "y"}) ? 1 : 0;
    });
    EXPECT_EQ(result, 0) << "2: no file size limit, 1: the save claimed success";
    EXPECT_EQ(test::ReadFile(File()), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), fs::directory_iterator()), 1)
        << "no temporary file left behind";
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

}  // namespace
}  // namespace ip2h
