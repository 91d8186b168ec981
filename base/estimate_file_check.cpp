#include "base/estimate_file_check.h"

#include "base/estimate_file.h"

namespace vastrel {

namespace {

const QString ColumnOpen = QStringLiteral("\t<COLUMN>");
const QString ColumnClose = QStringLiteral("\t</COLUMN>");

// A value may hold any character but a line break, "<" included, since the
// writers insert values unescaped; so only the ends of the line are checked.
bool isElementLine(const QString &line, const QString &tag)
{
    const QString open = QStringLiteral("\t\t<") + tag + QLatin1Char('>');
    const QString close = QStringLiteral("</") + tag + QLatin1Char('>');
    return line.size() >= open.size() + close.size() && line.startsWith(open) && line.endsWith(close);
}

bool isRecordElement(const QString &line)
{
    static const QStringList tags = {QStringLiteral("DESCRIPTION"), QStringLiteral("CODE"),
                                     QStringLiteral("CODE_RASCH"),  QStringLiteral("SUM_YEAR"),
                                     QStringLiteral("Q_1"),         QStringLiteral("Q_2"),
                                     QStringLiteral("Q_4")};
    for (const QString &tag : tags) {
        if (isElementLine(line, tag))
            return true;
    }
    return false;
}

QString atLine(qsizetype index, const QString &expected)
{
    return QStringLiteral("строка %1: ожидалось %2").arg(index + 1).arg(expected);
}

} // namespace

QString estimateFileProblem(const QStringList &lines)
{
    // The header as every writer emits it; a template's values differ, its lines do not.
    const QStringList start = estimateFileLines(EstimateHeader{}, {});
    const qsizetype headerEnd = start.size() - 1; // all but "</SMETA>"
    const QStringList headerTags = {QStringLiteral("YEAR"), QStringLiteral("COD_FIN"), QStringLiteral("DEP"),
                                    QStringLiteral("COD_DEP"), QStringLiteral("COD_LEG")};
    for (qsizetype i = 0; i < headerEnd; ++i) {
        if (i >= lines.size())
            return QStringLiteral("файл обрывается на строке %1").arg(lines.size());
        const qsizetype element = i - 3;
        const bool fits = element >= 0 && element < headerTags.size() ? isElementLine(lines.at(i), headerTags.at(element))
                                                                     : lines.at(i) == start.at(i);
        if (!fits)
            return atLine(i, QStringLiteral("«%1»").arg(start.at(i).trimmed().replace(QStringLiteral("><"), QStringLiteral(">…<"))));
    }

    qsizetype i = headerEnd;
    while (i < lines.size() && lines.at(i) == ColumnOpen) {
        const qsizetype first = ++i;
        while (i < lines.size() && isRecordElement(lines.at(i)))
            ++i;
        if (i == first || i >= lines.size() || lines.at(i) != ColumnClose)
            return atLine(i, QStringLiteral("строка записи сметы или «</COLUMN>»"));
        ++i;
    }
    if (i >= lines.size() || lines.at(i) != start.last())
        return atLine(i, QStringLiteral("«<COLUMN>» или «</SMETA>»"));
    if (i + 1 != lines.size())
        return QStringLiteral("после «</SMETA>» в строке %1 есть ещё текст").arg(i + 2);
    return QString();
}

} // namespace vastrel
