#include "window/KeyRouting.h"

namespace ip2h {

std::optional<Command> Accelerator(Key key, unsigned modifiers) {
    if (modifiers == Ctrl) {
        switch (key) {
            case Key::A:
                return Command::SelectAll;
            case Key::C:
                return Command::Copy;
            case Key::V:
                return Command::Paste;
            case Key::S:
                return Command::SaveResults;
            default:
                return std::nullopt;
        }
    }
    if (modifiers == Alt && key == Key::F4) return Command::Exit;
    return std::nullopt;
}

KeyRoute RouteKey(Key key, unsigned modifiers, FocusKind focus, bool dropDownOpen) {
    if (const auto command = Accelerator(key, modifiers)) return {command, false, true};
    // There is no help to show: F1 is taken so that no control or style reacts to it.
    if (key == Key::F1) return {std::nullopt, false, true};
    if (focus == FocusKind::EntryBox) {
        if (dropDownOpen) return {};
        if (key == Key::Enter) return {Command::Register, true, true};
        if (key == Key::Escape) return {Command::Exit, true, true};
        return {};
    }
    if (focus == FocusKind::List && key == Key::Delete) return {Command::Delete, true, true};
    return {};
}

std::optional<Command> DialogKey(Key key, unsigned modifiers) {
    if (modifiers != NoModifier) return std::nullopt;
    if (key == Key::Enter) return Command::Register;
    if (key == Key::Escape) return Command::Exit;
    return std::nullopt;
}

}  // namespace ip2h
