#include "export/cell_range.h"

#include "domain/error.h"

#include <QRegularExpression>

#include <algorithm>

namespace vastrel {

namespace {

Error badAddress(const QString &a1)
{
    return Error(QStringLiteral("Неверный адрес ячеек \"%1\".").arg(a1));
}

} // namespace

int columnNumber(const QString &letters)
{
    if (letters.isEmpty() || letters.size() > 3)
        return 0;
    int number = 0;
    for (const QChar c : letters) {
        const QChar upper = c.toUpper();
        if (upper < QLatin1Char('A') || upper > QLatin1Char('Z'))
            return 0;
        number = number * 26 + (upper.unicode() - 'A' + 1);
    }
    return number;
}

QString columnLetters(int column)
{
    QString letters;
    while (column > 0) {
        const int digit = (column - 1) % 26;
        letters.prepend(QChar('A' + digit));
        column = (column - 1) / 26;
    }
    return letters;
}

CellRange CellRange::parse(const QString &a1)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\$?([A-Za-z]{1,3})\\$?([0-9]{1,7})(?::\\$?([A-Za-z]{1,3})\\$?([0-9]{1,7}))?$"));
    const QRegularExpressionMatch match = pattern.match(a1);
    if (!match.hasMatch())
        throw badAddress(a1);
    const int left = columnNumber(match.captured(1));
    const int top = match.captured(2).toInt();
    int right = left;
    int bottom = top;
    if (match.hasCaptured(3)) {
        right = columnNumber(match.captured(3));
        bottom = match.captured(4).toInt();
    }
    if (left < 1 || top < 1 || right < 1 || bottom < 1)
        throw badAddress(a1);
    return {std::min(top, bottom), std::min(left, right), std::max(top, bottom), std::max(left, right)};
}

bool CellRange::contains(int row, int column) const
{
    return row >= top && row <= bottom && column >= left && column <= right;
}

bool CellRange::intersects(const CellRange &other) const
{
    return top <= other.bottom && other.top <= bottom && left <= other.right && other.left <= right;
}

QString CellRange::a1() const
{
    const QString first = columnLetters(left) + QString::number(top);
    if (top == bottom && left == right)
        return first;
    return first + QLatin1Char(':') + columnLetters(right) + QString::number(bottom);
}

} // namespace vastrel
