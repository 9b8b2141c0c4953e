#pragma once

#include <optional>

#include "window/Commands.h"

namespace ip2h {

// The keys the main window gives a meaning of its own; every other key is Key::Other.
enum class Key { Other, Enter, Escape, Delete, F1, F4, A, C, S, V };

// Modifier bits; the keypad's is not among them (keypad Enter is Enter).
enum KeyModifier : unsigned { NoModifier = 0, Ctrl = 1, Alt = 2, Shift = 4, Meta = 8 };

// Where the keyboard focus is: an entry box (the range or interval box, its edit field
// included), the result list, or any other control.
enum class FocusKind { EntryBox, List, Other };

// What the window does with a key before the focused control sees it.
struct KeyRoute {
    std::optional<Command> Run;  // the command to run, if any
    bool Posted = false;         // run it on the next turn of the event loop, not at once
    bool Consumed = false;       // the focused control never sees the key
};

// The accelerators act on the list whichever control has the focus: Ctrl+A, Ctrl+C, Ctrl+V,
// Ctrl+S and Alt+F4. An entry box's own meaning of these keys is overridden.
std::optional<Command> Accelerator(Key key, unsigned modifiers);

// The window's handling of a key before dispatch: the accelerators first; F1 is swallowed;
// in an entry box (unless its drop-down list is open, which keeps Enter and Esc for itself)
// Enter posts Register and Esc posts Exit; Delete in the list posts Delete.
KeyRoute RouteKey(Key key, unsigned modifiers, FocusKind focus, bool dropDownOpen);

// A key the focused control left alone, as a dialog treats it: Enter runs the default
// button (Register), Esc closes the window.
std::optional<Command> DialogKey(Key key, unsigned modifiers);

}  // namespace ip2h
