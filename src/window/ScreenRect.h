#pragma once

namespace ip2h {

// A rectangle in pixels, on the screen or inside a widget; right and bottom are exclusive, so
// the width is Right - Left. Qt's QRect has inclusive right and bottom edges: the Qt layer
// converts at its boundary (ui/QtRect.h) and nowhere else.
struct ScreenRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Width() <= 0 || Height() <= 0; }
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

}  // namespace ip2h
