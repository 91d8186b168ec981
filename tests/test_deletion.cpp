#include "domain/error.h"
#include "operations/deletion.h"
#include "support/cli_runner.h"
#include "support/recording_messages.h"
#include "support/temp_workspace.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace vastrel;
using namespace vastrel::test;

namespace {

const QString SmetaDir = QStringLiteral("../Vastrel/smetas/");

// Three registered estimates, each with its file.
struct Base
{
    TempWorkspace ws;
    QStringList lines = {QStringLiteral("105|Кафедра физики|доходы от курсов"),
                         QStringLiteral("106|Лаборатория|примечание | с чертой"),
                         QStringLiteral("000|сводная смета ( 01.02.2009_10:11:12 )|")};

    Base()
    {
        ws.writeToc(lines);
        ws.write(SmetaDir + QStringLiteral("Кафедра физики.xml"), "physics");
        ws.write(SmetaDir + QStringLiteral("Лаборатория.xml"), "lab");
        ws.write(SmetaDir + QStringLiteral("сводная смета ( 01.02.2009_10:11:12 ).xml"), "sum");
    }
    bool hasEstimate(const QString &name) const { return ws.exists(SmetaDir + name + QStringLiteral(".xml")); }
};

TEST(DeletionSelection, RefusesNoneAndSeveralAcceptsOne)
{
    RecordingMessages messages;
    EXPECT_FALSE(report(messages, checkDeletionSelection({})).ok());
    EXPECT_FALSE(report(messages, checkDeletionSelection({QStringLiteral("105|a|"), QStringLiteral("107|b|")})).ok());
    EXPECT_TRUE(report(messages, checkDeletionSelection({QStringLiteral("106|c|")})).ok());
    EXPECT_EQ(messages.texts(), (QStringList{QStringLiteral("Выделите сметы для удаления!"),
                                             QStringLiteral("Выделено больше, чем одна смета для удаления!")}));
    EXPECT_EQ(messages.all().at(0).kind, MessageKind::Refusal);
}

TEST(Deletion, RemovesFileAndRecordKeepingTheOthersInOrderAndWhole)
{
    Base base;
    deleteEstimates(base.ws.workspace(), base.lines, {base.lines.at(1)});
    EXPECT_EQ(base.ws.read(QStringLiteral("departments.txt")), crlf({base.lines.at(0), base.lines.at(2)}));
    EXPECT_FALSE(base.hasEstimate(QStringLiteral("Лаборатория")));
    EXPECT_EQ(base.ws.read(SmetaDir + QStringLiteral("Кафедра физики.xml")), QByteArray("physics"));
    EXPECT_TRUE(base.hasEstimate(QStringLiteral("сводная смета ( 01.02.2009_10:11:12 )")));
    EXPECT_FALSE(base.ws.exists(QStringLiteral("departments_d.txt")));
}

TEST(Deletion, ConsolidatedEstimateAndMissingFileAndLastEstimate)
{
    Base base;
    deleteEstimates(base.ws.workspace(), base.lines, {base.lines.at(2)});
    EXPECT_FALSE(base.hasEstimate(QStringLiteral("сводная смета ( 01.02.2009_10:11:12 )")));
    EXPECT_EQ(base.ws.read(QStringLiteral("departments.txt")), crlf(base.lines.mid(0, 2)));

    // A record whose file is gone goes without a word.
    QFile::remove(base.ws.workspace().estimatePath(QStringLiteral("Кафедра физики")));
    deleteEstimates(base.ws.workspace(), base.lines.mid(0, 2), {base.lines.at(0)});
    EXPECT_EQ(base.ws.read(QStringLiteral("departments.txt")), crlf({base.lines.at(1)}));

    deleteEstimates(base.ws.workspace(), {base.lines.at(1)}, {base.lines.at(1)});
    EXPECT_TRUE(base.ws.exists(QStringLiteral("departments.txt")));
    EXPECT_EQ(base.ws.read(QStringLiteral("departments.txt")), QByteArray());
    EXPECT_TRUE(QDir(base.ws.baseDir()).isEmpty());
}

TEST(Deletion, ReplacesAStaleWorkFile)
{
    Base base;
    base.ws.write(QStringLiteral("departments_d.txt"), "left over from a crash\r\n");
    deleteEstimates(base.ws.workspace(), base.lines, {base.lines.at(0)});
    EXPECT_EQ(base.ws.read(QStringLiteral("departments.txt")), crlf(base.lines.mid(1)));
    EXPECT_FALSE(base.ws.exists(QStringLiteral("departments_d.txt")));
}

TEST(Deletion, RecordAddedByAnotherCopyWhileTheListWasShownIsKept)
{
    Base base;
    const QString added = QStringLiteral("107|Добавлена другой копией|");
    base.ws.writeToc(base.lines + QStringList{added});
    deleteEstimates(base.ws.workspace(), base.lines, {base.lines.at(1)});
    EXPECT_EQ(base.ws.read(QStringLiteral("departments.txt")), crlf({base.lines.at(0), base.lines.at(2), added}));
}

TEST(Deletion, FailureBetweenStepsLeavesTheTableOfContentsWhole)
{
    for (const DeletionStep failingStep : {DeletionStep::WorkFileWritten, DeletionStep::EstimateRemoved}) {
        Base base;
        const QByteArray before = base.ws.read(QStringLiteral("departments.txt"));
        bool workFileWasComplete = false;
        const auto probe = [&](DeletionStep step) {
            if (step == DeletionStep::WorkFileWritten)
                workFileWasComplete =
                    base.ws.read(QStringLiteral("departments_d.txt")) == crlf({base.lines.at(0), base.lines.at(2)});
            if (step == failingStep)
                throw Error::io(IoCode::DiskWrite);
        };
        try {
            deleteEstimates(base.ws.workspace(), base.lines, {base.lines.at(1)}, probe);
            ADD_FAILURE() << "the deletion went on past the failure";
        } catch (const Error &error) {
            EXPECT_EQ(error.platformText(), QStringLiteral("I/O error 101"));
        }
        EXPECT_TRUE(workFileWasComplete);
        EXPECT_EQ(base.ws.read(QStringLiteral("departments.txt")), before);
        EXPECT_FALSE(base.ws.exists(QStringLiteral("departments_d.txt")));
        // What was done before the failure stays done.
        EXPECT_EQ(base.hasEstimate(QStringLiteral("Лаборатория")), failingStep == DeletionStep::WorkFileWritten);
    }
}

TEST(Deletion, WorkFileThatCannotBeWrittenStopsBeforeAnyEstimateIsRemoved)
{
    Base base;
    const QByteArray before = base.ws.read(QStringLiteral("departments.txt"));
    QDir(base.ws.root()).mkdir(QStringLiteral("departments_d.txt"));
    try {
        deleteEstimates(base.ws.workspace(), base.lines, {base.lines.at(1)});
        ADD_FAILURE() << "a directory in the work file's place was overwritten";
    } catch (const Error &error) {
        EXPECT_TRUE(error.text().startsWith(QStringLiteral("Cannot create file \"departments_d.txt\"")))
            << error.text().toStdString();
    }
    EXPECT_EQ(base.ws.read(QStringLiteral("departments.txt")), before);
    EXPECT_TRUE(base.hasEstimate(QStringLiteral("Лаборатория")));
}

TEST(Deletion, ReplaceFileRenamesOverAnExistingFile)
{
    TempWorkspace ws;
    ws.write(QStringLiteral("new.txt"), "new");
    ws.write(QStringLiteral("old.txt"), "old and longer");
    QString reason;
    ASSERT_TRUE(replaceFile(ws.workspace().resolve(QStringLiteral("new.txt")),
                            ws.workspace().resolve(QStringLiteral("old.txt")), &reason))
        << reason.toStdString();
    EXPECT_EQ(ws.read(QStringLiteral("old.txt")), QByteArray("new"));
    EXPECT_FALSE(ws.exists(QStringLiteral("new.txt")));
    EXPECT_FALSE(replaceFile(ws.workspace().resolve(QStringLiteral("new.txt")),
                             ws.workspace().resolve(QStringLiteral("old.txt")), &reason));
    EXPECT_FALSE(reason.isEmpty());
}

TEST(DeletionCli, DeletesByNameAndRefusesAsTheWindowDoes)
{
    Base base;
    CliResult result =
        runCli({QStringLiteral("-C"), base.ws.root(), QStringLiteral("delete"), QStringLiteral("Лаборатория")});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, QString());
    EXPECT_EQ(base.ws.read(QStringLiteral("departments.txt")), crlf({base.lines.at(0), base.lines.at(2)}));
    EXPECT_FALSE(base.hasEstimate(QStringLiteral("Лаборатория")));

    result = runCli({QStringLiteral("-C"), base.ws.root(), QStringLiteral("delete"), QStringLiteral("нет такой")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err.trimmed(), QStringLiteral("Выделите сметы для удаления!"));

    // Two records of one name count as two selected entries.
    base.ws.writeToc({base.lines.at(0), QStringLiteral("001|Кафедра физики|")});
    result = runCli({QStringLiteral("-C"), base.ws.root(), QStringLiteral("delete"), QStringLiteral("Кафедра физики")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err.trimmed(), QStringLiteral("Выделено больше, чем одна смета для удаления!"));
    EXPECT_TRUE(base.hasEstimate(QStringLiteral("Кафедра физики")));

    result = runCli({QStringLiteral("-C"), base.ws.root(), QStringLiteral("delete")});
    EXPECT_EQ(result.exitCode, 2);
}

} // namespace
