#include "export/xlsx_backend.h"

#include "domain/error.h"
#include "store/text_file.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <clocale>
#include <iterator>
#include <memory>

#include <locale.h>

namespace vastrel {

namespace {

Error writeFailure(lxw_error error)
{
    return Error(QStringLiteral("Не удалось построить документ: %1.").arg(QString::fromUtf8(lxw_strerror(error))));
}

void check(lxw_error error)
{
    if (error != LXW_NO_ERROR)
        throw writeFailure(error);
}

constexpr uint8_t PaperCodeA4 = 9;

// How the file stores the formats and sums the sheet speaks of.
const char *storedNumberFormat(NumberFormat format)
{
    return format == NumberFormat::Money ? "#,##0.00" : nullptr;
}

// Each range by both corners, one cell too: "SUM(E32:E32)".
QString storedSum(const QList<CellRange> &ranges)
{
    QStringList parts;
    for (const CellRange &range : ranges) {
        parts.append(columnLetters(range.left) + QString::number(range.top) + QLatin1Char(':') +
                     columnLetters(range.right) + QString::number(range.bottom));
    }
    return QStringLiteral("SUM(") + parts.join(QLatin1Char(',')) + QLatin1Char(')');
}

// A footer text as the file codes it: "&L" puts it on the left, "&7" sets
// 7 points, and a literal "&" is doubled.
QString storedFooter(const PageSetup &page)
{
    QString text = page.footer;
    text.replace(QLatin1Char('&'), QLatin1String("&&"));
    return QStringLiteral("&L&") + QString::number(page.footerSize) + text;
}

class Writer
{
public:
    explicit Writer(lxw_workbook *workbook)
        : m_workbook(workbook)
    {}

    lxw_format *format(const Style &style, int column = 0)
    {
        // Documents use a handful of styles, mostly the same down a column: a look along them, starting
        // with the one last used in the column, beats building a key per cell.
        qsizetype &last = column >= 1 && column <= int(m_lastInColumn.size()) ? m_lastInColumn[column - 1] : m_last;
        if (last < m_formats.size() && m_formats[last].first == style)
            return m_formats[last].second;
        for (qsizetype i = 0; i < m_formats.size(); ++i) {
            if (m_formats[i].first == style) {
                last = i;
                return m_formats[i].second;
            }
        }
        lxw_format *format = workbook_add_format(m_workbook);
        if (!format)
            throw writeFailure(LXW_ERROR_MEMORY_MALLOC_FAILED);
        format_set_font_name(format, SheetModel::fontName().toUtf8().constData());
        format_set_font_size(format, style.size);
        if (style.bold)
            format_set_bold(format);
        if (style.italic)
            format_set_italic(format);
        switch (style.align) {
        case Align::General:
            break;
        case Align::Left:
            format_set_align(format, LXW_ALIGN_LEFT);
            break;
        case Align::Centre:
            format_set_align(format, LXW_ALIGN_CENTER);
            break;
        case Align::Right:
            format_set_align(format, LXW_ALIGN_RIGHT);
            break;
        }
        switch (style.vertical) {
        case VerticalAlign::Bottom:
            break;
        case VerticalAlign::Top:
            format_set_align(format, LXW_ALIGN_VERTICAL_TOP);
            break;
        case VerticalAlign::Middle:
            format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
            break;
        }
        if (style.wrap)
            format_set_text_wrap(format);
        if (style.boxed)
            format_set_border(format, LXW_BORDER_THIN);
        if (const char *stored = storedNumberFormat(style.number))
            format_set_num_format(format, stored);
        last = m_formats.size();
        m_formats.append({style, format});
        return format;
    }

private:
    lxw_workbook *m_workbook;
    QList<std::pair<Style, lxw_format *>> m_formats;
    qsizetype m_last = 0;
    std::array<qsizetype, 16> m_lastInColumn{};
};

// The workbook's standard font, which sets the standard row height.
void setStandardFont(lxw_workbook *workbook)
{
    lxw_format *normal = STAILQ_FIRST(workbook->formats);
    if (!normal)
        return;
    format_set_font_name(normal, SheetModel::fontName().toUtf8().constData());
    format_set_font_size(normal, SheetModel::defaultFontSize());
    format_set_font_scheme(normal, "");
    format_set_font_family(normal, 2);
}

// The library prints numbers with the C library, which follows LC_NUMERIC:
// under ru_RU it would write "20,5" into the XML. This thread uses the "C"
// numeric conventions while the workbook is written; the rest of the process
// keeps the user's.
class CNumericLocale
{
public:
#if defined(_WIN32)
    CNumericLocale()
        : m_perThread(_configthreadlocale(_ENABLE_PER_THREAD_LOCALE))
    {
        if (const char *current = std::setlocale(LC_NUMERIC, nullptr))
            m_previous = current;
        std::setlocale(LC_NUMERIC, "C");
    }
    ~CNumericLocale()
    {
        std::setlocale(LC_NUMERIC, m_previous.constData());
        _configthreadlocale(m_perThread);
    }

private:
    int m_perThread;
    QByteArray m_previous;
#else
    CNumericLocale()
    {
        // Only the numeric part changes; texts keep the user's other conventions.
        locale_t base = duplocale(LC_GLOBAL_LOCALE);
        m_c = base ? newlocale(LC_NUMERIC_MASK, "C", base) : locale_t(0);
        if (!m_c) {
            if (base)
                freelocale(base);
            throw writeFailure(LXW_ERROR_MEMORY_MALLOC_FAILED);
        }
        m_previous = uselocale(m_c);
    }
    ~CNumericLocale()
    {
        uselocale(m_previous);
        freelocale(m_c);
    }

private:
    locale_t m_c;
    locale_t m_previous;
#endif
public:
    CNumericLocale(const CNumericLocale &) = delete;
    CNumericLocale &operator=(const CNumericLocale &) = delete;
};

} // namespace

QByteArray xlsxBytes(const SheetModel &sheet)
{
    const CNumericLocale numbers;
    QTemporaryDir directory;
    if (!directory.isValid())
        throw Error::cannotCreate(QDir::toNativeSeparators(directory.path()), directory.errorString());
    const QString path = directory.filePath(QStringLiteral("document.xlsx"));
#ifdef Q_OS_WIN
    // On Windows the library opens the workbook by a UTF-8 name, its
    // temporary files by one in the system's code page.
    const QByteArray nativePath = QDir::toNativeSeparators(path).toUtf8();
    const QByteArray temporary = QDir::toNativeSeparators(directory.path()).toLocal8Bit();
#else
    const QByteArray nativePath = QFile::encodeName(path);
    const QByteArray temporary = QFile::encodeName(directory.path());
#endif
    lxw_workbook_options options = {};
    options.tmpdir = const_cast<char *>(temporary.constData());
    lxw_workbook *workbook = workbook_new_opt(nativePath.constData(), &options);
    if (!workbook)
        throw Error::cannotCreate(QDir::toNativeSeparators(path), QStringLiteral("нет памяти"));
    // The workbook frees itself when closed; until then every failure closes it.
    struct Closer
    {
        lxw_workbook *workbook;
        ~Closer()
        {
            if (workbook)
                workbook_close(workbook);
        }
    } closer{workbook};

    setStandardFont(workbook);
    lxw_worksheet *worksheet = workbook_add_worksheet(workbook, "Лист1");
    if (!worksheet)
        throw writeFailure(LXW_ERROR_MEMORY_MALLOC_FAILED);
    worksheet_set_default_row(worksheet, SheetModel::defaultRowHeight(), LXW_FALSE);

    const PageSetup &page = sheet.page();
    if (page.orientation == Orientation::Portrait)
        worksheet_set_portrait(worksheet);
    else
        worksheet_set_landscape(worksheet);
    // Russian offices print on A4; a document is never cut at its right edge.
    worksheet_set_paper(worksheet, PaperCodeA4);
    worksheet_fit_to_pages(worksheet, 1, 0);
    worksheet_set_margins(worksheet, PageMargins::left, PageMargins::right, PageMargins::top, PageMargins::bottom);
    worksheet_center_horizontally(worksheet);
    if (!page.footer.isEmpty()) {
        lxw_header_footer_options footer = {};
        footer.margin = PageMargins::footer;
        check(worksheet_set_footer_opt(worksheet, storedFooter(page).toUtf8().constData(), &footer));
    }
    if (page.titleFirst > 0)
        check(worksheet_repeat_rows(worksheet, lxw_row_t(page.titleFirst - 1), lxw_row_t(page.titleLast - 1)));

    const auto &widths = sheet.columnWidths();
    for (auto it = widths.cbegin(); it != widths.cend(); ++it)
        check(worksheet_set_column(worksheet, lxw_col_t(it.key() - 1), lxw_col_t(it.key() - 1), it.value(), nullptr));
    // Every row is written with its height, so viewers show what was measured.
    const auto &cells = sheet.cellMap();
    QList<int> rows = sheet.rowHeights().keys();
    // The cells come row by row: each row once is enough to sort.
    for (auto it = cells.cbegin(); it != cells.cend(); ++it) {
        if (it == cells.cbegin() || std::prev(it).key().first != it.key().first)
            rows.append(it.key().first);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (const int row : rows)
        check(worksheet_set_row(worksheet, lxw_row_t(row - 1), sheet.rowHeight(row), nullptr));

    Writer writer(workbook);
    for (const CellRange &merged : sheet.merges()) {
        const Cell *first = sheet.cellAt(merged.top, merged.left);
        check(worksheet_merge_range(worksheet, lxw_row_t(merged.top - 1), lxw_col_t(merged.left - 1),
                                    lxw_row_t(merged.bottom - 1), lxw_col_t(merged.right - 1), "",
                                    writer.format(first ? first->style : Style())));
    }
    for (auto it = cells.cbegin(); it != cells.cend(); ++it) {
        const lxw_row_t row = lxw_row_t(it.key().first - 1);
        const lxw_col_t column = lxw_col_t(it.key().second - 1);
        const Cell &cell = it.value();
        lxw_format *format = writer.format(cell.style, it.key().second);
        switch (cell.kind) {
        case Cell::Kind::Blank:
            check(worksheet_write_blank(worksheet, row, column, format));
            break;
        case Cell::Kind::Text:
            check(worksheet_write_string(worksheet, row, column, cell.text.toUtf8().constData(), format));
            break;
        case Cell::Kind::Number:
            check(worksheet_write_number(worksheet, row, column, cell.number, format));
            break;
        case Cell::Kind::Sum:
            check(worksheet_write_formula_num(worksheet, row, column, storedSum(cell.sum).toUtf8().constData(), format,
                                              sheet.numericValue(it.key().first, it.key().second)));
            break;
        }
    }

    closer.workbook = nullptr;
    check(workbook_close(workbook));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error::cannotOpen(QDir::toNativeSeparators(path), file.errorString());
    return file.readAll();
}

void saveXlsx(const SheetModel &sheet, const QString &path)
{
    writeFileAtomically(path, QDir::toNativeSeparators(path), xlsxBytes(sheet));
}

bool isPdfPath(const QString &path)
{
    return path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
}

} // namespace vastrel
