#pragma once

#include <QString>

namespace vastrel {

// The refined-estimate document by a row's code: how many lines its label
// takes (1 to 3) and whether its amount is bold.
int consolidatedRowLines(const QString &code);
bool consolidatedBoldAmount(const QString &code);

// How the breakdown document draws a group row of the expense block.
struct BreakdownGroupLook
{
    QString code;
    bool boldLabel = true;
    int heightFactor = 1;
};
const BreakdownGroupLook &breakdownGroupLook(const QString &code);

} // namespace vastrel
