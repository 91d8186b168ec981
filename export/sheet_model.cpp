#include "export/sheet_model.h"

#include "base/amount.h"
#include "base/error.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cmath>

namespace vastrel {

namespace {

// The application refuses taller rows.
constexpr double MaximumRowHeight = 409.0;
constexpr double MaximumColumnWidth = 255.0;
// Formulas that refer to each other deeper than this count as circular.
constexpr int MaximumFormulaDepth = 64;
// Room beside a cell's text, in column-width units.
constexpr double CellPadding = 1.5;
constexpr double WidthTolerance = 1e-9;

} // namespace

void SheetModel::setPrintTitleRows(const QString &rows)
{
    static const QRegularExpression pattern(QStringLiteral("^\\$?([0-9]{1,7}):\\$?([0-9]{1,7})$"));
    const QRegularExpressionMatch match = pattern.match(rows);
    const int first = match.hasMatch() ? match.captured(1).toInt() : 0;
    const int last = match.hasMatch() ? match.captured(2).toInt() : 0;
    if (first < 1 || last < first)
        throw Error(QStringLiteral("Неверные строки заголовка печати \"%1\".").arg(rows));
    m_titleFirst = first;
    m_titleLast = last;
}

QVarLengthArray<quint64, 8> SheetModel::mergesMeeting(const CellRange &range) const
{
    QVarLengthArray<quint64, 8> meeting;
    if (quint64(range.rows()) > m_merges.size()) {
        for (const auto &[order, merged] : m_merges) {
            if (range.intersects(merged))
                meeting.append(order);
        }
        return meeting;
    }
    for (int row = range.top; row <= range.bottom; ++row) {
        const auto covering = m_mergesByRow.constFind(row);
        if (covering == m_mergesByRow.constEnd())
            continue;
        for (const quint64 order : *covering) {
            const CellRange &merged = m_merges.at(order);
            // Counted on the first row both share.
            if (row == std::max(range.top, merged.top) && range.intersects(merged))
                meeting.append(order);
        }
    }
    return meeting;
}

CellRange SheetModel::withWholeMerges(CellRange range) const
{
    bool grew = true;
    while (grew) {
        grew = false;
        for (const quint64 order : mergesMeeting(range)) {
            const CellRange &merged = m_merges.at(order);
            if (range.united(merged) != range) {
                range = range.united(merged);
                grew = true;
            }
        }
    }
    return range;
}

void SheetModel::merge(const CellRange &range)
{
    const CellRange whole = withWholeMerges(range);
    for (const quint64 order : mergesMeeting(whole)) {
        const CellRange merged = m_merges.at(order);
        for (int row = merged.top; row <= merged.bottom; ++row) {
            QList<quint64> &covering = m_mergesByRow[row];
            covering.removeOne(order);
            if (covering.isEmpty())
                m_mergesByRow.remove(row);
        }
        m_merges.erase(order);
    }
    if (whole.rows() * whole.columns() > 1) {
        const quint64 order = m_nextMerge++;
        m_merges.emplace(order, whole);
        m_lastColumn = std::max(m_lastColumn, whole.right);
        for (int row = whole.top; row <= whole.bottom; ++row)
            m_mergesByRow[row].append(order);
    }
    // Only the top left cell of a merged cell keeps its value.
    QMap<QPair<int, int>, Cell> &cells = cellsToChange();
    for (auto it = cells.lowerBound({whole.top, whole.left}); it != cells.end() && it.key().first <= whole.bottom;
         ++it) {
        const auto [row, column] = it.key();
        if (whole.contains(row, column) && !(row == whole.top && column == whole.left)) {
            it->kind = Cell::Kind::Blank;
            it->text.clear();
            it->formulaLocal.clear();
            it->number = 0;
        }
    }
}

void SheetModel::select(const CellRange &range)
{
    m_selection = withWholeMerges(range);
}

QList<CellRange> SheetModel::merges() const
{
    QList<CellRange> merges;
    merges.reserve(qsizetype(m_merges.size()));
    for (const auto &[order, merged] : m_merges)
        merges.append(merged);
    return merges;
}

const CellRange *SheetModel::mergeAt(int row, int column) const
{
    const auto covering = m_mergesByRow.constFind(row);
    if (covering == m_mergesByRow.constEnd())
        return nullptr;
    for (const quint64 order : *covering) {
        const CellRange &merged = m_merges.at(order);
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

QMap<QPair<int, int>, Cell> &SheetModel::cellsToChange()
{
    // A map shared with a copy is copied before it changes, and its cells move.
    if (!m_cells.isDetached())
        m_touchedRow = 0;
    return m_cells;
}

Cell &SheetModel::touch(int row, int column)
{
    QMap<QPair<int, int>, Cell> &cells = cellsToChange();
    m_lastColumn = std::max(m_lastColumn, column);
    if (row != m_touchedRow) {
        m_touchedRow = row;
        m_touched.fill(nullptr);
    }
    if (column < 1 || column > int(m_touched.size()))
        return cells[{row, column}];
    // The map's cells stay where they are while it is not copied.
    Cell *&known = m_touched[column - 1];
    if (!known)
        known = &cells[{row, column}];
    return *known;
}

template<class Change>
void SheetModel::format(const CellRange &range, Change change)
{
    for (int row = range.top; row <= range.bottom; ++row) {
        for (int column = range.left; column <= range.right; ++column)
            change(touch(row, column).format);
    }
}

template<class Change>
void SheetModel::value(const CellRange &range, Change change)
{
    for (int row = range.top; row <= range.bottom; ++row) {
        for (int column = range.left; column <= range.right; ++column) {
            const CellRange *merged = mergeAt(row, column);
            if (merged && (merged->top != row || merged->left != column))
                continue;
            Cell &cell = touch(row, column);
            cell.text.clear();
            cell.formulaLocal.clear();
            cell.number = 0;
            change(cell);
        }
    }
}

void SheetModel::setFontName(const CellRange &range, const QString &name)
{
    format(range, [&](CellFormat &f) { f.fontName = name; });
}

void SheetModel::setFontSize(const CellRange &range, int points)
{
    format(range, [&](CellFormat &f) { f.fontSize = points; });
}

void SheetModel::setBold(const CellRange &range, bool bold)
{
    format(range, [&](CellFormat &f) { f.bold = bold; });
}

void SheetModel::setItalic(const CellRange &range, bool italic)
{
    format(range, [&](CellFormat &f) { f.italic = italic; });
}

void SheetModel::setFontColorIndex(const CellRange &range, int index)
{
    format(range, [&](CellFormat &f) { f.fontColorIndex = index; });
}

void SheetModel::setInteriorColorIndex(const CellRange &range, int index)
{
    format(range, [&](CellFormat &f) { f.interiorColorIndex = index; });
}

void SheetModel::setHorizontalAlignment(const CellRange &range, HAlign alignment)
{
    format(range, [&](CellFormat &f) { f.horizontal = alignment; });
}

void SheetModel::setVerticalAlignment(const CellRange &range, VAlign alignment)
{
    format(range, [&](CellFormat &f) { f.vertical = alignment; });
}

void SheetModel::setWrapText(const CellRange &range, bool wrap)
{
    format(range, [&](CellFormat &f) { f.wrap = wrap; });
}

void SheetModel::setBorderLineStyle(const CellRange &range, int lineStyle)
{
    format(range, [&](CellFormat &f) { f.borderLineStyle = lineStyle; });
}

void SheetModel::setBorderWeight(const CellRange &range, int weight)
{
    format(range, [&](CellFormat &f) { f.borderWeight = weight; });
}

void SheetModel::setNumberFormatLocal(const CellRange &range, const QString &localFormat)
{
    format(range, [&](CellFormat &f) { f.numberFormatLocal = localFormat; });
}

double SheetModel::rowHeight(int row) const
{
    if (const auto it = m_rowHeights.constFind(row); it != m_rowHeights.constEnd())
        return *it;
    // A row nobody sized grows with its largest font, as the application's rows do.
    int largest = defaultFontSize();
    for (auto it = m_cells.lowerBound({row, 0}); it != m_cells.cend() && it.key().first == row; ++it)
        largest = std::max(largest, it->format.fontSize.value_or(defaultFontSize()));
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

void SheetModel::setText(const CellRange &range, const QString &text)
{
    value(range, [&](Cell &cell) {
        cell.kind = text.isEmpty() ? Cell::Kind::Blank : Cell::Kind::Text;
        cell.text = text;
    });
}

void SheetModel::setNumber(const CellRange &range, double number)
{
    // Documents are built whole before they are saved: refusing here writes nothing.
    finiteTotal(number);
    value(range, [&](Cell &cell) {
        cell.kind = Cell::Kind::Number;
        cell.number = number;
    });
}

void SheetModel::setFormulaLocal(const CellRange &range, const QString &formula)
{
    // Text that is no formula goes in as a value, as the application takes it.
    if (!formula.startsWith(QLatin1Char('='))) {
        try {
            setNumber(range, parseAmount(formula));
        } catch (const Error &) {
            setText(range, formula);
        }
        return;
    }
    value(range, [&](Cell &cell) {
        cell.kind = Cell::Kind::Formula;
        cell.formulaLocal = formula;
    });
}

double SheetModel::evaluate(int row, int column, int depth) const
{
    const Cell *cell = cellAt(row, column);
    if (!cell || depth > MaximumFormulaDepth)
        return 0;
    switch (cell->kind) {
    case Cell::Kind::Number:
        return cell->number;
    case Cell::Kind::Formula: {
        const auto ranges = sumRangesOfLocalFormula(cell->formulaLocal);
        if (!ranges)
            return 0;
        AmountSum sum;
        for (const CellRange &range : *ranges) {
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
        return formatForDisplay(cell->number, cell->format.numberFormatLocal);
    case Cell::Kind::Formula:
        return formatForDisplay(numericValue(row, column), cell->format.numberFormatLocal);
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
    const double paper = m_orientation == Orientation::Landscape ? PaperA4::height : PaperA4::width;
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
    return textWidth(displayText(row, column), cell->format.fontSize.value_or(defaultFontSize()),
                     cell->format.bold.value_or(false));
}

void SheetModel::autoFitColumns(const CellRange &range)
{
    // One pass over the cells for all the columns: a column's width depends only on its own cells.
    QMap<int, double> widest;
    QList<QMap<QPair<int, int>, Cell>::const_iterator> wrapped;
    for (auto it = m_cells.cbegin(); it != m_cells.cend(); ++it) {
        const auto [row, column] = it.key();
        if (column < range.left || column > range.right)
            continue;
        // Merged and wrapped cells are fitted below, after the plain cells have set the widths.
        if (it->format.wrap.value_or(false)) {
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
    const int size = cell.format.fontSize.value_or(defaultFontSize());
    const bool bold = cell.format.bold.value_or(false);
    const double need = cell.kind == Cell::Kind::Text ? longestWordWidth(cell.text, size, bold)
                                                      : longestWordWidth(displayText(row, column), size, bold);
    const double have = widthOf(area);
    if (need > have + WidthTolerance)
        m_columnWidths[area.right] = std::min(columnWidth(area.right) + need - have, MaximumColumnWidth);
}

void SheetModel::fitMergedTexts(const CellRange &range)
{
    // Narrow merges first, so a wide one sees the columns they widened.
    QList<CellRange> merges = this->merges();
    std::stable_sort(merges.begin(), merges.end(),
                     [](const CellRange &a, const CellRange &b) { return a.columns() < b.columns(); });
    const double room = printableWidth();
    double printed = printedWidth();
    for (const CellRange &merged : merges) {
        const Cell *cell = cellAt(merged.top, merged.left);
        if (!cell || cell->format.wrap.value_or(false) || !range.contains(merged.top, merged.right))
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
        Cell &wrapped = touch(merged.top, merged.left);
        wrapped.format.wrap = true;
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
        if (!it->format.wrap.value_or(false) || !range.contains(row, column) || it->kind == Cell::Kind::Blank)
            continue;
        const CellRange *merged = mergeAt(row, column);
        const CellRange area = merged ? *merged : CellRange::cell(row, column);
        const double width = widthOf(area);
        const int size = it->format.fontSize.value_or(defaultFontSize());
        const int lines = wrappedLineCount(displayText(row, column), width, size, it->format.bold.value_or(false));
        double have = 0;
        for (int r = area.top; r <= area.bottom; ++r)
            have += rowHeight(r);
        const double need = lines * standardRowHeight(size);
        if (need > have)
            setRowHeight(area.bottom, rowHeight(area.bottom) + need - have);
    }
}

std::optional<QList<CellRange>> sumRangesOfLocalFormula(const QString &formula)
{
    static const QRegularExpression pattern(QStringLiteral("^=\\s*(СУММ|SUM)\\s*\\((.*)\\)\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(formula.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    QList<CellRange> ranges;
    for (const QString &argument : match.captured(2).split(QLatin1Char(';'))) {
        try {
            ranges.append(CellRange::parse(argument.trimmed()));
        } catch (const Error &) {
            return std::nullopt;
        }
    }
    return ranges;
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

QString formatForDisplay(double value, const std::optional<QString> &localFormat)
{
    if (!localFormat || localFormat->isEmpty())
        return formatAmount(value, FileDecimalSeparator);
    const QString &pattern = *localFormat;
    const qsizetype decimalAt = pattern.indexOf(QLatin1Char(','));
    int decimals = 0;
    if (decimalAt >= 0) {
        for (qsizetype i = decimalAt + 1; i < pattern.size() && (pattern[i] == QLatin1Char('0') || pattern[i] == QLatin1Char('#')); ++i)
            ++decimals;
    }
    // Every amount of a long document passes here: the text is built in one string.
    const QStringView integerPart = decimalAt >= 0 ? QStringView(pattern).left(decimalAt) : QStringView(pattern);
    const bool grouped = integerPart.contains(QLatin1Char(' ')) || integerPart.contains(QChar(0x00A0));
    const QString digits = QString::number(std::fabs(value), 'f', decimals);
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    const qsizetype whole = point >= 0 ? point : digits.size();
    const auto nonZero = [](QChar c) { return c >= QLatin1Char('1') && c <= QLatin1Char('9'); };
    const bool negative = value < 0 && std::any_of(digits.cbegin(), digits.cend(), nonZero);
    QString text;
    text.reserve(digits.size() + digits.size() / 3 + 2);
    if (negative)
        text += QLatin1Char('-');
    for (qsizetype i = 0; i < whole; ++i) {
        if (grouped && i > 0 && (whole - i) % 3 == 0)
            text += QLatin1Char(' ');
        text += digits.at(i);
    }
    if (point >= 0) {
        text += QLatin1Char(',');
        text += QStringView(digits).mid(point + 1);
    }
    return text;
}

} // namespace vastrel
