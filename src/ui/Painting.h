#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>

class QPainter;
class QWidget;

namespace ip2h {

// Where the shaded band behind the input controls ends.
inline constexpr int kBackgroundBandBottom = 84;

// The colour with `amount` added to each of red, green and blue, each clamped to 0..255.
// Alpha is kept.
QColor ShiftColor(const QColor& colour, int amount);

// Fills `rect` with a two-colour linear gradient from `top` at its top edge to `bottom` at its
// bottom edge.
void FillGradient(QPainter& painter, const QRect& rect, const QColor& top, const QColor& bottom);

// The main window's background: the bottom 24 pixels of the client area in the button face,
// then the band from the client area's top edge down to y = 84, shaded from a lighter to a
// darker button face. The rest is left to the controls that cover it.
void PaintMainBackground(QPainter& painter, const QRect& clientRect, const QColor& buttonFace);

// A control standing on the shaded band: text in the window-text colour and no background of
// its own, so the band shows around it.
void MakeHollow(QWidget& control);

// A control that keeps the platform's own plain background instead (the button face).
void GiveButtonFaceBackground(QWidget& control);

// One-pixel outlines on the outermost pixels of `rect`. A bevel gives the top and left edges
// one colour and the right and bottom edges, corners included, the other.
void DrawFrame(QPainter& painter, const QRect& rect, const QColor& colour);
void DrawBevel(QPainter& painter, const QRect& rect, const QColor& topLeft,
               const QColor& bottomRight);

}  // namespace ip2h
