#include "support/xlsx_reader.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>

#include <zlib.h>

namespace vastrel::test {

namespace {

quint32 le(const QByteArray &bytes, qsizetype at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | uchar(bytes.at(at + i));
    return value;
}

// A member of a zip file, stored or deflated, found through the central
// directory; read here rather than by an unzip program, which not every
// system the tests run on (Wine) can start. Empty when it is not there.
QByteArray zipMember(const QByteArray &zip, const QString &member)
{
    const qsizetype end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0 || end + 22 > zip.size())
        return QByteArray();
    const int count = int(le(zip, end + 10, 2));
    qsizetype at = le(zip, end + 16, 4);
    for (int i = 0; i < count && at + 46 <= zip.size() && le(zip, at, 4) == 0x02014b50; ++i) {
        const int method = int(le(zip, at + 10, 2));
        const quint32 packed = le(zip, at + 20, 4), size = le(zip, at + 24, 4);
        const int nameLength = int(le(zip, at + 28, 2));
        const qsizetype header = le(zip, at + 42, 4);
        const QByteArray name = zip.mid(at + 46, nameLength);
        at += 46 + nameLength + le(zip, at + 30, 2) + le(zip, at + 32, 2);
        if (name != member.toUtf8() || header + 30 > zip.size())
            continue;
        const qsizetype data = header + 30 + le(zip, header + 26, 2) + le(zip, header + 28, 2);
        const QByteArray stored = zip.mid(data, packed);
        if (method == 0)
            return stored;
        QByteArray out(qsizetype(size), Qt::Uninitialized);
        z_stream stream{};
        if (method != 8 || inflateInit2(&stream, -MAX_WBITS) != Z_OK)
            return QByteArray();
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(stored.constData()));
        stream.avail_in = uInt(stored.size());
        stream.next_out = reinterpret_cast<Bytef *>(out.data());
        stream.avail_out = uInt(out.size());
        const int status = inflate(&stream, Z_FINISH);
        inflateEnd(&stream);
        return status == Z_STREAM_END ? out : QByteArray();
    }
    return QByteArray();
}

} // namespace

QString unzipPart(const QString &path, const QString &part)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(zipMember(file.readAll(), part));
}

namespace {

// "_x000D_" is how the format writes control characters.
QString unescape(QString text)
{
    static const QRegularExpression escape(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QRegularExpressionMatch match;
    qsizetype from = 0;
    while ((match = escape.match(text, from)).hasMatch()) {
        const QChar c(ushort(match.captured(1).toUShort(nullptr, 16)));
        text.replace(match.capturedStart(), match.capturedLength(), QString(c));
        from = match.capturedStart() + 1;
    }
    return text;
}

QStringList sharedStrings(const QString &xml)
{
    QStringList strings;
    QXmlStreamReader reader(xml);
    QString current;
    bool inItem = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == QLatin1String("si")) {
            inItem = true;
            current.clear();
        } else if (reader.isStartElement() && reader.name() == QLatin1String("t") && inItem) {
            current += reader.readElementText();
        } else if (reader.isEndElement() && reader.name() == QLatin1String("si")) {
            strings.append(unescape(current));
            inItem = false;
        }
    }
    return strings;
}

struct Font
{
    QString name;
    double size = 0;
    bool bold = false;
    bool italic = false;
};

QList<XlsxCellFormat> cellFormats(const QString &xml, QString &defaultFont)
{
    QMap<int, QString> numberFormats = {{0, QString()}, {2, QStringLiteral("0.00")}, {4, QStringLiteral("#,##0.00")}};
    QList<Font> fonts;
    QList<bool> fills;
    QList<bool> borders;
    QList<XlsxCellFormat> formats;
    QXmlStreamReader reader(xml);
    QString section;
    Font font;
    int borderSides = 0;
    bool patterned = false;
    while (!reader.atEnd()) {
        reader.readNext();
        const auto name = reader.name();
        if (reader.isStartElement()) {
            if (name == QLatin1String("fonts") || name == QLatin1String("fills") || name == QLatin1String("borders") ||
                name == QLatin1String("cellXfs") || name == QLatin1String("cellStyleXfs"))
                section = name.toString();
            const auto attributes = reader.attributes();
            if (name == QLatin1String("numFmt"))
                numberFormats[attributes.value(QStringLiteral("numFmtId")).toInt()] =
                    attributes.value(QStringLiteral("formatCode")).toString();
            if (section == QLatin1String("fonts")) {
                if (name == QLatin1String("font"))
                    font = Font();
                else if (name == QLatin1String("b"))
                    font.bold = true;
                else if (name == QLatin1String("i"))
                    font.italic = true;
                else if (name == QLatin1String("sz"))
                    font.size = attributes.value(QStringLiteral("val")).toDouble();
                else if (name == QLatin1String("name"))
                    font.name = attributes.value(QStringLiteral("val")).toString();
            } else if (section == QLatin1String("fills")) {
                if (name == QLatin1String("patternFill")) {
                    const QString type = attributes.value(QStringLiteral("patternType")).toString();
                    patterned = type != QLatin1String("none") && type != QLatin1String("gray125");
                }
            } else if (section == QLatin1String("borders")) {
                if (name == QLatin1String("border"))
                    borderSides = 0;
                else if ((name == QLatin1String("left") || name == QLatin1String("right") ||
                          name == QLatin1String("top") || name == QLatin1String("bottom")) &&
                         attributes.value(QStringLiteral("style")) == QLatin1String("thin"))
                    ++borderSides;
            } else if (section == QLatin1String("cellXfs")) {
                if (name == QLatin1String("xf")) {
                    XlsxCellFormat format;
                    const Font f = fonts.value(attributes.value(QStringLiteral("fontId")).toInt());
                    format.fontName = f.name;
                    format.fontSize = f.size;
                    format.bold = f.bold;
                    format.italic = f.italic;
                    format.filled = fills.value(attributes.value(QStringLiteral("fillId")).toInt());
                    format.thinBorders = borders.value(attributes.value(QStringLiteral("borderId")).toInt());
                    format.numberFormat = numberFormats.value(attributes.value(QStringLiteral("numFmtId")).toInt());
                    formats.append(format);
                } else if (name == QLatin1String("alignment") && !formats.isEmpty()) {
                    formats.last().horizontal = attributes.value(QStringLiteral("horizontal")).toString();
                    formats.last().vertical = attributes.value(QStringLiteral("vertical")).toString();
                    formats.last().wrap = attributes.value(QStringLiteral("wrapText")) == QLatin1String("1");
                }
            }
        } else if (reader.isEndElement()) {
            if (name == section)
                section.clear();
            if (name == QLatin1String("font") && section == QLatin1String("fonts"))
                fonts.append(font);
            else if (name == QLatin1String("fill") && section == QLatin1String("fills"))
                fills.append(patterned);
            else if (name == QLatin1String("border") && section == QLatin1String("borders"))
                borders.append(borderSides == 4);
        }
    }
    if (!fonts.isEmpty())
        defaultFont = fonts.first().name + QLatin1Char(' ') + QString::number(fonts.first().size);
    return formats;
}

int rowOf(const QString &ref)
{
    static const QRegularExpression digits(QStringLiteral("[0-9]+$"));
    return digits.match(ref).captured(0).toInt();
}

} // namespace

XlsxSheet XlsxSheet::read(const QString &path)
{
    XlsxSheet sheet;
    const QString sheetXml = unzipPart(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    if (sheetXml.isEmpty()) {
        sheet.m_error = QStringLiteral("no sheet1.xml in ") + path;
        return sheet;
    }
    const QStringList strings = sharedStrings(unzipPart(path, QStringLiteral("xl/sharedStrings.xml")));
    const QList<XlsxCellFormat> formats =
        cellFormats(unzipPart(path, QStringLiteral("xl/styles.xml")), sheet.m_defaultFont);

    QXmlStreamReader reader(sheetXml);
    QString ref;
    XlsxCell cell;
    while (!reader.atEnd()) {
        reader.readNext();
        const auto name = reader.name();
        const auto attributes = reader.attributes();
        if (reader.isStartElement()) {
            if (name == QLatin1String("sheetFormatPr")) {
                sheet.m_defaultRowHeight = attributes.value(QStringLiteral("defaultRowHeight")).toDouble();
            } else if (name == QLatin1String("col")) {
                const int min = attributes.value(QStringLiteral("min")).toInt();
                const int max = attributes.value(QStringLiteral("max")).toInt();
                for (int column = min; column <= max; ++column)
                    sheet.m_columnWidths[column] = attributes.value(QStringLiteral("width")).toDouble();
            } else if (name == QLatin1String("row")) {
                if (attributes.hasAttribute(QStringLiteral("ht")))
                    sheet.m_rowHeights[attributes.value(QStringLiteral("r")).toInt()] =
                        attributes.value(QStringLiteral("ht")).toDouble();
            } else if (name == QLatin1String("c")) {
                ref = attributes.value(QStringLiteral("r")).toString();
                cell = XlsxCell();
                cell.present = true;
                cell.type = attributes.value(QStringLiteral("t")).toString();
                cell.format = formats.value(attributes.value(QStringLiteral("s")).toInt());
            } else if (name == QLatin1String("f")) {
                cell.formula = reader.readElementText();
            } else if (name == QLatin1String("v")) {
                const QString value = reader.readElementText();
                cell.text = cell.type == QLatin1String("s") ? strings.value(value.toInt()) : value;
            } else if (name == QLatin1String("mergeCell")) {
                sheet.m_merges.append(attributes.value(QStringLiteral("ref")).toString());
            } else if (name == QLatin1String("pageSetup")) {
                sheet.m_orientation = attributes.value(QStringLiteral("orientation")).toString();
            } else if (name == QLatin1String("oddFooter")) {
                sheet.m_footer = reader.readElementText();
            }
        } else if (reader.isEndElement() && name == QLatin1String("c")) {
            sheet.m_cells.insert(ref, cell);
        }
    }
    if (reader.hasError())
        sheet.m_error = reader.errorString();

    QXmlStreamReader workbook(unzipPart(path, QStringLiteral("xl/workbook.xml")));
    while (!workbook.atEnd()) {
        workbook.readNext();
        if (workbook.isStartElement() && workbook.name() == QLatin1String("definedName") &&
            workbook.attributes().value(QStringLiteral("name")) == QLatin1String("_xlnm.Print_Titles"))
            sheet.m_printTitles = workbook.readElementText();
    }
    return sheet;
}

XlsxCell XlsxSheet::cell(const QString &ref) const
{
    return m_cells.value(ref);
}

QList<int> XlsxSheet::rows() const
{
    QList<int> rows;
    for (auto it = m_cells.cbegin(); it != m_cells.cend(); ++it)
        rows.append(rowOf(it.key()));
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int XlsxSheet::lastRow() const
{
    const QList<int> all = rows();
    return all.isEmpty() ? 0 : all.last();
}

} // namespace vastrel::test
