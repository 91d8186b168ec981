#include "export/consolidated_document.h"

#include "domain/amount.h"
#include "domain/error.h"
#include "export/document_common.h"
#include "export/document_rows.h"
#include "store/estimate_file.h"
#include "store/table_of_contents.h"

namespace vastrel {

namespace {

// Amounts printed bold: the totals and (by code) the sums of groups.
const QStringList boldDescriptions = {
    QStringLiteral("ИТОГО"),
    QStringLiteral("ИТОГО ДОХОДОВ"),
    QStringLiteral("ИТОГО РАСХОДОВ"),
};

const QString DateBlank = QStringLiteral("\"_____\" _____________");

constexpr Style BoldLeft{10, true, false, Align::Left};
constexpr Style BoldRight{10, true, false, Align::Right};
constexpr Style BoldCentre{10, true, false, Align::Centre};
constexpr Style Title{12, true, false, Align::Centre};
// The subdivision's name over the university's.
constexpr Style NameLines{10, true, false, Align::Centre, VerticalAlign::Middle};
// An empty cell in the title's size keeps the approval block's rows apart.
constexpr Style Spacer{12};
constexpr Style ColumnHead{10, false, false, Align::Centre, VerticalAlign::Top, false, true};
constexpr Style Description{10, false, false, Align::General, VerticalAlign::Top, true, true};
constexpr Style Code{8, false, false, Align::Centre, VerticalAlign::Top, false, true};
// At the top, beside the code and the first line of the description.
constexpr Style Amount{10, false, false, Align::General, VerticalAlign::Top, false, true, NumberFormat::Money};

class ConsolidatedWriter
{
public:
    ConsolidatedWriter(SheetModel &sheet, const ConsolidatedData &data)
        : m_sheet(sheet)
        , m_data(data)
    {}

    void write();

private:
    void put(const QString &a1, const Style &style, const CellValue &value)
    {
        m_sheet.put(CellRange::parse(a1), style, value);
    }
    void head();
    void dataRow(int row, const DocumentRecord &record);
    void signatureBlock(int row);

    SheetModel &m_sheet;
    const ConsolidatedData &m_data;
};

void ConsolidatedWriter::write()
{
    m_sheet.setPage(documentPage(FooterStart + DeveloperCredit + m_data.year));
    head();
    int row = 16;
    for (const DocumentRecord &record : m_data.records)
        dataRow(row++, record);
    signatureBlock(row + 1);
    m_sheet.fitColumns(FittedArea);
}

void ConsolidatedWriter::head()
{
    const Settings &s = m_data.settings;
    // Runs of blanks keep the approval block's place on the left.
    put(QStringLiteral("A1:B1"), BoldLeft, QString(12, QLatin1Char(' ')));
    put(QStringLiteral("A2"), BoldLeft, QString(15, QLatin1Char(' ')));
    put(QStringLiteral("A3"), Spacer, {});
    put(QStringLiteral("A4"), BoldLeft, QString(21, QLatin1Char(' ')));
    put(QStringLiteral("B4"), BoldLeft, QString(13, QLatin1Char(' ')));
    put(QStringLiteral("A6"), BoldLeft, QString(18, QLatin1Char(' ')));
    put(QStringLiteral("C1:E1"), BoldRight, QStringLiteral("\"УТВЕРЖДАЮ\""));
    put(QStringLiteral("C2:E2"), BoldRight, QStringLiteral("Ректор Тавер"));
    put(QStringLiteral("C3:E3"), BoldRight, ApprovingTitle);
    put(QStringLiteral("C4:E4"), BoldRight, QString(17, QLatin1Char('_')) + QLatin1Char(' ') + ApprovingName);
    put(QStringLiteral("C6:E6"), BoldRight, DateBlank);

    put(QStringLiteral("A9:E9"), Title, QStringLiteral("Уточненная смета доходов и расходов"));
    put(QStringLiteral("A10:E10"), BoldCentre,
        QStringLiteral("по приносящей доход деятельности на ") + m_data.year + QStringLiteral(" год"));
    const QString university = s.code == ShortNameSubdivision ? UniversityShort : UniversityGenitive;
    put(QStringLiteral("A11:E11"), NameLines, s.name + QStringLiteral("\r\n") + university);
    m_sheet.setRowLines(11, 2);

    put(QStringLiteral("A13"), UnitLabel, QStringLiteral("Единица измерения:"));
    put(QStringLiteral("B13"), Unit, QStringLiteral("руб."));
    put(QStringLiteral("A14:C15"), ColumnHead, QStringLiteral("Наименование"));
    put(QStringLiteral("D14:D15"), ColumnHead, QStringLiteral("Коды"));
    put(QStringLiteral("E14:E15"), ColumnHead, QStringLiteral("Сумма средств на год"));
}

void ConsolidatedWriter::dataRow(int row, const DocumentRecord &record)
{
    m_sheet.put(CellRange::span(row, A, C), Description, record.description);
    QString code = record.code;
    if (const int lines = consolidatedRowLines(code); lines > 1)
        m_sheet.setRowLines(row, lines);
    // The income heading prints no code of its own.
    if (code == incomeHeading().code)
        code.clear();
    m_sheet.put(row, D, Code, code);

    Style amount = Amount;
    amount.bold = boldDescriptions.contains(record.description) || consolidatedBoldAmount(code);
    if (record.amount == QLatin1String("0"))
        m_sheet.put(row, E, amount);
    else
        m_sheet.put(row, E, amount, parseStoredAmount(record.amount));
}

void ConsolidatedWriter::signatureBlock(int row)
{
    const Settings &s = m_data.settings;
    auto line = [&](int at, int first, int last, const Style &style, const QString &text) {
        m_sheet.put(CellRange::span(at, first, last), style, text);
    };
    line(row, D, E, BoldCentre, QStringLiteral("\"СОГЛАСОВАНО\""));
    line(row + 1, D, E, BoldCentre, QStringLiteral("Зам. проректора - начальник"));
    line(row + 1, A, B, BoldLeft, s.headPosition);
    line(row + 2, D, E, BoldCentre, QStringLiteral("Гемтар"));
    line(row + 3, D, E, BoldRight, QString(17, QLatin1Char('_')) + QLatin1Char(' ') + AgreeingName);
    line(row + 3, A, B, BoldRight, QStringLiteral("_____________________ ") + s.headName);
    line(row + 5, D, E, BoldRight, DateBlank);
    line(row + 5, A, B, BoldRight, DateBlank);
}

} // namespace

QList<DocumentRecord> documentRecords(const EstimateContent &content)
{
    QList<DocumentRecord> records;
    for (const EstimateFileRecord &stored : readEstimateRecords(content).records) {
        DocumentRecord record;
        record.description = fromWindows1251(stored.description);
        record.code = fromWindows1251(stored.code);
        // A template's Q_ lines hold no annual amount: their text at the
        // amount's place is a piece of markup, which no cell can take.
        record.amount = stored.annualAmount ? fromWindows1251(stored.amount) : QString();
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

void writeConsolidated(SheetModel &sheet, const ConsolidatedData &data)
{
    ConsolidatedWriter(sheet, data).write();
}

QString consolidatedFileName(const QString &estimateName)
{
    return safeFileName(QStringLiteral("Уточненная смета ") + estimateName) + QStringLiteral(".xlsx");
}

} // namespace vastrel
