#pragma once

#include "windows/search_field.h"

class QComboBox;
class QCompleter;
class QListView;

namespace vastrel {

// A search field beside a drop-down list: as the user types part of a name or
// code, a list of the matching lines drops down under the field and narrows
// with each letter; picking one (Enter or a click) makes it the drop-down's
// current line. The lines are the drop-down's own, never copied.
class SelectorSearch : public SearchField
{
    Q_OBJECT
public:
    explicit SelectorSearch(QComboBox *selector, QWidget *parent = nullptr);

    // The list of matching lines; hidden while nothing is typed.
    QListView *matches() const;

private:
    void narrow(const QString &text);
    void pick(const QModelIndex &match);

    QComboBox *m_selector;
    QCompleter *m_completer;
};

} // namespace vastrel
