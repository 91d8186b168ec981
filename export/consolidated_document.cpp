#include "export/consolidated_document.h"

#include "base/amount.h"
#include "base/error.h"
#include "base/estimate_file.h"
#include "base/table_of_contents.h"
#include "export/document_common.h"

namespace vastrel {

namespace {

// Amounts printed bold: the totals and (by code) the sums of groups.
const QStringList boldDescriptions = {
    QStringLiteral("ИТОГО"),
    QStringLiteral("ИТОГО ДОХОДОВ"),
    QStringLiteral("ИТОГО РАСХОДОВ"),
};

const QString DateBlank = QStringLiteral("\"_____\" _____________");

class ConsolidatedWriter
{
public:
    ConsolidatedWriter(Spreadsheet &sheet, const ConsolidatedData &data) : m_sheet(sheet), m_data(data) {}

    void write();

private:
    Range take(const QString &a1, bool merge) { return takeCells(m_sheet, a1, merge); }
    Range take(int row, const char *first, const char *last) { return takeCells(m_sheet, row, first, last); }
    void head();
    void dataRow(int row, const DocumentRecord &record);
    void signatureBlock(int row);

    Spreadsheet &m_sheet;
    const ConsolidatedData &m_data;
};

void ConsolidatedWriter::write()
{
    m_sheet.setOrientation(Orientation::Portrait);
    m_sheet.setLeftFooter(FooterStart + DeveloperCredit + m_data.year);
    m_sheet.setPrintTitleRows(QStringLiteral("$2:$3"));
    head();
    int row = 16;
    for (const DocumentRecord &record : m_data.records)
        dataRow(row++, record);
    signatureBlock(row + 1);
    m_sheet.range(QStringLiteral("A1"), QStringLiteral("G100")).select();
    m_sheet.autoFitColumns(m_sheet.selectedRange());
}

void ConsolidatedWriter::head()
{
    const Settings &s = m_data.settings;
    auto boldText = [&](const QString &a1, bool merge, HAlign alignment, const QString &text) {
        take(a1, merge).fontSize(10).bold(true).horizontal(alignment).value(text);
    };
    // Runs of blanks keep the approval block's place on the left.
    boldText(QStringLiteral("A1:B1"), true, HAlign::Left, QString(12, QLatin1Char(' ')));
    boldText(QStringLiteral("A2"), false, HAlign::Left, QString(15, QLatin1Char(' ')));
    take(QStringLiteral("A3"), false).fontSize(12).value(QString());
    boldText(QStringLiteral("A4"), false, HAlign::Left, QString(21, QLatin1Char(' ')));
    boldText(QStringLiteral("B4"), false, HAlign::Left, QString(13, QLatin1Char(' ')));
    boldText(QStringLiteral("A6"), false, HAlign::Left, QString(18, QLatin1Char(' ')));
    boldText(QStringLiteral("C1:E1"), true, HAlign::Right, QStringLiteral("\"УТВЕРЖДАЮ\""));
    boldText(QStringLiteral("C2:E2"), true, HAlign::Right, QStringLiteral("Ректор Тавер"));
    boldText(QStringLiteral("C3:E3"), true, HAlign::Right, ApprovingTitle);
    boldText(QStringLiteral("C4:E4"), true, HAlign::Right, QString(17, QLatin1Char('_')) + QLatin1Char(' ') + ApprovingName);
    boldText(QStringLiteral("C6:E6"), true, HAlign::Right, DateBlank);

    take(QStringLiteral("A9:E9"), true)
        .fontSize(12)
        .bold(true)
        .horizontal(HAlign::CentreConstant)
        .value(QStringLiteral("Уточненная смета доходов и расходов"));
    boldText(QStringLiteral("A10:E10"), true, HAlign::CentreConstant,
             QStringLiteral("по приносящей доход деятельности на ") + m_data.year + QStringLiteral(" год"));
    const QString university = s.code == ShortNameSubdivision ? UniversityShort : UniversityGenitive;
    Range title = take(QStringLiteral("A11:E11"), true);
    title.fontSize(10).bold(true).horizontal(HAlign::CentreConstant).vertical(VAlign::Centre);
    title.multiplyRowHeight(2);
    title.value(s.name + QStringLiteral("\r\n") + university);

    take(QStringLiteral("A13"), false).fontSize(9).value(QStringLiteral("Единица измерения:"));
    take(QStringLiteral("B13"), false).fontSize(9).italic(true).value(QStringLiteral("руб."));
    m_sheet.range(QStringLiteral("A14:C15")).merge();
    auto columnHead = [&](const QString &a1, const QString &text) {
        take(a1, true)
            .fontSize(10)
            .horizontal(HAlign::CentreConstant)
            .vertical(VAlign::Top)
            .borders(LineStyleContinuous, BorderWeightThin)
            .value(text);
    };
    columnHead(QStringLiteral("A14:A15"), QStringLiteral("Наименование"));
    columnHead(QStringLiteral("D14:D15"), QStringLiteral("Коды"));
    columnHead(QStringLiteral("E14:E15"), QStringLiteral("Сумма средств на год"));
}

void ConsolidatedWriter::dataRow(int row, const DocumentRecord &record)
{
    Range label = take(row, "A", "C");
    label.fontSize(10).vertical(VAlign::Top).wrapText(true).borders(LineStyleContinuous, BorderWeightThin);
    label.value(record.description);

    QString code = record.code;
    if (const int lines = consolidatedRowLines(code); lines > 1)
        label.multiplyRowHeight(lines);
    // The income heading prints no code of its own.
    if (code == incomeHeading().code)
        code.clear();

    take(row, "D", nullptr)
        .borders(LineStyleContinuous, BorderWeightThin)
        .fontSize(8)
        .horizontal(HAlign::CentreConstant)
        .vertical(VAlign::Top)
        .value(code);

    m_sheet.cells(row, QStringLiteral("E")).numberFormatLocal(QStringLiteral("# ##0,00"));
    Range amount = take(row, "E", nullptr);
    const bool bold = boldDescriptions.contains(record.description) || consolidatedBoldAmount(code);
    // At the top, beside the code and the first line of the description.
    amount.borders(LineStyleContinuous, BorderWeightThin).fontSize(10).bold(bold).vertical(VAlign::Top);
    if (record.amount == QLatin1String("0"))
        amount.value(QString());
    else
        amount.value(parseStoredAmount(record.amount));
}

void ConsolidatedWriter::signatureBlock(int row)
{
    const Settings &s = m_data.settings;
    auto line = [&](int at, const char *first, const char *last, HAlign alignment, const QString &text) {
        take(at, first, last).fontSize(10).bold(true).horizontal(alignment).value(text);
    };
    line(row, "D", "E", HAlign::Centre, QStringLiteral("\"СОГЛАСОВАНО\""));
    line(row + 1, "D", "E", HAlign::Centre, QStringLiteral("Зам. проректора - начальник"));
    line(row + 1, "A", "B", HAlign::Left, s.headPosition);
    line(row + 2, "D", "E", HAlign::Centre, QStringLiteral("Гемтар"));
    line(row + 3, "D", "E", HAlign::Right, QString(17, QLatin1Char('_')) + QLatin1Char(' ') + AgreeingName);
    line(row + 3, "A", "B", HAlign::Right, QStringLiteral("_____________________ ") + s.headName);
    line(row + 5, "D", "E", HAlign::Right, DateBlank);
    line(row + 5, "A", "B", HAlign::Right, DateBlank);
}

} // namespace

QList<DocumentRecord> documentRecords(const EstimateContent &content)
{
    QList<DocumentRecord> records;
    qsizetype at = 0;
    auto next = [&]() -> const EstimateLine & { return content.at(at++); };
    while (at < content.size()) {
        const EstimateLine &line = next();
        if (!line.opens(EstimateTag::Description))
            continue;
        DocumentRecord record;
        record.description = line.valueOf(EstimateTag::Description);
        record.code = next().valueOf(EstimateTag::Code);
        const EstimateLine *amountLine = &next();
        if (amountLine->opens(EstimateTag::Breakdown))
            amountLine = &next();
        record.amount = amountLine->valueOf(EstimateTag::Amount);
        if (record.amount.isEmpty())
            record.amount = QStringLiteral("0");
        records.append(record);
    }
    return records;
}

Outcome estimateToExport(const QStringList &selectedNames)
{
    if (selectedNames.isEmpty()) {
        return Outcome::refusal(QStringLiteral("Выделите смету для экспорта!"));
    }
    if (selectedNames.size() > 1) {
        return Outcome::refusal(QStringLiteral("Выделите одну смету для экспорта!"));
    }
    return Outcome::done({}, selectedNames.first());
}

ConsolidatedData prepareConsolidated(const Workspace &workspace, const QString &estimateName, const QDate &today)
{
    ConsolidatedData data;
    data.settings = readSettings(workspace).value_or(Settings{});
    data.year = today.toString(QStringLiteral("yyyy"));
    const EstimateContent content = readEstimate(workspace, estimateName);
    if (const QString problem = estimateFileProblem(content); !problem.isEmpty()) {
        throw Error(QStringLiteral("Файл сметы «%1» (%2) поврежден: %3. Документ не составлен.")
                        .arg(estimateName, Workspace::shown(Workspace::estimateName(estimateName)), problem));
    }
    data.records = documentRecords(content);
    return data;
}

void writeConsolidated(Spreadsheet &sheet, const ConsolidatedData &data)
{
    ConsolidatedWriter(sheet, data).write();
}

QString consolidatedFileName(const QString &estimateName)
{
    return safeFileName(QStringLiteral("Уточненная смета ") + estimateName) + QStringLiteral(".xlsx");
}

} // namespace vastrel
