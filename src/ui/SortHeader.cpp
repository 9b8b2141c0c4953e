#include "ui/SortHeader.h"

#include <QAbstractItemModel>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include "ui/Painting.h"
#include "ui/QtRect.h"
#include "window/HeaderGeometry.h"

namespace ip2h {
namespace {

// The item's colours: the base is the button face, 16 levels darker while pressed; background
// line y (0 at the top) is the base y levels darker; the border is raised when not pressed and
// sunken when pressed.
QColor HeaderBaseColour(const QColor& buttonFace, bool pressed) {
    return pressed ? ShiftColor(buttonFace, -16) : buttonFace;
}

QColor HeaderLineColour(const QColor& base, int y) {
    return ShiftColor(base, -y);
}

struct BorderColours {
    QColor TopLeft;
    QColor BottomRight;
};

BorderColours HeaderBorderColours(const QColor& base, bool pressed) {
    if (pressed) return {ShiftColor(base, -96), ShiftColor(base, -24)};
    return {ShiftColor(base, +128), ShiftColor(base, -128)};
}

QColor IndicatorColour() {
    return QColor(64, 64, 64);
}

}  // namespace

SortHeader::SortHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSortIndicatorShown(false);
    // Titles without an alignment of their own start at the left, as list columns do.
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // A click is the window's business; it needs the header to report it.
    setSectionsClickable(true);
    // A press on a section (a press on a divider resizes instead and is no press).
    connect(this, &QHeaderView::sectionPressed, this, &SortHeader::OnSectionPressed);
}

void SortHeader::SetSortIndicator(const std::optional<SortIndicator>& indicator) {
    m_indicator = indicator;
    viewport()->update();
}

void SortHeader::OnSectionPressed(int logicalIndex) {
    m_tracking = true;
    m_pressOrigin = logicalIndex;
    SetPressedSection(logicalIndex);
}

void SortHeader::SetPressedSection(int logicalIndex) {
    if (logicalIndex == m_pressedSection) return;
    m_pressedSection = logicalIndex;
    viewport()->update();
}

void SortHeader::mouseMoveEvent(QMouseEvent* event) {
    QHeaderView::mouseMoveEvent(event);
    if (!m_tracking) return;
    if (!(event->buttons() & Qt::LeftButton)) {
        // The release happened where we did not see it (outside the window, say).
        m_tracking = false;
        SetPressedSection(-1);
        return;
    }
    // Only the section the press began on looks pressed, and only while the pointer is over
    // it: a release elsewhere clicks nothing.
    const QPoint pos = event->position().toPoint();
    const bool over = viewport()->rect().contains(pos) && logicalIndexAt(pos) == m_pressOrigin;
    SetPressedSection(over ? m_pressOrigin : -1);
}

void SortHeader::mouseReleaseEvent(QMouseEvent* event) {
    QHeaderView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) return;
    m_tracking = false;
    SetPressedSection(-1);
}

Qt::Alignment SortHeader::HorizontalAlignment(int logicalIndex) const {
    Qt::Alignment alignment = defaultAlignment();
    if (model() != nullptr) {
        const QVariant value =
            model()->headerData(logicalIndex, orientation(), Qt::TextAlignmentRole);
        if (value.isValid()) alignment = Qt::Alignment(value.toInt());
    }
    if (alignment & Qt::AlignHCenter) return Qt::AlignHCenter;
    if (alignment & (Qt::AlignRight | Qt::AlignTrailing)) return Qt::AlignRight;
    return Qt::AlignLeft;
}

void SortHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid()) return;
    painter->save();

    const bool pressed = logicalIndex == m_pressedSection;
    const HeaderItemGeometry geometry = LayoutHeaderItem(
        ToScreenRect(rect), static_cast<ListColumn>(logicalIndex), m_indicator, pressed);

    const QColor base = HeaderBaseColour(palette().color(QPalette::Button), pressed);
    for (int y = 0; y < rect.height(); ++y) {
        painter->fillRect(QRect(rect.left(), rect.top() + y, rect.width(), 1),
                          HeaderLineColour(base, y));
    }
    const BorderColours border = HeaderBorderColours(base, pressed);
    DrawBevel(*painter, rect, border.TopLeft, border.BottomRight);

    if (geometry.ShowText && model() != nullptr) {
        const QString title =
            model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
        // No mnemonic flag: an ampersand in a title is shown as it is.
        const int flags = int(HorizontalAlignment(logicalIndex)) | Qt::AlignVCenter |
                          Qt::TextSingleLine | Qt::TextDontClip;
        const QString shown =
            painter->fontMetrics().elidedText(title, Qt::ElideRight, geometry.Text.Width());
        painter->setPen(palette().color(QPalette::ButtonText));
        painter->setBackgroundMode(Qt::TransparentMode);
        painter->drawText(ToQRect(geometry.Text), flags, shown);
    }

    if (geometry.ShowIndicator) {
        if (!geometry.Bar.IsEmpty()) painter->fillRect(ToQRect(geometry.Bar), IndicatorColour());
        DrawFrame(*painter, ToQRect(geometry.Box), IndicatorColour());
    }

    painter->restore();
}

}  // namespace ip2h
