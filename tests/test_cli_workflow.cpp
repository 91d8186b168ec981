#include "support/cli_runner.h"
#include "support/temp_workspace.h"
#include "support/xlsx_reader.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace vastrel::test;

namespace {

// A script's day: settings, two estimates registered and saved, summed, both
// documents exported, copied to a medium, one estimate deleted, the table of
// contents rebuilt. Each step goes through the tool, as the central office runs it.
TEST(CliWorkflow, AWholeDayThroughTheCommandLine)
{
    TempWorkspace ws;
    ws.writeToc({});
    auto run = [&](QStringList args) {
        args.prepend(ws.root());
        args.prepend(QStringLiteral("-C"));
        const CliResult result = runCli(args);
        EXPECT_EQ(result.exitCode, 0) << args.join(' ').toStdString() << "\n" << result.err.toStdString();
        return result;
    };

    run({"settings", "store", "--name", "кафедры физики", "--head-position", "Заведующий кафедрой", "--head-name",
         "И.И. Иванов", "--code", "105", "--status", "1", "--resp-position", "Бухгалтер", "--resp-name",
         "Петрова А.А."});
    run({"register", "Кафедра физики", "--code", "101", "--notes", "основная | годовая", "--source", "1"});
    run({"register", "Кафедра химии", "--code", "102", "--source", "2"});
    run({"save", "Кафедра физики", "--income-code", "3", "--source", "1", "--income", "1000", "--remainder", "50",
         "--e211", "500", "--e213", "300", "--e226", "250"});
    run({"save", "Кафедра химии", "--income-code", "2", "--source", "2", "--income", "200", "--e211", "200,5", "--e241",
         "-0,5"});

    const CliResult shown = run({"show", "Кафедра физики"});
    EXPECT_TRUE(shown.out.startsWith(QStringLiteral("income-code=386 30201010010000130\nsource=1\nremainder=50\n"
                                                    "income=1000\n211=500\n212=\n213=300\n")))
        << shown.out.toStdString();

    const CliResult summed = run({"sum", "Кафедра физики", "Кафедра химии"});
    const QString consolidated = summed.out.trimmed().split(QLatin1Char('\n')).last();
    EXPECT_TRUE(consolidated.startsWith(QStringLiteral("сводная смета ( "))) << consolidated.toStdString();
    EXPECT_EQ(run({"list"}).out, QStringLiteral("101|Кафедра физики|основная | годовая\n102|Кафедра химии|\n000|") +
                                     consolidated + QStringLiteral("|\n"));

    run({"export-breakdown", "--from", "Кафедра физики", "-o", "breakdown.xlsx"});
    const XlsxSheet breakdown = XlsxSheet::read(ws.workspace().resolve(QStringLiteral("breakdown.xlsx")));
    EXPECT_EQ(breakdown.text(QStringLiteral("D19")), QStringLiteral("386 30201010010000130"));
    EXPECT_DOUBLE_EQ(breakdown.number(QStringLiteral("E17")), 50);
    EXPECT_DOUBLE_EQ(breakdown.number(QStringLiteral("E19")), 1000);
    EXPECT_DOUBLE_EQ(breakdown.number(QStringLiteral("E24")), 500);

    run({"export-consolidated", consolidated, "-o", "refined.xlsx"});
    const XlsxSheet refined = XlsxSheet::read(ws.workspace().resolve(QStringLiteral("refined.xlsx")));
    EXPECT_EQ(refined.text(QStringLiteral("A16")),
              QStringLiteral("I. Остаток средств на 01.01.") + QString::number(QDate::currentDate().year()));
    EXPECT_DOUBLE_EQ(refined.number(QStringLiteral("E16")), 50);

    const QString medium = ws.workspace().resolve(QStringLiteral("medium"));
    QDir().mkpath(medium);
    run({"copy", "--to", medium, "Кафедра химии"});
    EXPECT_EQ(ws.read(QStringLiteral("medium/departments.txt")), ws.read(QStringLiteral("departments.txt")));
    EXPECT_EQ(ws.read(QStringLiteral("medium/Кафедра химии.xml")),
              ws.read(QStringLiteral("../Vastrel/smetas/Кафедра химии.xml")));

    run({"delete", "Кафедра химии"});
    EXPECT_FALSE(ws.exists(QStringLiteral("../Vastrel/smetas/Кафедра химии.xml")));
    run({"rebuild"});
    const QStringList rebuilt = run({"list"}).out.trimmed().split(QLatin1Char('\n'));
    ASSERT_EQ(rebuilt.size(), 2);
    EXPECT_TRUE(rebuilt.contains(QStringLiteral("001|Кафедра физики|")) ||
                rebuilt.contains(QStringLiteral("002|Кафедра физики|")));
}

} // namespace

namespace {

// Estimate files travel between machines whatever their locale: a base
// written under one locale is summed, shown and exported under the other,
// every file holds the comma, and typed amounts follow each machine's own.
TEST(CliWorkflow, ABaseMovesBetweenCommaAndPointLocales)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "a Windows program takes its number format from the regional settings, not from LC_ALL";
#endif
    struct Machine
    {
        const char *locale;
        const char *half; // an amount as a user there types it
    };
    const Machine russian{"ru_RU.UTF-8", "1,25"};
    const Machine english{"C.UTF-8", "1.25"};
    for (const auto &[writer, reader] : {std::pair{russian, english}, std::pair{english, russian}}) {
        SCOPED_TRACE(std::string(writer.locale) + " to " + reader.locale);
        TempWorkspace ws;
        ws.writeToc({});
        auto run = [&](const Machine &machine, QStringList args) {
            args.prepend(ws.root());
            args.prepend(QStringLiteral("-C"));
            const CliResult result = runCliUnder(QString::fromLatin1(machine.locale), args);
            EXPECT_EQ(result.exitCode, 0) << args.join(' ').toStdString() << "\n" << result.err.toStdString();
            return result;
        };
        const QString half = QString::fromLatin1(writer.half);
        for (const QString &name : {QStringLiteral("a"), QStringLiteral("b")}) {
            run(writer, {"register", name, "--code", "101", "--source", "1", "--income", half});
            run(writer, {"save", name, "--income-code", "1", "--source", "1", "--status", "1", "--income", half,
                         "--e211", half});
        }
        EXPECT_TRUE(ws.read(QStringLiteral("../Vastrel/smetas/a.xml")).contains("<SUM_YEAR>1,25</SUM_YEAR>"));

        const CliResult shown = run(reader, {"show", "a"});
        const QString readerHalf = QString::fromLatin1(reader.half);
        EXPECT_TRUE(
            shown.out.contains(QStringLiteral("\nincome=") + readerHalf + QStringLiteral("\n211=") + readerHalf))
            << shown.out.toStdString();
        const QString consolidated = run(reader, {"sum", "a", "b"}).out.split('\n', Qt::SkipEmptyParts).last();
        const QByteArray summed = ws.read(QStringLiteral("../Vastrel/smetas/") + consolidated + QStringLiteral(".xml"));
        EXPECT_TRUE(summed.contains("<SUM_YEAR>2,5</SUM_YEAR>"));

        // The consolidated estimate's own sums read back on the first machine.
        const QString path = ws.workspace().resolve(QStringLiteral("refined.xlsx"));
        run(writer, {"export-consolidated", consolidated, "-o", path});
        EXPECT_DOUBLE_EQ(XlsxSheet::read(path).number(QStringLiteral("E18")), 2.5); // the first income group
        EXPECT_EQ(run(reader, {"sum", consolidated, "b"}).exitCode, 0);
    }
}

} // namespace
