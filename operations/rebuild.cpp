#include "operations/rebuild.h"

#include "base/base_lock.h"
#include "base/table_of_contents.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <filesystem>
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

// The name as the case-insensitive comparison sees it: each code point
// simply case folded, so comparing keys orders as comparing without case.
QString foldedKey(const QString &name)
{
    QString key;
    key.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(c, name.at(i + 1)));
            key.append(QChar::highSurrogate(folded));
            key.append(QChar::lowSurrogate(folded));
            ++i;
        } else {
            key.append(QChar(QChar::toCaseFolded(c.unicode())));
        }
    }
    return key;
}

} // namespace

QStringList sortedWithoutCase(const QStringList &names)
{
    // Folding once per name, not in every comparison, keeps large bases fast.
    std::vector<std::pair<QString, qsizetype>> keys;
    keys.reserve(size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i)
        keys.emplace_back(foldedKey(names.at(i)), i);
    std::sort(keys.begin(), keys.end(), [&](const auto &a, const auto &b) {
        const int folded = QString::compare(a.first, b.first, Qt::CaseSensitive);
        return folded != 0 ? folded < 0 : names.at(a.second) < names.at(b.second);
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const auto &key : keys)
        sorted.append(names.at(key.second));
    return sorted;
}

QStringList baseDirectoryEntries(const Workspace &workspace)
{
    // Names only: a file-information object per entry costs a stat call and
    // memory, which a base of a hundred thousand estimates feels.
    QStringList names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(workspace.baseDir().toStdU16String(), error), end;
         !error && it != end; it.increment(error)) {
#ifdef _WIN32
        names.append(QString::fromStdWString(it->path().filename().native()));
#else
        names.append(QFile::decodeName(QByteArray::fromStdString(it->path().filename().native())));
#endif
    }
    return sortedWithoutCase(names);
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
    writeToc(workspace, rebuiltTocLines(baseDirectoryEntries(workspace)));
    return Outcome::done();
}

} // namespace vastrel
