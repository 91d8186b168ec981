#include "export/spreadsheet.h"

#include "base/error.h"

#include <QRegularExpression>

#include <algorithm>

namespace vastrel {

namespace {

Error badAddress(const QString &a1)
{
    return Error(QStringLiteral("Неверный адрес ячеек \"%1\".").arg(a1));
}

} // namespace

namespace {

QChar asQChar(QChar c)
{
    return c;
}

QChar asQChar(char c)
{
    return QLatin1Char(c);
}

template<class Letters>
int columnNumberOf(Letters letters)
{
    if (letters.isEmpty() || letters.size() > 3)
        return 0;
    int number = 0;
    for (const auto c : letters) {
        const QChar upper = asQChar(c).toUpper();
        if (upper < QLatin1Char('A') || upper > QLatin1Char('Z'))
            return 0;
        number = number * 26 + (upper.unicode() - 'A' + 1);
    }
    return number;
}

} // namespace

int columnNumber(const QString &letters)
{
    return columnNumberOf(QStringView(letters));
}

int columnNumber(QLatin1StringView letters)
{
    return columnNumberOf(letters);
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
    // Documents name cells by the ten thousand: plain addresses are read by hand, anything else by the pattern.
    {
        qsizetype at = 0;
        auto corner = [&](int &column, int &row) {
            if (at < a1.size() && a1.at(at) == QLatin1Char('$'))
                ++at;
            column = 0;
            int letters = 0;
            for (; at < a1.size() && letters < 4; ++at, ++letters) {
                const char16_t c = a1.at(at).unicode();
                if (c >= 'a' && c <= 'z')
                    column = column * 26 + (c - 'a' + 1);
                else if (c >= 'A' && c <= 'Z')
                    column = column * 26 + (c - 'A' + 1);
                else
                    break;
            }
            if (letters < 1 || letters > 3)
                return false;
            if (at < a1.size() && a1.at(at) == QLatin1Char('$'))
                ++at;
            row = 0;
            int digits = 0;
            for (; at < a1.size() && digits < 8 && a1.at(at).isDigit() && a1.at(at).unicode() < 128; ++at, ++digits)
                row = row * 10 + (a1.at(at).unicode() - '0');
            return digits >= 1 && digits <= 7;
        };
        int left = 0, top = 0, right = 0, bottom = 0;
        bool plain = corner(left, top);
        if (plain && at < a1.size()) {
            plain = a1.at(at) == QLatin1Char(':');
            ++at;
            plain = plain && corner(right, bottom);
        } else {
            right = left;
            bottom = top;
        }
        if (plain && at == a1.size() && top >= 1 && bottom >= 1)
            return {std::min(top, bottom), std::min(left, right), std::max(top, bottom), std::max(left, right)};
    }
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

CellRange CellRange::corners(const QString &first, const QString &second)
{
    return parse(first).united(parse(second));
}

bool CellRange::contains(int row, int column) const
{
    return row >= top && row <= bottom && column >= left && column <= right;
}

bool CellRange::intersects(const CellRange &other) const
{
    return top <= other.bottom && other.top <= bottom && left <= other.right && other.left <= right;
}

CellRange CellRange::united(const CellRange &other) const
{
    return {std::min(top, other.top), std::min(left, other.left), std::max(bottom, other.bottom),
            std::max(right, other.right)};
}

QString CellRange::a1() const
{
    const QString first = columnLetters(left) + QString::number(top);
    if (top == bottom && left == right)
        return first;
    return first + QLatin1Char(':') + columnLetters(right) + QString::number(bottom);
}

Range Spreadsheet::range(const QString &a1)
{
    return Range(*this, CellRange::parse(a1));
}

Range Spreadsheet::range(const QString &first, const QString &second)
{
    return Range(*this, CellRange::corners(first, second));
}

Range Spreadsheet::cells(int row, const QString &column)
{
    const int number = columnNumber(column);
    if (number < 1 || row < 1)
        throw badAddress(column + QString::number(row));
    return Range(*this, CellRange::cell(row, number));
}

Range Spreadsheet::cells(int row, int column)
{
    if (row < 1 || column < 1)
        throw badAddress(columnLetters(column) + QString::number(row));
    return Range(*this, CellRange::cell(row, column));
}

Range Spreadsheet::selection()
{
    return Range(*this, selectedRange());
}

Range &Range::merge()
{
    m_sheet->merge(m_cells);
    return *this;
}

Range &Range::select()
{
    m_sheet->select(m_cells);
    return *this;
}

Range &Range::fontName(const QString &name)
{
    m_sheet->setFontName(m_cells, name);
    return *this;
}

Range &Range::fontSize(int points)
{
    m_sheet->setFontSize(m_cells, points);
    return *this;
}

Range &Range::bold(bool on)
{
    m_sheet->setBold(m_cells, on);
    return *this;
}

Range &Range::italic(bool on)
{
    m_sheet->setItalic(m_cells, on);
    return *this;
}

Range &Range::fontColorIndex(int index)
{
    m_sheet->setFontColorIndex(m_cells, index);
    return *this;
}

Range &Range::interiorColorIndex(int index)
{
    m_sheet->setInteriorColorIndex(m_cells, index);
    return *this;
}

Range &Range::horizontal(HAlign alignment)
{
    m_sheet->setHorizontalAlignment(m_cells, alignment);
    return *this;
}

Range &Range::vertical(VAlign alignment)
{
    m_sheet->setVerticalAlignment(m_cells, alignment);
    return *this;
}

Range &Range::wrapText(bool on)
{
    m_sheet->setWrapText(m_cells, on);
    return *this;
}

Range &Range::borders(int lineStyle, int weight)
{
    m_sheet->setBorderLineStyle(m_cells, lineStyle);
    m_sheet->setBorderWeight(m_cells, weight);
    return *this;
}

Range &Range::value(const QString &text)
{
    m_sheet->setText(m_cells, text);
    return *this;
}

Range &Range::value(double number)
{
    m_sheet->setNumber(m_cells, number);
    return *this;
}

Range &Range::formulaLocal(const QString &formula)
{
    m_sheet->setFormulaLocal(m_cells, formula);
    return *this;
}

Range &Range::numberFormatLocal(const QString &format)
{
    m_sheet->setNumberFormatLocal(m_cells, format);
    return *this;
}

double Range::rowHeight() const
{
    return m_sheet->rowHeight(m_cells.top);
}

Range &Range::rowHeight(double points)
{
    for (int row = m_cells.top; row <= m_cells.bottom; ++row)
        m_sheet->setRowHeight(row, points);
    return *this;
}

Range &Range::multiplyRowHeight(int factor)
{
    return rowHeight(rowHeight() * factor);
}

} // namespace vastrel
