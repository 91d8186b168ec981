#include "domain/error.h"
#include "operations/drives.h"
#include "operations/media_copy.h"
#include "support/cli_runner.h"
#include "support/recording_messages.h"
#include "support/temp_workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vastrel;
using namespace vastrel::test;

namespace {

const QString SmetaDir = QStringLiteral("../Vastrel/smetas/");

// Bytes of every value, longer than several copy blocks and not a multiple of one.
QByteArray estimateBytes(int size, int seed)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + seed) % 256);
    return bytes;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList entriesOf(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Four registered estimates and an empty medium.
struct Base
{
    TempWorkspace ws;
    QTemporaryDir medium;
    QStringList lines = {QStringLiteral("101|Кафедра|примечание"), QStringLiteral("102|Лаборатория|"),
                         QStringLiteral("103|Не копируется|x|y"), QStringLiteral("000|Сводная|")};
    QList<QByteArray> bytes;

    Base()
    {
        ws.writeToc(lines);
        for (int i = 0; i < lines.size(); ++i) {
            bytes.append(estimateBytes(2048 * i + 5000, i));
            ws.write(SmetaDir + estimateNameOf(i) + QStringLiteral(".xml"), bytes.last());
        }
    }
    QString estimateNameOf(int i) const { return lines.at(i).section(QLatin1Char('|'), 1, 1); }
    QStringList names(const QList<int> &rows) const
    {
        QStringList names;
        for (int row : rows)
            names.append(estimateNameOf(row));
        return names;
    }
    QString onMedium(const QString &name) const { return medium.filePath(name); }
};

TEST(MediaCopy, CopiesSelectedEstimatesAndTheWholeList)
{
    Base base;
    RecordingMessages messages;
    ASSERT_TRUE(report(messages, copyToMedium(base.ws.workspace(), Medium::at(base.medium.path()), base.lines,
                                              base.names({0, 1, 3}), messages))
                    .ok());
    EXPECT_EQ(messages.firstLines(), (QStringList{QStringLiteral("Смета Кафедра скопирована!"),
                                                  QStringLiteral("Смета Лаборатория скопирована!"),
                                                  QStringLiteral("Смета Сводная скопирована!"),
                                                  QStringLiteral("Операция копирования смет успешно завершена!")}));
    for (const RecordingMessages::Message &message : messages.all())
        EXPECT_EQ(message.kind, MessageKind::Information);
    EXPECT_EQ(readFile(base.onMedium(QStringLiteral("Кафедра.xml"))), base.bytes.at(0));
    EXPECT_EQ(readFile(base.onMedium(QStringLiteral("Лаборатория.xml"))), base.bytes.at(1));
    EXPECT_EQ(readFile(base.onMedium(QStringLiteral("Сводная.xml"))), base.bytes.at(3));
    EXPECT_EQ(readFile(base.onMedium(QStringLiteral("departments.txt"))), crlf(base.lines));
    EXPECT_EQ(entriesOf(base.medium.path()).size(), 4);
    // The base is not touched.
    EXPECT_EQ(base.ws.read(QStringLiteral("departments.txt")), crlf(base.lines));
}

// One file on a flash drive: the second would silently replace the first.
TEST(MediaCopy, TwoNamesDifferingOnlyInCaseAreNotPutOnOneMedium)
{
    Base base;
    base.lines.append(QStringLiteral("107|КАФЕДРА|"));
    base.ws.writeToc(base.lines);
    base.ws.write(SmetaDir + QStringLiteral("КАФЕДРА.xml"), QByteArray("x"));
    RecordingMessages messages;
    const Outcome outcome = copyToMedium(base.ws.workspace(), Medium::at(base.medium.path()), base.lines,
                                         base.names({0, 1, int(base.lines.size()) - 1}), messages);
    EXPECT_FALSE(outcome.ok());
    EXPECT_TRUE(outcome.message().isEmpty()); // shown already
    ASSERT_EQ(messages.all().size(), 1);
    EXPECT_EQ(messages.all().first().kind, MessageKind::Refusal);
    EXPECT_TRUE(
        messages.last().startsWith(QStringLiteral("Сметы «Кафедра» и «КАФЕДРА» нельзя записать на один носитель")));
    EXPECT_TRUE(entriesOf(base.medium.path()).isEmpty());
}

TEST(MediaCopy, ReplacesOlderFilesOnTheMedium)
{
    Base base;
    QFile stale(base.onMedium(QStringLiteral("Кафедра.xml")));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write(estimateBytes(40000, 9));
    stale.close();
    QFile staleToc(base.onMedium(QStringLiteral("departments.txt")));
    ASSERT_TRUE(staleToc.open(QIODevice::WriteOnly));
    staleToc.write("999|old|\r\n999|older|\r\n999|oldest|\r\n999|ancient|\r\n999|more|\r\n");
    staleToc.close();
    RecordingMessages messages;
    ASSERT_TRUE(report(messages, copyToMedium(base.ws.workspace(), Medium::at(base.medium.path()), base.lines,
                                              base.names({0}), messages))
                    .ok());
    EXPECT_EQ(readFile(base.onMedium(QStringLiteral("Кафедра.xml"))), base.bytes.at(0));
    EXPECT_EQ(readFile(base.onMedium(QStringLiteral("departments.txt"))), crlf(base.lines));
}

TEST(MediaCopy, NothingSelectedWritesNothing)
{
    Base base;
    RecordingMessages messages;
    EXPECT_FALSE(
        report(messages, copyToMedium(base.ws.workspace(), Medium::at(base.medium.path()), base.lines, {}, messages))
            .ok());
    EXPECT_EQ(messages.firstLines(), QStringList{QStringLiteral("Выделите сметы для копирования!")});
    EXPECT_EQ(messages.all().at(0).kind, MessageKind::Refusal);
    EXPECT_TRUE(entriesOf(base.medium.path()).isEmpty());
}

TEST(MediaCopy, MissingSourceStopsAtThatEstimate)
{
    Base base;
    QFile::remove(base.ws.workspace().estimatePath(QStringLiteral("Лаборатория")));
    RecordingMessages messages;
    const bool ok = runAction(messages, [&] {
                        return copyToMedium(base.ws.workspace(), Medium::at(base.medium.path()), base.lines,
                                            base.names({0, 1, 3}), messages);
                    }).ok();
    EXPECT_FALSE(ok);
    EXPECT_EQ(messages.firstLines(),
              (QStringList{QStringLiteral("Смета Кафедра скопирована!"), QStringLiteral("File not found")}));
    EXPECT_EQ(entriesOf(base.medium.path()),
              (QStringList{QStringLiteral("departments.txt"), QStringLiteral("Кафедра.xml")}));
}

TEST(MediaCopy, UnusableMediumGivesTheIoError)
{
    Base base;
    struct Case
    {
        Medium medium;
        QString text;
    };
    const QList<Case> cases = {
        {Medium::failing(IoCode::NotReady), QStringLiteral("I/O error 21")},
        {Medium::at(base.medium.filePath(QStringLiteral("нет такого"))), QStringLiteral("I/O error 3")},
        {Medium::at(QStringLiteral("E:/")), QStringLiteral("I/O error 21")},
    };
    for (const Case &c : cases) {
        RecordingMessages messages;
        runAction(messages,
                  [&] { return copyToMedium(base.ws.workspace(), c.medium, base.lines, base.names({0}), messages); });
        EXPECT_EQ(messages.firstLines(), QStringList{c.text});
    }
    EXPECT_TRUE(entriesOf(base.medium.path()).isEmpty());
}

TEST(MediaCopy, TargetThatIsADirectoryIsLeftAlone)
{
    Base base;
    ASSERT_TRUE(QDir(base.medium.path()).mkdir(QStringLiteral("Кафедра.xml")));
    RecordingMessages messages;
    runAction(messages, [&] {
        return copyToMedium(base.ws.workspace(), Medium::at(base.medium.path()), base.lines, base.names({0}), messages);
    });
    EXPECT_EQ(messages.firstLines(), QStringList{QStringLiteral("I/O error 5")});
    EXPECT_TRUE(QFileInfo(base.onMedium(QStringLiteral("Кафедра.xml"))).isDir());
    EXPECT_EQ(entriesOf(base.medium.path()), QStringList{QStringLiteral("Кафедра.xml")});
}

// The medium fills up in the middle of the second estimate, or takes all
// but the last bytes of its last block: the first stays complete, the older
// copy of the second stays whole, and the second is never reported copied.
// A medium with a Linux file system may carry links to anything on the
// machine it is put into; a link in the base may name any file too.
TEST(MediaCopy, LinksAreReplacedOnTheMediumAndNotCarriedFromTheBase)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "QFile::link makes a shortcut on Windows, an ordinary file and no link";
#endif
    const struct
    {
        const char *name;
        QString linkOnMedium; // a link to the outside file in this place
        bool baseEstimateIsLinkToOutside;
        bool copied;
    } cases[] = {
        {"medium_toc_link", QStringLiteral("departments.txt"), false, true},
        {"medium_estimate_link", QStringLiteral("Кафедра.xml"), false, true},
        {"base_estimate_links_to_no_estimate", QString(), true, false},
    };
    for (const auto &c : cases) {
        Base base;
        const QString outside = base.ws.workspace().resolve(QStringLiteral("../profile"));
        writeFile(outside, "export PATH\n");
        if (!c.linkOnMedium.isEmpty()) {
            ASSERT_TRUE(QFile::link(outside, base.onMedium(c.linkOnMedium)));
        }
        if (c.baseEstimateIsLinkToOutside) {
            QFile::remove(base.ws.workspace().estimatePath(QStringLiteral("Кафедра")));
            ASSERT_TRUE(QFile::link(outside, base.ws.workspace().estimatePath(QStringLiteral("Кафедра"))));
        }
        RecordingMessages messages;
        const bool ok = runAction(messages, [&] {
                            return copyToMedium(base.ws.workspace(), Medium::at(base.medium.path()), base.lines,
                                                base.names({0}), messages);
                        }).ok();
        EXPECT_EQ(ok, c.copied) << c.name << qPrintable(messages.last());
        EXPECT_EQ(readFile(outside), QByteArray("export PATH\n")) << c.name;
        if (c.copied) {
            EXPECT_FALSE(QFileInfo(base.onMedium(c.linkOnMedium)).isSymLink()) << c.name;
            EXPECT_EQ(readFile(base.onMedium(QStringLiteral("Кафедра.xml"))), base.bytes.at(0)) << c.name;
        } else {
            EXPECT_TRUE(messages.last().contains(QStringLiteral("не файл сметы"))) << qPrintable(messages.last());
            EXPECT_TRUE(entriesOf(base.medium.path()).isEmpty()) << c.name;
        }
    }
}

TEST(MediaCopy, ShortWriteKeepsTheOlderCopy)
{
    for (const qint64 missing : {qint64(3000), qint64(1)}) {
        Base base;
        const QByteArray older = "older copy";
        writeFile(base.onMedium(QStringLiteral("Лаборатория.xml")), older);
        qint64 budget = base.bytes.at(0).size() + crlf(base.lines).size() + base.bytes.at(1).size() - missing;
        const BlockWriter fillingUp = [&](QFileDevice &target, const char *data, qint64 size) -> qint64 {
            const qint64 accepted = qMin(size, budget);
            budget -= accepted;
            return accepted > 0 ? target.write(data, accepted) : -1;
        };
        RecordingMessages messages;
        runAction(messages, [&] {
            return copyToMedium(base.ws.workspace(), Medium::at(base.medium.path()), base.lines, base.names({0, 1, 3}),
                                messages, fillingUp);
        });
        EXPECT_EQ(messages.firstLines(),
                  (QStringList{QStringLiteral("Смета Кафедра скопирована!"), QStringLiteral("I/O error 101")}));
        EXPECT_EQ(entriesOf(base.medium.path()),
                  (QStringList{QStringLiteral("departments.txt"), QStringLiteral("Кафедра.xml"),
                               QStringLiteral("Лаборатория.xml")}));
        EXPECT_EQ(readFile(base.onMedium(QStringLiteral("Лаборатория.xml"))), older);
        EXPECT_EQ(readFile(base.onMedium(QStringLiteral("departments.txt"))), crlf(base.lines));
    }
}

// A real full device: a small tmpfs, where the system allows mounting one.
TEST(MediaCopy, FullDeviceLeavesNoPartialFile)
{
    QTemporaryDir mountPoint;
    if (QProcess::execute(QStringLiteral("mount"),
                          {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                           QStringLiteral("size=64k"), QStringLiteral("tmpfs"), mountPoint.path()}) != 0)
        GTEST_SKIP() << "no permission to mount a small tmpfs";
    struct Unmount
    {
        QString path;
        ~Unmount() { QProcess::execute(QStringLiteral("umount"), {path}); }
    } unmount{mountPoint.path()};

    TempWorkspace ws;
    const QStringList lines = {QStringLiteral("001|мала|"), QStringLiteral("002|велика|")};
    ws.writeToc(lines);
    // Older copies fill most of the medium and must survive the failed copy.
    writeFile(QDir(mountPoint.path()).filePath(QStringLiteral("departments.txt")), "001|old|\r\n");
    const QByteArray olderBig = estimateBytes(40 * 1024, 3);
    writeFile(QDir(mountPoint.path()).filePath(QStringLiteral("велика.xml")), olderBig);
    const QByteArray small = estimateBytes(3000, 1);
    ws.write(SmetaDir + QStringLiteral("мала.xml"), small);
    ws.write(SmetaDir + QStringLiteral("велика.xml"), estimateBytes(200 * 1024, 2));
    RecordingMessages messages;
    runAction(messages, [&] {
        return copyToMedium(ws.workspace(), Medium::at(mountPoint.path()), lines,
                            {QStringLiteral("мала"), QStringLiteral("велика")}, messages);
    });
    EXPECT_EQ(messages.firstLines(),
              (QStringList{QStringLiteral("Смета мала скопирована!"), QStringLiteral("I/O error 101")}));
    EXPECT_EQ(entriesOf(mountPoint.path()), (QStringList{QStringLiteral("departments.txt"),
                                                         QStringLiteral("велика.xml"), QStringLiteral("мала.xml")}));
    EXPECT_EQ(readFile(QDir(mountPoint.path()).filePath(QStringLiteral("мала.xml"))), small);
    EXPECT_EQ(readFile(QDir(mountPoint.path()).filePath(QStringLiteral("велика.xml"))), olderBig);
    EXPECT_EQ(readFile(QDir(mountPoint.path()).filePath(QStringLiteral("departments.txt"))), crlf(lines));
}

TEST(Drives, TheLettersComeInTheirOddOrder)
{
    EXPECT_EQ(driveLetters().join(QString()), QStringLiteral("CDEFGHIJKLMNOPQRSTUWVYZ"));
#ifdef Q_OS_WIN
    EXPECT_EQ(driveChoices().size(), 23);
    EXPECT_EQ(driveChoices().at(2), (DriveChoice{QStringLiteral("E"), QStringLiteral("E")}));
#endif
}

TEST(Drives, MountInfoLinesAreReadFieldByField)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Linux's mount table, its names in UTF-8; Windows decodes file names by code page 1251";
#endif
    struct Row
    {
        const char *name;
        QByteArray line;
        std::optional<Mount> mount;
    };
    const Row rows[] = {
        {"root file system", "29 1 254:0 / / rw,relatime shared:1 - ext4 /dev/mapper/root rw\n",
         Mount{"254:0", "/", "ext4", "/dev/mapper/root"}},
        {"no optional fields", "36 29 8:17 / /media/user/KINGSTON rw,nosuid - vfat /dev/sdb1 rw,uid=1000",
         Mount{"8:17", "/media/user/KINGSTON", "vfat", "/dev/sdb1"}},
        {"several optional fields", "40 29 8:33 / /mnt/usb rw shared:7 master:2 propagate_from:1 - exfat /dev/sdc1 rw",
         Mount{"8:33", "/mnt/usb", "exfat", "/dev/sdc1"}},
        {"blank and backslash escaped", "41 29 8:49 / /media/user/МОЯ\\040ФЛЕШКА\\134x rw - ntfs3 /dev/sdd1 rw",
         Mount{"8:49", "/media/user/МОЯ ФЛЕШКА\\x", "ntfs3", "/dev/sdd1"}},
        {"a backslash not before three octal digits", "42 29 8:50 / /media/a\\9z rw - vfat /dev/sde1 rw",
         Mount{"8:50", "/media/a\\9z", "vfat", "/dev/sde1"}},
        {"pseudo file system", "22 27 0:21 / /proc rw,relatime - proc proc rw", Mount{"0:21", "/proc", "proc", "proc"}},
        {"cut before the source", "36 29 8:17 / /media/x rw - vfat", std::nullopt},
        {"no separator", "36 29 8:17 / /media/x rw shared:1 vfat /dev/sdb1 rw", std::nullopt},
        {"no device number", "36 29 817 / /media/x rw - vfat /dev/sdb1 rw", std::nullopt},
        {"relative mount point", "36 29 8:17 / media/x rw - vfat /dev/sdb1 rw", std::nullopt},
        {"empty line", "", std::nullopt},
    };
    for (const Row &row : rows)
        EXPECT_EQ(parseMountInfoLine(row.line), row.mount) << row.name;
}

TEST(Drives, RemovableMediaAreTheDesktopsMountsAndRemovableDevices)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Linux's mount table, its names in UTF-8; Windows decodes file names by code page 1251";
#endif
    const QByteArray mountInfo = "29 1 254:0 / / rw - ext4 /dev/mapper/root rw\n"
                                 "30 29 8:1 / /boot rw - ext2 /dev/sda1 rw\n"
                                 "31 29 0:24 / /run/user/1000 rw - tmpfs tmpfs rw\n"
                                 "36 31 8:17 / /media/user/KINGSTON rw - vfat /dev/sdb1 rw\n"
                                 "37 31 8:18 / /run/media/user/Фото\\0402026 rw - vfat /dev/sdb2 rw\n"
                                 "38 29 8:33 / /mnt/usb rw - exfat /dev/sdc1 rw\n"
                                 "39 29 0:50 / /mnt/share rw - cifs //server/share rw\n"
                                 "garbage\n"
                                 "40 29 8:17 / /media/user/KINGSTON rw - vfat /dev/sdb1 rw\n"
                                 "41 29 11:0 / /media/cdrom0 ro - iso9660 /dev/sr0 ro";
    // sdc is a removable disk; so would be the cifs share's fake number, which is no device.
    const auto removable = [](const QString &device) { return device == u"8:33" || device == u"0:50"; };
    const QHash<QString, QString> labels = {{QStringLiteral("/dev/sdc1"), QStringLiteral("ОТЧЁТЫ")}};
    const QList<DriveChoice> expected = {
        {QStringLiteral("KINGSTON (/media/user/KINGSTON)"), QStringLiteral("/media/user/KINGSTON")},
        {QStringLiteral("Фото 2026 (/run/media/user/Фото 2026)"), QStringLiteral("/run/media/user/Фото 2026")},
        {QStringLiteral("ОТЧЁТЫ (/mnt/usb)"), QStringLiteral("/mnt/usb")},
        {QStringLiteral("cdrom0 (/media/cdrom0)"), QStringLiteral("/media/cdrom0")},
    };
    EXPECT_EQ(removableMedia(mountInfo, removable, labels), expected);
}

#ifndef Q_OS_WIN
TEST(Drives, DesignationOnASystemWithoutDriveLetters)
{
    TempWorkspace ws;
    QTemporaryDir stick;
    const Medium absolute = flashMedium(ws.workspace(), stick.path());
    EXPECT_TRUE(absolute.usable());
    EXPECT_EQ(absolute.root, stick.path() + QLatin1Char('/'));

    QDir(ws.root()).mkdir(QStringLiteral("флешка"));
    const Medium relative = flashMedium(ws.workspace(), QStringLiteral("флешка"));
    EXPECT_EQ(relative.root, ws.workspace().resolve(QStringLiteral("флешка")) + QLatin1Char('/'));

    EXPECT_EQ(flashMedium(ws.workspace(), QStringLiteral("E")).ioError, IoCode::NotReady);
    EXPECT_EQ(flashMedium(ws.workspace(), QStringLiteral("адрес флешки")).ioError, IoCode::PathNotFound);
    EXPECT_EQ(flashMedium(ws.workspace(), QString()).ioError, IoCode::PathNotFound);
    // A file is no drive.
    ws.write(QStringLiteral("file"), "x");
    EXPECT_FALSE(flashMedium(ws.workspace(), QStringLiteral("file")).usable());
}
#else
TEST(Drives, LettersAreDriveRootsAndAnEmptyDriveIsNotReady)
{
    TempWorkspace ws;
    EXPECT_EQ(disketteMedium().root, QStringLiteral("A:/"));
    EXPECT_EQ(flashMedium(ws.workspace(), QStringLiteral("C")).root, QStringLiteral("C:/"));
    // An absent drive is named as typed, not as the root made from it.
    const Medium absent = flashMedium(ws.workspace(), QStringLiteral("Q"));
    EXPECT_EQ(absent.ioError, IoCode::NotReady);
    EXPECT_EQ(absent.root, QStringLiteral("Q"));
    EXPECT_EQ(flashMedium(ws.workspace(), QStringLiteral("адрес флешки")).ioError, IoCode::PathNotFound);
    // No machine this runs on has a diskette in A:.
    try {
        requireMedium(disketteMedium());
        ADD_FAILURE() << "A: is there";
    } catch (const Error &error) {
        EXPECT_EQ(error.platformText(), Error::io(IoCode::NotReady).platformText());
    }
}
#endif

TEST(MediaCopyCli, CopiesByNameInListOrder)
{
    Base base;
    CliResult result = runCli({QStringLiteral("-C"), base.ws.root(), QStringLiteral("copy"), QStringLiteral("--to"),
                               base.medium.path(), QStringLiteral("Сводная"), QStringLiteral("Кафедра"),
                               QStringLiteral("Лаборатория")});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(
        result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
        (QStringList{QStringLiteral("Смета Кафедра скопирована!"), QStringLiteral("Смета Лаборатория скопирована!"),
                     QStringLiteral("Смета Сводная скопирована!"),
                     QStringLiteral("Операция копирования смет успешно завершена!")}));
    EXPECT_EQ(readFile(base.onMedium(QStringLiteral("Сводная.xml"))), base.bytes.at(3));
    EXPECT_EQ(readFile(base.onMedium(QStringLiteral("departments.txt"))), crlf(base.lines));

    result = runCli({QStringLiteral("-C"), base.ws.root(), QStringLiteral("copy"), QStringLiteral("--to"),
                     base.medium.path(), QStringLiteral("нет такой")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err.trimmed(), QStringLiteral("Выделите сметы для копирования!"));

    result = runCli({QStringLiteral("-C"), base.ws.root(), QStringLiteral("copy"), QStringLiteral("--to"),
                     base.medium.filePath(QStringLiteral("нет")), QStringLiteral("Кафедра")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.startsWith(QStringLiteral("I/O error 3\nПапка"))) << qPrintable(result.err);

    result = runCli({QStringLiteral("-C"), base.ws.root(), QStringLiteral("copy"), QStringLiteral("Кафедра")});
    EXPECT_EQ(result.exitCode, 2);
}

} // namespace
