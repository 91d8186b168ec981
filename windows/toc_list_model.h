#pragma once

#include "store/table_of_contents.h"

#include <QAbstractListModel>

#include <vector>

namespace vastrel {

// The records of a table of contents for a list view, one row a line. A row
// is decoded only when the view shows it, so a large base opens at once.
// Read-only: the lines change only through the operations. A filter shows
// only the lines that contain a text; rows are then rows of what is shown,
// and tocRow gives the line of the table of contents a row stands for.
class TocListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void setToc(CompactToc toc);
    const CompactToc &toc() const { return m_toc; }

    // Lines that contain `text`, in any letter case; all of them when empty.
    void setFilter(const QString &text);
    const QString &filter() const { return m_filter; }
    int tocRow(int row) const;
    // The row that shows the line, -1 when the filter hides it.
    int rowOfTocRow(int tocRow) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    void applyFilter();

    CompactToc m_toc;
    QString m_filter;
    bool m_filtered = false;
    std::vector<int> m_rows; // lines shown, while filtered
};

} // namespace vastrel
