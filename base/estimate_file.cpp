#include "base/estimate_file.h"

#include "base/text_file.h"

namespace vastrel {

namespace {

const QString Tab = QStringLiteral("\t");
const QString TwoTabs = QStringLiteral("\t\t");

QString elementLine(const EstimateElement &element)
{
    return TwoTabs + QLatin1Char('<') + element.tag + QLatin1Char('>') + element.value + QStringLiteral("</")
           + element.tag + QLatin1Char('>');
}

void appendRecord(QStringList &lines, const EstimateRecord &record)
{
    lines.append(Tab + QStringLiteral("<COLUMN>"));
    for (const EstimateElement &element : record)
        lines.append(elementLine(element));
    lines.append(Tab + QStringLiteral("</COLUMN>"));
}

} // namespace

QStringList estimateFileLines(const EstimateHeader &header, const QList<EstimateRecord> &records)
{
    QStringList lines;
    lines.append(QStringLiteral("<?xml version='1.0' encoding='windows-1251' standalone='yes'?>"));
    lines.append(QStringLiteral("<SMETA xmlns:xsi='") + SchemaInstanceNamespace + QStringLiteral("'>"));
    appendRecord(lines, {{QStringLiteral("YEAR"), header.year},
                         {QStringLiteral("COD_FIN"), header.financing},
                         {QStringLiteral("DEP"), header.department},
                         {QStringLiteral("COD_DEP"), header.subdivisionCode},
                         {QStringLiteral("COD_LEG"), header.legalStatus}});
    for (const EstimateRecord &record : records)
        appendRecord(lines, record);
    lines.append(QStringLiteral("</SMETA>"));
    return lines;
}

QList<EstimateRecord> consolidatedRecords(const QList<ConsolidatedRecord> &records)
{
    QList<EstimateRecord> result;
    result.reserve(records.size());
    for (const ConsolidatedRecord &record : records) {
        EstimateRecord elements{{QStringLiteral("DESCRIPTION"), record.description},
                                {QStringLiteral("CODE"), record.code}};
        if (record.withBreakdownCode)
            elements.append({QStringLiteral("CODE_RASCH"), QString()});
        elements.append({QStringLiteral("SUM_YEAR"), record.amount});
        result.append(elements);
    }
    return result;
}

void writeEstimateFile(const Workspace &workspace, const QString &estimateName, const QStringList &lines)
{
    const QString name = Workspace::estimateName(estimateName);
    writeFileAtomically(workspace.estimatePath(estimateName), Workspace::shown(name), toWindows1251(crlfLines(lines)));
}

EstimateContent readEstimate(const Workspace &workspace, const QString &estimateName)
{
    const QString name = Workspace::estimateName(estimateName);
    return readTextLines(workspace.estimatePath(estimateName), Workspace::shown(name), OpenFailure::FileNotFound);
}

EstimateLine::EstimateLine(const QString &text) : m_text(text)
{
    if (!text.startsWith(TwoTabs + QLatin1Char('<')))
        return;
    const qsizetype end = text.indexOf(QLatin1Char('>'), 3);
    if (end > 3)
        m_tag = text.mid(3, end - 3);
}

bool EstimateLine::holds(const QString &tag, const QString &value) const
{
    return m_text.startsWith(TwoTabs + QLatin1Char('<') + tag + QLatin1Char('>') + value + QStringLiteral("</") + tag
                             + QLatin1Char('>'));
}

QString EstimateLine::valueOf(const QString &tag) const
{
    const qsizetype from = TwoTabs.size() + tag.size() + 2; // past "<tag>"
    if (from >= m_text.size())
        return QString();
    const qsizetype end = m_text.indexOf(QStringLiteral("</") + tag + QLatin1Char('>'), from);
    return end < 0 ? m_text.mid(from) : m_text.mid(from, end - from);
}

QString EstimateLine::innerText() const
{
    const qsizetype open = m_text.indexOf(QLatin1Char('>'));
    if (open < 0)
        return QString();
    const qsizetype close = m_text.indexOf(QLatin1Char('<'), open + 1);
    return close < 0 ? m_text.mid(open + 1) : m_text.mid(open + 1, close - open - 1);
}

EstimateContent::EstimateContent(const QStringList &lines)
{
    m_lines.reserve(lines.size());
    for (const QString &line : lines)
        m_lines.append(EstimateLine(line));
}

const EstimateLine &EstimateContent::at(qsizetype index) const
{
    static const EstimateLine empty;
    return index >= 0 && index < m_lines.size() ? m_lines.at(index) : empty;
}

namespace {

const QString Description = QStringLiteral("DESCRIPTION");
const QString Code = QStringLiteral("CODE");

} // namespace

QStringList windowEstimateLines(const WindowEstimate &estimate, const std::optional<Settings> &settings)
{
    const IncomeCode &income = incomeCodes().at(size_t(estimate.incomeCode));
    EstimateHeader header;
    header.year = estimate.today.toString(QStringLiteral("yyyy"));
    header.financing = income.financing;
    header.department = QStringLiteral("Смета ") + (settings ? settings->name : QString());
    header.subdivisionCode = settings ? settings->code : QString();
    header.legalStatus = settings ? settings->status : estimate.legalStatus;

    const QString breakdownCode = QString::number(estimate.source + 1);
    QList<EstimateRecord> records;
    records.append({{Description, QStringLiteral("остаток")},
                    {Code, income.starForm()},
                    {QStringLiteral("CODE_RASCH"), breakdownCode},
                    {QStringLiteral("SUM_YEAR"), estimate.entries.remainder}});
    records.append({{Description, QStringLiteral("название дохода")},
                    {Code, estimate.incomeCodeText},
                    {QStringLiteral("CODE_RASCH"), breakdownCode},
                    {QStringLiteral("SUM_YEAR"), estimate.entries.income}});
    for (size_t i = 0; i < expenseLines().size(); ++i) {
        const ExpenseLine &line = expenseLines()[i];
        const QString &amount = estimate.entries.expenses[i];
        if (amount == QLatin1String("0") && !isTransferLine(line))
            continue;
        records.append({{Description, line.savedDescription},
                        {Code, line.shortCode},
                        {QStringLiteral("SUM_YEAR"), amount}});
    }
    return estimateFileLines(header, records);
}

QString templateDate(const QDate &date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

QStringList templateEstimateLines(const TemplateEstimate &estimate)
{
    EstimateHeader header;
    header.year = templateDate(estimate.today);
    header.financing = templateFinancingOfSource(estimate.source);
    header.department = QStringLiteral("Смета ") + estimate.subdivisionName;
    header.legalStatus = estimate.legalStatus;

    // Under financing code "0" the income blocks carry "000" in place of "386".
    const bool zeroPrefix = header.financing == QLatin1String("0");
    QList<EstimateRecord> records;
    for (const TemplateLine &line : templateLines()) {
        QString code = line.code;
        if (zeroPrefix && line.prefixFollowsFinancing)
            code.replace(0, 3, QStringLiteral("000"));
        EstimateRecord record{{Description, line.description}, {Code, code}};
        switch (line.amount) {
        case TemplateAmount::None:
            break;
        case TemplateAmount::Remainder:
            record.append({line.amountTag, estimate.entries.remainder});
            break;
        case TemplateAmount::Income:
            record.append({line.amountTag, estimate.entries.income});
            break;
        case TemplateAmount::Expense:
            record.append({line.amountTag,
                           estimate.entries.expenses.at(size_t(expenseIndexByShortCode(line.code)))});
            break;
        }
        records.append(record);
    }
    return estimateFileLines(header, records);
}

} // namespace vastrel
