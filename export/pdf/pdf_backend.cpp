#include "export/pdf/pdf_backend.h"

#include "base/error.h"

#include <QBuffer>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

#include <algorithm>

namespace vastrel {

namespace {

// Device units are points.
constexpr int PointsPerInch = 72;
// Room left and right of a cell's text, as the spreadsheet application leaves it.
constexpr double TextPadding = 2.0;
constexpr double ThinLine = 0.5;

// "Arial Cyr" is not shipped on Linux; Liberation Sans has its metrics and Cyrillic.
QString installedFamily(const QString &name)
{
    if (name.startsWith(QLatin1String("Arial"), Qt::CaseInsensitive))
        return QStringLiteral("Liberation Sans");
    return name;
}

QFont cellFont(const CellFormat &format)
{
    QFont font(installedFamily(format.fontName.value_or(SheetModel::defaultFontName())));
    font.setPointSizeF(format.fontSize.value_or(SheetModel::defaultFontSize()));
    font.setBold(format.bold.value_or(false));
    font.setItalic(format.italic.value_or(false));
    font.setKerning(false);
    return font;
}

int alignmentFlags(const Cell &cell)
{
    int flags = 0;
    const bool number = cell.kind == Cell::Kind::Number || cell.kind == Cell::Kind::Formula;
    switch (cell.format.horizontal.value_or(number ? HAlign::Right : HAlign::Left)) {
    case HAlign::Left:
        flags |= Qt::AlignLeft;
        break;
    case HAlign::Right:
        flags |= Qt::AlignRight;
        break;
    case HAlign::Centre:
    case HAlign::CentreConstant:
        flags |= Qt::AlignHCenter;
        break;
    }
    // The application puts text at the bottom of a cell unless told otherwise.
    if (!cell.format.vertical)
        flags |= Qt::AlignBottom;
    else
        flags |= *cell.format.vertical == VAlign::Top ? Qt::AlignTop : Qt::AlignVCenter;
    if (cell.format.wrap.value_or(false))
        flags |= Qt::TextWordWrap;
    return flags | Qt::TextDontClip;
}

bool hasBorders(const CellFormat &format)
{
    constexpr int lineStyleNone = -4142;
    return (format.borderLineStyle || format.borderWeight)
           && format.borderLineStyle.value_or(LineStyleContinuous) != lineStyleNone;
}

// The footer text without its codes; "&7" sets the size in points.
QString footerText(const QString &footer, double *size)
{
    static const QRegularExpression sizeCode(QStringLiteral("&([0-9]+)"));
    QString text = footer;
    if (const auto match = sizeCode.match(text); match.hasMatch())
        *size = match.captured(1).toDouble();
    text.remove(sizeCode);
    text.replace(QLatin1String("&&"), QLatin1String("\x01"));
    text.remove(QRegularExpression(QStringLiteral("&[LCRBIU]")));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

class PdfPainter
{
public:
    explicit PdfPainter(const SheetModel &sheet) : m_sheet(sheet) { measure(); }

    void paint(QPdfWriter &writer);

private:
    void measure();
    QList<QList<int>> pages() const;
    void paintPage(QPainter &painter, const QList<int> &rows);
    void paintFooter(QPainter &painter);

    const SheetModel &m_sheet;
    int m_lastRow = 0;
    int m_lastColumn = 0;
    QList<double> m_columnLeft; // by column, from 1; one past the last is the right edge
    double m_scale = 1;
    // From the left margin to the table, which stands in the middle of the page.
    double m_indent = 0;
    QSizeF m_page;
};

void PdfPainter::measure()
{
    for (auto it = m_sheet.cellMap().cbegin(); it != m_sheet.cellMap().cend(); ++it) {
        m_lastRow = std::max(m_lastRow, it.key().first);
        m_lastColumn = std::max(m_lastColumn, it.key().second);
    }
    for (const CellRange &merged : m_sheet.merges()) {
        m_lastRow = std::max(m_lastRow, merged.bottom);
        m_lastColumn = std::max(m_lastColumn, merged.right);
    }
    m_columnLeft = {0, 0};
    for (int column = 1; column <= m_lastColumn; ++column)
        m_columnLeft.append(m_columnLeft.last() + columnWidthPoints(m_sheet.columnWidth(column)));

    const QSizeF a4(PaperA4::width, PaperA4::height);
    m_page = m_sheet.orientation() == Orientation::Landscape ? a4.transposed() : a4;
    m_scale = m_sheet.printScale();
    m_indent = std::max(0.0, (m_sheet.printableWidth() - m_columnLeft.last() * m_scale) / 2);
}

// Rows of each page; the title rows head every page after the first.
QList<QList<int>> PdfPainter::pages() const
{
    const double room = (m_page.height() - (PageMargins::top + PageMargins::bottom) * PointsPerInch) / m_scale;
    QList<int> titles;
    double titleHeight = 0;
    for (int row = m_sheet.printTitleFirst(); row >= 1 && row <= m_sheet.printTitleLast(); ++row) {
        titles.append(row);
        titleHeight += m_sheet.rowHeight(row);
    }
    QList<QList<int>> pages{{}};
    double used = 0;
    for (int row = 1; row <= m_lastRow; ++row) {
        const double height = m_sheet.rowHeight(row);
        if (used + height > room && !pages.last().isEmpty()) {
            pages.append(row > m_sheet.printTitleLast() ? titles : QList<int>());
            used = row > m_sheet.printTitleLast() ? titleHeight : 0;
        }
        pages.last().append(row);
        used += height;
    }
    return pages;
}

void PdfPainter::paint(QPdfWriter &writer)
{
    QPainter painter;
    if (!painter.begin(&writer))
        throw Error(QStringLiteral("Не удалось построить документ PDF."));
    const QList<QList<int>> all = pages();
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (i > 0)
            writer.newPage();
        painter.save();
        painter.translate(PageMargins::left * PointsPerInch + m_indent, PageMargins::top * PointsPerInch);
        painter.scale(m_scale, m_scale);
        paintPage(painter, all.at(i));
        painter.restore();
        paintFooter(painter);
    }
    painter.end();
}

void PdfPainter::paintPage(QPainter &painter, const QList<int> &rows)
{
    QMap<int, double> top;
    double y = 0;
    for (const int row : rows) {
        top.insert(row, y);
        y += m_sheet.rowHeight(row);
    }
    // A merged cell spans its rows that stand on this page, one after another.
    auto bottomOf = [&](int first, int last) {
        int row = first;
        while (row < last && rows.contains(row + 1))
            ++row;
        return top.value(row) + m_sheet.rowHeight(row);
    };
    QPen line(Qt::black, ThinLine);
    line.setCapStyle(Qt::SquareCap);
    for (const int row : rows) {
        for (int column = 1; column <= m_lastColumn; ++column) {
            const Cell *cell = m_sheet.cellAt(row, column);
            if (!cell)
                continue;
            const CellRange *merged = m_sheet.mergeAt(row, column);
            if (merged && (merged->left != column || (merged->top != row && rows.contains(row - 1))))
                continue;
            const CellRange area = merged ? *merged : CellRange::cell(row, column);
            const QRectF box(QPointF(m_columnLeft.at(area.left), top.value(row)),
                             QPointF(m_columnLeft.at(area.right + 1), bottomOf(row, area.bottom)));
            if (hasBorders(cell->format)) {
                painter.setPen(line);
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(box);
            }
            const QString text = m_sheet.displayText(merged ? merged->top : row, column);
            if (text.isEmpty())
                continue;
            painter.setPen(Qt::black);
            painter.setFont(cellFont(cell->format));
            QString shown = text;
            shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            painter.drawText(box.adjusted(TextPadding, 0.5, -TextPadding, -0.5), alignmentFlags(*cell), shown);
        }
    }
}

void PdfPainter::paintFooter(QPainter &painter)
{
    if (m_sheet.leftFooter().isEmpty())
        return;
    double size = SheetModel::defaultFontSize();
    const QString text = footerText(m_sheet.leftFooter(), &size);
    QFont font(installedFamily(SheetModel::defaultFontName()));
    font.setPointSizeF(size);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const double baseline = m_page.height() - PageMargins::footer * PointsPerInch;
    painter.drawText(QPointF(PageMargins::left * PointsPerInch, baseline), text);
}

// Windows has no Liberation Sans: the installation brings it in fonts/
// beside the program, so every PDF is drawn with the same font file.
void addShippedFonts()
{
    static const bool added = [] {
        if (QFontDatabase::families().contains(QStringLiteral("Liberation Sans")))
            return true;
        const QDir fonts(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("fonts")));
        for (const QString &file : fonts.entryList({QStringLiteral("*.ttf")}, QDir::Files))
            QFontDatabase::addApplicationFont(fonts.filePath(file));
        return true;
    }();
    Q_UNUSED(added);
}

} // namespace

QByteArray pdfBytes(const SheetModel &sheet)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        throw Error(QStringLiteral("Не удалось построить документ PDF: нет графической подсистемы."));
    addShippedFonts();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(sheet.orientation() == Orientation::Landscape ? QPageLayout::Landscape
                                                                               : QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(PointsPerInch);
        writer.setCreator(QStringLiteral("Вастрель - Тавер"));
        PdfPainter(sheet).paint(writer);
    }
    if (bytes.isEmpty())
        throw Error(QStringLiteral("Не удалось построить документ PDF."));
    return bytes;
}

} // namespace vastrel
