#include "export/pdf/pdf_backend.h"

#include "domain/error.h"

#include <QBuffer>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHashSeed>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QScopeGuard>

#include <algorithm>

// The fonts' resources live in a static library: registered before the first use.
static void initFontResources()
{
    Q_INIT_RESOURCE(pdf_fonts);
}

namespace vastrel {

namespace {

// Device units are points.
constexpr int PointsPerInch = 72;
// Room left and right of a cell's text, as spreadsheet programs leave it.
constexpr double TextPadding = 2.0;
constexpr double ThinLine = 0.5;

// "Arial Cyr" is not shipped on Linux; Liberation Sans has its metrics and Cyrillic.
QString installedFamily(const QString &name)
{
    if (name.startsWith(QLatin1String("Arial"), Qt::CaseInsensitive))
        return QStringLiteral("Liberation Sans");
    return name;
}

// Glyph advances come from the font file, not from the platform's hinting
// defaults (full on Windows, fontconfig's on Linux): the same PDF everywhere.
QFont documentFont()
{
    QFont font(installedFamily(SheetModel::fontName()));
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}

QFont cellFont(const Style &style)
{
    QFont font = documentFont();
    font.setPointSizeF(style.size);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setKerning(false);
    return font;
}

int alignmentFlags(const Cell &cell)
{
    int flags = 0;
    switch (cell.style.align) {
    case Align::General:
        flags |= cell.kind == Cell::Kind::Number || cell.kind == Cell::Kind::Sum ? Qt::AlignRight : Qt::AlignLeft;
        break;
    case Align::Left:
        flags |= Qt::AlignLeft;
        break;
    case Align::Right:
        flags |= Qt::AlignRight;
        break;
    case Align::Centre:
        flags |= Qt::AlignHCenter;
        break;
    }
    switch (cell.style.vertical) {
    case VerticalAlign::Bottom:
        flags |= Qt::AlignBottom;
        break;
    case VerticalAlign::Top:
        flags |= Qt::AlignTop;
        break;
    case VerticalAlign::Middle:
        flags |= Qt::AlignVCenter;
        break;
    }
    if (cell.style.wrap)
        flags |= Qt::TextWordWrap;
    return flags | Qt::TextDontClip;
}

class PdfPainter
{
public:
    explicit PdfPainter(const SheetModel &sheet)
        : m_sheet(sheet)
    {
        measure();
    }

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
    m_page = m_sheet.page().orientation == Orientation::Landscape ? a4.transposed() : a4;
    m_scale = m_sheet.printScale();
    m_indent = std::max(0.0, (m_sheet.printableWidth() - m_columnLeft.last() * m_scale) / 2);
}

// Rows of each page; the title rows head every page after the first.
QList<QList<int>> PdfPainter::pages() const
{
    const double room = (m_page.height() - (PageMargins::top + PageMargins::bottom) * PointsPerInch) / m_scale;
    const int titleFirst = m_sheet.page().titleFirst;
    const int titleLast = m_sheet.page().titleLast;
    QList<int> titles;
    double titleHeight = 0;
    for (int row = titleFirst; row >= 1 && row <= titleLast; ++row) {
        titles.append(row);
        titleHeight += m_sheet.rowHeight(row);
    }
    QList<QList<int>> pages{{}};
    double used = 0;
    for (int row = 1; row <= m_lastRow; ++row) {
        const double height = m_sheet.rowHeight(row);
        if (used + height > room && !pages.last().isEmpty()) {
            pages.append(row > titleLast ? titles : QList<int>());
            used = row > titleLast ? titleHeight : 0;
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
            if (cell->style.boxed) {
                painter.setPen(line);
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(box);
            }
            const QString text = m_sheet.displayText(merged ? merged->top : row, column);
            if (text.isEmpty())
                continue;
            painter.setPen(Qt::black);
            painter.setFont(cellFont(cell->style));
            QString shown = text;
            shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            painter.drawText(box.adjusted(TextPadding, 0.5, -TextPadding, -0.5), alignmentFlags(*cell), shown);
        }
    }
}

void PdfPainter::paintFooter(QPainter &painter)
{
    const PageSetup &page = m_sheet.page();
    if (page.footer.isEmpty())
        return;
    QFont font = documentFont();
    font.setPointSizeF(page.footerSize);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const double baseline = m_page.height() - PageMargins::footer * PointsPerInch;
    painter.drawText(QPointF(PageMargins::left * PointsPerInch, baseline), page.footer);
}

// The font comes from the program's resources on every system, after the
// system's own fonts so that it takes the family's place: the PDF writer
// embeds its fonts in an order it takes from the font file's name.
void addDocumentFonts()
{
    static const bool added = [] {
        initFontResources();
        QFontDatabase::families(); // fills the database with the system's fonts first
        const QDir fonts(QStringLiteral(":/fonts"));
        for (const QString &file : fonts.entryList({QStringLiteral("*.ttf")}, QDir::Files, QDir::Name))
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
    addDocumentFonts();
    // The PDF writer keeps its fonts in a hash and embeds them in its order: a
    // fixed seed while drawing gives the same file from every run.
    const bool seedWasFixed = size_t(QHashSeed::globalSeed()) == 0;
    QHashSeed::setDeterministicGlobalSeed();
    const auto restoreSeed = qScopeGuard([seedWasFixed] {
        if (!seedWasFixed)
            QHashSeed::resetRandomGlobalSeed();
    });
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(sheet.page().orientation == Orientation::Landscape ? QPageLayout::Landscape
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
