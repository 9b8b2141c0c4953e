#pragma once

#include <QStyledItemDelegate>

namespace ip2h {

// Draws the result list's cells as usual and gives the Host name cell a tooltip that knows
// whether the cell cuts the name: the whole name is shown only when it does.
class HostNameTips final : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
};

}  // namespace ip2h
