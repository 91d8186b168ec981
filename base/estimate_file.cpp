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
    writeFileAtomically(workspace.resolve(name), Workspace::shown(name), toWindows1251(crlfLines(lines)));
}

QStringList readEstimateFile(const Workspace &workspace, const QString &estimateName)
{
    const QString name = Workspace::estimateName(estimateName);
    return readTextLines(workspace.resolve(name), Workspace::shown(name), OpenFailure::FileNotFound);
}

QString valueFrom(const QString &line, int from, const QString &endTag)
{
    if (from >= line.size())
        return QString();
    const qsizetype end = line.indexOf(endTag, from);
    return end < 0 ? line.mid(from) : line.mid(from, end - from);
}

QString elementValue(const QString &line)
{
    const qsizetype open = line.indexOf(QLatin1Char('>'));
    if (open < 0)
        return QString();
    const qsizetype close = line.indexOf(QLatin1Char('<'), open + 1);
    return close < 0 ? line.mid(open + 1) : line.mid(open + 1, close - open - 1);
}

} // namespace vastrel
