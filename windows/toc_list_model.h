#pragma once

#include "base/table_of_contents.h"

#include <QAbstractListModel>

namespace vastrel {

// The records of a table of contents for a list view, one row a line. A row
// is decoded only when the view shows it, so a large base opens at once.
// Read-only: the lines change only through the operations.
class TocListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void setToc(CompactToc toc);
    const CompactToc &toc() const { return m_toc; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    CompactToc m_toc;
};

} // namespace vastrel
