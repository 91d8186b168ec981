#include "support/temp_workspace.h"

#include "domain/error.h"
#include "store/table_of_contents.h"
#include "store/workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vastrel;
using vastrel::test::TempWorkspace;
using vastrel::test::thrownPlatformText;

namespace {

TEST(TableOfContents, SplitsOnTheFirstTwoSeparators)
{
    struct Case
    {
        const char *line;
        const char *code, *name, *notes;
    };
    const Case cases[] = {
        {"105|Кафедра|примечание", "105", "Кафедра", "примечание"},
        {"105|N|a|b|c", "105", "N", "a|b|c"},
        {"000|сводная смета ( 07_12_2026_9_05_33 )|", "000", "сводная смета ( 07_12_2026_9_05_33 )", ""},
        {"no separators", "no separators", "", ""},
        {"007|only name", "007", "only name", ""},
        {"||", "", "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        const TocRecord record = TocRecord::split(QString::fromUtf8(c.line));
        EXPECT_EQ(record.code, QString::fromUtf8(c.code));
        EXPECT_EQ(record.name, QString::fromUtf8(c.name));
        EXPECT_EQ(record.notes, QString::fromUtf8(c.notes));
    }
    EXPECT_EQ((TocRecord{QStringLiteral("105"), QStringLiteral("N"), QStringLiteral("T|U")}.line()),
              QStringLiteral("105|N|T|U"));
}

TEST(TableOfContents, RunningNumbers)
{
    const QList<std::pair<int, const char *>> cases = {{1, "001"},   {9, "009"},     {10, "010"},
                                                       {11, "011"},  {99, "099"},    {100, "100"},
                                                       {999, "999"}, {1000, "1000"}, {12345, "12345"}};
    for (const auto &[number, text] : cases)
        EXPECT_EQ(runningNumber(number), QLatin1String(text)) << number;
    EXPECT_EQ(TocRecord::numbered(7, QStringLiteral("смета")).bytes(), QByteArray("007|\xf1\xec\xe5\xf2\xe0|\r\n"));
}

TEST(TableOfContents, RecordBytesHoldEveryPartAndNameACharacterWithoutAByte)
{
    EXPECT_EQ((TocRecord{QStringLiteral("105"), QStringLiteral("№ 5"), QStringLiteral("T|€")}.bytes()),
              QByteArray("105|\xb9 5|T|\x88\r\n"));
    EXPECT_EQ(TocRecord{}.bytes(), QByteArray("||\r\n"));
    for (const TocRecord &record : {TocRecord{QStringLiteral("✓"), QStringLiteral("a"), QString()},
                                    TocRecord{QStringLiteral("105"), QStringLiteral("a✓"), QString()},
                                    TocRecord{QStringLiteral("105"), QStringLiteral("a"), QStringLiteral("✓")}})
        EXPECT_TRUE(thrownPlatformText([&] { record.bytes(); }).contains(QStringLiteral("«✓»")))
            << record.line().toStdString();
}

TEST(TableOfContents, NameThatWouldNotReadBackIsNoRecordName)
{
    const QList<std::pair<const char *, bool>> cases = {{"Кафедра физики", true}, {"a|b", false}, {"a\nb", false},
                                                        {"a\r", false},           {"漢", false},  {"", true}};
    for (const auto &[name, holds] : cases)
        EXPECT_EQ(TocRecord::holdsName(QString::fromUtf8(name)), holds) << name;
}

TEST(TableOfContents, ReadsAppendsAndRewritesInWindows1251)
{
    TempWorkspace ws;
    ws.write(QStringLiteral("departments.txt"),
             test::crlf({QStringLiteral("001|Первая|"), QString(), QStringLiteral("002|Вторая|x|y")}));
    EXPECT_EQ(readToc(ws.workspace()), (QStringList{QStringLiteral("001|Первая|"), QStringLiteral("002|Вторая|x|y")}));

    appendTocRecord(ws.workspace(), {QStringLiteral("003"), QStringLiteral("Третья"), QString()});
    EXPECT_EQ(ws.read(QStringLiteral("departments.txt")),
              test::crlf({QStringLiteral("001|Первая|"), QString(), QStringLiteral("002|Вторая|x|y"),
                          QStringLiteral("003|Третья|")}));

    writeToc(ws.workspace(), {});
    EXPECT_EQ(ws.read(QStringLiteral("departments.txt")), QByteArray());
    EXPECT_TRUE(readToc(ws.workspace()).isEmpty());
}

TEST(TableOfContents, Utf8ListingHoldsTheLinesReadTocGives)
{
    TempWorkspace ws;
    const QByteArray cases[] = {
        "105|\xd1\xec\xe5\xf2\xe0|x|y\r\n000|b|\r\n",
        "a\nb",
        "\r\n\r\na\r\n\r\n\r",
        "a\r\r\nb\rc\r\n",
        QByteArray("\x00\x98\xff\xb8\xa8\x88|\x01\r\n", 10),
        QByteArray(3000, '\xe0') + "\r\n" + QByteArray(70000, 'a') + "\r\n\xc1",
        "",
    };
    for (const QByteArray &bytes : cases) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        ws.write(QStringLiteral("departments.txt"), bytes);
        // The file layer's line rule, empty lines being no records.
        QStringList lines = textLines(bytes);
        lines.removeAll(QString());
        EXPECT_EQ(readToc(ws.workspace()), lines);
        QString expected;
        for (const QString &line : lines)
            expected += line + QLatin1Char('\n');
        QByteArray listed;
        readTocUtf8(ws.workspace(), [&](QByteArrayView piece) { listed += piece; });
        EXPECT_EQ(listed, expected.toUtf8());
        EXPECT_EQ(CompactToc::read(ws.workspace()).lines(), lines);
    }
}

TEST(TableOfContents, AppendingToAMissingFileWritesNothing)
{
    TempWorkspace ws;
    EXPECT_EQ(thrownPlatformText([&] {
                  appendTocRecord(ws.workspace(), {QStringLiteral("001"), QStringLiteral("a"), QString()});
              }),
              QStringLiteral("File not found"));
    EXPECT_FALSE(ws.exists(QStringLiteral("departments.txt")));
}

TEST(TableOfContents, StorableTextRefusesLineBreaksAndForeignCharacters)
{
    EXPECT_TRUE(checkStorableText(QStringLiteral("обычный текст | с чертой"), QStringLiteral("Поле")).isEmpty());
    EXPECT_FALSE(checkStorableText(QStringLiteral("две\nстроки"), QStringLiteral("Поле")).isEmpty());
    EXPECT_FALSE(checkStorableText(QStringLiteral("возврат\r"), QStringLiteral("Поле")).isEmpty());
    EXPECT_FALSE(checkStorableText(QStringLiteral("漢"), QStringLiteral("Поле")).isEmpty());
}

} // namespace
