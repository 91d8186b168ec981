#include "store/estimate_file.h"

#include "domain/amount.h"
#include "domain/error.h"
#include "store/text_file.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cstring>

namespace vastrel {

namespace {

const QString TwoTabs = QStringLiteral("\t\t");

QString elementLine(const EstimateElement &element)
{
    return TwoTabs + QLatin1Char('<') + element.tag + QLatin1Char('>') + element.value + QStringLiteral("</") +
           element.tag + QLatin1Char('>');
}

void appendRecord(QStringList &lines, const EstimateRecord &record)
{
    lines.append(EstimateFileLine::RecordStart);
    for (const EstimateElement &element : record)
        lines.append(elementLine(element));
    lines.append(EstimateFileLine::RecordEnd);
}

} // namespace

QStringList estimateFileLines(const EstimateHeader &header, const QList<EstimateRecord> &records)
{
    QStringList lines;
    lines.append(EstimateFileLine::Declaration);
    lines.append(QLatin1Char('<') + EstimateTag::Root + QStringLiteral(" xmlns:xsi='") + SchemaInstanceNamespace +
                 QStringLiteral("'>"));
    appendRecord(lines, {{EstimateTag::Year, header.year},
                         {EstimateTag::Financing, header.financing},
                         {EstimateTag::Department, header.department},
                         {EstimateTag::SubdivisionCode, header.subdivisionCode},
                         {EstimateTag::LegalStatus, header.legalStatus}});
    for (const EstimateRecord &record : records)
        appendRecord(lines, record);
    lines.append(EstimateFileLine::RootEnd);
    return lines;
}

QList<EstimateRecord> consolidatedRecords(const QList<ConsolidatedRecord> &records)
{
    QList<EstimateRecord> result;
    result.reserve(records.size());
    for (const ConsolidatedRecord &record : records) {
        EstimateRecord elements{{EstimateTag::Description, record.description}, {EstimateTag::Code, record.code}};
        if (record.withBreakdownCode)
            elements.append({EstimateTag::Breakdown, QString()});
        elements.append({EstimateTag::Amount, record.amount});
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

// A line with a character Windows-1251 cannot hold gets '?' there, as a
// converter would give it: the line is then simply no record of a file.
QByteArray encodedLine(const QString &text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    if (encodeWindows1251(text, bytes.data()))
        return bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!encodeWindows1251(QStringView(text).mid(i, 1), bytes.data() + i))
            bytes[i] = '?';
    }
    return bytes;
}

} // namespace

EstimateLine::EstimateLine(const QString &text)
    : m_own(encodedLine(text))
{
    m_data = m_own.constData();
    m_size = m_own.size();
    findTag();
}

EstimateLine::EstimateLine(const char *data, qsizetype size)
    : m_data(data)
    , m_size(size)
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
    return matchesAt(0, QStringLiteral("\t\t<") + tag + QLatin1Char('>') + value + QStringLiteral("</") + tag +
                            QLatin1Char('>'));
}

QByteArrayView EstimateLine::valueBytes(const QString &tag) const
{
    const qsizetype from = 2 + tag.size() + 2; // past two TABs and "<tag>"
    if (from >= m_size)
        return {};
    // Only the byte '<' reads as '<', so each one is a place where "</tag>" may start.
    for (qsizetype at = find('<', from); at >= 0; at = find('<', at + 1)) {
        if (at + 1 < m_size && m_data[at + 1] == '/' && matchesAt(at + 2, tag) && at + 2 + tag.size() < m_size &&
            m_data[at + 2 + tag.size()] == '>')
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

EstimateContent::EstimateContent(const QByteArray &bytes)
    : m_bytes(bytes)
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

EstimateFileRecords readEstimateRecords(const EstimateContent &content)
{
    EstimateFileRecords file;
    qsizetype at = 0;
    const auto next = [&]() -> const EstimateLine & { return content.at(at++); };
    for (qsizetype i = 0; i < content.size(); ++i) {
        if (content.at(i).opens(EstimateTag::Year)) {
            EstimateHeader header;
            header.year = content.at(i).valueOf(EstimateTag::Year);
            header.financing = content.at(i + 1).valueOf(EstimateTag::Financing);
            header.department = content.at(i + 2).valueOf(EstimateTag::Department);
            header.subdivisionCode = content.at(i + 3).valueOf(EstimateTag::SubdivisionCode);
            header.legalStatus = content.at(i + 4).valueOf(EstimateTag::LegalStatus);
            file.header = header;
            break;
        }
    }
    while (at < content.size()) {
        const EstimateLine &line = next();
        if (!line.opens(EstimateTag::Description))
            continue;
        EstimateFileRecord record;
        record.description = line.valueBytes(EstimateTag::Description);
        record.code = next().valueBytes(EstimateTag::Code);
        const EstimateLine *amountLine = &next();
        if (amountLine->opens(EstimateTag::Breakdown)) {
            record.hasBreakdown = true;
            record.breakdown = amountLine->valueBytes(EstimateTag::Breakdown);
            amountLine = &next();
        }
        record.amount = amountLine->valueBytes(EstimateTag::Amount);
        record.annualAmount = amountLine->opens(EstimateTag::Amount);
        file.records.append(record);
    }
    return file;
}

QStringList windowEstimateLines(const Estimate &estimate, const QDate &today, const std::optional<Settings> &settings)
{
    const IncomeCode &income = incomeCodes().at(size_t(estimate.incomeCode));
    EstimateHeader header;
    header.year = today.toString(QStringLiteral("yyyy"));
    header.financing = income.financing;
    header.department = QStringLiteral("Смета ") + (settings ? settings->name : QString());
    header.subdivisionCode = settings ? settings->code : QString();
    header.legalStatus = settings ? settings->status : estimate.legalStatus;

    const QString breakdownCode = QString::number(estimate.source + 1);
    QList<EstimateRecord> records;
    records.append({{EstimateTag::Description, QStringLiteral("остаток")},
                    {EstimateTag::Code, income.starForm()},
                    {EstimateTag::Breakdown, breakdownCode},
                    {EstimateTag::Amount, storedAmountText(estimate.entries.remainder)}});
    records.append({{EstimateTag::Description, QStringLiteral("название дохода")},
                    {EstimateTag::Code, income.code},
                    {EstimateTag::Breakdown, breakdownCode},
                    {EstimateTag::Amount, storedAmountText(estimate.entries.income)}});
    for (size_t i = 0; i < expenseLines().size(); ++i) {
        const ExpenseLine &line = expenseLines()[i];
        const QString &amount = estimate.entries.expenses[i];
        if (amount == QLatin1String("0") && !isTransferLine(line))
            continue;
        records.append({{EstimateTag::Description, line.savedDescription},
                        {EstimateTag::Code, line.shortCode},
                        {EstimateTag::Amount, storedAmountText(amount)}});
    }
    return estimateFileLines(header, records);
}

QString templateDate(const QDate &date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

QStringList templateEstimateLines(const Estimate &estimate, const QDate &today, const QString &subdivisionName)
{
    EstimateHeader header;
    header.year = templateDate(today);
    header.financing = templateFinancingOfSource(estimate.source);
    header.department = QStringLiteral("Смета ") + subdivisionName;
    header.legalStatus = estimate.legalStatus;

    // Under financing code "0" the income blocks carry "000" in place of "386".
    const bool zeroPrefix = header.financing == QLatin1String("0");
    QList<EstimateRecord> records;
    for (const TemplateLine &line : templateLines()) {
        QString code = line.code;
        if (zeroPrefix && line.prefixFollowsFinancing)
            code.replace(0, 3, QStringLiteral("000"));
        EstimateRecord record{{EstimateTag::Description, line.description}, {EstimateTag::Code, code}};
        switch (line.amount) {
        case TemplateAmount::None:
            break;
        case TemplateAmount::Remainder:
            record.append({EstimateTag::RemainderQuarter, storedAmountText(estimate.entries.remainder)});
            break;
        case TemplateAmount::Income:
            record.append({EstimateTag::IncomeQuarter, storedAmountText(estimate.entries.income)});
            break;
        case TemplateAmount::Expense:
            record.append({EstimateTag::ExpenseQuarter,
                           storedAmountText(estimate.entries.expenses.at(size_t(expenseIndexByShortCode(line.code))))});
            break;
        }
        records.append(record);
    }
    return estimateFileLines(header, records);
}

} // namespace vastrel

namespace vastrel {

namespace {

QString atLine(qsizetype index, const QString &what)
{
    return QStringLiteral("строка %1: %2").arg(index + 1).arg(what);
}

// A value quoted in a message, cut when it is long (a damaged line may be anything).
QString quotedValue(QByteArrayView bytes)
{
    QString text = fromWindows1251(bytes.first(std::min<qsizetype>(bytes.size(), 40)));
    if (bytes.size() > 40)
        text += QStringLiteral("…");
    return QStringLiteral("«") + text + QStringLiteral("»");
}

// Whole, valid UTF-8 with at least one character beyond ASCII. A Windows-1251
// text with Russian letters almost never is: a capital letter would have to
// be followed by "ё", "№" or a like sign, and every estimate holds "Смета".
bool isUtf8Text(QByteArrayView bytes)
{
    bool beyondAscii = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = uchar(bytes[i]);
        if (b < 0x80)
            continue;
        const int extra = b >= 0xC2 && b <= 0xDF ? 1 : b >= 0xE0 && b <= 0xEF ? 2 : b >= 0xF0 && b <= 0xF4 ? 3 : -1;
        if (extra < 0 || i + extra >= bytes.size())
            return false;
        for (int k = 1; k <= extra; ++k) {
            if ((uchar(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += extra;
        beyondAscii = true;
    }
    return beyondAscii;
}

// Faults of the bytes themselves: encoding, control bytes, line ends.
QString byteProblem(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return QStringLiteral("файл пуст");
    if (bytes.startsWith("\xEF\xBB\xBF") || isUtf8Text(bytes))
        return QStringLiteral("файл записан в кодировке UTF-8, а не Windows-1251");
    qsizetype line = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = uchar(bytes[i]);
        if (b == '\r') {
            if (i + 1 == bytes.size() || bytes[i + 1] != '\n')
                return atLine(line, QStringLiteral("знак CR без LF (строки должны кончаться парой CR LF)"));
            ++i;
            ++line;
        } else if (b == '\n') {
            return atLine(line, QStringLiteral("строка кончается знаком LF без CR (нужна пара CR LF)"));
        } else if (b == 0) {
            return atLine(line, QStringLiteral("нулевой байт"));
        } else if (b < 0x20 && b != '\t') {
            return atLine(line, QStringLiteral("управляющий знак с кодом %1").arg(b));
        } else if (b >= 0x80 && windows1251Char(char(b)) == QChar::ReplacementCharacter) {
            return atLine(line, QStringLiteral("байт %1, которого нет в кодировке Windows-1251").arg(b));
        }
    }
    if (!bytes.endsWith("\r\n"))
        return atLine(line, QStringLiteral("последняя строка не кончается парой CR LF: файл обрезан"));
    return QString();
}

bool lineIs(const EstimateLine &line, QByteArrayView text)
{
    return line.bytes() == text;
}

// "«<TAG>…</TAG>»", an element as a message names it.
QString elementShape(const QString &tag)
{
    return QStringLiteral("«<%1>…</%1>»").arg(tag);
}

// "\t\t<TAG>value</TAG>" and nothing else on the line. Tags are ASCII, so
// their characters are compared with the bytes as they are; every line of
// every summed file passes here.
bool isElement(const EstimateLine &line, const QString &tag)
{
    const QByteArrayView b = line.bytes();
    const qsizetype n = tag.size();
    if (b.size() < 2 * n + 7 || b[0] != '\t' || b[1] != '\t' || b[2] != '<' || b[3 + n] != '>')
        return false;
    const qsizetype close = b.size() - n - 3;
    if (b[close] != '<' || b[close + 1] != '/' || b.back() != '>')
        return false;
    for (qsizetype k = 0; k < n; ++k) {
        const char c = char(tag.at(k).unicode());
        if (b[3 + k] != c || b[close + 2 + k] != c)
            return false;
    }
    return true;
}

QByteArrayView elementValue(const EstimateLine &line, const QString &tag)
{
    const qsizetype from = 2 + tag.size() + 2;
    return line.bytes().sliced(from, line.bytes().size() - from - (tag.size() + 3));
}

struct CheckedRecord
{
    qsizetype codeLine = 0;
    QByteArrayView code;
    bool hasBreakdown = false;
    QByteArrayView breakdown;
    const QString *amountTag = nullptr; // none when the record has no amount
    qsizetype amountLine = 0;
    QByteArrayView amount;
};

const QString AmountTags[] = {EstimateTag::Amount, EstimateTag::ExpenseQuarter, EstimateTag::IncomeQuarter,
                              EstimateTag::RemainderQuarter};

QString amountProblem(const CheckedRecord &record, bool mayBeEmpty)
{
    if (record.amount.isEmpty())
        return mayBeEmpty ? QString() : atLine(record.amountLine, QStringLiteral("пустая сумма"));
    try {
        parseStoredAmount(record.amount);
    } catch (const Error &) {
        return atLine(record.amountLine, QStringLiteral("сумма %1 не число (нужны цифры с запятой или точкой, "
                                                        "без пробелов между разрядами)")
                                             .arg(quotedValue(record.amount)));
    }
    return QString();
}

using CodeIndex = QHash<QByteArray, int>;

CodeIndex indexOf(const QStringList &codes)
{
    CodeIndex index;
    for (int i = 0; i < codes.size(); ++i)
        index.insert(toWindows1251(codes.at(i)), i);
    return index;
}

const CodeIndex &shortCodes()
{
    static const CodeIndex index = [] {
        QStringList codes;
        for (const ExpenseLine &line : expenseLines())
            codes.append(line.shortCode);
        return indexOf(codes);
    }();
    return index;
}

// Codes of a consolidated estimate, each telling whether its record carries CODE_RASCH.
const QHash<QByteArray, bool> &consolidatedCodes()
{
    static const QHash<QByteArray, bool> codes = [] {
        QHash<QByteArray, bool> map;
        map.insert(QByteArray(), true);
        for (const IncomeCode &code : incomeCodes())
            map.insert(toWindows1251(code.code), true);
        for (const ExpenseLine &line : expenseLines())
            map.insert(toWindows1251(line.fullCode()), isTransferLine(line));
        for (const GroupLine &group : groupLines())
            map.insert(toWindows1251(group.code), true);
        return map;
    }();
    return codes;
}

const QSet<QByteArray> &templateCodes()
{
    static const QSet<QByteArray> codes = [] {
        QSet<QByteArray> set;
        for (const TemplateLine &line : templateLines()) {
            set.insert(toWindows1251(line.code));
            if (line.prefixFollowsFinancing)
                set.insert(toWindows1251(QStringLiteral("000") + line.code.mid(3)));
        }
        return set;
    }();
    return codes;
}

QString unknownCode(const CheckedRecord &record, const QString &kind)
{
    return atLine(record.codeLine, QStringLiteral("код %1 не бывает в %2").arg(quotedValue(record.code), kind));
}

QString templateProblem(const QList<CheckedRecord> &records)
{
    const QString kind = QStringLiteral("заготовке новой сметы");
    for (const CheckedRecord &record : records) {
        if (!templateCodes().contains(QByteArray::fromRawData(record.code.data(), record.code.size())))
            return unknownCode(record, kind);
        if (record.hasBreakdown)
            return atLine(record.codeLine + 1,
                          QStringLiteral("строки %1 не бывает в %2").arg(EstimateTag::Breakdown, kind));
        if (const QString problem = amountProblem(record, true); !problem.isEmpty())
            return problem;
    }
    return QString();
}

QString consolidatedProblem(const QList<CheckedRecord> &records)
{
    const QString kind = QStringLiteral("сводной смете");
    static const QByteArray incomeHeadingCode = toWindows1251(incomeHeading().code);
    static const QByteArray expenseHeadingCode = toWindows1251(expenseHeading().code);
    for (const CheckedRecord &record : records) {
        const QByteArray code = QByteArray::fromRawData(record.code.data(), record.code.size());
        const auto known = consolidatedCodes().constFind(code);
        if (known == consolidatedCodes().constEnd())
            return unknownCode(record, kind);
        if (record.hasBreakdown != known.value() || !record.breakdown.isEmpty())
            return atLine(record.codeLine + 1,
                          QStringLiteral("строка %1 не на своём месте").arg(EstimateTag::Breakdown));
        const bool heading = code.isEmpty() || code == incomeHeadingCode || code == expenseHeadingCode;
        if (const QString problem = amountProblem(record, heading); !problem.isEmpty())
            return problem;
    }
    return QString();
}

// A saved estimate: the remainder and income records of one income line, then
// expense records in catalogue order. Summing finds each amount by its place
// after the code, so the places are checked too.
QString savedProblem(const QList<CheckedRecord> &records)
{
    const QString kind = QStringLiteral("смете");
    if (records.size() < 2)
        return QStringLiteral("в файле нет записей остатка и дохода");
    static const CodeIndex incomeIndex = [] {
        QStringList codes;
        for (const IncomeCode &code : incomeCodes())
            codes.append(code.code);
        return indexOf(codes);
    }();
    static const QList<QByteArray> starForms = [] {
        QList<QByteArray> forms;
        for (const IncomeCode &code : incomeCodes())
            forms.append(toWindows1251(code.starForm()));
        return forms;
    }();
    const int income =
        incomeIndex.value(QByteArray::fromRawData(records.at(1).code.data(), records.at(1).code.size()), -1);
    if (income < 0)
        return atLine(records.at(1).codeLine,
                      QStringLiteral("ожидался код дохода, а не %1").arg(quotedValue(records.at(1).code)));
    const QByteArray &starForm = starForms.at(income);
    if (records.at(0).code != starForm)
        return atLine(records.at(0).codeLine, QStringLiteral("ожидался код остатка %1").arg(quotedValue(starForm)));
    for (int k = 0; k < 2; ++k) {
        const CheckedRecord &record = records.at(k);
        const int source = record.hasBreakdown ? fromWindows1251(record.breakdown).toInt() : 0;
        if (source < 1 || source > IncomeSourceCount || record.breakdown != records.at(0).breakdown)
            return atLine(record.codeLine + 1,
                          QStringLiteral("нет верного кода расшифровки дохода %1").arg(EstimateTag::Breakdown));
    }
    int previous = -1;
    for (qsizetype k = 2; k < records.size(); ++k) {
        const CheckedRecord &record = records.at(k);
        const int expense = shortCodes().value(QByteArray::fromRawData(record.code.data(), record.code.size()), -1);
        if (expense < 0)
            return unknownCode(record, kind);
        if (expense <= previous)
            return atLine(record.codeLine,
                          QStringLiteral("код %1 повторяется или стоит не по порядку").arg(quotedValue(record.code)));
        if (record.hasBreakdown)
            return atLine(record.codeLine + 1,
                          QStringLiteral("строки %1 не бывает в записи расхода").arg(EstimateTag::Breakdown));
        previous = expense;
    }
    for (const CheckedRecord &record : records) {
        if (const QString problem = amountProblem(record, false); !problem.isEmpty())
            return problem;
    }
    return QString();
}

} // namespace

QString estimateFileProblem(const EstimateContent &content, EstimateKind *kind)
{
    if (const QString problem = byteProblem(content.bytes()); !problem.isEmpty())
        return problem;

    // The header as every writer emits it; a template's values differ, its lines do not.
    static const QStringList start = estimateFileLines(EstimateHeader{}, {});
    static const QList<QByteArray> startBytes = [] {
        QList<QByteArray> lines;
        for (const QString &line : start)
            lines.append(toWindows1251(line));
        return lines;
    }();
    const qsizetype headerEnd = start.size() - 1; // all but "</SMETA>"
    const QString headerTags[] = {EstimateTag::Year, EstimateTag::Financing, EstimateTag::Department,
                                  EstimateTag::SubdivisionCode, EstimateTag::LegalStatus};
    for (qsizetype i = 0; i < headerEnd; ++i) {
        if (i >= content.size())
            return QStringLiteral("файл обрывается после строки %1").arg(content.size());
        const qsizetype element = i - 3;
        const bool fits = element >= 0 && element < qsizetype(std::size(headerTags))
                              ? isElement(content.at(i), headerTags[element])
                              : lineIs(content.at(i), startBytes.at(i));
        if (!fits)
            return atLine(i, QStringLiteral("ожидалось «%1»")
                                 .arg(start.at(i).trimmed().replace(QStringLiteral("><"), QStringLiteral(">…<"))));
    }

    QList<CheckedRecord> records;
    bool sums = false;
    bool templateAmounts = false;
    qsizetype i = headerEnd;
    const auto expected = [&](const QString &what) {
        return i >= content.size() ? QStringLiteral("файл обрывается после строки %1").arg(content.size())
                                   : atLine(i, QStringLiteral("ожидалось ") + what);
    };
    static const QByteArray recordStart = toWindows1251(EstimateFileLine::RecordStart);
    static const QByteArray recordEnd = toWindows1251(EstimateFileLine::RecordEnd);
    static const QByteArray rootEnd = toWindows1251(EstimateFileLine::RootEnd);
    const auto quoted = [](const QString &line) { return QStringLiteral("«%1»").arg(line.trimmed()); };
    while (i < content.size() && lineIs(content.at(i), recordStart)) {
        ++i;
        CheckedRecord record;
        if (!isElement(content.at(i), EstimateTag::Description))
            return expected(elementShape(EstimateTag::Description));
        ++i;
        if (!isElement(content.at(i), EstimateTag::Code))
            return expected(elementShape(EstimateTag::Code));
        record.codeLine = i;
        record.code = elementValue(content.at(i++), EstimateTag::Code);
        if (isElement(content.at(i), EstimateTag::Breakdown)) {
            record.hasBreakdown = true;
            record.breakdown = elementValue(content.at(i++), EstimateTag::Breakdown);
        }
        for (const QString &tag : AmountTags) {
            if (isElement(content.at(i), tag)) {
                record.amountTag = &tag;
                record.amountLine = i;
                record.amount = elementValue(content.at(i++), tag);
                (tag == EstimateTag::Amount ? sums : templateAmounts) = true;
                break;
            }
        }
        if (!lineIs(content.at(i), recordEnd))
            return expected(QStringLiteral("строка суммы или ") + quoted(EstimateFileLine::RecordEnd));
        ++i;
        records.append(record);
    }
    if (!lineIs(content.at(i), rootEnd))
        return expected(quoted(EstimateFileLine::RecordStart) + QStringLiteral(" или ") +
                        quoted(EstimateFileLine::RootEnd));
    if (i + 1 != content.size())
        return atLine(i + 1, QStringLiteral("текст после ") + quoted(EstimateFileLine::RootEnd));
    if (sums && templateAmounts)
        return QStringLiteral("в файле есть и суммы %1, и суммы заготовки %2…%3")
            .arg(EstimateTag::Amount, EstimateTag::ExpenseQuarter, EstimateTag::RemainderQuarter);
    static const QByteArray consolidatedFinancing = toWindows1251(ConsolidatedFinancing);
    const QByteArrayView financing = elementValue(content.at(4), EstimateTag::Financing);
    EstimateKind found = !sums                                ? EstimateKind::Template
                         : financing == consolidatedFinancing ? EstimateKind::Consolidated
                                                              : EstimateKind::Saved;
    if (found != EstimateKind::Template) {
        for (const CheckedRecord &record : records) {
            if (!record.amountTag)
                return atLine(record.codeLine + 1, QStringLiteral("в записи нет суммы ") + EstimateTag::Amount);
        }
    }
    QString problem;
    switch (found) {
    case EstimateKind::Template:
        problem = templateProblem(records);
        break;
    case EstimateKind::Consolidated:
        problem = consolidatedProblem(records);
        break;
    case EstimateKind::Saved:
        problem = savedProblem(records);
        break;
    }
    if (problem.isEmpty() && kind)
        *kind = found;
    return problem;
}

QString estimateFileProblem(const QByteArray &bytes)
{
    return estimateFileProblem(EstimateContent(bytes));
}

} // namespace vastrel
