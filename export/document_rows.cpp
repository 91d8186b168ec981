#include "export/document_rows.h"

#include <QStringList>

namespace vastrel {

int consolidatedRowLines(const QString &code)
{
    static const QStringList tripled = {
        QStringLiteral("386 00000000000000200"),
        QStringLiteral("386 30000000000000000"),
        QStringLiteral("386 30300000000000000"),
        QStringLiteral("386 00000000000000241"),
    };
    static const QStringList doubled = {
        QStringLiteral("386 30201010010000130"),
        QStringLiteral("386 30399010010000180"),
        QStringLiteral("386 00000000000000210"),
    };
    return tripled.contains(code) ? 3 : doubled.contains(code) ? 2 : 1;
}

bool consolidatedBoldAmount(const QString &code)
{
    static const QStringList bold = {
        QStringLiteral("386 30200000000000000"), QStringLiteral("386 30300000000000000"),
        QStringLiteral("386 00000000000000210"), QStringLiteral("386 00000000000000220"),
        QStringLiteral("386 00000000000000260"), QStringLiteral("386 00000000000000300"),
    };
    return bold.contains(code);
}

const BreakdownGroupLook &breakdownGroupLook(const QString &code)
{
    // The 210 row stands in the fixed part of the table and looks different.
    static const BreakdownGroupLook looks[] = {
        {QStringLiteral("386 00000000000000210"), false, 2},
        {QStringLiteral("386 00000000000000220"), true, 1},
        {QStringLiteral("386 00000000000000300"), true, 1},
    };
    for (const BreakdownGroupLook &look : looks) {
        if (look.code == code)
            return look;
    }
    static const BreakdownGroupLook plain;
    return plain;
}

} // namespace vastrel
