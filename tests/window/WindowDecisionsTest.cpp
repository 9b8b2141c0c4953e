// What the main window decides without a window: which key runs which command, where the
// window opens, where the column header draws its parts and what its options do with their
// keys.
#include <gtest/gtest.h>
#include <netdb.h>

#include <optional>
#include <string>
#include <tuple>

#include "base/LineWrap.h"
#include "base/Punycode.h"
#include "results/ResultTable.h"
#include "support/TempDir.h"
#include "window/AnswerNotes.h"
#include "window/CellColours.h"
#include "window/HeaderGeometry.h"
#include "window/KeyRouting.h"
#include "window/OptionTable.h"
#include "window/SortCommands.h"
#include "window/WindowPlacement.h"

namespace ip2h {
namespace {

TEST(KeyRoutingTest, EachKeyReachesItsCommandByFocusAndDropDownState) {
    using enum FocusKind;
    constexpr bool kOpen = true;
    const struct {
        Key key;
        unsigned modifiers;
        FocusKind focus;
        bool dropDown;
        std::optional<Command> run;
        bool posted, consumed;
    } cases[] = {
        // The accelerators act at once wherever the focus is, even in an entry box.
        {Key::A, Ctrl, EntryBox, false, Command::SelectAll, false, true},
        {Key::C, Ctrl, List, false, Command::Copy, false, true},
        {Key::V, Ctrl, Other, false, Command::Paste, false, true},
        {Key::S, Ctrl, EntryBox, false, Command::SaveResults, false, true},
        {Key::F4, Alt, EntryBox, kOpen, Command::Exit, false, true},
        {Key::C, Ctrl | Shift, List, false, std::nullopt, false, false},
        {Key::A, NoModifier, EntryBox, false, std::nullopt, false, false},
        {Key::F4, NoModifier, Other, false, std::nullopt, false, false},
        // In an entry box Enter registers and Esc closes, posted; an open list keeps both.
        {Key::Enter, NoModifier, EntryBox, false, Command::Register, true, true},
        {Key::Escape, NoModifier, EntryBox, false, Command::Exit, true, true},
        {Key::Enter, NoModifier, EntryBox, kOpen, std::nullopt, false, false},
        {Key::Escape, NoModifier, EntryBox, kOpen, std::nullopt, false, false},
        // Elsewhere they go on to the control (and then to the dialog keys below).
        {Key::Enter, NoModifier, List, false, std::nullopt, false, false},
        {Key::Escape, NoModifier, Other, false, std::nullopt, false, false},
        // Delete deletes rows in the list only; in a box it edits the text.
        {Key::Delete, NoModifier, List, false, Command::Delete, true, true},
        {Key::Delete, NoModifier, EntryBox, false, std::nullopt, false, false},
        {Key::Delete, NoModifier, Other, false, std::nullopt, false, false},
        // F1 is swallowed everywhere.
        {Key::F1, NoModifier, List, false, std::nullopt, false, true},
        {Key::F1, NoModifier, EntryBox, kOpen, std::nullopt, false, true},
    };
    for (const auto& c : cases) {
        const KeyRoute route = RouteKey(c.key, c.modifiers, c.focus, c.dropDown);
        EXPECT_EQ(route.Run, c.run) << static_cast<int>(c.key) << " " << c.modifiers;
        EXPECT_EQ(route.Posted, c.posted) << static_cast<int>(c.key);
        EXPECT_EQ(route.Consumed, c.consumed) << static_cast<int>(c.key);
    }
    // A key no control took, as a dialog treats it.
    EXPECT_EQ(DialogKey(Key::Enter, NoModifier), Command::Register);
    EXPECT_EQ(DialogKey(Key::Escape, NoModifier), Command::Exit);
    EXPECT_EQ(DialogKey(Key::Enter, Shift), std::nullopt);
    EXPECT_EQ(DialogKey(Key::Delete, NoModifier), std::nullopt);
}

TEST(WindowPlacementTest, OffScreenPlacesComeBackOntoThePrimaryScreen) {
    const ScreenRect screens[] = {{0, 0, 1280, 984}, {1280, 0, 3200, 1040}};
    const struct {
        ScreenRect stored, opened;
    } places[] = {
        {{100, 50, 700, 450}, {100, 50, 700, 450}},          // on the first screen
        {{3000, 900, 3600, 1300}, {3000, 900, 3600, 1300}},  // partly on the second
        {{3200, 0, 3800, 400}, {340, 292, 940, 692}},        // touches it, meets nothing
        {{3000, 2500, 3600, 2900}, {340, 292, 940, 692}},    // off every screen, centred
        {{-5000, -10, -3000, 1990}, {0, 0, 1280, 984}},      // and shrunk to fit
    };
    for (const auto& [stored, opened] : places) {
        EXPECT_EQ(BringOntoScreens(stored, screens, screens[0]), opened) << stored.Left;
    }
}

// What the window stores when it closes brings it back where it was, maximised or not.
TEST(WindowPlacementTest, APlacementSurvivesARestart) {
    const ScreenRect screen{0, 0, 1920, 1040};
    for (const bool maximised : {false, true}) {
        SCOPED_TRACE(maximised);
        test::TempDir dir;
        ProfileStore store(dir / "s.ini");
        ClosingSettings closing;
        closing.IsZoomed = maximised;
        closing.Position = PlacementAtClosing({100, 80, 740, 560}, maximised, false);
        WriteClosingSettings(store, closing, {});
        const OpeningPlacement opening =
            PlacementAtOpening(ReadOpeningSettings(store), {&screen, 1}, screen);
        EXPECT_EQ(opening.Normal, (ScreenRect{100, 80, 740, 560}));
        EXPECT_EQ(opening.Maximised, maximised);
    }
    EXPECT_EQ(PlacementAtOpening(OpeningSettings{}, {&screen, 1}, screen).Normal, std::nullopt)
        << "without a stored place the window opens at its first-start size";
}

// With q a quarter of the height: the title loses q + 1 px each side and 3q more on the sorted
// column, whose indicator frame sits 3q - 1 px to 5 px in from the right and 4 px from top and
// bottom, its 5 px bar 2 px in from the frame.
TEST(HeaderGeometryTest, TitleIndicatorAndBarFollowTheItemSizeSortAndPress) {
    using enum ListColumn;
    const SortIndicator up{Address, SortDirection::Ascending};
    const SortIndicator down{Result, SortDirection::Descending};
    const struct {
        ScreenRect item;
        ListColumn column;
        std::optional<SortIndicator> indicator;
        bool pressed;
        HeaderItemGeometry expected;
    } items[] = {
        // q = 5: the sorted column, then another one, pressed, and then with sorting off.
        {{0, 0, 100, 20},
         Address,
         up,
         false,
         {{6, 0, 79, 20}, true, true, {86, 4, 95, 16}, {88, 6, 93, 11}}},
        {{0, 0, 100, 20}, HostName, up, true, {{7, 1, 95, 21}, true, false, {}, {}}},
        {{0, 0, 100, 20}, Address, std::nullopt, false, {{6, 0, 94, 20}, true, false, {}, {}}},
        // q = 6, away from the left edge, descending and pressed: the bar sits at the bottom and
        // only the title moves.
        {{200, 0, 280, 24},
         Result,
         down,
         true,
         {{208, 1, 256, 25}, true, true, {263, 4, 275, 20}, {265, 13, 273, 18}}},
        // Too narrow for the indicator (13 px of title against 3q = 15), then for the title.
        {{0, 0, 40, 20}, Address, up, false, {{6, 0, 19, 20}, true, false, {}, {}}},
        {{0, 0, 10, 20}, HostName, up, false, {{6, 0, 4, 20}, false, false, {}, {}}},
    };
    for (const auto& c : items) {
        EXPECT_EQ(LayoutHeaderItem(c.item, c.column, c.indicator, c.pressed), c.expected)
            << c.item.Left << " " << c.item.Right << " " << static_cast<int>(c.column);
    }
}

// Each option opens with its key's default, toggles to 0 or 1 and is written back under its
// key when the window closes; a hand-edited 2 is on, but off for SortEnable, and is kept as it
// is unless the option holds only on or off.
TEST(OptionTableTest, EachOptionComesBackFromItsKey) {
    const struct {
        Command Option;
        SettingKey Key;
        bool ByDefault, TwoIsOn;
        int TwoKept;
    } options[] = {
        {Command::WindowTopMost, SettingKey::WindowTopMost, false, true, 2},
        {Command::UseNbt, SettingKey::Nbt, false, true, 1},
        {Command::History, SettingKey::History, true, true, 2},
        {Command::SortEnable, SettingKey::SortEnable, true, false, 2},
        {Command::ConfirmNames, SettingKey::ForwardConfirm, false, true, 1},
    };
    ASSERT_EQ(std::size(options), kOptionTable.size());
    test::TempDir dir;
    ProfileStore store(dir / "s.ini");
    const auto reopen = [&store] {
        OptionValues values;
        values.Load(ReadOpeningSettings(store).Integers);
        return values;
    };
    const auto close = [&store](OptionValues& values, bool toggle) {
        ClosingSettings closing;
        for (const OptionRow& row : kOptionTable) {
            if (toggle) {
                EXPECT_EQ(values.Toggle(row.Toggle), &row);
            }
        }
        values.Save(closing.Integers);
        WriteClosingSettings(store, closing, {});
    };
    const OptionValues fresh = reopen();
    EXPECT_EQ(fresh.Lookups(), LookupOptions{});
    OptionValues values = fresh;
    close(values, true);
    EXPECT_EQ(test::ReadFile(dir / "s.ini"),
              "[Settings]\nWindowTopMost=1\nIsZoomed=0\nColnmWidth=0:0:0:0\n[Options]\n"
              "NBT=1\nHistory=0\nCopyItem=0\nSortEnable=0\nForwardConfirm=1\n");
    const OptionValues toggled = reopen();
    EXPECT_EQ(toggled.Lookups(), (LookupOptions{true, true}));
    for (const auto& o : options) {
        SCOPED_TRACE(DefinitionOf(o.Key).Key);
        EXPECT_EQ(fresh.IsOn(o.Option), o.ByDefault);
        EXPECT_EQ(toggled.IsOn(o.Option), !o.ByDefault);
        WriteIntegerSetting(store, o.Key, 2);
    }
    values = reopen();
    close(values, false);
    const OptionValues kept = reopen();
    close(values, true);
    const OptionValues flipped = reopen();
    for (const auto& o : options) {
        SCOPED_TRACE(DefinitionOf(o.Key).Key);
        EXPECT_EQ(kept.IsOn(o.Option), o.TwoIsOn);
        EXPECT_EQ(kept.Value(o.Option), o.TwoKept);
        EXPECT_EQ(flipped.Value(o.Option), o.TwoIsOn ? 0 : 1);
    }
    EXPECT_EQ(values.Toggle(Command::Copy), nullptr);
}

using enum RowStatus;

// Tooltips: the Result cell's sentence, and the Host name cell's lines.
TEST(AnswerNotesTest, TellHowARowWasAnsweredAndWhatItsNameIs) {
    const RowAnswer error{Failure, AnswerKind::Error, Confirmation::None, false, 0, EAI_MEMORY};
    EXPECT_EQ(ResultNote(error, false), "Error: the lookup failed (Memory allocation failure).");
    EXPECT_EQ(ResultNote({Failure, AnswerKind::NoAnswer}, true).substr(0, 12), "応答なし");
    EXPECT_EQ(ResultNote({Pending, AnswerKind::Error}, false),
              "Waiting: the address has not been answered yet.");
    const struct {
        std::string_view name;
        RowAnswer answer;
        std::string_view confirming;
        bool cut;
        std::string_view unicode;
        std::string note;
    } hosts[] = {
        {"a.example", {Success}, "", false, "", ""},
        {"a.example", {Success}, "", true, "", "a.example"},
        {"xn--bcher-kva.example",
         {Success, AnswerKind::Name, Confirmation::NotConfirmed},
         "",
         true,
         "bücher.example",
         "xn--bcher-kva.example\nbücher.example\nNot confirmed: this name does not resolve "
         "back to the address."},
        {"b.example",
         {Success, AnswerKind::Name, Confirmation::Confirmed},
         "",
         false,
         "",
         "Confirmed: this name resolves back to the address."},
        {"c.example",
         {Success, AnswerKind::Name, Confirmation::Confirmed},
         "d.example",
         false,
         "",
         "Confirmed: d.example, another name of the address, resolves back to it."},
        {"c.example",
         {Success, AnswerKind::Name, Confirmation::Unknown},
         "",
         false,
         "",
         "Unknown: a forward lookup got no answer, so the name could not be confirmed."},
        {"10.0.0.1", {Failure, AnswerKind::NoName}, "", true, "", "10.0.0.1"},
    };
    for (const auto& h : hosts) {
        EXPECT_EQ(HostNameNote(h.name, h.answer, h.confirming, h.cut, h.unicode, false), h.note)
            << h.name;
    }
    EXPECT_EQ(HostNameNote("c", {Success, AnswerKind::Name, Confirmation::Confirmed}, "d", false,
                           "", true),
              "確認済み: このアドレスの別の名前 d を正引きするとこのアドレスになります。");
}

// Each cell's colours come from its row's answer, starting from the list's own.
TEST(CellColoursTest, ColoursFollowTheAnswer) {
    constexpr Rgb kText{1, 2, 3}, kBack{4, 5, 6}, kGrey{192, 192, 192}, kBlack{0, 0, 0};
    const CellColour list{kText, kBack, true};
    const RowAnswer pending{}, named{Success}, failed{Failure, AnswerKind::NoName};
    RowAnswer quadName{Success};
    quadName.NameIsDottedQuad = true;
    const struct {
        ListColumn column;
        RowAnswer answer;
        bool privateAddress;
        CellColour colour;
    } cases[] = {
        {ListColumn::Address, named, true, list},
        {ListColumn::HostName, pending, false, {kGrey, kBack, false}},
        {ListColumn::HostName, failed, false, {kBlack, kBack, false}},
        {ListColumn::HostName, named, false, {{0, 150, 0}, kBack, false}},
        {ListColumn::HostName, quadName, false, {kBlack, kBack, false}},
        {ListColumn::Result, pending, false, {kGrey, kBack, false}},
        {ListColumn::Result, named, false, {{0, 140, 0}, {230, 255, 230}, false}},
        {ListColumn::Result, failed, false, {{210, 0, 0}, {255, 238, 238}, false}},
        {ListColumn::DomainInfo, pending, false, {kGrey, kBack, false}},
        {ListColumn::DomainInfo, named, true, {kGrey, kBack, false}},  // shows "-"
        {ListColumn::DomainInfo, named, false, list},
        {ListColumn::DomainInfo, failed, true, list},  // shows "?"
    };
    for (const auto& c : cases) {
        const CellColour colour = CellColours(c.column, c.answer, c.privateAddress, list);
        EXPECT_EQ(std::tie(colour.Text, colour.Background, colour.TransparentBackground),
                  std::tie(c.colour.Text, c.colour.Background, c.colour.TransparentBackground))
            << static_cast<int>(c.column) << " " << static_cast<int>(c.answer.Status);
    }
}

// The Unicode form of names under any top-level domain, nothing for what does not decode or
// could disguise the name; tooltip lines broken to fit the screen.
TEST(AnswerNotesTest, UnicodeNamesUnderEveryDomainAndLinesThatFitTheScreen) {
    const std::pair<std::string_view, std::string_view> names[] = {
        {"xn--bcher-kva.ru", "bücher.ru"},
        {"WWW.XN--p1ai.", "WWW.рф."},
        {"xn--3B-ww4c5e180e575a65lsy2b.xn--a-jv3s", "3年B組金八先生.a😀"},
        {"plain.example", ""},
        {"xn--bcher-.example", ""},               // ASCII only
        {"xn--bcher-kv!.de", ""},                 // not a digit
        {"xn--bcher-kva.xn--999999999999a", ""},  // overflow
        {"xn--ab-g4t.example", ""},               // a right-to-left override
    };
    for (const auto& [name, unicode] : names) EXPECT_EQ(UnicodeHostName(name), unicode) << name;

    const std::string label(60, 'a');
    const std::string name = label + "." + label + "." + label + "." + label + ".example";
    EXPECT_EQ(WrapLongLines("line\n" + name, kTooltipColumns),
              "line\n" + label + ".\n" + label + ".\n" + label + ".\n" + label + ".\nexample");
    EXPECT_EQ(WrapLongLines("ab.cdefgh\nüüüüü", 4), "ab.\ncdef\ngh\nüüüü\nü");
}

// Header clicks are tested through the window, which cannot click while resolving.
TEST(SortCommandsTest, AClickWhileResolvingChangesNothing) {
    const SortState before{1, ListColumn::Result, SortDirection::Descending};
    SortState sort = before;
    EXPECT_FALSE(ApplyColumnClick(sort, ListColumn::DomainInfo, true));
    EXPECT_EQ(sort, before);
}

}  // namespace
}  // namespace ip2h
