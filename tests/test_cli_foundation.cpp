#include "support/cli_runner.h"
#include "support/temp_workspace.h"

#include <QDir>
#include <QFile>
#include <QProcess>

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
    EXPECT_EQ(bad.err, QStringLiteral("'1.5' is not a valid floating point value\n"
                                      "Сумма «1.5» — не число в локали ru_RU: дробную часть отделяйте знаком «,», "
                                      "цифры пишите без пробелов.\n"));
    EXPECT_TRUE(bad.out.isEmpty());
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
    EXPECT_TRUE(partial.err.startsWith(
        QStringLiteral("Invalid input value.  Use escape key to abandon changes\nКод состоит из трёх цифр")));
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

TEST(CliOverflow, TotalsBeyondTheLargestNumberAreRefusedWithNothingWritten)
{
    const QStringList commands[] = {
        {"calc"},
        {"save", "Кафедра", "--income-code", "1", "--source", "1", "--status", "1"},
        {"export-breakdown", "-o", "doc.xlsx"},
    };
    for (const QStringList &command : commands) {
        SCOPED_TRACE(command.first().toStdString());
        TempWorkspace ws;
        ws.writeToc({QStringLiteral("105|Кафедра|")});
        const CliResult result =
            runCli(QStringList{"-C", ws.root()} + command +
                   QStringList{"--remainder", "1e308", "--income", "1e308", "--e211", "1e308", "--e212", "1e308"});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, QStringLiteral("Итоговая сумма слишком велика для расчета. Проверьте суммы.\n"));
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_FALSE(ws.exists(QStringLiteral("../Vastrel/smetas/Кафедра.xml")));
        EXPECT_FALSE(ws.exists(QStringLiteral("doc.xlsx")));
    }
}

// Each list option at and just beyond its ends, saved and shown back.
TEST(CliWindowOptions, ListPositionsAtTheirBounds)
{
    struct Case
    {
        const char *option, *value;
        int exitCode;
        const char *shown; // the show line, or the refusal on standard error
    };
    const Case cases[] = {
        {"--income-code", "1", 0, "income-code=386 30101010010000120"},
        {"--income-code", "10", 0, "income-code=386 30399010010000180"},
        {"--income-code", "11", 0, "income-code=386 00000000000000510"},
        {"--income-code", "386 30302010010000180", 0, "income-code=386 30302010010000180"},
        {"--income-code", "0", 1, "Введите код дохода!"},
        {"--income-code", "12", 1, "Введите код дохода!"},
        {"--source", "1", 0, "source=1"},
        {"--source", "11", 0, "source=11"},
        {"--source", "0", 2, "Источник дохода задаётся номером от 1 до 11."},
        {"--source", "12", 2, "Источник дохода задаётся номером от 1 до 11."},
        {"--status", "2", 0, "source=3"},
        {"--status", "0", 2, "Юридический статус задаётся кодом 1, 3 или 2."},
        {"--status", "4", 2, "Юридический статус задаётся кодом 1, 3 или 2."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.option) + " " + c.value);
        TempWorkspace ws;
        ws.writeToc({QStringLiteral("105|Кафедра|")});
        QStringList options = {"--income-code", "3", "--source", "3", "--status", "1"};
        options[options.indexOf(QString::fromLatin1(c.option)) + 1] = QString::fromUtf8(c.value);
        const CliResult saved =
            runCli(QStringList{"-C", ws.root(), "save", "Кафедра", "--income", "5", "--e211", "5"} + options);
        EXPECT_EQ(saved.exitCode, c.exitCode) << saved.err.toStdString();
        if (c.exitCode != 0) {
            EXPECT_EQ(saved.err.trimmed(), QString::fromUtf8(c.shown));
            EXPECT_FALSE(ws.exists(QStringLiteral("../Vastrel/smetas/Кафедра.xml")));
            continue;
        }
        const CliResult shown = runCli({"-C", ws.root(), "show", "Кафедра"});
        EXPECT_EQ(shown.exitCode, 0) << shown.err.toStdString();
        EXPECT_TRUE(shown.out.split(QLatin1Char('\n')).contains(QString::fromUtf8(c.shown))) << shown.out.toStdString();
    }
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

TEST(CliOutput, AFullDiskIsAFailureNotASuccess)
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full here";
    TempWorkspace ws;
    ws.writeToc({QStringLiteral("101|Кафедра|")});
    for (const QStringList &arguments :
         {QStringList{"-C", ws.root(), "list"}, QStringList{"--help"}, QStringList{"calc", "--income", "1"}}) {
        QProcess process;
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
        process.start(QStringLiteral(VASTREL_CLI), arguments);
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 1) << arguments.join(' ').toStdString();
        EXPECT_TRUE(process.readAllStandardError().startsWith("Не удалось вывести результат"));
    }
}

// A document never takes the place of the program's files nor lands in the
// base, whatever the path says; a name without .xlsx or .pdf is refused.
TEST(CliOutput, DocumentsNeverReplaceTheProgramsFiles)
{
    TempWorkspace ws;
    ws.writeToc({QStringLiteral("001|a|")});
    ws.writeSettings({"кафедры", "Зав", "И.И. Иванов", "007", "1", "Бухгалтер", "Петрова"});
    ws.write(QStringLiteral("../Vastrel/smetas/a.xml"), QByteArray("x"));
    QFile::link(ws.workspace().tocPath(), ws.workspace().resolve(QStringLiteral("link.xlsx")));
    const QByteArray toc = ws.read(QStringLiteral("departments.txt"));
    const QByteArray settings = ws.read(QStringLiteral("nastroiki.txt"));
    const std::pair<const char *, const char *> targets[] = {
        {"departments.txt", "Документ нельзя записать в файл departments.txt: это оглавление базы"},
        {"nastroiki.txt", "Документ нельзя записать в файл nastroiki.txt: это настройки программы"},
        {"../work/./DEPARTMENTS.TXT", "Документ нельзя записать в файл ../work/./DEPARTMENTS.TXT: это оглавление"},
        {"link.xlsx", "Документ нельзя записать в файл link.xlsx: это оглавление базы"},
        {"../Vastrel/smetas/a.xml", "Документ нельзя записать в каталог базы смет"},
        {"../Vastrel/smetas/../smetas/b.xlsx", "Документ нельзя записать в каталог базы смет"},
        {"../Vastrel/smetas", "Документ нельзя записать в каталог базы смет"},
        {"doc.txt",
         "Документ можно записать только в файл с расширением .xlsx (книга Excel) или .pdf, а не в doc.txt."},
        {"doc", "Документ можно записать только в файл с расширением .xlsx"},
    };
    for (const auto &[target, message] : targets) {
#ifdef Q_OS_WIN
        if (QLatin1String(target) == QLatin1String("link.xlsx"))
            continue; // QFile::link made a shortcut, an ordinary file a document may replace
#endif
        for (const QStringList &command : {QStringList{"export-breakdown", "--income", "1", "--e211", "1"},
                                           QStringList{"export-consolidated", "a"}}) {
            const CliResult result = runCli(QStringList{"-C", ws.root()} + command + QStringList{"-o", target});
            EXPECT_EQ(result.exitCode, 1) << target;
            // Paths are shown with the system's separators.
            EXPECT_TRUE(result.err.startsWith(QDir::toNativeSeparators(QString::fromUtf8(message))))
                << target << ": " << result.err.toStdString();
        }
    }
    EXPECT_EQ(ws.read(QStringLiteral("departments.txt")), toc);
    EXPECT_EQ(ws.read(QStringLiteral("nastroiki.txt")), settings);
    EXPECT_EQ(ws.read(QStringLiteral("../Vastrel/smetas/a.xml")), QByteArray("x"));
    EXPECT_EQ(QDir(ws.baseDir()).entryList(QDir::Files), QStringList{QStringLiteral("a.xml")});
    EXPECT_EQ(
        QDir(ws.root()).entryList(QDir::Files | QDir::System),
        (QStringList{QStringLiteral("departments.txt"), QStringLiteral("link.xlsx"), QStringLiteral("nastroiki.txt")}));
}

} // namespace
