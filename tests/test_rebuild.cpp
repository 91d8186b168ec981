#include "operations/rebuild.h"
#include "support/cli_runner.h"
#include "support/recording_messages.h"
#include "support/temp_workspace.h"

#include "store/table_of_contents.h"

#include <QDir>

#include <algorithm>

#include <gtest/gtest.h>

using namespace vastrel;
using namespace vastrel::test;

namespace {

const QString SmetaDir = QStringLiteral("../Vastrel/smetas/");

TEST(Rebuild, NameIsCutAtTheFirstXml)
{
    const QList<std::pair<const char *, const char *>> cases = {
        {"смета.xml", "смета"}, {"a.xml.bak", "a"}, {"a.xml.xml", "a"}, {".xml", ""},
        {"a.XML", ""},          {"a.bak", ""},      {"подкаталог", ""}, {"x.xmlfoo", "x"}};
    for (const auto &[entry, name] : cases)
        EXPECT_EQ(estimateNameOfEntry(QString::fromUtf8(entry)), QString::fromUtf8(name)) << entry;
}

TEST(Rebuild, RecordsFollowTheGivenOrder)
{
    EXPECT_EQ(rebuiltTocLines({QStringLiteral("b.xml"), QStringLiteral("a.xml")}),
              (QStringList{QStringLiteral("001|b|"), QStringLiteral("002|a|")}));
    EXPECT_TRUE(rebuiltTocLines({}).isEmpty());
}

TEST(Rebuild, SortOrdersAsTheCaseInsensitiveComparison)
{
    // Cyrillic and Latin cases, ё/Ё, ß (which folds to itself one by one), a
    // character outside the basic plane, prefixes and names equal but for case.
    QStringList names;
    for (const char *name :
         {"Смета", "смета", "СМЕТА",  "смета1",  "Ёлка",    "ёлка", "елка", "Жук",         "a",          "B",
          "b",     "A",     "Straße", "STRASSE", "strasse", "ẞ",    "ß",    "\U0001D400x", "\U00010400", "\U00010428",
          "_x",    "[x",    "Z",      "z",       "",        "Ω",    "ω",    "Ǆ",           "ǅ",          "ǆ"})
        names.append(QString::fromUtf8(name));
    QStringList expected = names;
    std::sort(expected.begin(), expected.end(), [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    EXPECT_EQ(sortedWithoutCase(names), expected);
    std::reverse(names.begin(), names.end());
    EXPECT_EQ(sortedWithoutCase(names), expected);
}

TEST(Rebuild, LongNamesSharingBeginningsSortAsTheCaseInsensitiveComparison)
{
    // Names that differ only far in, just before, at and after each eight
    // bytes of their folded form, one being the beginning of another; once
    // with a beginning all share and once without.
    const auto reference = [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    };
    QStringList stems;
    for (const char *stem : {"Кафедра", "кафедра", "КАФЕДРА", "Кафедры", "Faculty", "faculty", "FACULTY0", "ЁЖ"})
        stems.append(QString::fromUtf8(stem));
    for (const QString &common : {QString(), QStringLiteral("Общий префикс ")}) {
        QStringList names;
        for (const QString &stem : stems) {
            for (const char *tail : {"", " ", " 0", " 00000", " 000000", " 0000001", " 00000010.xml", " 00000011.xml",
                                     " 0000001.xml", " 0000001.xml.bak", " 0000001.XML", " А", " а"})
                names.append(common + stem + QString::fromUtf8(tail));
        }
        QStringList expected = names;
        std::sort(expected.begin(), expected.end(), reference);
        std::reverse(names.begin(), names.end());
        EXPECT_EQ(sortedWithoutCase(names), expected) << common.toStdString();
    }
}

TEST(Rebuild, ReplacesTheTableOfContentsFromTheBaseDirectory)
{
    TempWorkspace ws;
    ws.writeToc({QStringLiteral("105|s01|примечание"), QStringLiteral("106|пропавшая|")});
    // Eleven estimates, a backup, a subdirectory, a hidden file and one in upper case.
    for (int i = 1; i <= 11; ++i)
        ws.write(SmetaDir + QStringLiteral("s%1.xml").arg(i, 2, 10, QLatin1Char('0')), "x");
    ws.write(SmetaDir + QStringLiteral("s01.xml.bak"), "x");
    ws.write(SmetaDir + QStringLiteral("s05.bak"), "x");
    ws.write(SmetaDir + QStringLiteral("S03.xml"), "x");
    ws.write(SmetaDir + QStringLiteral(".скрытая.xml"), "x");
    QDir(ws.baseDir()).mkdir(QStringLiteral("t архив"));

    RecordingMessages messages;
    ASSERT_TRUE(report(messages, rebuildToc(ws.workspace())).ok());
    EXPECT_TRUE(messages.all().isEmpty());
    QStringList expected = {
        QStringLiteral("001|.скрытая|"), QStringLiteral("002|s01|"), QStringLiteral("003|s01|"),
        QStringLiteral("004|s02|"),      QStringLiteral("005|S03|"), QStringLiteral("006|s03|"),
        QStringLiteral("007|s04|"),      QStringLiteral("008||"),    QStringLiteral("009|s05|"),
        QStringLiteral("010|s06|"),      QStringLiteral("011|s07|"), QStringLiteral("012|s08|"),
        QStringLiteral("013|s09|"),      QStringLiteral("014|s10|"), QStringLiteral("015|s11|"),
        QStringLiteral("016||"),
    };
    if (!QDir(ws.baseDir()).entryList(QDir::Files).contains(QStringLiteral("S03.xml"))) {
        // Where case is ignored "S03.xml" is the file "s03.xml": one estimate, numbered on.
        expected.removeAt(4);
        for (int i = 0; i < expected.size(); ++i)
            expected[i] = runningNumber(i + 1) + expected[i].mid(3);
    }
    EXPECT_EQ(ws.read(QStringLiteral("departments.txt")), crlf(expected));
}

TEST(Rebuild, ElevenFilesNumberedToEleven)
{
    TempWorkspace ws;
    ws.writeToc({});
    QStringList expected;
    for (int i = 1; i <= 11; ++i) {
        const QString name = QStringLiteral("смета %1").arg(QChar(u'а' + i - 1));
        ws.write(SmetaDir + name + QStringLiteral(".xml"), "x");
        expected.append(runningNumber(i) + QLatin1Char('|') + name + QLatin1Char('|'));
    }
    RecordingMessages messages;
    ASSERT_TRUE(report(messages, rebuildToc(ws.workspace())).ok());
    EXPECT_EQ(ws.read(QStringLiteral("departments.txt")), crlf(expected));
    EXPECT_TRUE(ws.read(QStringLiteral("departments.txt")).contains("009|"));
    EXPECT_TRUE(ws.read(QStringLiteral("departments.txt")).contains("\r\n011|"));
}

TEST(Rebuild, WritesTheSortedNamesInWindows1251)
{
    TempWorkspace ws;
    ws.writeToc({QStringLiteral("105|N|T")});
    QStringList names;
    for (const char *name :
         {"Кафедра 2.xml", "кафедра 10.xml", "КАФЕДРА 1.xml", "Faculty b.xml", "faculty B.xml", "ёлка.xml", "Ёлка.xml",
          "елка.xml", "Яя.xml", "zz.xml", "10.xml", "9.xml", "_a.xml", "№ 5 «смета».xml", "смета.xml.bak", "архив"})
        names.append(QString::fromUtf8(name));
    for (const QString &name : names)
        ws.write(SmetaDir + name, "x");
    // As the directory holds them: where case is ignored, names differing only in case are one file.
    names = QDir(ws.baseDir()).entryList(QDir::Files);
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    RecordingMessages messages;
    ASSERT_TRUE(report(messages, rebuildToc(ws.workspace())).ok());
    EXPECT_EQ(ws.read(QStringLiteral("departments.txt")), crlf(rebuiltTocLines(names)));

    // Names no record can hold are left out and named; the rest stays usable.
    QDir(ws.baseDir()).removeRecursively();
    QDir().mkpath(ws.baseDir());
#ifdef Q_OS_WIN
    // Windows' file names cannot hold a line feed or "|".
    const QStringList unrecordable = {QStringLiteral("表.xml")};
    const QString named = QStringLiteral("всего 1: «表.xml»");
#else
    const QStringList unrecordable = {QStringLiteral("表.xml"), QStringLiteral("a\nb.xml"), QStringLiteral("a|b.xml")};
    const QString named = QStringLiteral("всего 3: «a\\nb.xml», «a|b.xml», «表.xml»");
#endif
    for (const QString &name : unrecordable + QStringList{QStringLiteral("b.xml"), QStringLiteral("c.xml")})
        ws.write(SmetaDir + name, "x");
    messages.clear();
    ASSERT_TRUE(report(messages, rebuildToc(ws.workspace())).ok());
    EXPECT_EQ(ws.read(QStringLiteral("departments.txt")), crlf({QStringLiteral("001|b|"), QStringLiteral("002|c|")}));
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral("Оглавление базы восстановлено без файлов, имена которых нельзя записать в "
                                         "оглавление (знаки вне кодировки Windows-1251, перевод строки или «|»), ") +
                          named + QStringLiteral(". Переименуйте их и восстановите оглавление еще раз.")});
    EXPECT_EQ(messages.all().first().kind, MessageKind::Information);
}

TEST(Rebuild, EmptyBaseGivesAnEmptyFileAndMissingBaseChangesNothing)
{
    TempWorkspace ws;
    RecordingMessages messages;
    ASSERT_TRUE(report(messages, rebuildToc(ws.workspace())).ok());
    EXPECT_TRUE(ws.exists(QStringLiteral("departments.txt")));
    EXPECT_EQ(ws.read(QStringLiteral("departments.txt")), QByteArray());

    ws.writeToc({QStringLiteral("105|N|T")});
    ASSERT_TRUE(QDir(ws.baseDir()).removeRecursively());
    EXPECT_FALSE(report(messages, rebuildToc(ws.workspace())).ok());
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Каталог базы %1 не найден. Оглавление базы не изменено.")
                                                .arg(QDir::toNativeSeparators(QStringLiteral("../Vastrel/smetas/")))});
    EXPECT_EQ(ws.read(QStringLiteral("departments.txt")), crlf({QStringLiteral("105|N|T")}));
}

TEST(RebuildCli, RebuildsAndRefusesWithoutBase)
{
    TempWorkspace ws;
    ws.writeToc({QStringLiteral("105|b|notes")});
    ws.write(SmetaDir + QStringLiteral("a.xml.bak"), "x");
    for (const char *name : {"b", "c", "d", "e", "f", "g", "h", "i", "j"})
        ws.write(SmetaDir + QLatin1String(name) + QStringLiteral(".xml"), "x");
    QDir(ws.baseDir()).mkdir(QStringLiteral("z"));
    CliResult result = runCli({QStringLiteral("-C"), ws.root(), QStringLiteral("rebuild")});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, QString());
    EXPECT_EQ(
        ws.read(QStringLiteral("departments.txt")),
        crlf({QStringLiteral("001|a|"), QStringLiteral("002|b|"), QStringLiteral("003|c|"), QStringLiteral("004|d|"),
              QStringLiteral("005|e|"), QStringLiteral("006|f|"), QStringLiteral("007|g|"), QStringLiteral("008|h|"),
              QStringLiteral("009|i|"), QStringLiteral("010|j|"), QStringLiteral("011||")}));

    result = runCli({QStringLiteral("-C"), ws.root(), QStringLiteral("rebuild"), QStringLiteral("лишнее")});
    EXPECT_EQ(result.exitCode, 2);

    ASSERT_TRUE(QDir(ws.baseDir()).removeRecursively());
    result = runCli({QStringLiteral("-C"), ws.root(), QStringLiteral("rebuild")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("не найден")));
}

} // namespace
