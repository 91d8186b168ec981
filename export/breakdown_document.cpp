#include "export/breakdown_document.h"

#include "base/amount.h"
#include "base/table_of_contents.h"
#include "export/document_common.h"

#include <algorithm>

namespace vastrel {

namespace {

const QString EmptyEstimate = QStringLiteral("Пустая смета.");
const QString Money = QStringLiteral("# ##0,00");

// How one cell of a table row looks.
struct CellStyle
{
    int size = 10;
    bool bold = false;
    std::optional<HAlign> horizontal;
    std::optional<VAlign> vertical;
    bool wrap = false;
    bool fill = false;
    bool money = false;
};

// The three cells of a table row: label A:C, code D, amount E.
struct RowStyle
{
    CellStyle label, code, amount;
};

constexpr auto Centre = HAlign::CentreConstant;
constexpr auto Top = VAlign::Top;
constexpr auto Middle = VAlign::Centre;

const RowStyle LineRow{{10, false, {}, Top, true, false, false},
                       {8, false, Centre, Top, false, false, false},
                       {10, false, {}, Top, false, false, true}};
const RowStyle HeadingRow{{10, false, {}, Top, true, true, false},
                          {8, false, Centre, Top, false, true, false},
                          {10, true, Centre, Top, false, true, false}};
const RowStyle GroupRow{{10, true, {}, Top, true, true, false},
                        {8, false, Centre, Top, false, true, false},
                        {10, true, {}, Top, false, true, true}};
const RowStyle TotalRow{{10, true, {}, Top, false, true, false},
                        {10, true, {}, Top, false, true, false},
                        {10, true, {}, Top, false, true, true}};
const RowStyle AfterTotalRow{{10, false, {}, Top, true, true, false},
                             {8, false, Centre, Middle, false, true, false},
                             {10, false, {}, Middle, false, true, true}};

class BreakdownWriter
{
public:
    BreakdownWriter(Spreadsheet &sheet, const BreakdownData &data) : m_sheet(sheet), m_data(data) {}

    void write();

private:
    Range take(const QString &a1, bool merge) { return takeCells(m_sheet, a1, merge); }
    Range take(int row, const char *first, const char *last) { return takeCells(m_sheet, row, first, last); }
    void style(Range cells, const CellStyle &style);
    void heading();
    void fixedRows();
    void expenseBlock();
    void totals();
    void signature();
    void subtotals();

    void label(int row, const RowStyle &kind, const QString &text);
    void code(int row, const RowStyle &kind, const QString &text);
    void amount(int row, const RowStyle &kind, double value);
    void blankAmount(int row, const RowStyle &kind);
    void lineRow(int row, const RowStyle &kind, const QString &text, const QString &fullCode, double value);
    void totalRow(int row, const QString &text, double value);

    struct WrittenGroup
    {
        QString code;
        int row = 0;
        int lines = 0;
    };

    Spreadsheet &m_sheet;
    const BreakdownData &m_data;
    QList<WrittenGroup> m_groups;
    AmountSum m_expenseSum;
    int m_row = 0;
};

void BreakdownWriter::style(Range cells, const CellStyle &style)
{
    cells.borders(LineStyleContinuous, BorderWeightThin);
    if (style.fill)
        cells.interiorColorIndex(0);
    cells.fontSize(style.size);
    if (style.bold)
        cells.bold(true);
    if (style.horizontal)
        cells.horizontal(*style.horizontal);
    if (style.vertical)
        cells.vertical(*style.vertical);
    if (style.wrap)
        cells.wrapText(true);
    if (style.money)
        cells.numberFormatLocal(Money);
}

void BreakdownWriter::write()
{
    m_sheet.setOrientation(Orientation::Portrait);
    m_sheet.setLeftFooter(FooterStart + m_data.year);
    m_sheet.setPrintTitleRows(QStringLiteral("$2:$3"));
    heading();
    fixedRows();
    expenseBlock();
    totals();
    signature();
    subtotals();
    m_sheet.range(QStringLiteral("A1"), QStringLiteral("G100")).select();
    m_sheet.autoFitColumns(m_sheet.selectedRange());
}

void BreakdownWriter::heading()
{
    const Settings &s = m_data.settings;
    auto approval = [&](const QString &a1, const QString &text) {
        take(a1, true).fontSize(10).bold(true).horizontal(HAlign::Right).value(text);
    };
    approval(QStringLiteral("C1:E1"), QStringLiteral("\"УТВЕРЖДАЮ\""));
    approval(QStringLiteral("C2:E2"), s.headPosition);
    approval(QStringLiteral("C4:E4"), QStringLiteral("_____________________ ") + s.headName);
    approval(QStringLiteral("C6:E6"), QStringLiteral("\"____\"___________ ") + m_data.year + QStringLiteral(" г."));
    take(QStringLiteral("A9:E9"), true).fontSize(10).bold(true).horizontal(Centre).value(QStringLiteral("РАСШИФРОВКА"));

    const QString sourceText = m_data.source >= 0 && m_data.source < IncomeSourceCount
                                   ? incomeSourceDescriptions().at(m_data.source)
                                   : QString();
    take(QStringLiteral("A11:E11"), true)
        .fontSize(10)
        .horizontal(Centre)
        .vertical(Top)
        .wrapText(true)
        .value(sourceText + QStringLiteral(" ( п. ") + QString::number(m_data.source + 1) + QStringLiteral(" )"));
    take(QStringLiteral("A12:E12"), true).fontSize(10).bold(true).horizontal(Centre).vertical(Middle).value(s.name);
    take(QStringLiteral("A13"), false).fontSize(10).value(QStringLiteral("Министерство, ведомство:"));
    take(QStringLiteral("B13:D13"), true).fontSize(10).italic(true).value(QStringLiteral(" Тавер"));
    take(QStringLiteral("A14"), false).fontSize(9).value(QStringLiteral("Единица измерения:"));
    take(QStringLiteral("B14"), false).fontSize(9).italic(true).value(QStringLiteral("руб."));
    auto columnHead = [&](const QString &a1, const QString &text) {
        take(a1, true).fontSize(10).borders(LineStyleContinuous, BorderWeightThin).horizontal(Centre).vertical(Top).value(text);
    };
    columnHead(QStringLiteral("A15:C16"), QStringLiteral("Наименование показателя"));
    columnHead(QStringLiteral("D15:D16"), QStringLiteral("Код"));
    columnHead(QStringLiteral("E15:E16"), QStringLiteral("Сумма средств на год"));
}

void BreakdownWriter::label(int row, const RowStyle &kind, const QString &text)
{
    Range cells = take(row, "A", "C");
    style(cells, kind.label);
    cells.value(text);
}

void BreakdownWriter::code(int row, const RowStyle &kind, const QString &text)
{
    Range cells = take(row, "D", nullptr);
    style(cells, kind.code);
    cells.value(text);
}

void BreakdownWriter::amount(int row, const RowStyle &kind, double value)
{
    Range cells = take(row, "E", nullptr);
    style(cells, kind.amount);
    cells.value(value);
}

void BreakdownWriter::blankAmount(int row, const RowStyle &kind)
{
    Range cells = take(row, "E", nullptr);
    style(cells, kind.amount);
    cells.value(QString());
}

void BreakdownWriter::lineRow(int row, const RowStyle &kind, const QString &text, const QString &fullCode,
                              double value)
{
    label(row, kind, text);
    code(row, kind, fullCode);
    amount(row, kind, value);
}

void BreakdownWriter::totalRow(int row, const QString &text, double value)
{
    label(row, TotalRow, text);
    code(row, TotalRow, QString());
    amount(row, TotalRow, value);
}

void BreakdownWriter::fixedRows()
{
    RowStyle remainderRow = LineRow;
    remainderRow.code.horizontal.reset();
    lineRow(17, remainderRow, QStringLiteral("Остаток средств на 01.01.") + m_data.year, QString(), m_data.remainder);

    label(18, HeadingRow, QStringLiteral("Доходы по кодам классификации доходов бюджетной классификации Российской Федерации"));
    code(18, HeadingRow, incomeHeading().code);
    blankAmount(18, HeadingRow);
    m_sheet.range(QStringLiteral("A18")).multiplyRowHeight(3);

    const bool hasCode = m_data.incomeCode >= 0 && m_data.incomeCode < IncomeCodeCount;
    const IncomeCode *income = hasCode ? &incomeCodes()[size_t(m_data.incomeCode)] : nullptr;
    lineRow(19, LineRow, income ? income->description : QString(), income ? income->code : QString(), m_data.income);

    RowStyle incomeTotal = TotalRow;
    incomeTotal.code.horizontal = Centre;
    label(20, incomeTotal, QStringLiteral("ИТОГО ДОХОДОВ:"));
    code(20, incomeTotal, QString());
    Range total = take(20, "E", nullptr);
    style(total, incomeTotal.amount);
    total.formulaLocal(QStringLiteral("=СУММ(E17:E19)"));

    label(21, HeadingRow, QStringLiteral("Расходы по классификации операций сектора государственного управления "
                                         "бюджетной классификации Российской Федерации "));
    code(21, HeadingRow, expenseHeading().code);
    blankAmount(21, HeadingRow);
    m_sheet.range(QStringLiteral("A21")).multiplyRowHeight(4);

    label(22, TotalRow, QStringLiteral("РАСХОДЫ:"));
    code(22, TotalRow, QString());
    blankAmount(22, HeadingRow);
    m_row = 23;
}

void BreakdownWriter::expenseBlock()
{
    for (const BreakdownLine &line : breakdownLines()) {
        if (!line.group.isEmpty()
            && std::none_of(m_groups.cbegin(), m_groups.cend(), [&](const WrittenGroup &g) { return g.code == line.group; })) {
            const BreakdownGroupLook &look = breakdownGroupLook(line.group);
            RowStyle kind = GroupRow;
            kind.label.bold = look.boldLabel;
            const GroupLine *group = findGroupLine(line.group);
            label(m_row, kind, group ? group->description : QString());
            code(m_row, kind, line.group);
            if (look.heightFactor != 1)
                m_sheet.cells(m_row, 1).multiplyRowHeight(look.heightFactor);
            m_groups.append({line.group, m_row, 0});
            ++m_row;
        }
        const double value = m_data.expense(line.shortCode);
        if (line.sum == BreakdownSum::Always)
            m_expenseSum.add(value);
        if (line.placement != BreakdownPlacement::WhenNonZero || value == 0)
            continue;
        const ExpenseLine &expense = expenseLines()[size_t(expenseIndexByShortCode(line.shortCode))];
        lineRow(m_row, LineRow, expense.breakdownDescription, expense.fullCode(), value);
        for (WrittenGroup &g : m_groups) {
            if (g.code == line.group)
                ++g.lines;
        }
        ++m_row;
    }
}

void BreakdownWriter::totals()
{
    const bool separate = m_data.separateEntity();
    totalRow(m_row, QStringLiteral("ИТОГО:"), m_expenseSum.value());
    ++m_row;
    for (const BreakdownLine &line : breakdownLines()) {
        const double value = m_data.expense(line.shortCode);
        const bool written = (line.placement == BreakdownPlacement::AfterTotalUnlessSeparate && !separate)
                             || (line.placement == BreakdownPlacement::AfterTotalIfSeparate && separate && value != 0);
        if (!written)
            continue;
        if (line.sum == BreakdownSum::UnlessSeparate && !separate)
            m_expenseSum.add(value);
        const ExpenseLine &expense = expenseLines()[size_t(expenseIndexByShortCode(line.shortCode))];
        lineRow(m_row, AfterTotalRow, expense.breakdownDescription, expense.fullCode(), value);
        if (line.placement == BreakdownPlacement::AfterTotalIfSeparate)
            m_sheet.cells(m_row, 1).multiplyRowHeight(2);
        ++m_row;
    }
    // The second total stays the current row, so the signature comes one
    // empty row below it, and two below the last row of a separate entity.
    if (!separate)
        totalRow(m_row, QStringLiteral("ИТОГО РАСХОДОВ:"), m_expenseSum.value());
    m_row += 2;
}

void BreakdownWriter::signature()
{
    const Settings &s = m_data.settings;
    take(m_row, "A", "C").fontSize(10).bold(true).horizontal(Centre).vertical(Middle).value(s.responsiblePosition);
    take(m_row, "D", "E").fontSize(10).bold(true).value(QStringLiteral("_____________________ ") + s.responsibleName);
}

void BreakdownWriter::subtotals()
{
    for (const WrittenGroup &group : m_groups) {
        Range cell = take(group.row, "E", nullptr);
        style(cell, GroupRow.amount);
        // A group without lines sums nothing; a range over its own row would refer to itself.
        if (group.lines == 0)
            cell.value(0.0);
        else
            cell.formulaLocal(QStringLiteral("=СУММ(E%1:E%2)").arg(group.row + 1).arg(group.row + group.lines));
    }
}

} // namespace

double BreakdownData::expense(const QString &shortCode) const
{
    const int index = expenseIndexByShortCode(shortCode);
    return index >= 0 ? expenses[size_t(index)] : 0.0;
}

Outcome prepareBreakdown(const Workspace &workspace, const Estimate &estimate, const EstimateTotals &totals,
                         const QDate &today, BreakdownData &data)
{
    if (totals.income.isEmpty() || totals.expense.isEmpty() || parseAmount(totals.income) == 0
        || parseAmount(totals.expense) == 0) {
        return Outcome::refusal(EmptyEstimate);
    }
    const auto settings = readSettings(workspace);
    if (!settings) {
        return Outcome::refusal(settingsMissingMessage());
    }
    data = BreakdownData();
    data.settings = *settings;
    data.year = today.toString(QStringLiteral("yyyy"));
    data.source = estimate.source;
    data.incomeCode = estimate.incomeCode;
    // Every field is converted before the document is begun, so a wrong
    // amount never leaves half a document.
    const EstimateEntries &entries = estimate.entries;
    data.remainder = parseAmount(entries.remainder);
    data.income = parseAmount(entries.income);
    for (size_t i = 0; i < entries.expenses.size(); ++i)
        data.expenses[i] = parseAmount(entries.expenses[i]);
    return Outcome::done();
}

void writeBreakdown(Spreadsheet &sheet, const BreakdownData &data)
{
    BreakdownWriter(sheet, data).write();
}

QString breakdownFileName(const QString &estimate, const QDate &today)
{
    const QString name = estimate.isEmpty() ? QStringLiteral("Расшифровка сметы ") + today.toString(QStringLiteral("yyyy"))
                                            : QStringLiteral("Расшифровка сметы ") + estimate;
    return safeFileName(name) + QStringLiteral(".xlsx");
}

} // namespace vastrel
