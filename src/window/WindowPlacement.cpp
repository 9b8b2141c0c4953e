#include "window/WindowPlacement.h"

#include <algorithm>

namespace ip2h {
namespace {

constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;

}  // namespace

ScreenRect BringOntoScreens(const ScreenRect& stored, std::span<const ScreenRect> screens,
                            const ScreenRect& primary) {
    const auto meets = [&stored](const ScreenRect& screen) {
        return stored.Left < screen.Right && screen.Left < stored.Right &&
               stored.Top < screen.Bottom && screen.Top < stored.Bottom;
    };
    if (stored.IsEmpty() || std::ranges::any_of(screens, meets)) return stored;
    const int width = std::min(stored.Width(), primary.Width());
    const int height = std::min(stored.Height(), primary.Height());
    const int left = primary.Left + (primary.Width() - width) / 2;
    const int top = primary.Top + (primary.Height() - height) / 2;
    return {left, top, left + width, top + height};
}

OpeningPlacement PlacementAtOpening(const OpeningSettings& settings,
                                    std::span<const ScreenRect> screens,
                                    const ScreenRect& primary) {
    OpeningPlacement placement;
    placement.Maximised = settings.IsZoomed != 0;
    if (settings.Position) {
        const WindowPlacement& p = *settings.Position;
        const ScreenRect normal{p.NormalLeft, p.NormalTop, p.NormalRight, p.NormalBottom};
        if (!normal.IsEmpty()) placement.Normal = BringOntoScreens(normal, screens, primary);
    }
    return placement;
}

WindowPlacement PlacementAtClosing(const ScreenRect& normal, bool maximised, bool minimised) {
    WindowPlacement placement;
    placement.ShowState = minimised ? kShowMinimized : (maximised ? kShowMaximized : kShowNormal);
    placement.MinimizedX = placement.MinimizedY = -1;
    placement.MaximizedX = placement.MaximizedY = -1;
    placement.NormalLeft = normal.Left;
    placement.NormalTop = normal.Top;
    placement.NormalRight = normal.Right;
    placement.NormalBottom = normal.Bottom;
    return placement;
}

}  // namespace ip2h
