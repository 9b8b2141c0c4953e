#pragma once

#include <QHeaderView>

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

    // Shows the indicator on `column` (logical index) in `direction` (0 ascending, 1
    // descending); -1 for either shows none. Repaints the whole header.
    void SetSortIndicator(int column, int direction);

    int IndicatorColumn() const { return m_indicatorColumn; }
    int IndicatorDirection() const { return m_indicatorDirection; }

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

    int m_indicatorColumn = -1;
    int m_indicatorDirection = -1;
    int m_pressedSection = -1;
    int m_pressOrigin = -1;
    bool m_tracking = false;
};

}  // namespace ip2h
