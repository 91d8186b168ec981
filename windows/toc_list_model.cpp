#include "windows/toc_list_model.h"

#include <algorithm>

namespace vastrel {

void TocListModel::setToc(CompactToc toc)
{
    beginResetModel();
    m_toc = std::move(toc);
    applyFilter();
    endResetModel();
}

void TocListModel::setFilter(const QString &text)
{
    if (text == m_filter)
        return;
    beginResetModel();
    m_filter = text;
    applyFilter();
    endResetModel();
}

void TocListModel::applyFilter()
{
    m_rows.clear();
    m_filtered = !m_filter.isEmpty();
    if (!m_filtered)
        return;
    for (qsizetype i = 0; i < m_toc.size(); ++i) {
        if (m_toc.line(i).contains(m_filter, Qt::CaseInsensitive))
            m_rows.push_back(int(i));
    }
}

int TocListModel::tocRow(int row) const
{
    return m_filtered ? m_rows.at(size_t(row)) : row;
}

int TocListModel::rowOfTocRow(int tocRow) const
{
    if (!m_filtered)
        return tocRow < m_toc.size() ? tocRow : -1;
    const auto found = std::lower_bound(m_rows.begin(), m_rows.end(), tocRow);
    return found != m_rows.end() && *found == tocRow ? int(found - m_rows.begin()) : -1;
}

int TocListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_filtered ? int(m_rows.size()) : int(m_toc.size());
}

QVariant TocListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role != Qt::DisplayRole)
        return {};
    return m_toc.line(tocRow(index.row()));
}

} // namespace vastrel
