#pragma once

#include <QStyledItemDelegate>

namespace vastrel {

// Shows a list's line whole in a tooltip when the list is too narrow for it.
class WholeLineTips : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
};

} // namespace vastrel
