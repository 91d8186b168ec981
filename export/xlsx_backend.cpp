#include "export/xlsx_backend.h"

#include "base/error.h"
#include "base/text_file.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <clocale>
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

bool isPlaceholder(QChar c)
{
    return c == QLatin1Char('#') || c == QLatin1Char('0') || c == QLatin1Char('?');
}

// The first colours of the application's standard palette; 0 means automatic.
std::optional<lxw_color_t> paletteColour(int index)
{
    static const lxw_color_t palette[] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF,
                                          0x00FFFF};
    if (index >= 1 && index <= int(std::size(palette)))
        return palette[index - 1];
    return std::nullopt;
}

class Writer
{
public:
    explicit Writer(lxw_workbook *workbook) : m_workbook(workbook) {}

    lxw_format *format(const CellFormat &f, int column = 0)
    {
        // Documents use a handful of formats, mostly the same down a column: a look along them, starting
        // with the one last used in the column, beats building a key per cell.
        qsizetype &last = column >= 1 && column <= int(m_lastInColumn.size()) ? m_lastInColumn[column - 1] : m_last;
        if (last < m_formats.size() && m_formats[last].first == f)
            return m_formats[last].second;
        for (qsizetype i = 0; i < m_formats.size(); ++i) {
            if (m_formats[i].first == f) {
                last = i;
                return m_formats[i].second;
            }
        }
        lxw_format *format = workbook_add_format(m_workbook);
        if (!format)
            throw writeFailure(LXW_ERROR_MEMORY_MALLOC_FAILED);
        format_set_font_name(format, f.fontName.value_or(SheetModel::defaultFontName()).toUtf8().constData());
        format_set_font_size(format, f.fontSize.value_or(SheetModel::defaultFontSize()));
        if (f.bold.value_or(false))
            format_set_bold(format);
        if (f.italic.value_or(false))
            format_set_italic(format);
        if (const auto colour = paletteColour(f.fontColorIndex.value_or(0)))
            format_set_font_color(format, *colour);
        if (const auto colour = paletteColour(f.interiorColorIndex.value_or(0))) {
            format_set_pattern(format, LXW_PATTERN_SOLID);
            format_set_bg_color(format, *colour);
        }
        if (f.horizontal) {
            switch (*f.horizontal) {
            case HAlign::Left:
                format_set_align(format, LXW_ALIGN_LEFT);
                break;
            case HAlign::Right:
                format_set_align(format, LXW_ALIGN_RIGHT);
                break;
            case HAlign::Centre:
            case HAlign::CentreConstant:
                format_set_align(format, LXW_ALIGN_CENTER);
                break;
            }
        }
        if (f.vertical)
            format_set_align(format, *f.vertical == VAlign::Top ? LXW_ALIGN_VERTICAL_TOP : LXW_ALIGN_VERTICAL_CENTER);
        if (f.wrap.value_or(false))
            format_set_text_wrap(format);
        constexpr int lineStyleNone = -4142;
        if ((f.borderLineStyle || f.borderWeight) && f.borderLineStyle.value_or(LineStyleContinuous) != lineStyleNone) {
            uint8_t style = LXW_BORDER_THIN;
            switch (f.borderWeight.value_or(BorderWeightThin)) {
            case 1:
                style = LXW_BORDER_HAIR;
                break;
            case -4138:
                style = LXW_BORDER_MEDIUM;
                break;
            case 4:
                style = LXW_BORDER_THICK;
                break;
            default:
                break;
            }
            format_set_border(format, style);
        }
        if (f.numberFormatLocal)
            format_set_num_format(format, storedNumberFormat(*f.numberFormatLocal).toUtf8().constData());
        last = m_formats.size();
        m_formats.append({f, format});
        return format;
    }

private:
    lxw_workbook *m_workbook;
    QList<std::pair<CellFormat, lxw_format *>> m_formats;
    qsizetype m_last = 0;
    std::array<qsizetype, 16> m_lastInColumn{};
};

// The workbook's standard font, which sets the standard row height.
void setStandardFont(lxw_workbook *workbook)
{
    lxw_format *normal = STAILQ_FIRST(workbook->formats);
    if (!normal)
        return;
    format_set_font_name(normal, SheetModel::defaultFontName().toUtf8().constData());
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
    CNumericLocale() : m_perThread(_configthreadlocale(_ENABLE_PER_THREAD_LOCALE))
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

QByteArray XlsxBackend::bytes() const
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
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, "Лист1");
    if (!sheet)
        throw writeFailure(LXW_ERROR_MEMORY_MALLOC_FAILED);
    worksheet_set_default_row(sheet, defaultRowHeight(), LXW_FALSE);

    if (orientation() == Orientation::Portrait)
        worksheet_set_portrait(sheet);
    else
        worksheet_set_landscape(sheet);
    // Russian offices print on A4; a document is never cut at its right edge.
    worksheet_set_paper(sheet, PaperCodeA4);
    worksheet_fit_to_pages(sheet, 1, 0);
    worksheet_set_margins(sheet, PageMargins::left, PageMargins::right, PageMargins::top, PageMargins::bottom);
    worksheet_center_horizontally(sheet);
    if (!leftFooter().isEmpty()) {
        lxw_header_footer_options footer = {};
        footer.margin = PageMargins::footer;
        check(worksheet_set_footer_opt(sheet, (QStringLiteral("&L") + leftFooter()).toUtf8().constData(), &footer));
    }
    if (printTitleFirst() > 0)
        check(worksheet_repeat_rows(sheet, lxw_row_t(printTitleFirst() - 1), lxw_row_t(printTitleLast() - 1)));

    for (auto it = columnWidths().cbegin(); it != columnWidths().cend(); ++it)
        check(worksheet_set_column(sheet, lxw_col_t(it.key() - 1), lxw_col_t(it.key() - 1), it.value(), nullptr));
    // Every row is written with its height, so viewers show what was measured.
    QList<int> rows = rowHeights().keys();
    // The cells come row by row: each row once is enough to sort.
    for (auto it = cellMap().cbegin(); it != cellMap().cend(); ++it) {
        if (it == cellMap().cbegin() || std::prev(it).key().first != it.key().first)
            rows.append(it.key().first);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (const int row : rows)
        check(worksheet_set_row(sheet, lxw_row_t(row - 1), rowHeight(row), nullptr));

    Writer writer(workbook);
    static const CellFormat unformatted;
    for (const CellRange &merged : merges()) {
        const Cell *first = cellAt(merged.top, merged.left);
        check(worksheet_merge_range(sheet, lxw_row_t(merged.top - 1), lxw_col_t(merged.left - 1),
                                    lxw_row_t(merged.bottom - 1), lxw_col_t(merged.right - 1), "",
                                    writer.format(first ? first->format : unformatted)));
    }
    for (auto it = cellMap().cbegin(); it != cellMap().cend(); ++it) {
        const lxw_row_t row = lxw_row_t(it.key().first - 1);
        const lxw_col_t column = lxw_col_t(it.key().second - 1);
        const Cell &cell = it.value();
        lxw_format *format = writer.format(cell.format, it.key().second);
        switch (cell.kind) {
        case Cell::Kind::Blank:
            check(worksheet_write_blank(sheet, row, column, format));
            break;
        case Cell::Kind::Text:
            check(worksheet_write_string(sheet, row, column, cell.text.toUtf8().constData(), format));
            break;
        case Cell::Kind::Number:
            check(worksheet_write_number(sheet, row, column, cell.number, format));
            break;
        case Cell::Kind::Formula:
            check(worksheet_write_formula_num(sheet, row, column, storedFormula(cell.formulaLocal).toUtf8().constData(),
                                              format, numericValue(it.key().first, it.key().second)));
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

void XlsxBackend::saveAs(const QString &path) const
{
    writeFileAtomically(path, QDir::toNativeSeparators(path), bytes());
}

QString storedFormula(const QString &localFormula)
{
    static const QHash<QString, QString> functions = {
        {QStringLiteral("СУММ"), QStringLiteral("SUM")},
    };
    QString text = localFormula.trimmed();
    if (text.startsWith(QLatin1Char('=')))
        text.remove(0, 1);
    QString stored;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (quoted) {
            stored += c;
        } else if (c == QLatin1Char(';')) {
            stored += QLatin1Char(',');
        } else if (c == QLatin1Char(',')) {
            stored += QLatin1Char('.');
        } else if (c.isLetter()) {
            qsizetype end = i;
            while (end < text.size() && (text.at(end).isLetterOrNumber() || text.at(end) == QLatin1Char('.')))
                ++end;
            const QString word = text.mid(i, end - i);
            const bool isFunction = end < text.size() && text.at(end) == QLatin1Char('(');
            stored += isFunction ? functions.value(word.toUpper(), word) : word;
            i = end - 1;
        } else {
            stored += c;
        }
    }
    return stored;
}

QString storedNumberFormat(const QString &localFormat)
{
    QString stored;
    bool quoted = false;
    for (qsizetype i = 0; i < localFormat.size(); ++i) {
        const QChar c = localFormat.at(i);
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (quoted || c == QLatin1Char('"')) {
            stored += c;
        } else if (c == QLatin1Char('\\') && i + 1 < localFormat.size()) {
            stored += c;
            stored += localFormat.at(++i);
        } else if ((c == QLatin1Char(' ') || c == QChar(0x00A0)) && i > 0 && i + 1 < localFormat.size()
                   && isPlaceholder(localFormat.at(i - 1)) && isPlaceholder(localFormat.at(i + 1))) {
            stored += QLatin1Char(',');
        } else if (c == QLatin1Char(',')) {
            stored += QLatin1Char('.');
        } else {
            stored += c;
        }
    }
    return stored;
}

bool isPdfPath(const QString &path)
{
    return path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
}

} // namespace vastrel
