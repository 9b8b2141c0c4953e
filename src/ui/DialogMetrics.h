#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>

class QFontMetrics;

namespace ip2h {

// The faces the layout is measured in. They are not installed here; MapDialogFont picks the
// closest installed font for each.
inline constexpr char16_t kSansSerifFace[] = u"MS Sans Serif";
inline constexpr char16_t kGothicFace[] = u"ＭＳ ゴシック";
inline constexpr char16_t kProportionalGothicFace[] = u"ＭＳ Ｐゴシック";
inline constexpr int kDialogPointSize = 9;

// Height of the status bar, and of the plain strip under it.
inline constexpr int kStatusBarHeight = 24;

// The font on this system closest to a dialog face at `pointSize`: the sans-serif faces go to
// the nearest sans serif installed, the fixed-pitch Gothic to a fixed-pitch Japanese Gothic
// when there is one, and both Gothics to a Japanese Gothic such as "Noto Sans CJK JP", or to
// sans serif when none is installed. Unknown faces are used as they are, with a sans-serif
// hint.
QFont MapDialogFont(const QString& faceName, int pointSize);

// The main window's and the about box's dialog fonts in the chosen language.
QFont MainDialogFont(bool japanese);
QFont AboutDialogFont(bool japanese);

// `base` in `family` ("Arial" falls back to the closest sans serif installed) and `weight`,
// sized by its cell height: the largest pixel size whose line height (ascent + descent) is at
// most `cellPixels`.
QFont CellHeightFont(const QFont& base, const QString& family, int cellPixels, int weight);

// The first of `families` that is installed; empty when none is.
QString FirstInstalledFamily(const QStringList& families);

// Dialog units: a horizontal unit is a quarter of the dialog font's average character width,
// a vertical unit an eighth of its height.
struct DialogBaseUnits {
    int X = 0;  // average character width in pixels
    int Y = 0;  // character height in pixels
};
DialogBaseUnits BaseUnitsOf(const QFontMetrics& metrics);

// value × base / divisor rounded to the nearest integer, halves away from zero; 0 for a
// divisor of 0 or less.
int MulDivRound(int value, int base, int divisor);

// Position and size in dialog units to pixels, each of x, y, width and height on its own.
QRect DialogUnitsToPixels(const QRect& dialogUnits, DialogBaseUnits base);
QSize DialogUnitsToPixels(const QSize& dialogUnits, DialogBaseUnits base);

// How many pixels the range column (its label and box) gives up so that the "Register"
// button, whose right edge is at `buttonRight`, ends `margin` pixels inside a client area
// `clientWidth` wide; the interval column and the button move left by as much. At most half
// of `rangeWidth`: a font wide enough to need more is rare, and the box must stay usable.
int BandShrink(int buttonRight, int margin, int clientWidth, int rangeWidth);

// Height of the result list for a client area `clientHeight` pixels high whose list starts at
// `listTop`: the client height less 99 pixels (84 in Japanese), so that the list ends at the
// 24-pixel status bar with fonts of the layout's own metrics. A font with taller metrics moves
// the list down; it is then shortened so that no row ever hides under the status bar.
int ResultListHeight(int clientHeight, int listTop, bool japanese);

}  // namespace ip2h
