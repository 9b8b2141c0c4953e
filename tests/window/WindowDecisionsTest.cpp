// What the main window decides without a window: which key runs which command, and where
// the window opens.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/TempDir.h"
#include "window/KeyRouting.h"
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

}  // namespace
}  // namespace ip2h
