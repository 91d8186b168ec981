#include "windows/search_field.h"

#include <QKeyEvent>

namespace vastrel {

SearchField::SearchField(QWidget *parent)
    : QLineEdit(parent)
{
    setPlaceholderText(QStringLiteral("поиск: часть названия или кода"));
    setClearButtonEnabled(true);
}

void SearchField::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && !text().isEmpty()) {
        clear();
        // clear() is no edit of the user's, so the list hears of it as of one.
        emit textEdited(QString());
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace vastrel
