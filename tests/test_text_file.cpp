#include "support/temp_workspace.h"

#include "domain/error.h"
#include "store/text_file.h"
#include "store/workspace.h"

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
using vastrel::test::thrownPlatformText;

namespace {

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
    const QString refused = thrownPlatformText([] { toWindows1251(QStringLiteral("Смета ✓")); });
    EXPECT_TRUE(refused.contains(QStringLiteral("✓"))) << refused.toStdString();
    EXPECT_TRUE(refused.contains(QStringLiteral("Windows-1251")));
    // A character beyond the first plane is named whole; half of one is refused too.
    EXPECT_TRUE(thrownPlatformText([] { toWindows1251(QStringLiteral("смета 😀")); }).contains(QStringLiteral("«😀»")));
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
    const std::pair<uchar, char16_t> known[] = {{0x41, u'A'},   {0x80, u'Ђ'}, {0x88, u'€'}, {0x98, 0x0098},
                                                {0xA0, 0x00A0}, {0xA8, u'Ё'}, {0xB9, u'№'}, {0xC0, u'А'},
                                                {0xDF, u'Я'},   {0xE0, u'а'}, {0xFF, u'я'}};
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
    const QString tooLong = thrownPlatformText([&] { writeFileAtomically(longPath, longName, "x"); });
    EXPECT_TRUE(tooLong.contains(QStringLiteral("длиннее 259 знаков"))) << tooLong.toStdString();
    EXPECT_FALSE(QFileInfo::exists(longPath));

    const QString name = QStringLiteral("смета.txt");
    const QString path = ws.workspace().resolve(name);
    writeFileAtomically(path, name, "old");
    const HANDLE held = ::CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()),
                                      GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const QString busy = thrownPlatformText([&] { writeFileAtomically(path, name, "new"); });
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
        {"binary_junk",
         QByteArray("\x00\xff\x98\r\n\x01", 6),
         {fromWindows1251(QByteArray("\x00\xff\x98", 3)), QStringLiteral("\x01")}},
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
    EXPECT_EQ(thrownPlatformText([&] { readTextLines(path, QStringLiteral("none.txt"), OpenFailure::FileNotFound); }),
              QStringLiteral("File not found"));
    EXPECT_TRUE(thrownPlatformText([&] {
                    readTextLines(path, QStringLiteral("none.txt"), OpenFailure::CannotOpen);
                }).startsWith(QStringLiteral("Cannot open file \"none.txt\". ")));
}

TEST(AtomicWrite, AFailedReplacementLeavesTheOldFileWhole)
{
    TempWorkspace ws;
    ws.write(QStringLiteral("departments.txt"), "001|a|\r\n");
    // A directory where the new file would be created: the replacement cannot be made.
    const QString blocked = ws.workspace().resolve(QStringLiteral("blocked"));
    QDir().mkpath(blocked + QStringLiteral("/x.txt"));
    const QString error = thrownPlatformText(
        [&] { writeFileAtomically(blocked + QStringLiteral("/x.txt"), QStringLiteral("x.txt"), "new"); });
    EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot create file \"x.txt\". "))) << error.toStdString();

    const QString missingDir = ws.workspace().resolve(QStringLiteral("no/such/dir/f.txt"));
    EXPECT_FALSE(thrownPlatformText([&] { writeFileAtomically(missingDir, QStringLiteral("f.txt"), "x"); }).isEmpty());
    EXPECT_EQ(ws.read(QStringLiteral("departments.txt")), QByteArray("001|a|\r\n"));
}

} // namespace
