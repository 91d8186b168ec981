#include "operations/rebuild.h"

#include "domain/error.h"
#include "store/base_lock.h"
#include "store/directory_listing.h"
#include "store/table_of_contents.h"

#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vastrel {

QString estimateNameOfEntry(QStringView entryName)
{
    // Each "." tried in turn: a general search for ".xml" costs more than the rest of a record.
    for (qsizetype dot = entryName.indexOf(QLatin1Char('.')); dot >= 0;
         dot = entryName.indexOf(QLatin1Char('.'), dot + 1)) {
        if (entryName.sliced(dot).startsWith(u".xml"))
            return entryName.first(dot).toString();
    }
    return QString();
}

namespace {

// Names with their sort keys, packed one after another in large blocks: a
// hundred thousand names cost little memory, and on some machines every page
// first touched costs as much as many comparisons. A key is the name with each
// code point simply case folded, each UTF-16 unit written as UTF-8 writes a
// code point: comparing keys byte by byte then orders as comparing the folded
// names unit by unit, and Latin letters take one byte. Ties go by the exact names.
class SortedNames
{
public:
    void add(QStringView name)
    {
        const size_t length = size_t(name.size());
        // Header (units, key bytes), the name's units, then at most three bytes of key per unit.
        char *record = allocate(HeaderSize + 5 * length);
        char *key = record + HeaderSize + 2 * length;
        std::memcpy(record + HeaderSize, name.utf16(), 2 * length);
        const auto put = [&key](char16_t unit) {
            if (unit < 0x80) {
                *key++ = char(unit);
            } else if (unit < 0x800) {
                *key++ = char(0xC0 | (unit >> 6));
                *key++ = char(0x80 | (unit & 0x3F));
            } else {
                *key++ = char(0xE0 | (unit >> 12));
                *key++ = char(0x80 | ((unit >> 6) & 0x3F));
                *key++ = char(0x80 | (unit & 0x3F));
            }
        };
        for (size_t i = 0; i < length; ++i) {
            const char16_t c = name[qsizetype(i)].unicode();
            if (c < 0x80) {
                put(c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c);
            } else if (QChar::isHighSurrogate(c) && i + 1 < length && name[qsizetype(i + 1)].isLowSurrogate()) {
                const char32_t folded =
                    QChar::toCaseFolded(QChar::surrogateToUcs4(c, name[qsizetype(i + 1)].unicode()));
                put(QChar::highSurrogate(folded));
                put(QChar::lowSurrogate(folded));
                ++i;
            } else if (c < m_folded.size()) {
                // Names of one language keep to a few letters: each folded once.
                char16_t &folded = m_folded[c];
                if (folded == 0)
                    folded = char16_t(QChar::toCaseFolded(char32_t(c)));
                put(folded);
            } else {
                put(char16_t(QChar::toCaseFolded(char32_t(c))));
            }
        }
        const Header header{quint32(length), quint32(key - (record + HeaderSize + 2 * length))};
        std::memcpy(record, &header, HeaderSize);
        const size_t used = size_t(key - record);
        m_blocks.back().used += (used + 1) & ~size_t(1); // the next record's units stay aligned
        ++m_count;
    }

    // Orders the names; no name may be added after.
    void sort()
    {
        // Sorting pointers makes every comparison chase a key scattered in
        // memory, and many keys share long beginnings. Instead sort eight key
        // bytes at a time held next to the pointer, going deeper only where
        // those bytes tie; a key that ends reads as zero bytes after its end,
        // which orders a shorter key first as the full comparison does.
        m_itemMemory = allocateMemory(m_count * sizeof(Item));
        const std::span items(reinterpret_cast<Item *>(m_itemMemory.get()), m_count);
        size_t next = 0;
        for (const Block &block : m_blocks) {
            for (size_t at = 0; at < block.used;) {
                const char *record = block.bytes.get() + at;
                items[next++] = {0, record};
                const Header header = headerOf(record);
                at += (HeaderSize + 2 * size_t(header.units) + header.keyBytes + 1) & ~size_t(1);
            }
        }
        sortFrom(items.data(), items.data() + items.size(), commonKeyPrefix(items));
        m_items = items;
    }

    qsizetype size() const { return qsizetype(m_items.size()); }
    QStringView at(qsizetype i) const { return nameOf(m_items[size_t(i)].record); }
    QStringList toList() const
    {
        QStringList names;
        names.reserve(size());
        for (qsizetype i = 0; i < size(); ++i)
            names.append(at(i).toString());
        return names;
    }

private:
    struct Header
    {
        quint32 units;
        quint32 keyBytes;
    };
    static constexpr size_t HeaderSize = sizeof(Header);

    struct Item
    {
        quint64 chunk; // eight key bytes from the depth being sorted, big-endian
        const char *record;
    };

    static const char *keyOf(const char *record, const Header &header)
    {
        return record + HeaderSize + 2 * size_t(header.units);
    }

    // The full order: folded keys byte by byte, the shorter first, ties by the exact names.
    static bool before(const char *a, const char *b)
    {
        const Header ha = headerOf(a);
        const Header hb = headerOf(b);
        if (const int folded = std::memcmp(keyOf(a, ha), keyOf(b, hb), std::min(ha.keyBytes, hb.keyBytes)))
            return folded < 0;
        if (ha.keyBytes != hb.keyBytes)
            return ha.keyBytes < hb.keyBytes;
        return nameOf(a) < nameOf(b);
    }

    static size_t commonKeyPrefix(std::span<const Item> items)
    {
        if (items.empty())
            return 0;
        const Header first = headerOf(items.front().record);
        const char *firstKey = keyOf(items.front().record, first);
        size_t common = first.keyBytes;
        for (const Item &item : items) {
            const Header header = headerOf(item.record);
            const char *key = keyOf(item.record, header);
            size_t same = 0;
            const size_t limit = std::min<size_t>(common, header.keyBytes);
            while (same < limit && key[same] == firstKey[same])
                ++same;
            common = same;
            if (common == 0)
                break;
        }
        return common;
    }

    static void sortFrom(Item *first, Item *last, size_t depth)
    {
        bool deeper = false; // whether some key goes on past these eight bytes
        for (Item *item = first; item != last; ++item) {
            const Header header = headerOf(item->record);
            const unsigned char *key = reinterpret_cast<const unsigned char *>(keyOf(item->record, header));
            quint64 chunk = 0;
            if (header.keyBytes >= depth + 8) {
                std::memcpy(&chunk, key + depth, 8);
                chunk = qFromBigEndian(chunk);
            } else {
                for (size_t i = depth; i < depth + 8; ++i)
                    chunk = (chunk << 8) | (i < header.keyBytes ? key[i] : 0u);
            }
            item->chunk = chunk;
            deeper = deeper || header.keyBytes > depth + 8;
        }
        if (!deeper) {
            // Every key ends within these bytes: the full order settles the rest.
            std::sort(first, last, [](const Item &a, const Item &b) { return before(a.record, b.record); });
            return;
        }
        std::sort(first, last, [](const Item &a, const Item &b) { return a.chunk < b.chunk; });
        for (Item *run = first; run != last;) {
            Item *end = run + 1;
            while (end != last && end->chunk == run->chunk)
                ++end;
            if (end - run > 1)
                sortFrom(run, end, depth + 8);
            run = end;
        }
    }

    static Header headerOf(const char *record)
    {
        Header header;
        std::memcpy(&header, record, HeaderSize);
        return header;
    }
    static std::u16string_view nameOf(const char *record)
    {
        return {reinterpret_cast<const char16_t *>(record + HeaderSize), headerOf(record).units};
    }

    char *allocate(size_t size)
    {
        // A small base needs no more than the first block; a large one goes on in larger ones.
        const size_t blockSize = m_blocks.empty() ? size_t(1) << 18 : LargeBlock;
        if (m_blocks.empty() || m_blocks.back().size - m_blocks.back().used < size) {
            const size_t bytes = std::max(size, blockSize);
            m_blocks.push_back({allocateMemory(bytes), bytes, 0});
        }
        return m_blocks.back().bytes.get() + m_blocks.back().used;
    }

    static constexpr size_t LargeBlock = size_t(1) << 21;

    struct FreeMemory
    {
        void operator()(void *memory) const { std::free(memory); }
    };
    using Memory = std::unique_ptr<char[], FreeMemory>;

    static Memory allocateMemory(size_t size)
    {
        Memory memory(static_cast<char *>(std::malloc(std::max<size_t>(size, 1))));
        if (!memory)
            throw std::bad_alloc();
        return memory;
    }

    struct Block
    {
        Memory bytes;
        size_t size;
        size_t used;
    };
    std::vector<Block> m_blocks;
    Memory m_itemMemory;
    std::array<char16_t, 0x800> m_folded{}; // no unit folds to zero, which marks one not yet folded
    std::span<const Item> m_items;
    size_t m_count = 0;
};

SortedNames sortedEntries(const Workspace &workspace)
{
    SortedNames names;
    QString reason;
    if (!forEachDirectoryEntry(
            workspace.baseDir(), [&](QStringView name) { names.add(name); }, &reason)) {
        // A partial listing would silently drop records from the new table of contents.
        throw Error(QStringLiteral("Каталог базы %1 не удалось прочитать: %2. Оглавление базы не изменено.")
                        .arg(Workspace::shown(Workspace::baseDirName() + QLatin1Char('/')), reason));
    }
    names.sort();
    return names;
}

// Hands the bytes of the rebuilt departments.txt to `sink` piece by piece.
// An entry whose name no record can hold is left out and added to `leftOut`;
// the others are numbered on without a gap.
void writeRebuiltToc(const SortedNames &names, const ByteSink &sink, QStringList &leftOut)
{
    constexpr qsizetype PieceSize = 1 << 16;
    QByteArray piece;
    piece.reserve(PieceSize + 1024);
    int number = 0;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QStringView entry = names.at(i);
        const QString name = estimateNameOfEntry(entry);
        if (!TocRecord::holdsName(name)) {
            leftOut.append(entry.toString());
            continue;
        }
        piece += TocRecord::numbered(++number, name).bytes();
        if (piece.size() >= PieceSize) {
            sink(piece);
            piece.resize(0);
        }
    }
    sink(piece);
}

// Which entries were left out, each readable on one line; a long list is cut.
QString leftOutMessage(const QStringList &leftOut)
{
    constexpr qsizetype Shown = 10;
    QStringList names;
    for (qsizetype i = 0; i < leftOut.size() && i < Shown; ++i) {
        QString name = leftOut.at(i);
        name.replace(QLatin1Char('\n'), QStringLiteral("\\n")).replace(QLatin1Char('\r'), QStringLiteral("\\r"));
        names.append(QStringLiteral("«") + name + QStringLiteral("»"));
    }
    QString list = names.join(QStringLiteral(", "));
    if (leftOut.size() > Shown)
        list += QStringLiteral(" и еще %1").arg(leftOut.size() - Shown);
    return QStringLiteral("Оглавление базы восстановлено без файлов, имена которых нельзя записать в оглавление "
                          "(знаки вне кодировки Windows-1251, перевод строки или «|»), всего %1: %2. Переименуйте "
                          "их и восстановите оглавление еще раз.")
        .arg(leftOut.size())
        .arg(list);
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
    for (const QString &entry : entryNames) {
        const QString name = estimateNameOfEntry(entry);
        if (TocRecord::holdsName(name))
            lines.append(TocRecord::numbered(int(lines.size()) + 1, name).line());
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
    QStringList leftOut;
    writeTocBytes(workspace, [&](const ByteSink &sink) {
        leftOut.clear();
        writeRebuiltToc(names, sink, leftOut);
        return true;
    });
    return Outcome::done(leftOut.isEmpty() ? QString() : leftOutMessage(leftOut));
}

} // namespace vastrel
