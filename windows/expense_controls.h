#pragma once

#include <QString>

namespace vastrel {

// The main window's controls of one expense line: the panel that shows its
// code and the entry field of its amount, by their objectNames.
struct ExpenseControls
{
    QString panel;
    QString field;
};

// Those of the catalogue's expense line `shortCode`; empty names for a code
// the catalogue does not have.
ExpenseControls expenseControls(const QString &shortCode);

} // namespace vastrel
