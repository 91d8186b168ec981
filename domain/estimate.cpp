#include "domain/estimate.h"

namespace vastrel {

QString &EstimateEntries::expense(const QString &shortCode)
{
    return expenses.at(size_t(expenseIndexByShortCode(shortCode)));
}

const QString &EstimateEntries::expense(const QString &shortCode) const
{
    return expenses.at(size_t(expenseIndexByShortCode(shortCode)));
}

} // namespace vastrel
