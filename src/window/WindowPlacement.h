#pragma once

#include <optional>
#include <span>

#include "settings/Settings.h"
#include "window/ScreenRect.h"

namespace ip2h {

// The normal rectangle to open the window with. A stored one that lies off every screen's
// available area (a screen since removed, say) would open the window out of sight for good,
// since it is written back at close: it is moved to the middle of the primary screen's area
// instead, keeping its size, shrunk to fit. One that meets some screen stays as it is.
ScreenRect BringOntoScreens(const ScreenRect& stored, std::span<const ScreenRect> screens,
                            const ScreenRect& primary);

// How the window opens: its normal rectangle (none stored, or an empty one: the first-start
// size), brought onto the screens, and whether it opens maximised.
struct OpeningPlacement {
    std::optional<ScreenRect> Normal;
    bool Maximised = false;
};
OpeningPlacement PlacementAtOpening(const OpeningSettings& settings,
                                    std::span<const ScreenRect> screens, const ScreenRect& primary);

// The "Position" record of a window closing with this normal rectangle and state.
WindowPlacement PlacementAtClosing(const ScreenRect& normal, bool maximised, bool minimised);

}  // namespace ip2h
