#include "ui/HostNameTips.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

#include "ui/ResultModel.h"

namespace ip2h {

bool HostNameTips::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                             const QStyleOptionViewItem& option, const QModelIndex& index) {
    const auto* model = qobject_cast<const ResultModel*>(index.model());
    if (event == nullptr || view == nullptr || model == nullptr ||
        event->type() != QEvent::ToolTip || index.column() != 1) {
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QStyle* style = view->style();
    const QRect textArea = style->subElementRect(QStyle::SE_ItemViewItemText, &item, view);
    // The style keeps this margin on each side of the text inside its area.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const bool cut = item.fontMetrics.horizontalAdvance(item.text) > textArea.width() - 2 * margin;
    const QString tip = model->HostNameTooltip(index.row(), cut);
    if (tip.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QToolTip::showText(event->globalPos(), tip, view, option.rect);
    return true;
}

}  // namespace ip2h
