#include "export/sheet_model.h"

#include "domain/amount.h"
#include "domain/error.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cmath>

namespace vastrel {

namespace {

// Spreadsheet programs refuse taller rows and wider columns.
constexpr double MaximumRowHeight = 409.0;
constexpr double MaximumColumnWidth = 255.0;
// Sums that refer to each other deeper than this count as circular.
constexpr int MaximumSumDepth = 64;
// Room beside a cell's text, in column-width units.
constexpr double CellPadding = 1.5;
constexpr double WidthTolerance = 1e-9;

} // namespace

void SheetModel::put(const CellRange &range, const Style &style, const CellValue &value)
{
    // Documents are built whole before they are saved: refusing here writes nothing.
    if (const double *number = std::get_if<double>(&value))
        finiteTotal(*number);
    const bool merged = range.rows() * range.columns() > 1;
    for (int row = range.top; row <= range.bottom; ++row) {
        for (const qsizetype index : m_mergesByRow.value(row)) {
            if (m_merges.at(index).intersects(range))
                throw Error(QStringLiteral("Ячейки %1 пересекаются с уже объединёнными.").arg(range.a1()));
        }
    }
    if (merged) {
        for (int row = range.top; row <= range.bottom; ++row)
            m_mergesByRow[row].append(m_merges.size());
        m_merges.append(range);
    }
    m_lastColumn = std::max(m_lastColumn, range.right);
    for (int row = range.top; row <= range.bottom; ++row) {
        for (int column = range.left; column <= range.right; ++column)
            m_cells[{row, column}] = Cell{Cell::Kind::Blank, {}, 0, {}, style};
    }
    Cell &first = m_cells[{range.top, range.left}];
    if (const QString *text = std::get_if<QString>(&value); text && !text->isEmpty()) {
        first.kind = Cell::Kind::Text;
        first.text = *text;
    } else if (const double *number = std::get_if<double>(&value)) {
        first.kind = Cell::Kind::Number;
        first.number = *number;
    } else if (const Sum *sum = std::get_if<Sum>(&value)) {
        first.kind = Cell::Kind::Sum;
        first.sum = sum->ranges;
    }
}

const CellRange *SheetModel::mergeAt(int row, int column) const
{
    const auto covering = m_mergesByRow.constFind(row);
    if (covering == m_mergesByRow.constEnd())
        return nullptr;
    for (const qsizetype index : *covering) {
        const CellRange &merged = m_merges.at(index);
        if (merged.contains(row, column))
            return &merged;
    }
    return nullptr;
}

const Cell *SheetModel::cellAt(int row, int column) const
{
    const auto it = m_cells.constFind({row, column});
    return it == m_cells.constEnd() ? nullptr : &*it;
}

double SheetModel::rowHeight(int row) const
{
    if (const auto it = m_rowHeights.constFind(row); it != m_rowHeights.constEnd())
        return *it;
    // A row nobody sized grows with its largest font, as spreadsheet programs' rows do.
    int largest = defaultFontSize();
    for (auto it = m_cells.lowerBound({row, 0}); it != m_cells.cend() && it.key().first == row; ++it)
        largest = std::max(largest, it->style.size);
    return std::max(defaultRowHeight(), standardRowHeight(largest));
}

double standardRowHeight(int fontSize)
{
    // Heights come in steps of 0.75 pt (one pixel at 96 dpi); 10 pt gives 12.75.
    return std::ceil(fontSize * 1.275 / 0.75 - 1e-9) * 0.75;
}

void SheetModel::setRowHeight(int row, double points)
{
    m_rowHeights[row] = std::clamp(points, 0.0, MaximumRowHeight);
}

double SheetModel::evaluate(int row, int column, int depth) const
{
    const Cell *cell = cellAt(row, column);
    if (!cell || depth > MaximumSumDepth)
        return 0;
    switch (cell->kind) {
    case Cell::Kind::Number:
        return cell->number;
    case Cell::Kind::Sum: {
        AmountSum sum;
        for (const CellRange &range : cell->sum) {
            for (int r = range.top; r <= range.bottom; ++r) {
                for (int c = range.left; c <= range.right; ++c)
                    sum.add(evaluate(r, c, depth + 1));
            }
        }
        return sum.value();
    }
    default:
        return 0;
    }
}

double SheetModel::numericValue(int row, int column) const
{
    return evaluate(row, column, 0);
}

QString SheetModel::displayText(int row, int column) const
{
    const Cell *cell = cellAt(row, column);
    if (!cell)
        return QString();
    switch (cell->kind) {
    case Cell::Kind::Text:
        return cell->text;
    case Cell::Kind::Number:
        return shownNumber(cell->number, cell->style.number);
    case Cell::Kind::Sum:
        return shownNumber(numericValue(row, column), cell->style.number);
    default:
        return QString();
    }
}

double SheetModel::columnWidth(int column) const
{
    return m_columnWidths.value(column, defaultColumnWidth());
}

double SheetModel::printedWidth() const
{
    double width = 0;
    for (int column = 1, last = lastColumn(); column <= last; ++column)
        width += columnWidthPoints(columnWidth(column));
    return width;
}

double SheetModel::printableWidth() const
{
    const double paper = m_page.orientation == Orientation::Landscape ? PaperA4::height : PaperA4::width;
    return paper - (PageMargins::left + PageMargins::right) * 72.0;
}

double SheetModel::printScale() const
{
    const double width = printedWidth();
    return width > printableWidth() ? printableWidth() / width : 1.0;
}

double columnWidthPoints(double width)
{
    return width <= 0 ? 0 : std::floor(width * 7.0 + 5.0) * 0.75;
}

double SheetModel::textWidthOf(int row, int column) const
{
    const Cell *cell = cellAt(row, column);
    if (!cell)
        return 0;
    return textWidth(displayText(row, column), cell->style.size, cell->style.bold);
}

void SheetModel::fitColumns(const CellRange &range)
{
    // One pass over the cells for all the columns: a column's width depends only on its own cells.
    QMap<int, double> widest;
    QList<QMap<QPair<int, int>, Cell>::const_iterator> wrapped;
    for (auto it = m_cells.cbegin(); it != m_cells.cend(); ++it) {
        const auto [row, column] = it.key();
        if (column < range.left || column > range.right)
            continue;
        // Merged and wrapped cells are fitted below, after the plain cells have set the widths.
        if (it->style.wrap) {
            if (it->kind != Cell::Kind::Blank && range.contains(row, column))
                wrapped.append(it);
            continue;
        }
        if (mergeAt(row, column))
            continue;
        double &width = widest[column];
        width = std::max(width, textWidthOf(row, column));
    }
    for (int column = range.left; column <= range.right; ++column) {
        const double width = widest.value(column, 0);
        if (width > 0)
            m_columnWidths[column] = std::min(width, MaximumColumnWidth);
        else
            m_columnWidths.remove(column);
    }
    // No word of a wrapped text is broken.
    for (const auto &it : wrapped)
        fitLongestWord(it.key().first, it.key().second, *it);
    fitMergedTexts(range);
    fitWrappedRows(range);
}

double SheetModel::widthOf(const CellRange &area) const
{
    double width = 0;
    for (int column = area.left; column <= area.right; ++column)
        width += columnWidth(column);
    return width;
}

void SheetModel::fitLongestWord(int row, int column, const Cell &cell)
{
    const CellRange *merged = mergeAt(row, column);
    const CellRange area = merged ? *merged : CellRange::cell(row, column);
    const int size = cell.style.size;
    const bool bold = cell.style.bold;
    const double need = cell.kind == Cell::Kind::Text ? longestWordWidth(cell.text, size, bold)
                                                      : longestWordWidth(displayText(row, column), size, bold);
    const double have = widthOf(area);
    if (need > have + WidthTolerance)
        m_columnWidths[area.right] = std::min(columnWidth(area.right) + need - have, MaximumColumnWidth);
}

void SheetModel::fitMergedTexts(const CellRange &range)
{
    // Narrow merges first, so a wide one sees the columns they widened.
    QList<CellRange> merges = m_merges;
    std::stable_sort(merges.begin(), merges.end(),
                     [](const CellRange &a, const CellRange &b) { return a.columns() < b.columns(); });
    const double room = printableWidth();
    double printed = printedWidth();
    for (const CellRange &merged : merges) {
        const Cell *cell = cellAt(merged.top, merged.left);
        if (!cell || cell->style.wrap || !range.contains(merged.top, merged.right))
            continue;
        const double have = widthOf(merged);
        const double need = textWidthOf(merged.top, merged.left);
        if (need <= have + WidthTolerance)
            continue;
        const double before = columnWidth(merged.right);
        const double widened = std::min(before + need - have, MaximumColumnWidth);
        const double grown = printed - columnWidthPoints(before) + columnWidthPoints(widened);
        if (grown <= room) {
            m_columnWidths[merged.right] = widened;
            printed = grown;
            continue;
        }
        // On one line it would shrink the printed page: it wraps inside its cells instead.
        Cell &wrapped = m_cells[{merged.top, merged.left}];
        wrapped.style.wrap = true;
        fitLongestWord(merged.top, merged.left, wrapped);
        printed += columnWidthPoints(columnWidth(merged.right)) - columnWidthPoints(before);
    }
}

void SheetModel::fitWrappedRows(const CellRange &range)
{
    // Only the range's rows: the cells are ordered by row.
    for (auto it = std::as_const(m_cells).lowerBound({range.top, range.left});
         it != m_cells.cend() && it.key().first <= range.bottom; ++it) {
        const auto [row, column] = it.key();
        if (!it->style.wrap || !range.contains(row, column) || it->kind == Cell::Kind::Blank)
            continue;
        const CellRange *merged = mergeAt(row, column);
        const CellRange area = merged ? *merged : CellRange::cell(row, column);
        const double width = widthOf(area);
        const int size = it->style.size;
        const int lines = wrappedLineCount(displayText(row, column), width, size, it->style.bold);
        double have = 0;
        for (int r = area.top; r <= area.bottom; ++r)
            have += rowHeight(r);
        const double need = lines * standardRowHeight(size);
        if (need > have)
            setRowHeight(area.bottom, rowHeight(area.bottom) + need - have);
    }
}

namespace {

// Typical advance of a glyph of the sheet's fonts, in widths of a digit.
double glyphWidthByRule(QChar c)
{
    static const QString narrow = QStringLiteral(" .,:;!|'iljI");
    static const QString slim = QStringLiteral("()[]-frt/\"");
    static const QString wideCyrillic = QStringLiteral("шщжмыюфШЩЖМЫЮФ");
    if (narrow.contains(c))
        return 0.5;
    if (slim.contains(c))
        return 0.62;
    if (wideCyrillic.contains(c))
        return c.isUpper() ? 1.6 : 1.35;
    if (c == QLatin1Char('m') || c == QLatin1Char('w'))
        return 1.5;
    if (c == QLatin1Char('M') || c == QLatin1Char('W'))
        return 1.6;
    if (c == QChar(0x2116)) // №
        return 1.8;
    if (c.isUpper())
        return 1.22;
    return 1.0;
}

double glyphWidth(QChar c)
{
    // Texts are Latin and Cyrillic: their widths come from a table made once.
    constexpr char16_t tabled = 0x500;
    static const auto widths = [] {
        std::array<double, tabled> widths{};
        for (char16_t code = 0; code < tabled; ++code)
            widths[code] = glyphWidthByRule(QChar(code));
        return widths;
    }();
    return c.unicode() < tabled ? widths[c.unicode()] : glyphWidthByRule(c);
}

// The widest run of glyphs between line ends, and between blanks too when asked, in digit widths.
double widestRun(const QString &text, bool wordsOnly)
{
    // Lines end at CR LF, CR or LF.
    double widest = 0;
    double width = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || (wordsOnly && c == QLatin1Char(' '))) {
            widest = std::max(widest, width);
            width = 0;
            continue;
        }
        width += glyphWidth(c);
    }
    return std::max(widest, width);
}

double cellWidthOf(double run, int fontSize, bool bold)
{
    if (run == 0)
        return 0;
    const double scaled = run * fontSize / 10.0 * (bold ? 1.08 : 1.0);
    // A margin on either side, and room for viewers whose fonts run wider.
    return std::round((scaled * 1.04 + CellPadding) * 100.0) / 100.0;
}

} // namespace

double textWidth(const QString &text, int fontSize, bool bold)
{
    return cellWidthOf(widestRun(text, false), fontSize, bold);
}

double longestWordWidth(const QString &text, int fontSize, bool bold)
{
    return cellWidthOf(widestRun(text, true), fontSize, bold);
}

int wrappedLineCount(const QString &text, double width, int fontSize, bool bold)
{
    const double room = std::max(1.0, width - CellPadding);
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    const double space = textWidth(QStringLiteral(" "), fontSize, bold) - CellPadding;
    int lines = 0;
    for (const QString &paragraph : text.split(lineEnd)) {
        ++lines;
        double used = 0;
        for (const QString &word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const double w = textWidth(word, fontSize, bold) - CellPadding;
            // A word that fits exactly fits, whatever the rounding of the widths that add up to it.
            if (used > 0 && used + space + w > room + WidthTolerance) {
                ++lines;
                used = 0;
            }
            if (used > 0) {
                used += space + w;
            } else if (w > room + WidthTolerance) {
                // A word longer than the line is broken over as many lines as it needs.
                const int parts = int(std::ceil(w / room));
                lines += parts - 1;
                used = w - (parts - 1) * room;
            } else {
                used = w;
            }
        }
    }
    return lines;
}

QString shownNumber(double value, NumberFormat format)
{
    if (format == NumberFormat::General)
        return formatAmount(value, FileDecimalSeparator);
    // Every amount of a long document passes here: the text is built in one string.
    const QString digits = QString::number(std::fabs(value), 'f', 2);
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    const auto nonZero = [](QChar c) { return c >= QLatin1Char('1') && c <= QLatin1Char('9'); };
    const bool negative = value < 0 && std::any_of(digits.cbegin(), digits.cend(), nonZero);
    QString text;
    text.reserve(digits.size() + digits.size() / 3 + 2);
    if (negative)
        text += QLatin1Char('-');
    for (qsizetype i = 0; i < point; ++i) {
        if (i > 0 && (point - i) % 3 == 0)
            text += QLatin1Char(' ');
        text += digits.at(i);
    }
    text += QLatin1Char(',');
    text += QStringView(digits).mid(point + 1);
    return text;
}

} // namespace vastrel
