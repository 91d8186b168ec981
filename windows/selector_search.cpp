#include "windows/selector_search.h"

#include "windows/whole_line_tips.h"

#include <QAbstractProxyModel>
#include <QComboBox>
#include <QCompleter>
#include <QListView>

namespace vastrel {

SelectorSearch::SelectorSearch(QComboBox *selector, QWidget *parent)
    : SearchField(parent)
    , m_selector(selector)
    , m_completer(new QCompleter(this))
{
    m_completer->setFilterMode(Qt::MatchContains);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_completer->setCompletionMode(QCompleter::PopupCompletion);
    m_completer->setMaxVisibleItems(20);
    m_completer->setWidget(this);
    auto *list = new QListView;
    // One line height for all: a large base is not laid out line by line.
    list->setUniformItemSizes(true);
    list->setFont(selector->font());
    m_completer->setPopup(list);
    // After setPopup, which puts in a delegate of its own.
    list->setItemDelegate(new WholeLineTips(list));
    // A long line is cut at the list's edge, whole in its tooltip, not scrolled to.
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setTextElideMode(Qt::ElideRight);

    connect(this, &QLineEdit::textEdited, this, &SelectorSearch::narrow);
    connect(m_completer, qOverload<const QModelIndex &>(&QCompleter::activated), this, &SelectorSearch::pick);
}

QListView *SelectorSearch::matches() const
{
    return qobject_cast<QListView *>(m_completer->popup());
}

void SelectorSearch::narrow(const QString &text)
{
    if (text.isEmpty()) {
        m_completer->popup()->hide();
        // Let go of the lines while no search runs: the completer would
        // otherwise redo its matching for every line of each refill.
        m_completer->setModel(nullptr);
        return;
    }
    if (!m_completer->model())
        m_completer->setModel(m_selector->model());
    m_completer->setCompletionPrefix(text);
    // The list under the drop-down and the field together, where the
    // drop-down's own list would be, as wide as both.
    QRect under = rect();
    const int selectorLeft = mapFromGlobal(m_selector->mapToGlobal(QPoint(0, 0))).x();
    if (selectorLeft < 0)
        under.setLeft(selectorLeft);
    else
        under.setWidth(std::max(width(), m_selector->width()));
    m_completer->complete(under);
}

void SelectorSearch::pick(const QModelIndex &match)
{
    const auto *proxy = qobject_cast<const QAbstractProxyModel *>(m_completer->completionModel());
    const QModelIndex line = proxy ? proxy->mapToSource(match) : QModelIndex();
    if (!line.isValid())
        return;
    m_selector->setCurrentIndex(line.row());
    clear();
    narrow(QString());
    m_selector->setFocus();
}

} // namespace vastrel
