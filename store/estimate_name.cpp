#include "store/estimate_name.h"

#include "store/directory_listing.h"
#include "store/table_of_contents.h"
#include "store/text_file.h"

#include <QFile>
#include <QStringList>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace vastrel {

namespace {

bool hasControlCharacter(const QString &name)
{
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7f && u <= 0x9f) || c.category() == QChar::Other_Format)
            return true;
    }
    return false;
}

QString separatorProblem(const QString &name)
{
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return QStringLiteral("Имя сметы «%1» содержит знак «/» или «\\». Имя сметы служит именем её "
                              "файла в базе и не может содержать эти знаки.")
            .arg(name);
    if (hasControlCharacter(name))
        return QStringLiteral("Имя сметы не может содержать перевод строки, табуляцию и другие "
                              "управляющие символы.");
    return QString();
}

bool isDeviceName(const QString &name)
{
    // Windows opens these as devices whatever extension follows.
    static const QStringList devices = {QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                        QStringLiteral("NUL")};
    const QString stem = name.section(QLatin1Char('.'), 0, 0).trimmed().toUpper();
    if (devices.contains(stem))
        return true;
    return stem.size() == 4 && (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT"))) &&
           stem.at(3) >= QLatin1Char('1') && stem.at(3) <= QLatin1Char('9');
}

// The longest file name the directory's file system takes, in the units it
// counts: bytes of the local encoding, UTF-16 units on Windows.
qsizetype longestFileName(const QString &dir)
{
#ifdef Q_OS_WIN
    Q_UNUSED(dir);
    return 255;
#else
    const long max = pathconf(QFile::encodeName(dir).constData(), _PC_NAME_MAX);
    return max > 0 ? qsizetype(max) : 255;
#endif
}

qsizetype fileNameLength(const QString &fileName)
{
#ifdef Q_OS_WIN
    return fileName.size();
#else
    return QFile::encodeName(fileName).size();
#endif
}

} // namespace

QString estimateFileNameLengthProblem(const QString &baseDir, const QString &name)
{
    // A save writes "<name>.xml.XXXXXX" first, then renames it.
    const qsizetype temporarySuffix = 7;
    const qsizetype room = longestFileName(baseDir) - temporarySuffix;
    const qsizetype length = fileNameLength(name + QStringLiteral(".xml"));
    if (length <= room)
        return QString();
    const qsizetype perCharacter = qMax<qsizetype>(1, fileNameLength(name) / qMax<qsizetype>(1, name.size()));
    return QStringLiteral("Имя сметы слишком длинное: имя её файла в базе не может превышать %1 байт. "
                          "Сократите имя примерно на %2 символов.")
        .arg(room)
        .arg((length - room + perCharacter - 1) / perCharacter);
}

QString newEstimateNameProblem(const QString &name)
{
    if (const QString problem = separatorProblem(name); !problem.isEmpty())
        return problem;
    static const QString forbidden = QStringLiteral("<>:\"|?*");
    for (const QChar c : name) {
        if (forbidden.contains(c))
            return QStringLiteral("Имя сметы не может содержать знаки < > : \" | ? * — "
                                  "имя сметы служит именем её файла в базе.");
    }
    if (name.contains(QStringLiteral("..")))
        return QStringLiteral("Имя сметы не может содержать две точки подряд («..»).");
    if (!name.isEmpty() && (name.front().isSpace() || name.back().isSpace()))
        return QStringLiteral("Имя сметы не может начинаться или заканчиваться пробелом.");
    if (isDeviceName(name))
        return QStringLiteral("Имя «%1» занято в Windows за устройством; выберите для сметы другое имя.").arg(name);
    if (!fitsWindows1251(name))
        return QStringLiteral("Имя сметы содержит символы, которые нельзя записать в кодировке Windows-1251.");
    return QString();
}

QString storedEstimateNameProblem(const QString &name)
{
    return separatorProblem(name);
}

void CaseVariants::add(const QString &name)
{
    const QString folded = name.toCaseFolded();
    if (!m_byFolded.contains(folded, name))
        m_byFolded.insert(folded, name);
}

QString CaseVariants::variantOf(const QString &name) const
{
    const QString folded = name.toCaseFolded();
    for (auto it = m_byFolded.constFind(folded); it != m_byFolded.cend() && it.key() == folded; ++it) {
        if (it.value() != name)
            return it.value();
    }
    return QString();
}

CaseVariants baseNameVariants(const QString &baseDir, const QStringList &tocLines)
{
    CaseVariants names;
    for (const QString &line : tocLines)
        names.add(estimateNameOf(line));
    QString reason;
    // An unreadable directory leaves only the records to compare with; the
    // writing that follows reports the directory's own fault.
    forEachDirectoryEntry(
        baseDir,
        [&](QStringView entry) {
            if (entry.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
                names.add(entry.chopped(4).toString());
        },
        &reason);
    return names;
}

QString caseVariantMessage(const QString &name, const QString &existing)
{
    return QStringLiteral("Файл с таким именем уже существует в системе!\n"
                          "Смета «%1» отличается от сметы «%2» только заглавными и строчными буквами, а в Windows и "
                          "на флешке это одно имя файла.")
        .arg(name, existing);
}

} // namespace vastrel
