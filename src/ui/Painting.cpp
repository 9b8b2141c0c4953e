#include "ui/Painting.h"

#include <QPainter>
#include <QPalette>
#include <QWidget>

#include <algorithm>

#include "ui/DialogMetrics.h"

namespace ip2h {
namespace {

int ClampChannel(int value) {
    return std::clamp(value, 0, 255);
}

// The channel at step `index` of `count` between `start` and `end`, as a 16-bit gradient
// reaches it: the start colour exactly at index 0, the end colour just past the last step.
int GradientChannel(int start, int end, int index, int count) {
    const long long start16 = static_cast<long long>(start) * 256;
    const long long end16 = static_cast<long long>(end) * 256;
    const long long value16 = start16 + (end16 - start16) * index / count;
    return ClampChannel(static_cast<int>(value16 >> 8));
}

QColor GradientColour(const QColor& start, const QColor& end, int index, int count) {
    return QColor(GradientChannel(start.red(), end.red(), index, count),
                  GradientChannel(start.green(), end.green(), index, count),
                  GradientChannel(start.blue(), end.blue(), index, count));
}

}  // namespace

QColor ShiftColor(const QColor& colour, int amount) {
    return QColor(ClampChannel(colour.red() + amount), ClampChannel(colour.green() + amount),
                  ClampChannel(colour.blue() + amount), colour.alpha());
}

void FillGradient(QPainter& painter, const QRect& rect, const QColor& top, const QColor& bottom) {
    // Line by line, so that both ends land on exact colours whatever the paint engine's own
    // gradient tables would make of them.
    const int count = rect.height();
    for (int i = 0; i < count; ++i) {
        painter.fillRect(QRect(rect.left(), rect.top() + i, rect.width(), 1),
                         GradientColour(top, bottom, i, count));
    }
}

void PaintMainBackground(QPainter& painter, const QRect& clientRect, const QColor& buttonFace) {
    const int clientBottom = clientRect.top() + clientRect.height();  // exclusive
    painter.fillRect(QRect(clientRect.left(), clientBottom - kStatusBarHeight, clientRect.width(),
                           kStatusBarHeight),
                     buttonFace);
    const QRect band(clientRect.left(), clientRect.top(), clientRect.width(),
                     kBackgroundBandBottom - clientRect.top());
    FillGradient(painter, band, ShiftColor(buttonFace, +16), ShiftColor(buttonFace, -16));
}

void MakeHollow(QWidget& control) {
    control.setAutoFillBackground(false);
    QPalette palette = control.palette();
    const QColor text = palette.color(QPalette::WindowText);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Text, text);
    control.setPalette(palette);
}

void GiveButtonFaceBackground(QWidget& control) {
    control.setBackgroundRole(QPalette::Button);
    control.setAutoFillBackground(true);
}

void DrawFrame(QPainter& painter, const QRect& rect, const QColor& colour) {
    DrawBevel(painter, rect, colour, colour);
}

void DrawBevel(QPainter& painter, const QRect& rect, const QColor& topLeft,
               const QColor& bottomRight) {
    if (rect.isEmpty()) return;
    const int x = rect.left();
    const int y = rect.top();
    const int w = rect.width();
    const int h = rect.height();
    painter.fillRect(QRect(x, y, w - 1, 1), topLeft);
    painter.fillRect(QRect(x, y, 1, h - 1), topLeft);
    painter.fillRect(QRect(x + w - 1, y, 1, h), bottomRight);
    painter.fillRect(QRect(x, y + h - 1, w, 1), bottomRight);
}

}  // namespace ip2h
