#include "support/recording_messages.h"
#include "support/temp_workspace.h"

#include "editing/calculation.h"
#include "editing/registering.h"
#include "editing/saving.h"
#include "windows/state/estimate_window.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vastrel;
using vastrel::test::crlf;
using vastrel::test::RecordingMessages;
using vastrel::test::TempWorkspace;

namespace {

// A disk that fills up after `bytes` bytes of any file this process writes:
// writes beyond the limit fail (EFBIG) as on a full disk. It works for root too.
class FullDiskAfter
{
public:
    explicit FullDiskAfter(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FullDiskAfter()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool active() const { return m_active; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_active = false;
};

// The base directory stops taking new files. chmod does not stop root, so
// then the directory is moved aside and a plain file takes its place.
class UnwritableBase
{
public:
    explicit UnwritableBase(const QString &dir)
        : m_dir(dir)
        , m_asRoot(geteuid() == 0)
    {
        if (!m_asRoot) {
            ::chmod(QFile::encodeName(dir).constData(), 0555);
            return;
        }
        QDir().rename(dir, aside());
        QFile file(dir);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot put a file in place of the base directory");
    }
    ~UnwritableBase()
    {
        if (!m_asRoot) {
            ::chmod(QFile::encodeName(m_dir).constData(), 0755);
            return;
        }
        QFile::remove(m_dir);
        QDir().rename(aside(), m_dir);
    }

private:
    QString aside() const { return m_dir + QStringLiteral(".aside"); }
    QString m_dir;
    bool m_asRoot;
};

const QString Line = QStringLiteral("105|Смета ИТ|");
const QString Name = QStringLiteral("Смета ИТ");

class FaultTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ws.writeToc({Line});
        window.selectorItems = {Line};
        window.selectorIndex = 0;
        window.setIncomeCode(0);
        window.source = 0;
        window.income = QStringLiteral("100");
        window.expense(QStringLiteral("211")) = QStringLiteral("100");
        calculate(window);
    }

    bool save()
    {
        return runAction(messages,
                         [&] {
                             return saveEstimate(ws.workspace(), window.selectedName(), window.estimate(),
                                                 window.saveBasis());
                         })
            .ok();
    }
    bool registerNew(const QString &name)
    {
        NewEstimateForm form;
        form.name = name;
        form.code = QStringLiteral("106");
        return runAction(messages, [&] { return storeNewEstimate(ws.workspace(), form, window); }).ok();
    }
    QByteArray estimate(const QString &name = Name) const { return ws.read(Workspace::estimateName(name)); }
    QStringList baseFiles() const { return QDir(ws.baseDir()).entryList(QDir::Files | QDir::Hidden); }
    void expectOneErrorOnly()
    {
        ASSERT_EQ(messages.all().size(), 1) << qPrintable(messages.texts().join(QLatin1Char('\n')));
        EXPECT_EQ(messages.all().first().kind, MessageKind::Error);
        EXPECT_TRUE(messages.last().startsWith(QStringLiteral("Cannot create file \""))) << qPrintable(messages.last());
    }

    TempWorkspace ws;
    RecordingMessages messages;
    EstimateWindow window;
};

} // namespace

TEST_F(FaultTest, DiskFullWhileSavingKeepsTheOldEstimateWhole)
{
    ASSERT_TRUE(save());
    const QByteArray before = estimate();
    window.income = window.expense(QStringLiteral("211")) = QStringLiteral("123456789");
    calculate(window);
    messages.clear();
    {
        FullDiskAfter full(200);
        ASSERT_TRUE(full.active());
        EXPECT_FALSE(save());
    }
    expectOneErrorOnly();
    EXPECT_EQ(estimate(), before);
    EXPECT_EQ(baseFiles(), QStringList{Name + QStringLiteral(".xml")}); // no half-written file beside it
}

TEST_F(FaultTest, DiskFullWhileRegisteringListsNothing)
{
    const QByteArray toc = ws.read(Workspace::tocName());
    {
        FullDiskAfter full(200);
        ASSERT_TRUE(full.active());
        EXPECT_FALSE(registerNew(QStringLiteral("Новая")));
    }
    expectOneErrorOnly();
    EXPECT_EQ(ws.read(Workspace::tocName()), toc);
    EXPECT_TRUE(baseFiles().isEmpty());
    EXPECT_EQ(window.selectorItems, QStringList{Line});
}

TEST_F(FaultTest, DiskFullWhileListingTheRecordKeepsEveryLine)
{
    // A table of contents larger than what the disk still takes, the template smaller.
    QStringList lines;
    for (int i = 0; i < 400; ++i)
        lines.append(QStringLiteral("%1|Смета номер %1|примечания к смете").arg(i, 3, 10, QLatin1Char('0')));
    ws.writeToc(lines);
    const QByteArray toc = ws.read(Workspace::tocName());
    ASSERT_GT(toc.size(), 12000);
    {
        FullDiskAfter full(8000);
        ASSERT_TRUE(full.active());
        EXPECT_FALSE(registerNew(QStringLiteral("Новая")));
    }
    expectOneErrorOnly();
    EXPECT_EQ(ws.read(Workspace::tocName()), toc);
    QStringList leftovers = QDir(ws.root()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(leftovers, QStringList{Workspace::tocName()});
    EXPECT_EQ(window.selectorItems, QStringList{Line});
}

TEST_F(FaultTest, UnwritableBaseDirectoryLosesNeitherEstimateNorRecord)
{
    ASSERT_TRUE(save());
    const QByteArray before = estimate();
    const QByteArray toc = ws.read(Workspace::tocName());
    window.income = window.expense(QStringLiteral("211")) = QStringLiteral("5");
    calculate(window);
    messages.clear();
    {
        UnwritableBase unwritable(ws.baseDir());
        EXPECT_FALSE(save());
        expectOneErrorOnly();
        messages.clear();
        EXPECT_FALSE(registerNew(QStringLiteral("Новая")));
        expectOneErrorOnly();
    }
    EXPECT_EQ(estimate(), before);
    EXPECT_EQ(baseFiles(), QStringList{Name + QStringLiteral(".xml")});
    EXPECT_EQ(ws.read(Workspace::tocName()), toc);
}
