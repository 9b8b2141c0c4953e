#pragma once

#include <QRect>

#include "window/ScreenRect.h"

namespace ip2h {

// The core's rectangles have exclusive right and bottom edges, QRect's are inclusive: width and
// height carry across unchanged.
inline ScreenRect ToScreenRect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

inline QRect ToQRect(const ScreenRect& r) {
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

}  // namespace ip2h
