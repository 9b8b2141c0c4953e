#pragma once

#include <QHeaderView>
#include <optional>

#include "window/SortCommands.h"

namespace ip2h {

// The result list's column header. It draws every section itself: a shaded background with a
// raised (or, while pressed, sunken) border, the title, and on the sorted column a small box
// whose bar shows the direction. It decides nothing: clicks reach the view as
// sectionClicked, and the window tells it what to show through SetSortIndicator. Qt's own
// sort indicator stays off.
class SortHeader final : public QHeaderView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SortHeader)

public:
    explicit SortHeader(QWidget* parent = nullptr);

    // Shows the indicator, or none. Repaints the whole header.
    void SetSortIndicator(const std::optional<SortIndicator>& indicator);

    const std::optional<SortIndicator>& Indicator() const { return m_indicator; }

    // The section drawn pressed: the section the left button was pressed on, while the button
    // is held and the pointer is over that section; -1 otherwise.
    int PressedSection() const { return m_pressedSection; }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void OnSectionPressed(int logicalIndex);
    void SetPressedSection(int logicalIndex);
    Qt::Alignment HorizontalAlignment(int logicalIndex) const;

    std::optional<SortIndicator> m_indicator;
    int m_pressedSection = -1;
    int m_pressOrigin = -1;
    bool m_tracking = false;
};

}  // namespace ip2h
