#include "operations/rebuild.h"

#include "base/base_lock.h"
#include "base/directory_listing.h"
#include "base/error.h"
#include "base/table_of_contents.h"

#include <QFileInfo>

#include <algorithm>
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

bool fitsRecord(const QString &name)
{
    return fitsWindows1251(name) && !name.contains(QLatin1Char('\n')) && !name.contains(QLatin1Char('\r'))
           && !name.contains(QLatin1Char('|'));
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
    // Each name folded once rather than in every comparison: comparing the
    // folded names orders as comparing the names without regard to case.
    std::vector<std::pair<QString, QString>> keyed;
    keyed.reserve(size_t(names.size()));
    for (const QString &name : names)
        keyed.emplace_back(name.toCaseFolded(), name);
    std::sort(keyed.begin(), keyed.end(), [](const auto &a, const auto &b) {
        const int folded = a.first.compare(b.first);
        return folded != 0 ? folded < 0 : a.second < b.second;
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (auto &[key, name] : keyed)
        sorted.append(std::move(name));
    return sorted;
}

QStringList baseDirectoryEntries(const Workspace &workspace)
{
    QStringList names;
    QString reason;
    if (!forEachDirectoryEntry(workspace.baseDir(), [&](QStringView name) { names.append(name.toString()); },
                               &reason)) {
        // A partial listing would silently drop records from the new table of contents.
        throw Error(QStringLiteral("Каталог базы %1 не удалось прочитать: %2. Оглавление базы не изменено.")
                        .arg(Workspace::shown(Workspace::baseDirName() + QLatin1Char('/')), reason));
    }
    return sortedWithoutCase(names);
}

QStringList rebuiltTocLines(const QStringList &entryNames, QStringList *leftOut)
{
    QStringList lines;
    lines.reserve(entryNames.size());
    for (const QString &entry : entryNames) {
        const QString name = estimateNameOfEntry(entry);
        if (!fitsRecord(name)) {
            if (leftOut)
                leftOut->append(entry);
            continue;
        }
        lines.append(TocRecord{runningNumber(int(lines.size()) + 1), name, QString()}.line());
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
    QStringList leftOut;
    writeToc(workspace, rebuiltTocLines(baseDirectoryEntries(workspace), &leftOut));
    return Outcome::done(leftOut.isEmpty() ? QString() : leftOutMessage(leftOut));
}

} // namespace vastrel
