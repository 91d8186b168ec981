#include "export/breakdown_document.h"

#include "domain/amount.h"
#include "export/document_common.h"
#include "export/document_rows.h"
#include "store/table_of_contents.h"

#include <algorithm>

namespace vastrel {

namespace {

const QString EmptyEstimate = QStringLiteral("Пустая смета.");

// The three cells of a table row: label A:C, code D, amount E. Every cell of
// the table is boxed; amounts are money.
struct RowStyle
{
    Style label, code, amount;
};

constexpr Style box(int size, bool bold, Align align, VerticalAlign vertical, bool wrap = false)
{
    return Style{size, bold, false, align, vertical, wrap, true, NumberFormat::General};
}

constexpr Style money(bool bold, Align align = Align::General, VerticalAlign vertical = VerticalAlign::Top)
{
    return Style{10, bold, false, align, vertical, false, true, NumberFormat::Money};
}

constexpr auto General = Align::General;
constexpr auto Centre = Align::Centre;
constexpr auto Top = VerticalAlign::Top;
constexpr auto Middle = VerticalAlign::Middle;

// A line of the budget with its amount.
constexpr RowStyle LineRow{box(10, false, General, Top, true), box(8, false, Centre, Top), money(false)};
// A heading of the table's part; its amount cell stays empty.
constexpr RowStyle HeadingRow{box(10, false, General, Top, true), box(8, false, Centre, Top),
                              box(10, true, Centre, Top)};
// A group of lines with the sum of them.
constexpr RowStyle GroupRow{box(10, true, General, Top, true), box(8, false, Centre, Top), money(true)};
constexpr RowStyle TotalRow{box(10, true, General, Top), box(10, true, General, Top), money(true)};
constexpr RowStyle AfterTotalRow{box(10, false, General, Top, true), box(8, false, Centre, Middle),
                                 money(false, General, Middle)};

// The approval block at the top right, the signature at the bottom.
constexpr Style Approval{10, true, false, Align::Right};
constexpr Style Signature{10, true};
// The document's title and the income source under it.
constexpr Style Title{10, true, false, Centre};
constexpr Style SourceLine{10, false, false, Centre, Top, true};
// The subdivision's name, and the position of the one who signs.
constexpr Style NameLine{10, true, false, Centre, Middle};
constexpr Style Plain{10};
constexpr Style Ministry{10, false, true};
constexpr Style ColumnHead = box(10, false, Centre, Top);

class BreakdownWriter
{
public:
    BreakdownWriter(SheetModel &sheet, const BreakdownData &data)
        : m_sheet(sheet)
        , m_data(data)
    {}

    void write();

private:
    void put(const QString &a1, const Style &style, const CellValue &value)
    {
        m_sheet.put(CellRange::parse(a1), style, value);
    }
    void heading();
    void fixedRows();
    void expenseBlock();
    void totals();
    void signature();
    void subtotals();

    void row(int row, const RowStyle &kind, const QString &label, const QString &code, const CellValue &amount);

    struct WrittenGroup
    {
        QString code;
        int row = 0;
        int lines = 0;
    };

    SheetModel &m_sheet;
    const BreakdownData &m_data;
    QList<WrittenGroup> m_groups;
    AmountSum m_expenseSum;
    int m_row = 0;
};

void BreakdownWriter::write()
{
    m_sheet.setPage(documentPage(FooterStart + m_data.year));
    heading();
    fixedRows();
    expenseBlock();
    totals();
    signature();
    subtotals();
    m_sheet.fitColumns(FittedArea);
}

void BreakdownWriter::heading()
{
    const Settings &s = m_data.settings;
    put(QStringLiteral("C1:E1"), Approval, QStringLiteral("\"УТВЕРЖДАЮ\""));
    put(QStringLiteral("C2:E2"), Approval, s.headPosition);
    put(QStringLiteral("C4:E4"), Approval, QStringLiteral("_____________________ ") + s.headName);
    put(QStringLiteral("C6:E6"), Approval,
        QStringLiteral("\"____\"___________ ") + m_data.year + QStringLiteral(" г."));
    put(QStringLiteral("A9:E9"), Title, QStringLiteral("РАСШИФРОВКА"));

    const QString sourceText = m_data.source >= 0 && m_data.source < IncomeSourceCount
                                   ? incomeSourceDescriptions().at(m_data.source)
                                   : QString();
    put(QStringLiteral("A11:E11"), SourceLine,
        sourceText + QStringLiteral(" ( п. ") + QString::number(m_data.source + 1) + QStringLiteral(" )"));
    put(QStringLiteral("A12:E12"), NameLine, s.name);
    put(QStringLiteral("A13"), Plain, QStringLiteral("Министерство, ведомство:"));
    put(QStringLiteral("B13:D13"), Ministry, QStringLiteral(" Тавер"));
    put(QStringLiteral("A14"), UnitLabel, QStringLiteral("Единица измерения:"));
    put(QStringLiteral("B14"), Unit, QStringLiteral("руб."));
    put(QStringLiteral("A15:C16"), ColumnHead, QStringLiteral("Наименование показателя"));
    put(QStringLiteral("D15:D16"), ColumnHead, QStringLiteral("Код"));
    put(QStringLiteral("E15:E16"), ColumnHead, QStringLiteral("Сумма средств на год"));
}

void BreakdownWriter::row(int row, const RowStyle &kind, const QString &label, const QString &code,
                          const CellValue &amount)
{
    m_sheet.put(CellRange::span(row, A, C), kind.label, label);
    m_sheet.put(row, D, kind.code, code);
    m_sheet.put(row, E, kind.amount, amount);
}

void BreakdownWriter::fixedRows()
{
    RowStyle remainderRow = LineRow;
    remainderRow.code.align = General;
    row(17, remainderRow, QStringLiteral("Остаток средств на 01.01.") + m_data.year, QString(), m_data.remainder);

    row(18, HeadingRow,
        QStringLiteral("Доходы по кодам классификации доходов бюджетной классификации Российской Федерации"),
        incomeHeading().code, {});
    m_sheet.setRowLines(18, 3);

    const bool hasCode = m_data.incomeCode >= 0 && m_data.incomeCode < IncomeCodeCount;
    const IncomeCode *income = hasCode ? &incomeCodes()[size_t(m_data.incomeCode)] : nullptr;
    row(19, LineRow, income ? income->description : QString(), income ? income->code : QString(), m_data.income);

    RowStyle incomeTotal = TotalRow;
    incomeTotal.code.align = Centre;
    row(20, incomeTotal, QStringLiteral("ИТОГО ДОХОДОВ:"), QString(), Sum{{CellRange{17, E, 19, E}}});

    row(21, HeadingRow,
        QStringLiteral("Расходы по классификации операций сектора государственного управления "
                       "бюджетной классификации Российской Федерации "),
        expenseHeading().code, {});
    m_sheet.setRowLines(21, 4);

    RowStyle expensesRow = TotalRow;
    expensesRow.amount = HeadingRow.amount;
    row(22, expensesRow, QStringLiteral("РАСХОДЫ:"), QString(), {});
    m_row = 23;
}

void BreakdownWriter::expenseBlock()
{
    for (const BreakdownLine &line : breakdownLines()) {
        if (!line.group.isEmpty() && std::none_of(m_groups.cbegin(), m_groups.cend(),
                                                  [&](const WrittenGroup &g) { return g.code == line.group; })) {
            const BreakdownGroupLook &look = breakdownGroupLook(line.group);
            RowStyle kind = GroupRow;
            kind.label.bold = look.boldLabel;
            const GroupLine *group = findGroupLine(line.group);
            // The group's sum comes when its lines are written.
            m_sheet.put(CellRange::span(m_row, A, C), kind.label, group ? group->description : QString());
            m_sheet.put(m_row, D, kind.code, line.group);
            if (look.heightFactor != 1)
                m_sheet.setRowLines(m_row, look.heightFactor);
            m_groups.append({line.group, m_row, 0});
            ++m_row;
        }
        const double value = m_data.expense(line.shortCode);
        if (line.sum == BreakdownSum::Always)
            m_expenseSum.add(value);
        if (line.placement != BreakdownPlacement::WhenNonZero || value == 0)
            continue;
        const ExpenseLine &expense = expenseLines()[size_t(expenseIndexByShortCode(line.shortCode))];
        row(m_row, LineRow, expense.breakdownDescription, expense.fullCode(), value);
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
    row(m_row, TotalRow, QStringLiteral("ИТОГО:"), QString(), m_expenseSum.value());
    ++m_row;
    for (const BreakdownLine &line : breakdownLines()) {
        const double value = m_data.expense(line.shortCode);
        const bool written = (line.placement == BreakdownPlacement::AfterTotalUnlessSeparate && !separate) ||
                             (line.placement == BreakdownPlacement::AfterTotalIfSeparate && separate && value != 0);
        if (!written)
            continue;
        if (line.sum == BreakdownSum::UnlessSeparate && !separate)
            m_expenseSum.add(value);
        const ExpenseLine &expense = expenseLines()[size_t(expenseIndexByShortCode(line.shortCode))];
        row(m_row, AfterTotalRow, expense.breakdownDescription, expense.fullCode(), value);
        if (line.placement == BreakdownPlacement::AfterTotalIfSeparate)
            m_sheet.setRowLines(m_row, 2);
        ++m_row;
    }
    // The second total stays the current row, so the signature comes one
    // empty row below it, and two below the last row of a separate entity.
    if (!separate)
        row(m_row, TotalRow, QStringLiteral("ИТОГО РАСХОДОВ:"), QString(), m_expenseSum.value());
    m_row += 2;
}

void BreakdownWriter::signature()
{
    const Settings &s = m_data.settings;
    m_sheet.put(CellRange::span(m_row, A, C), NameLine, s.responsiblePosition);
    m_sheet.put(CellRange::span(m_row, D, E), Signature, QStringLiteral("_____________________ ") + s.responsibleName);
}

void BreakdownWriter::subtotals()
{
    for (const WrittenGroup &group : m_groups) {
        // A group without lines sums nothing; a range over its own row would refer to itself.
        if (group.lines == 0)
            m_sheet.put(group.row, E, GroupRow.amount, 0.0);
        else
            m_sheet.put(group.row, E, GroupRow.amount, Sum{{CellRange{group.row + 1, E, group.row + group.lines, E}}});
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
    if (totals.income.isEmpty() || totals.expense.isEmpty() || parseAmount(totals.income) == 0 ||
        parseAmount(totals.expense) == 0) {
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

void writeBreakdown(SheetModel &sheet, const BreakdownData &data)
{
    BreakdownWriter(sheet, data).write();
}

QString breakdownFileName(const QString &estimate, const QDate &today)
{
    const QString name = estimate.isEmpty()
                             ? QStringLiteral("Расшифровка сметы ") + today.toString(QStringLiteral("yyyy"))
                             : QStringLiteral("Расшифровка сметы ") + estimate;
    return safeFileName(name) + QStringLiteral(".xlsx");
}

} // namespace vastrel
