#include "base/estimate_file.h"

#include "base/text_file.h"

#include <QStringEncoder>

#include <cstring>

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
    return EstimateContent(
        readFileBytes(workspace.estimatePath(estimateName), Workspace::shown(name), OpenFailure::FileNotFound));
}

namespace {

QByteArray encodedLine(const QString &text)
{
    QStringEncoder encoder("windows-1251");
    return encoder.encode(text);
}

} // namespace

EstimateLine::EstimateLine(const QString &text) : m_own(encodedLine(text))
{
    m_data = m_own.constData();
    m_size = m_own.size();
    findTag();
}

EstimateLine::EstimateLine(const char *data, qsizetype size) : m_data(data), m_size(size)
{
    findTag();
}

void EstimateLine::findTag()
{
    if (m_size < 3 || m_data[0] != '\t' || m_data[1] != '\t' || m_data[2] != '<')
        return;
    const qsizetype end = find('>', 3);
    if (end > 3)
        m_tagSize = end - 3;
}

qsizetype EstimateLine::find(char byte, qsizetype from) const
{
    if (from >= m_size)
        return -1;
    const void *hit = std::memchr(m_data + from, byte, size_t(m_size - from));
    return hit ? static_cast<const char *>(hit) - m_data : -1;
}

bool EstimateLine::matchesAt(qsizetype at, const QString &text) const
{
    if (at + text.size() > m_size)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (windows1251Char(m_data[at + i]) != text.at(i))
            return false;
    }
    return true;
}

bool EstimateLine::holds(const QString &tag, const QString &value) const
{
    return matchesAt(0, QStringLiteral("\t\t<") + tag + QLatin1Char('>') + value + QStringLiteral("</") + tag
                            + QLatin1Char('>'));
}

QByteArrayView EstimateLine::valueBytes(const QString &tag) const
{
    const qsizetype from = 2 + tag.size() + 2; // past two TABs and "<tag>"
    if (from >= m_size)
        return {};
    // Only the byte '<' reads as '<', so each one is a place where "</tag>" may start.
    for (qsizetype at = find('<', from); at >= 0; at = find('<', at + 1)) {
        if (at + 1 < m_size && m_data[at + 1] == '/' && matchesAt(at + 2, tag) && at + 2 + tag.size() < m_size
            && m_data[at + 2 + tag.size()] == '>')
            return QByteArrayView(m_data + from, at - from);
    }
    return QByteArrayView(m_data + from, m_size - from);
}

QString EstimateLine::innerText() const
{
    const qsizetype open = find('>', 0);
    if (open < 0)
        return QString();
    const qsizetype close = find('<', open + 1);
    return fromWindows1251(QByteArrayView(m_data + open + 1, (close < 0 ? m_size : close) - open - 1));
}

EstimateContent::EstimateContent(const QStringList &lines)
{
    QList<qsizetype> ends;
    ends.reserve(lines.size());
    for (const QString &line : lines) {
        m_bytes += encodedLine(line);
        ends.append(m_bytes.size());
    }
    m_lines.reserve(lines.size());
    qsizetype begin = 0;
    for (const qsizetype end : ends) {
        m_lines.append(EstimateLine(m_bytes.constData() + begin, end - begin));
        begin = end;
    }
}

EstimateContent::EstimateContent(const QByteArray &bytes) : m_bytes(bytes)
{
    const char *const data = m_bytes.constData();
    const qsizetype size = m_bytes.size();
    m_lines.reserve(size / 32 + 1);
    qsizetype begin = 0;
    while (begin < size) {
        const void *hit = std::memchr(data + begin, '\n', size_t(size - begin));
        const qsizetype end = hit ? static_cast<const char *>(hit) - data : size;
        // A line's final CR is dropped; the text after the last LF is a line only when not empty.
        const qsizetype length = end > begin && data[end - 1] == '\r' ? end - begin - 1 : end - begin;
        m_lines.append(EstimateLine(data + begin, length));
        begin = end + 1;
    }
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
