#include "editing/calculation.h"
#include "editing/registering.h"
#include "editing/saving.h"
#include "operations/deletion.h"
#include "operations/media_import.h"
#include "operations/rebuild.h"
#include "operations/summing.h"
#include "store/base_lock.h"
#include "store/estimate_file.h"
#include "store/settings.h"
#include "store/table_of_contents.h"
#include "store/text_file.h"
#include "support/cli_runner.h"
#include "support/recording_messages.h"
#include "support/temp_workspace.h"
#include "windows/state/estimate_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QLockFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

using namespace vastrel;
using namespace vastrel::test;

namespace {

// One registered, saved estimate and settings; every action below would change the base.
struct Base
{
    TempWorkspace ws;
    EstimateWindow window;
    RecordingMessages messages;
    Base()
    {
        ws.writeToc({QStringLiteral("101|Кафедра|")});
        ws.write(QStringLiteral("../Vastrel/smetas/Кафедра.xml"), "<SMETA>\r\n</SMETA>\r\n");
        ws.writeSettings({"a", "b", "c", "105", "1", "d", "e"});
        // A medium with one new estimate on it, for the intake.
        ws.write(QStringLiteral("../medium/departments.txt"), cp1251(QStringLiteral("107|Принятая|\r\n")));
        ws.write(QStringLiteral("../medium/Принятая.xml"),
                 toWindows1251(crlfLines(estimateFileLines({"2026", "1", "x", "107", "1"}, {}))));
        window.selectorItems = {QStringLiteral("101|Кафедра|")};
        window.selectorIndex = 0;
        window.setIncomeCode(0);
        window.source = 0;
        window.income = QStringLiteral("100");
        window.expense(QStringLiteral("211")) = QStringLiteral("100");
        calculate(window);
    }
    // Type, permissions and bytes of everything beside the working directory.
    QMap<QString, QByteArray> snapshot() const
    {
        QMap<QString, QByteArray> all;
        const QDir top(ws.root() + QStringLiteral("/.."));
        QDirIterator it(top.absolutePath(), QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            QByteArray &entry = all[top.relativeFilePath(info.filePath())];
            entry = QByteArray::number(int(info.permissions())) + info.symLinkTarget().toUtf8();
            if (!info.isSymLink() && info.isFile())
                entry += ws.read(QStringLiteral("../") + top.relativeFilePath(info.filePath()));
            else if (!info.isDir() && !info.isSymLink())
                entry += "special";
        }
        return all;
    }
};

using Action = std::function<bool(Base &)>;
bool run(Base &b, const std::function<Outcome()> &action)
{
    return runAction(b.messages, action).ok();
}

const QMap<QString, Action> &actions()
{
    static const QMap<QString, Action> all = {
        {"register",
         [](Base &b) {
             NewEstimateForm f{QStringLiteral("Новая"), {}, 0, QStringLiteral("102")};
             EstimateWindow w = b.window;
             w.selectorIndex = -1;
             return run(b, [&] { return storeNewEstimate(b.ws.workspace(), f, w); });
         }},
        {"change",
         [](Base &b) {
             NewEstimateForm f{QStringLiteral("Кафедра"), QStringLiteral("x"), 0, QStringLiteral("102")};
             return run(b, [&] { return storeNewEstimate(b.ws.workspace(), f, b.window); });
         }},
        {"save",
         [](Base &b) {
             return run(b, [&] {
                 return saveEstimate(b.ws.workspace(), b.window.selectedName(), b.window.estimate(),
                                     b.window.saveBasis());
             });
         }},
        {"sum",
         [](Base &b) {
             return run(b, [&] {
                 return sumEstimates(b.ws.workspace(), {estimateNameOf(b.window.selectorItems.at(0))}, b.messages);
             });
         }},
        {"delete",
         [](Base &b) {
             return run(b, [&] {
                 deleteEstimates(b.ws.workspace(), b.window.selectorItems, {b.window.selectorItems.at(0)});
                 return Outcome::done();
             });
         }},
        {"rebuild", [](Base &b) { return run(b, [&] { return rebuildToc(b.ws.workspace()); }); }},
        {"import",
         [](Base &b) {
             return run(b, [&] {
                 return importFromMedium(b.ws.workspace(), Medium::at(b.ws.workspace().resolve("../medium")), {}, {},
                                         b.messages);
             });
         }},
        {"settings",
         [](Base &b) {
             return run(b, [&] { return storeSettings(b.ws.workspace(), {"a", "b", "c", "105", 0, "d", "e"}); });
         }},
    };
    return all;
}

// Runs the action on a fresh base prepared by `damage`; it must fail and leave everything as it was.
void expectRefusedAndUnchanged(const QString &name, const std::function<void(Base &)> &damage,
                               const QString &message = {}, const std::function<void()> &undo = {})
{
    Base b;
    damage(b);
    const auto before = b.snapshot();
    EXPECT_FALSE(actions()[name](b)) << qPrintable(name) << qPrintable(b.messages.last());
    EXPECT_EQ(b.snapshot(), before) << qPrintable(name);
    if (!message.isEmpty()) {
        EXPECT_TRUE(b.messages.last().startsWith(message)) << qPrintable(name) << qPrintable(b.messages.last());
    }
    EXPECT_FALSE(b.messages.last().contains(QStringLiteral("успешно"))) << qPrintable(name);
    if (undo)
        undo();
}

} // namespace

TEST(BaseLock, SecondCopyWaitsThenChangesNothing)
{
    BaseLock::setWaitMs(200);
    for (const char *name : {"register", "change", "save", "sum", "delete", "rebuild", "import"}) {
        std::unique_ptr<QLockFile> other;
        expectRefusedAndUnchanged(
            name,
            [&](Base &b) {
                other = std::make_unique<QLockFile>(b.ws.workspace().resolve(BaseLock::fileName()));
                ASSERT_TRUE(other->tryLock(0));
            },
            BaseLock::busyMessage(), [&] { other.reset(); });
    }
    // A lock whose process has died is taken over.
    Base b;
    QProcess dead; // this test program itself, the one program sure to be there on every system
    dead.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=-*")});
    dead.waitForStarted();
    const qint64 deadPid = dead.processId();
    dead.waitForFinished();
    QByteArray lock;
    {
        QLockFile own(b.ws.workspace().resolve(BaseLock::fileName()));
        ASSERT_TRUE(own.tryLock(0));
        lock = b.ws.read(BaseLock::fileName());
    }
    b.ws.write(BaseLock::fileName(), QByteArray::number(deadPid) + lock.mid(lock.indexOf('\n')));
    EXPECT_TRUE(actions()["register"](b)) << qPrintable(b.messages.last());
}

TEST(BaseLock, OtherProcessIsToldTheBaseIsBusy)
{
    Base b;
    QLockFile other(b.ws.workspace().resolve(BaseLock::fileName()));
    ASSERT_TRUE(other.tryLock(0));
    const auto result =
        runCli({QStringLiteral("-C"), b.ws.root(), QStringLiteral("delete"), QStringLiteral("Кафедра")});
    EXPECT_EQ(result.exitCode, 1);
    // The message names the lock file, so that a user can see what blocks the base.
    EXPECT_EQ(result.err.section(QLatin1Char('\n'), 0, 0), BaseLock::busyMessage());
    EXPECT_TRUE(result.err.contains(QDir::toNativeSeparators(b.ws.workspace().resolve(BaseLock::fileName()))))
        << qPrintable(result.err);
    EXPECT_TRUE(b.ws.exists(QStringLiteral("../Vastrel/smetas/Кафедра.xml")));
}

TEST(BaseLock, LetGoDuringTheWaitTheActionGoesOn)
{
    BaseLock::setWaitMs(3000);
    Base b;
    QLockFile other(b.ws.workspace().resolve(BaseLock::fileName()));
    ASSERT_TRUE(other.tryLock(0));
    std::thread lettingGo([&] {
        QThread::msleep(300);
        other.unlock();
    });
    QElapsedTimer waited;
    waited.start();
    EXPECT_TRUE(actions()["register"](b)) << qPrintable(b.messages.last());
    EXPECT_GE(waited.elapsed(), 250);
    lettingGo.join();
}

// The base on a shared folder: the lock's owner may be on another machine,
// where its process cannot be checked; a copy killed while creating the lock
// leaves it empty; a directory or a link may stand in its place.
TEST(BaseLock, LocksThatCannotBeCheckedAreRespectedWhileYoungTakenOverWhenOldOrEmpty)
{
    BaseLock::setWaitMs(300);
    const qint64 minute = 60 * 1000;
    const struct
    {
        const char *name;
        QByteArray content;
        qint64 ageMs;
        bool taken;
    } cases[] = {
        {"young_on_another_machine", "4242\nvastrel\nother-machine\n00000000\n", 0, false},
        {"old_on_another_machine", "4242\nvastrel\nother-machine\n00000000\n", 11 * minute, true},
        {"empty_being_written", "", 0, false},
        {"empty_left_by_a_killed_copy", "", 5000, true},
        {"garbage_left_by_a_killed_copy", QByteArray("\0\0\0", 3), 5000, true},
        {"dangling_link", "link", 0, true},
        {"directory", "directory", 0, false},
    };
    for (const auto &c : cases) {
        Base b;
        const QString lock = b.ws.workspace().resolve(BaseLock::fileName());
        if (c.content == "link") {
#ifdef Q_OS_WIN
            continue; // QFile::link makes a shortcut there, an ordinary file and no link
#endif
            ASSERT_TRUE(QFile::link(b.ws.workspace().resolve("gone"), lock));
        } else if (c.content == "directory") {
            ASSERT_TRUE(QDir().mkpath(lock));
        } else {
            b.ws.write(BaseLock::fileName(), c.content);
            QFile file(lock);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            file.setFileTime(QDateTime::currentDateTime().addMSecs(-c.ageMs), QFileDevice::FileModificationTime);
        }
        EXPECT_EQ(actions()["register"](b), c.taken) << c.name << ": " << qPrintable(b.messages.last());
        if (!c.taken) {
            EXPECT_TRUE(b.messages.last().contains(QDir::toNativeSeparators(lock)))
                << c.name << ": " << qPrintable(b.messages.last());
        }
    }
}

TEST(FileFailures, RefusedRenameOrRemovalIsNeverSuccess)
{
    const struct
    {
        const char *action;
        FileStep step;
        const char *fileEnd;
    } cases[] = {
        {"register", FileStep::Rename, "departments.txt"}, // the estimate file must not stay behind
        {"register", FileStep::Rename, ".xml"},
        {"change", FileStep::Rename, "departments.txt"},
        {"save", FileStep::Rename, ".xml"},
        {"sum", FileStep::Rename, "departments.txt"},
        {"rebuild", FileStep::Rename, "departments.txt"},
        {"settings", FileStep::Rename, "nastroiki.txt"},
        {"import", FileStep::Rename, "departments.txt"},
        {"import", FileStep::Rename, ".xml"},
        {"delete", FileStep::Remove, ".xml"},
    };
    for (const auto &c : cases) {
        setFileFaultForTesting([&](FileStep step, const QString &path) {
            return step == c.step && path.endsWith(QLatin1String(c.fileEnd));
        });
        expectRefusedAndUnchanged(c.action, [](Base &) {});
    }
    setFileFaultForTesting({});
}

#ifdef Q_OS_UNIX
// Mode bits and FIFOs are POSIX; Windows has neither.
TEST(FileFailures, ReadOnlyAndSpecialFilesAreLeftAlone)
{
    const auto chmodded = [](const char *file, mode_t mode) {
        return [=](Base &b) {
            ::chmod(QFile::encodeName(b.ws.workspace().resolve(QLatin1String(file))).constData(), mode);
        };
    };
    const auto fifo = [](Base &b) {
        QFile::remove(b.ws.workspace().tocPath());
        ::mkfifo(QFile::encodeName(b.ws.workspace().tocPath()).constData(), 0644);
    };
    const auto linkToFifo = [](Base &b) {
        const QByteArray target = QFile::encodeName(b.ws.workspace().resolve("fifo"));
        ::mkfifo(target.constData(), 0644);
        QFile::remove(b.ws.workspace().tocPath());
        QFile::link(b.ws.workspace().resolve("fifo"), b.ws.workspace().tocPath());
    };
    const auto directory = [](Base &b) {
        QFile::remove(b.ws.workspace().tocPath());
        QDir().mkpath(b.ws.workspace().tocPath() + "/x");
    };
    const struct
    {
        const char *action;
        std::function<void(Base &)> damage;
    } cases[] = {
        {"delete", chmodded("departments.txt", 0444)},
        {"register", chmodded("departments.txt", 0444)},
        {"sum", chmodded("departments.txt", 0444)},
        {"rebuild", chmodded("departments.txt", 0444)},
        {"delete", chmodded("../Vastrel/smetas", 0555)},
        {"save", chmodded("../Vastrel/smetas", 0555)},
        {"register", chmodded("../Vastrel/smetas", 0555)},
        {"settings", chmodded("nastroiki.txt", 0444)},
        {"rebuild", fifo},
        {"rebuild", linkToFifo},
        {"rebuild", directory},
        {"register", linkToFifo},
        {"delete", fifo},
        {"sum", linkToFifo},
        {"change", directory},
        {"import", chmodded("departments.txt", 0444)},
        {"import", fifo},
        {"import", linkToFifo},
    };
    for (const auto &c : cases)
        expectRefusedAndUnchanged(c.action, c.damage);
}
#endif

TEST(EstimateNames, FileAndItsTemporaryMustFitTheFileSystem)
{
    const struct
    {
        QString name;
        bool fits;
    } cases[] = {
        {QString(240, QLatin1Char('a')), true},
        {QString(245, QLatin1Char('a')), false},
        {QString(122, QChar(0x0436)), true},
        {QString(125, QChar(0x0436)), false},
    };
    for (const auto &c : cases) {
        Base b;
        b.window.selectorItems.append(QStringLiteral("102|") + c.name + QLatin1Char('|'));
        NewEstimateForm form{c.name, {}, 0, QStringLiteral("102")};
        EstimateWindow w = b.window;
        bool fits = c.fits;
#ifdef Q_OS_WIN
        // Windows also limits the whole path to 259 characters, and the
        // temporary base's path leaves a long name short of room.
        const QString file =
            b.ws.workspace().resolve(QStringLiteral("../Vastrel/smetas/") + c.name + QStringLiteral(".xml"));
        fits = fits && QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath()).size() < 260;
#endif
        EXPECT_EQ(run(b, [&] { return storeNewEstimate(b.ws.workspace(), form, w); }), fits) << c.name.size();
        if (c.fits && !fits) {
            EXPECT_TRUE(b.messages.last().contains(QStringLiteral("длиннее 259 знаков")))
                << qPrintable(b.messages.last());
        }
        b.window.selectorIndex = 1;
        EXPECT_EQ(actions()["save"](b), fits) << qPrintable(b.messages.last());
        EXPECT_EQ(b.ws.exists(QStringLiteral("../Vastrel/smetas/") + c.name + QStringLiteral(".xml")), fits);
    }
}

TEST(EstimateNames, RecordsNamingFilesOutsideTheBaseAreRefused)
{
    for (const QStringList &command : {QStringList{"delete", "../../outside/victim"},
                                       {"sum", "../../outside/victim"},
                                       {"copy", "--to", ".", "../../outside/victim"},
                                       {"export-consolidated", "../../outside/victim", "-o", "r.xlsx"}}) {
        Base b;
        b.ws.writeToc({QStringLiteral("001|../../outside/victim|")});
        QDir(b.ws.root()).mkpath(QStringLiteral("../outside"));
        b.ws.write(QStringLiteral("../outside/victim.xml"), "<SMETA>\r\n</SMETA>\r\n");
        const auto before = b.snapshot();
        const auto result = runCli(QStringList{QStringLiteral("-C"), b.ws.root()} + command);
        EXPECT_EQ(result.exitCode, 1) << qPrintable(command.first());
        EXPECT_TRUE(result.err.contains(QStringLiteral("не может содержать"))) << qPrintable(result.err);
        EXPECT_EQ(b.snapshot(), before) << qPrintable(command.first());
    }
}
