#include "support/recording_messages.h"
#include "support/temp_workspace.h"

#include "windows/help_launcher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vastrel;

namespace {

void placeProgram(const QString &dir, bool executable = true)
{
    QFile file(QDir(dir).filePath(helpProgramName()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

TEST(HelpLauncher, LooksInTheWorkingDirectoryThenBesideTheProgram)
{
    struct Case
    {
        const char *what;
        bool inWork, besideProgram;
        const char *expected; // "work", "program" or "" for none
    };
    const Case cases[] = {
        {"nowhere", false, false, ""},
        {"only in the working directory", true, false, "work"},
        {"only beside the program", false, true, "program"},
        {"in both: the working directory wins", true, true, "work"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        test::TempWorkspace ws;
        QTemporaryDir programDir;
        if (c.inWork)
            placeProgram(ws.root());
        if (c.besideProgram)
            placeProgram(programDir.path());
        const QString found = findHelpProgram(ws.workspace(), programDir.path());
        const QString expectedDir = QString::fromLatin1(c.expected) == u"work"      ? ws.root()
                                    : QString::fromLatin1(c.expected) == u"program" ? programDir.path()
                                                                                    : QString();
        EXPECT_EQ(found, expectedDir.isEmpty() ? QString() : QDir(expectedDir).filePath(helpProgramName()));
    }
}

#ifndef Q_OS_WIN
TEST(HelpLauncher, AFileThatCannotBeRunIsNotTheHelpProgram)
{
    test::TempWorkspace ws;
    placeProgram(ws.root(), false);
    EXPECT_TRUE(findHelpProgram(ws.workspace(), QString()).isEmpty());
}
#endif

TEST(HelpLauncher, SaysSoWhenNoHelpProgramIsFound)
{
    test::TempWorkspace ws;
    test::RecordingMessages messages;
    openHelpProgram(ws.workspace(), messages);
    ASSERT_EQ(messages.all().size(), 1);
    EXPECT_EQ(messages.all().first().kind, MessageKind::Refusal);
    EXPECT_TRUE(messages.last().contains(helpProgramName()));
    EXPECT_TRUE(messages.last().contains(u"не найдена"));
}

} // namespace
