#include "windows/fitting_combo_box.h"

#include <QAbstractItemView>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>

namespace vastrel {

void FittingComboBox::showPopup()
{
    const QRect available = screen()->availableGeometry();
    QAbstractItemView *list = view();
    list->setTextElideMode(Qt::ElideRight);
    const int wanted = list->sizeHintForColumn(0) + list->verticalScrollBar()->sizeHint().width() + 8;
    list->setMinimumWidth(std::min(wanted, available.width() - 8));
    QComboBox::showPopup();

    // Some platforms let a popup cover the taskbar or run past the right edge.
    QWidget *popup = list->window();
    if (popup == window())
        return;
    QRect place = popup->geometry();
    place.setWidth(std::min(place.width(), available.width()));
    place.setHeight(std::min(place.height(), available.height()));
    if (place.right() > available.right())
        place.moveRight(available.right());
    if (place.left() < available.left())
        place.moveLeft(available.left());
    if (place.bottom() > available.bottom())
        place.moveBottom(available.bottom());
    if (place.top() < available.top())
        place.moveTop(available.top());
    if (place != popup->geometry())
        popup->setGeometry(place);
}

} // namespace vastrel
