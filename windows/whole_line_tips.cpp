#include "windows/whole_line_tips.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

namespace vastrel {

bool WholeLineTips::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                              const QModelIndex &index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString line = index.data(Qt::DisplayRole).toString();
    const QSize needed = sizeHint(option, index);
    if (needed.width() > view->viewport()->width() - option.rect.left() || needed.width() > option.rect.width()) {
        QToolTip::showText(event->globalPos(), line, view->viewport(), option.rect);
        return true;
    }
    QToolTip::hideText();
    return true;
}

} // namespace vastrel
