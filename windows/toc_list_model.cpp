#include "windows/toc_list_model.h"

namespace vastrel {

void TocListModel::setToc(CompactToc toc)
{
    beginResetModel();
    m_toc = std::move(toc);
    endResetModel();
}

int TocListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_toc.size());
}

QVariant TocListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role != Qt::DisplayRole)
        return {};
    return m_toc.line(index.row());
}

} // namespace vastrel
