#include "support/temp_workspace.h"

#include "base/error.h"
#include "base/table_of_contents.h"
#include "base/text_file.h"
#include "base/workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace vastrel;
using vastrel::test::TempWorkspace;

namespace {

QString readError(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Error &error) {
        return error.platformText();
    }
    return QString();
}

TEST(Windows1251, RoundTripsCyrillicAndRefusesWhatItCannotHold)
{
    const QString text = QStringLiteral("Смета кафедры №5 «Ёлка» – 100 руб.");
    EXPECT_EQ(fromWindows1251(toWindows1251(text)), text);
    EXPECT_EQ(toWindows1251(QStringLiteral("Ж")), QByteArray("\xc6"));
    EXPECT_TRUE(fitsWindows1251(text));

    EXPECT_TRUE(fitsWindows1251(QStringLiteral("€ и №")));
    for (const QString &foreign : {QStringLiteral("漢字"), QStringLiteral("галочка ✓"), QStringLiteral("emoji 😀")}) {
        SCOPED_TRACE(foreign.toStdString());
        EXPECT_FALSE(fitsWindows1251(foreign));
    }
    const QString refused = readError([] { toWindows1251(QStringLiteral("Смета ✓")); });
    EXPECT_TRUE(refused.contains(QStringLiteral("✓"))) << refused.toStdString();
    EXPECT_TRUE(refused.contains(QStringLiteral("Windows-1251")));
    // A character beyond the first plane is named whole; half of one is refused too.
    EXPECT_TRUE(readError([] { toWindows1251(QStringLiteral("смета 😀")); }).contains(QStringLiteral("«😀»")));
    EXPECT_FALSE(fitsWindows1251(QString(QChar(0xD83D))));
}

// The program's own table: every byte reads and writes back unchanged, and it
// agrees with the system's converter wherever the Qt build has one.
TEST(Windows1251, EveryByteRoundTripsThroughTheProgramsTable)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = fromWindows1251(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(toWindows1251(text), all);
    const std::pair<uchar, char16_t> known[] = {{0x41, u'A'},    {0x80, u'Ђ'}, {0x88, u'€'}, {0x98, 0x0098},
                                                {0xA0, 0x00A0},  {0xA8, u'Ё'}, {0xB9, u'№'}, {0xC0, u'А'},
                                                {0xDF, u'Я'},    {0xE0, u'а'}, {0xFF, u'я'}};
    for (const auto &[byte, character] : known)
        EXPECT_EQ(text.at(byte).unicode(), character) << int(byte);
    QStringDecoder decoder("windows-1251");
    if (decoder.isValid()) {
        EXPECT_EQ(text, decoder.decode(all));
    }
}

#ifdef Q_OS_WIN
// What only Windows refuses: a path past MAX_PATH, and replacing a file that
// another program holds open. Either way the old file stays as it was.
TEST(WindowsFiles, LongPathsAndFilesHeldOpenAreRefused)
{
    TempWorkspace ws;
    const QString longName = QString(250, QChar(u'ф')) + QStringLiteral(".txt");
    const QString longPath = ws.workspace().resolve(longName);
    const QString tooLong = readError([&] { writeFileAtomically(longPath, longName, "x"); });
    EXPECT_TRUE(tooLong.contains(QStringLiteral("длиннее 259 знаков"))) << tooLong.toStdString();
    EXPECT_FALSE(QFileInfo::exists(longPath));

    const QString name = QStringLiteral("смета.txt");
    const QString path = ws.workspace().resolve(name);
    writeFileAtomically(path, name, "old");
    const HANDLE held = ::CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()),
                                      GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const QString busy = readError([&] { writeFileAtomically(path, name, "new"); });
    ::CloseHandle(held);
    EXPECT_TRUE(busy.contains(QStringLiteral("файл занят другой программой"))) << busy.toStdString();
    EXPECT_EQ(readFileBytes(path, name, OpenFailure::FileNotFound), QByteArray("old"));
}
#endif

// The first start's workspace: what is missing is made, what is there is kept.
TEST(UserWorkspace, MakesTheMissingPartsAndKeepsTheRest)
{
    QTemporaryDir home;
    const QString root = QDir(home.path()).filePath(QStringLiteral("Вастрель-Тавер"));
    QString reason;
    const QString program = ensureUserWorkspace(root, &reason);
    EXPECT_EQ(program, QDir(root).filePath(QStringLiteral("program")));
    EXPECT_TRUE(QFileInfo(QDir(root).filePath(QStringLiteral("Vastrel/smetas"))).isDir());
    EXPECT_EQ(QFileInfo(Workspace(program).tocPath()).size(), 0);

    QFile toc(Workspace(program).tocPath());
    ASSERT_TRUE(toc.open(QIODevice::WriteOnly));
    toc.write("001|\xd1\xec\xe5\xf2\xe0|\r\n");
    toc.close();
    EXPECT_EQ(ensureUserWorkspace(root, &reason), program);
    EXPECT_EQ(QFileInfo(toc).size(), 12);

    QFile file(QDir(home.path()).filePath(QStringLiteral("файл")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_TRUE(ensureUserWorkspace(file.fileName(), &reason).isEmpty());
    EXPECT_FALSE(reason.isEmpty());
}

TEST(TextLines, EndOnAnyContent)
{
    TempWorkspace ws;
    struct Case
    {
        const char *name;
        QByteArray bytes;
        QStringList lines;
    };
    const Case cases[] = {
        {"crlf", "a\r\nb\r\n", {"a", "b"}},
        {"no_final_terminator", "a\r\nb", {"a", "b"}},
        {"bare_lf", "a\nb\n", {"a", "b"}},
        {"empty_file", "", {}},
        {"empty_lines_kept", "a\r\n\r\nb\r\n\r\n", {"a", "", "b", ""}},
        {"binary_junk", QByteArray("\x00\xff\x98\r\n\x01", 6), {fromWindows1251(QByteArray("\x00\xff\x98", 3)),
                                                                 QStringLiteral("\x01")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ws.write(QStringLiteral("f.txt"), c.bytes);
        EXPECT_EQ(readTextLines(ws.workspace().resolve(QStringLiteral("f.txt")), QStringLiteral("f.txt"),
                                OpenFailure::FileNotFound),
                  c.lines);
    }
}

TEST(TextLines, MissingFileErrorsDependOnTheReader)
{
    TempWorkspace ws;
    const QString path = ws.workspace().resolve(QStringLiteral("none.txt"));
    EXPECT_EQ(readError([&] { readTextLines(path, QStringLiteral("none.txt"), OpenFailure::FileNotFound); }),
              QStringLiteral("File not found"));
    EXPECT_TRUE(readError([&] { readTextLines(path, QStringLiteral("none.txt"), OpenFailure::CannotOpen); })
                    .startsWith(QStringLiteral("Cannot open file \"none.txt\". ")));
}

TEST(AtomicWrite, AFailedReplacementLeavesTheOldFileWhole)
{
    TempWorkspace ws;
    ws.write(QStringLiteral("departments.txt"), "001|a|\r\n");
    // A directory where the new file would be created: the replacement cannot be made.
    const QString blocked = ws.workspace().resolve(QStringLiteral("blocked"));
    QDir().mkpath(blocked + QStringLiteral("/x.txt"));
    const QString error = readError([&] {
        writeFileAtomically(blocked + QStringLiteral("/x.txt"), QStringLiteral("x.txt"), "new");
    });
    EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot create file \"x.txt\". "))) << error.toStdString();

    const QString missingDir = ws.workspace().resolve(QStringLiteral("no/such/dir/f.txt"));
    EXPECT_FALSE(readError([&] { writeFileAtomically(missingDir, QStringLiteral("f.txt"), "x"); }).isEmpty());
    EXPECT_EQ(ws.read(QStringLiteral("departments.txt")), QByteArray("001|a|\r\n"));
}

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
    const QList<std::pair<int, const char *>> cases = {{1, "001"},   {9, "009"},   {10, "010"}, {11, "011"},
                                                       {99, "099"},  {100, "100"}, {999, "999"},
                                                       {1000, "1000"}, {12345, "12345"}};
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
        EXPECT_TRUE(readError([&] { record.bytes(); }).contains(QStringLiteral("«✓»"))) << record.line().toStdString();
}

TEST(TableOfContents, NameThatWouldNotReadBackIsNoRecordName)
{
    const QList<std::pair<const char *, bool>> cases = {
        {"Кафедра физики", true}, {"a|b", false}, {"a\nb", false}, {"a\r", false}, {"漢", false}, {"", true}};
    for (const auto &[name, holds] : cases)
        EXPECT_EQ(TocRecord::holdsName(QString::fromUtf8(name)), holds) << name;
}

TEST(TableOfContents, ReadsAppendsAndRewritesInWindows1251)
{
    TempWorkspace ws;
    ws.write(QStringLiteral("departments.txt"), test::crlf({QStringLiteral("001|Первая|"), QString(),
                                                             QStringLiteral("002|Вторая|x|y")}));
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
    EXPECT_EQ(readError([&] { appendTocRecord(ws.workspace(), {QStringLiteral("001"), QStringLiteral("a"), QString()}); }),
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
