#include "domain/windows1251.h"

#include "domain/error.h"

#include <array>

namespace vastrel {

namespace {

// The characters of the bytes 0x80..0xBF; below them Windows-1251 is ASCII,
// above them А..я in alphabetical order.
// The program owns the table so that the files' bytes never depend on which
// converters a Qt build carries (Qt without ICU has no Windows-1251 on
// Windows). 0x98 has no character of its own: it stands for U+0098, as in
// Windows' own table, so every byte reads and writes back unchanged.
constexpr std::array<char16_t, 64> upperQuarter = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

constexpr char16_t decodeByte(uchar byte)
{
    if (byte < 0x80)
        return byte;
    if (byte < 0xC0)
        return upperQuarter[byte - 0x80u];
    return char16_t(0x0410u + (byte - 0xC0u));
}

// The byte of each character that has one, -1 for the others.
const std::array<qint16, 0x10000> &encodingTable()
{
    static const std::array<qint16, 0x10000> table = [] {
        std::array<qint16, 0x10000> result;
        result.fill(-1);
        for (int b = 0; b < 0x100; ++b)
            result[decodeByte(uchar(b))] = qint16(b);
        return result;
    }();
    return table;
}

// Where the first character without a byte starts, or -1.
qsizetype firstUnencodable(QStringView text)
{
    const auto &table = encodingTable();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (table[text.at(i).unicode()] < 0)
            return i;
    }
    return -1;
}

} // namespace

QChar windows1251Char(char byte)
{
    return QChar(decodeByte(uchar(byte)));
}

QString fromWindows1251(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (const char c : bytes)
        *out++ = decodeByte(uchar(c));
    return text;
}

bool encodeWindows1251(QStringView text, char *out)
{
    const auto &table = encodingTable();
    for (const QChar c : text) {
        const qint16 byte = table[c.unicode()];
        if (byte < 0)
            return false;
        *out++ = char(byte);
    }
    return true;
}

void appendUtf8FromWindows1251(QByteArray &out, QByteArrayView bytes)
{
    // Up to three UTF-8 bytes per byte; the first of four tells how many.
    static const std::array<std::array<char, 4>, 256> table = [] {
        std::array<std::array<char, 4>, 256> result{};
        for (int b = 0; b < 256; ++b) {
            const QChar c = windows1251Char(char(b));
            const QByteArray utf8 = QString(c).toUtf8();
            result[size_t(b)][0] = char(utf8.size());
            for (qsizetype i = 0; i < utf8.size() && i < 3; ++i)
                result[size_t(b)][size_t(i) + 1] = utf8.at(i);
        }
        return result;
    }();
    const qsizetype start = out.size();
    out.resize(start + 3 * bytes.size());
    char *to = out.data() + start;
    for (const char b : bytes) {
        const auto &code = table[uchar(b)];
        to[0] = code[1];
        to[1] = code[2];
        to[2] = code[3];
        to += code[0];
    }
    out.resize(to - out.constData());
}

bool fitsWindows1251(const QString &text)
{
    return firstUnencodable(text) < 0;
}

QByteArray toWindows1251(const QString &text)
{
    const qsizetype bad = firstUnencodable(text);
    if (bad < 0) {
        QByteArray bytes(text.size(), Qt::Uninitialized);
        encodeWindows1251(text, bytes.data());
        return bytes;
    }
    // A character outside the first plane is named whole, not half of it.
    const bool pair = text.at(bad).isHighSurrogate() && bad + 1 < text.size() && text.at(bad + 1).isLowSurrogate();
    throw Error(QStringLiteral("Символ «%1» в тексте «%2» нельзя записать в файл "
                               "в кодировке Windows-1251. Замените его.")
                    .arg(text.mid(bad, pair ? 2 : 1), text));
}

QString crlfLines(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return text;
}

} // namespace vastrel
