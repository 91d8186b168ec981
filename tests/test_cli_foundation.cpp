#include "support/cli_runner.h"
#include "support/temp_workspace.h"

#include <gtest/gtest.h>

using namespace vastrel::test;

namespace {

TEST(CliCalc, PrintsBothPanelTextsUnderTheRussianLocale)
{
    const CliResult result = runCli({"calc", "--income", "100", "--e211", "99,5"});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, QStringLiteral("итого доходов: 100\nитого расходов: 99,5\n"));

    const CliResult bad = runCli({"calc", "--remainder", "1.5"});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.err, QStringLiteral("'1.5' is not a valid floating point value\n"));
    EXPECT_TRUE(bad.out.isEmpty());

    const CliResult overflow = runCli({"calc", "--remainder", "1e308", "--income", "1e308"});
    EXPECT_EQ(overflow.exitCode, 1);
    EXPECT_EQ(overflow.err, QStringLiteral("Итоговая сумма слишком велика для расчета. Проверьте суммы.\n"));
    EXPECT_TRUE(overflow.out.isEmpty());
}

TEST(CliSettings, StoreThenShowGivesTheSameBytesAsTheWindow)
{
    TempWorkspace ws;
    const CliResult stored = runCli({"-C", ws.root(), "settings", "store", "--name", "кафедры", "--head-position",
                                     "Зав", "--head-name", "И.И. Иванов", "--code", "007", "--status", "3",
                                     "--resp-position", "Бухгалтер", "--resp-name", "Петрова"});
    EXPECT_EQ(stored.exitCode, 0) << stored.err.toStdString();
    EXPECT_TRUE(stored.out.startsWith(QStringLiteral("Настройки успешно установлены в системе.")));
    EXPECT_EQ(ws.read(QStringLiteral("nastroiki.txt")),
              cp1251(QStringLiteral("кафедры\r\nЗав\r\nИ.И. Иванов\r\n007\r\n3\r\nБухгалтер\r\nПетрова")));

    const CliResult shown = runCli({"-C", ws.root(), "settings", "show"});
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_EQ(shown.out, QStringLiteral("кафедры\nЗав\nИ.И. Иванов\n007\n3\nБухгалтер\nПетрова\n"));
}

TEST(CliSettings, RefusalsAndUsageErrors)
{
    TempWorkspace ws;
    const CliResult noName = runCli({"-C", ws.root(), "settings", "store", "--code", "001"});
    EXPECT_EQ(noName.exitCode, 1);
    EXPECT_EQ(noName.err, QStringLiteral("Впишите название подразделения в родительном падеже!\n"));

    const CliResult partial = runCli({"-C", ws.root(), "settings", "store", "--name", "a", "--head-position", "b",
                                      "--head-name", "c", "--code", "12"});
    EXPECT_EQ(partial.exitCode, 1);
    EXPECT_EQ(partial.err, QStringLiteral("Invalid input value.  Use escape key to abandon changes\n"));
    EXPECT_FALSE(ws.exists(QStringLiteral("nastroiki.txt")));

    const CliResult missing = runCli({"-C", ws.root(), "settings", "show"});
    EXPECT_EQ(missing.exitCode, 1);

    EXPECT_EQ(runCli({"nonsense"}).exitCode, 2);
    EXPECT_EQ(runCli({"calc", "--source", "12"}).exitCode, 2);
    EXPECT_EQ(runCli({"calc", "--income"}).exitCode, 2);
    const CliResult help = runCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("Команды")));
}

TEST(CliList, PrintsTheTableOfContentsAsStored)
{
    TempWorkspace ws;
    ws.writeToc({QStringLiteral("105|Кафедра|примечание|с чертой"), QStringLiteral("000|сводная смета ( 1 )|")});
    const CliResult listed = runCli({"-C", ws.root(), "list"});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.out, QStringLiteral("105|Кафедра|примечание|с чертой\n000|сводная смета ( 1 )|\n"));

    TempWorkspace empty;
    const CliResult missing = runCli({"-C", empty.root(), "list"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.startsWith(QStringLiteral("Cannot open file \"departments.txt\".")));
}

} // namespace
