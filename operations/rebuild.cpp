#include "operations/rebuild.h"

#include "base/base_lock.h"
#include "base/directory_listing.h"
#include "base/error.h"
#include "base/table_of_contents.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vastrel {

QString runningNumber(int number)
{
    if (number < 0)
        return QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
    // Called once per line of a rebuilt list: padded by hand, without parsing a pattern.
    return QString::number(number).rightJustified(3, QLatin1Char('0'));
}

QString estimateNameOfEntry(const QString &entryName)
{
    const qsizetype end = entryName.indexOf(QLatin1String(".xml"), 0, Qt::CaseSensitive);
    return end < 0 ? QString() : entryName.left(end);
}

namespace {

// Names with their sort keys, kept in large blocks rather than a string
// each. A key is the name with each code point simply case folded, as
// big-endian UTF-16, so comparing keys byte by byte orders as comparing the
// folded names unit by unit; ties go by the exact names.
class SortedNames
{
public:
    void add(QStringView name)
    {
        const size_t length = size_t(name.size());
        char16_t *stored = allocate(2 * length);
        std::memcpy(stored, name.utf16(), 2 * length);
        auto *key = reinterpret_cast<unsigned char *>(stored + length);
        const auto put = [&key](char16_t unit) {
            *key++ = uchar(unit >> 8);
            *key++ = uchar(unit);
        };
        for (size_t i = 0; i < length; ++i) {
            const char16_t c = stored[i];
            if (c < 0x80) {
                put(c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c);
            } else if (QChar::isHighSurrogate(c) && i + 1 < length && QChar::isLowSurrogate(stored[i + 1])) {
                const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(c, stored[i + 1]));
                put(QChar::highSurrogate(folded));
                put(QChar::lowSurrogate(folded));
                ++i;
            } else {
                put(char16_t(QChar::toCaseFolded(char32_t(c))));
            }
        }
        m_entries.push_back({stored, quint32(length)});
        m_units += length;
    }

    void sort()
    {
        std::sort(m_entries.begin(), m_entries.end(), [](const Entry &a, const Entry &b) {
            const size_t length = std::min(a.length, b.length);
            if (const int folded = std::memcmp(a.key(), b.key(), 2 * length))
                return folded < 0;
            if (a.length != b.length)
                return a.length < b.length;
            return a.name() < b.name();
        });
    }

    qsizetype size() const { return qsizetype(m_entries.size()); }
    // All names' lengths together, in UTF-16 units.
    qsizetype units() const { return qsizetype(m_units); }
    QStringView at(qsizetype i) const { return m_entries[size_t(i)].name(); }
    QStringList toList() const
    {
        QStringList names;
        names.reserve(size());
        for (const Entry &entry : m_entries)
            names.append(QStringView(entry.name()).toString());
        return names;
    }

private:
    // The name's units followed by its key: four bytes per unit.
    struct Entry
    {
        const char16_t *units;
        quint32 length;

        std::u16string_view name() const { return {units, length}; }
        const char *key() const { return reinterpret_cast<const char *>(units + length); }
    };

    char16_t *allocate(size_t units)
    {
        constexpr size_t BlockUnits = 1 << 17;
        if (units > m_left) {
            m_blocks.push_back(std::make_unique<char16_t[]>(std::max(units, BlockUnits)));
            m_next = m_blocks.back().get();
            m_left = std::max(units, BlockUnits);
        }
        char16_t *at = m_next;
        m_next += units;
        m_left -= units;
        return at;
    }

    std::vector<std::unique_ptr<char16_t[]>> m_blocks;
    char16_t *m_next = nullptr;
    size_t m_left = 0;
    std::vector<Entry> m_entries;
    size_t m_units = 0;
};

SortedNames sortedEntries(const Workspace &workspace)
{
    SortedNames names;
    QString reason;
    if (!forEachDirectoryEntry(workspace.baseDir(), [&](QStringView name) { names.add(name); }, &reason)) {
        // A partial listing would silently drop records from the new table of contents.
        throw Error(QStringLiteral("Каталог базы %1 не удалось прочитать: %2. Оглавление базы не изменено.")
                        .arg(Workspace::shown(Workspace::baseDirName() + QLatin1Char('/')), reason));
    }
    names.sort();
    return names;
}

// Where ".xml" first stands in the name, -1 when nowhere; the general search
// costs more than the rest of a line.
qsizetype xmlAt(QStringView name)
{
    for (qsizetype i = 0; i + 4 <= name.size(); ++i) {
        if (name[i] == u'.' && name[i + 1] == u'x' && name[i + 2] == u'm' && name[i + 3] == u'l')
            return i;
    }
    return -1;
}

void appendRunningNumber(QByteArray &out, int number)
{
    char digits[12];
    int count = 0;
    do {
        digits[count++] = char('0' + number % 10);
        number /= 10;
    } while (number > 0);
    for (int i = count; i < 3; ++i)
        out += '0';
    while (count > 0)
        out += digits[--count];
}

// The bytes of the rebuilt departments.txt; nothing when a name has no
// Windows-1251 form (writeToc then refuses it with its usual message).
std::optional<QByteArray> rebuiltTocBytes(const SortedNames &names)
{
    QByteArray bytes;
    // A byte per unit of a name, at most ten digits and "||" CR LF.
    bytes.reserve(names.units() + 14 * names.size());
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QStringView entry = names.at(i);
        const qsizetype end = xmlAt(entry);
        appendRunningNumber(bytes, int(i + 1));
        bytes += '|';
        if (end >= 0 && !appendWindows1251(bytes, entry.left(end)))
            return std::nullopt;
        bytes += "|\r\n";
    }
    return bytes;
}

} // namespace

QStringList sortedWithoutCase(const QStringList &names)
{
    SortedNames sorted;
    for (const QString &name : names)
        sorted.add(name);
    sorted.sort();
    return sorted.toList();
}

QStringList baseDirectoryEntries(const Workspace &workspace)
{
    return sortedEntries(workspace).toList();
}

QStringList rebuiltTocLines(const QStringList &entryNames)
{
    QStringList lines;
    lines.reserve(entryNames.size());
    for (int i = 0; i < entryNames.size(); ++i) {
        const QString name = estimateNameOfEntry(entryNames.at(i));
        QString line = runningNumber(i + 1);
        line.reserve(line.size() + name.size() + 2);
        line += QLatin1Char('|');
        line += name;
        line += QLatin1Char('|');
        lines.append(std::move(line));
    }
    return lines;
}

Outcome rebuildToc(const Workspace &workspace)
{
    // Without the base directory a rebuild would wipe the table of contents:
    // most likely the program was started from the wrong directory.
    if (!QFileInfo(workspace.baseDir()).isDir()) {
        return Outcome::refusal(QStringLiteral("Каталог базы %1 не найден. Оглавление базы не изменено.")
                                    .arg(Workspace::shown(Workspace::baseDirName() + QLatin1Char('/'))));
    }
    const BaseLock lock(workspace);
    const SortedNames names = sortedEntries(workspace);
    if (const std::optional<QByteArray> bytes = rebuiltTocBytes(names))
        writeTocBytes(workspace, *bytes);
    else
        writeToc(workspace, rebuiltTocLines(names.toList()));
    return Outcome::done();
}

} // namespace vastrel
